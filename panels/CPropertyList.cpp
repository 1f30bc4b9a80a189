#include "panels/CPropertyList.h"

#include "panels/CInPlaceCombo.h"
#include "panels/CInPlaceEdit.h"
#include "surface/CSkimblerDoc.h"
#include "surface/Surface.h"

#include <skimbler/SurfaceSettings.h>
#include <skimbler/ValueTable.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace ValueTable = skimbler::ValueTable;
using skimbler::SurfaceSettings;

namespace {

PropertyOptionList OptionsFromTable(const std::vector<ValueTable::Entry> &table)
{
    PropertyOptionList options;
    options.reserve(table.size());
    for (const ValueTable::Entry &entry : table)
        options.push_back({static_cast<std::int32_t>(entry.value), QString::fromLatin1(entry.name)});
    return options;
}

QString Decimal(std::uint32_t value)
{
    return QString::number(value);
}

} // namespace

CPropertyList::CPropertyList(QWidget *parent)
    : QTableWidget(parent)
{
    setObjectName(QStringLiteral("propertyList"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() + 6);
    setShowGrid(true);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Only a mouse click opens an editor; no key, no double-click.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Editors are placed in pixels, so the list scrolls in pixels too.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void CPropertyList::InsertColumnsAndRows(const Surface *surface)
{
    setColumnCount(2);
    FitColumns();
    setRowCount(RowCount);
    for (int row = 0; row < RowCount; ++row) {
        const QString tip = ToolTip(row);
        auto *label = new QTableWidgetItem(Label(row));
        label->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        label->setToolTip(tip);
        setItem(row, 0, label);
        auto *value = new QTableWidgetItem;
        value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        value->setToolTip(tip);
        setItem(row, 1, value);
    }
    if (surface)
        ShowValues(*surface);
}

void CPropertyList::ShowValues(const Surface &surface)
{
    for (int row = 0; row < RowCount && row < rowCount(); ++row)
        SetCellText(row, 1, ValueText(surface, row));
}

void CPropertyList::FitColumns()
{
    if (columnCount() < 2)
        return;
    const int width = viewport()->width();
    setColumnWidth(0, LabelColumnWidth);
    setColumnWidth(1, std::max(0, width - LabelColumnWidth));
}

QString CPropertyList::Label(int row)
{
    static const char *const labels[RowCount] = {
        "Version", "BPP", "Type", "DataFormat", "Width", "Height",
        "ColorKey", "MagFilter", "MinFilter", "SrcFactor", "DestFactor",
    };
    if (row < 0 || row >= RowCount)
        return QString();
    return QString::fromLatin1(labels[row]);
}

QString CPropertyList::ToolTip(int row)
{
    static const char *const tips[RowCount] = {
        QT_TR_NOOP("表面檔案的版本編號。儲存給讀取檔案的引擎使用，不影響繪製；僅供檢視。"),
        QT_TR_NOOP("每像素的位元數。儲存給引擎使用，不影響繪製；僅供檢視。"),
        QT_TR_NOOP("影像類型 (RGB 或 RGBA)。儲存給引擎使用，不影響繪製；僅供檢視。"),
        QT_TR_NOOP("影像資料的格式。儲存給引擎使用，不影響繪製；按一下可從清單選擇。"),
        QT_TR_NOOP("影像的寬度 (像素)，取自影像檔；僅供檢視。"),
        QT_TR_NOOP("影像的高度 (像素)，取自影像檔；僅供檢視。"),
        QT_TR_NOOP("色鍵值 (0 到 4294967295)。儲存給引擎使用，不影響繪製；按一下可輸入數值。"),
        QT_TR_NOOP("影像放大顯示 (一個紋素蓋過多個像素) 時的取樣方式：GL_NEAREST 呈方塊狀，GL_LINEAR 較平滑。"
                   "MAG 旗標設定時才使用。"),
        QT_TR_NOOP("影像縮小顯示時的取樣方式：GL_NEAREST、GL_LINEAR，或四種 mipmap 濾波 (縮得很小時較不閃爍)。"
                   "MIN 旗標設定時才使用。"),
        QT_TR_NOOP("來源係數：影像的顏色乘上此係數，再與畫面上已有的顏色相加。BLEND 旗標設定時才使用。"),
        QT_TR_NOOP("目的係數：畫面上已有的顏色乘上此係數，再與影像的顏色相加。BLEND 旗標設定時才使用。"),
    };
    if (row < 0 || row >= RowCount)
        return QString();
    return tr(tips[row]);
}

QString CPropertyList::ValueText(const Surface &surface, int row)
{
    switch (row) {
    case RowVersion:
        return Decimal(surface.Version);
    case RowBPP:
        return Decimal(surface.BPP);
    case RowType:
        return QString::fromLatin1(ValueTable::NameOf(ValueTable::Type(), surface.Type));
    case RowDataFormat:
        return QString::fromLatin1(ValueTable::NameOf(ValueTable::DataFormat(), surface.DataFormat));
    case RowWidth:
        return Decimal(surface.Width);
    case RowHeight:
        return Decimal(surface.Height);
    case RowColorKey:
        return Decimal(surface.ColorKey);
    case RowMagFilter:
        return QString::fromLatin1(ValueTable::NameOf(ValueTable::MagFilter(), surface.MagFilter));
    case RowMinFilter:
        return QString::fromLatin1(ValueTable::NameOf(ValueTable::MinFilter(), surface.MinFilter));
    case RowSrcFactor:
        return QString::fromLatin1(ValueTable::NameOf(ValueTable::BlendFactor(), surface.SrcFactor));
    case RowDestFactor:
        return QString::fromLatin1(ValueTable::NameOf(ValueTable::BlendFactor(), surface.DestFactor));
    default:
        return QString();
    }
}

PropertyOptionList CPropertyList::OptionsFor(int row)
{
    switch (row) {
    case RowDataFormat:
        return OptionsFromTable(ValueTable::DataFormat());
    case RowMagFilter:
        return OptionsFromTable(ValueTable::MagFilter());
    case RowMinFilter:
        return OptionsFromTable(ValueTable::MinFilter());
    case RowSrcFactor:
    case RowDestFactor:
        return OptionsFromTable(ValueTable::BlendFactor());
    default:
        return {};
    }
}

std::uint32_t SurfaceSettings::*CPropertyList::FieldFor(int row)
{
    switch (row) {
    case RowType:
        return &SurfaceSettings::Type;
    case RowDataFormat:
        return &SurfaceSettings::DataFormat;
    case RowColorKey:
        return &SurfaceSettings::ColorKey;
    case RowMagFilter:
        return &SurfaceSettings::MagFilter;
    case RowMinFilter:
        return &SurfaceSettings::MinFilter;
    case RowSrcFactor:
        return &SurfaceSettings::SrcFactor;
    case RowDestFactor:
        return &SurfaceSettings::DestFactor;
    default:
        return nullptr;
    }
}

void CPropertyList::SetDocument(CSkimblerDoc *document)
{
    m_document = document;
}

void CPropertyList::ChangeField(int row, std::uint32_t value)
{
    CSkimblerDoc *document = m_document.data();
    std::uint32_t SurfaceSettings::*field = FieldFor(row);
    if (!document || !field)
        return;
    SurfaceSettings after = document->Settings();
    after.*field = value;
    // Leaving an editor on the value in force pushes nothing.
    document->ChangeSettings(after, tr("變更 %1").arg(Label(row)));
}

bool CPropertyList::ParseUnsignedDecimal(const QString &text, std::uint32_t *value)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return false;
    std::uint64_t result = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        result = result * 10 + static_cast<std::uint64_t>(c.unicode() - u'0');
        if (result > 0xFFFFFFFFull)
            return false;
    }
    *value = static_cast<std::uint32_t>(result);
    return true;
}

QString CPropertyList::CellText(int row, int column) const
{
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->text() : QString();
}

void CPropertyList::SetCellText(int row, int column, const QString &text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    QTableWidgetItem *cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cell->setToolTip(ToolTip(row));
        setItem(row, column, cell);
    }
    cell->setText(text);
}

void CPropertyList::OnClick(int row, int column)
{
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    CSkimblerDoc *document = m_document.data();
    if (!document)
        return;
    if (column == 0)
        return;

    switch (row) {
    case RowVersion:
    case RowBPP:
    case RowType:
    case RowWidth:
    case RowHeight:
        return;
    case RowDataFormat:
    case RowMagFilter:
    case RowMinFilter:
    case RowSrcFactor:
    case RowDestFactor: {
        // The chosen value comes back as the editor's result and becomes a
        // command there; the editor writes nothing itself.
        const PropertyOptionList options = OptionsFor(row);
        ShowInPlaceList(row, column, &options, nullptr);
        return;
    }
    default:
        EditSubItem(row, column);
        return;
    }
}

bool CPropertyList::PlaceEditor(int item, int subItem, QRect *rect)
{
    if (item < 0 || item >= rowCount() || subItem < 0 || subItem >= columnCount()
        || isRowHidden(item))
        return false;

    const QRect client = viewport()->rect();

    // Bring the row into view; a partly visible row is good enough.
    int top = rowViewportPosition(item);
    const int height = rowHeight(item);
    if (top + height <= 0 || top >= client.height()) {
        QScrollBar *bar = verticalScrollBar();
        bar->setValue(bar->value() + (top < 0 ? top : top + height - client.height()));
        top = rowViewportPosition(item);
    }

    // A cell whose left edge is out of view is scrolled to the left edge.
    int left = columnViewportPosition(subItem);
    if (left < 0 || left >= client.width()) {
        QScrollBar *bar = horizontalScrollBar();
        bar->setValue(bar->value() + left);
        left = columnViewportPosition(subItem);
    }

    // A column wider than the visible part ends at the viewport's right edge.
    const int width = std::max(0, std::min(columnWidth(subItem), client.width() - left));
    *rect = QRect(left, top, width, height);
    return true;
}

CInPlaceEdit *CPropertyList::EditSubItem(int item, int subItem)
{
    QRect rect;
    if (!PlaceEditor(item, subItem, &rect))
        return nullptr;

    Qt::Alignment alignment = Qt::AlignLeft;
    if (const QTableWidgetItem *cell = this->item(item, subItem)) {
        const int horizontal = cell->textAlignment() & Qt::AlignHorizontal_Mask;
        if (horizontal & Qt::AlignRight)
            alignment = Qt::AlignRight;
        else if (horizontal & Qt::AlignHCenter)
            alignment = Qt::AlignHCenter;
    }

    auto *editor = new CInPlaceEdit(item, subItem, CellText(item, subItem));
    connect(editor, &CInPlaceEdit::endLabelEdit, this, &CPropertyList::OnEndLabelEdit);
    if (!editor->Create(alignment, rect, this)) {
        delete editor;
        return nullptr;
    }
    return editor;
}

CInPlaceCombo *CPropertyList::ShowInPlaceList(int item, int subItem,
                                              const PropertyOptionList *options,
                                              std::uint32_t *target)
{
    QRect rect;
    if (!PlaceEditor(item, subItem, &rect))
        return nullptr;

    auto *combo = new CInPlaceCombo(item, subItem, options, target);
    connect(combo, &CInPlaceCombo::endLabelEdit, this, &CPropertyList::OnEndLabelEdit);
    if (!combo->Create(rect, this)) {
        delete combo;
        return nullptr;
    }

    if (options) {
        const QString cellText = CellText(item, subItem);
        for (std::size_t i = 0; i < options->size(); ++i) {
            if ((*options)[i].Text == cellText) {
                combo->setCurrentIndex(static_cast<int>(i));
                break;
            }
        }
    }
    combo->showPopup();
    return combo;
}

void CPropertyList::OnEndLabelEdit(const InPlaceEditResult &result)
{
    if (result.item < 0 || !result.hasText)
        return;
    if (result.item == RowColorKey && result.subItem == 1) {
        ApplyColorKey(result.text);
        return;
    }
    SetCellText(result.item, result.subItem, result.text);
    if (result.hasValue && result.subItem == 1)
        ChangeField(result.item, static_cast<std::uint32_t>(result.value));
}

void CPropertyList::ApplyColorKey(const QString &text)
{
    CSkimblerDoc *document = m_document.data();
    if (!document)
        return;
    std::uint32_t value = 0;
    if (!ParseUnsignedDecimal(text, &value)) {
        // Refused: the cell goes on showing what the surface holds.
        QApplication::beep();
        SetCellText(RowColorKey, 1, Decimal(document->GetSurface().ColorKey));
        return;
    }
    SetCellText(RowColorKey, 1, Decimal(value));
    ChangeField(RowColorKey, value);
}

void CPropertyList::OnPropertyApplied()
{
    // The value arrived with the editor's result and is a command already;
    // the views have heard of it from the document.
}

bool CPropertyList::event(QEvent *event)
{
    if (event->type() == WM_PROPERTY_APPLIED) {
        OnPropertyApplied();
        return true;
    }
    return QTableWidget::event(event);
}

void CPropertyList::mousePressEvent(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    m_pressCell = QPoint(columnAt(position.x()), rowAt(position.y()));
    QTableWidget::mousePressEvent(event);
}

void CPropertyList::mouseReleaseEvent(QMouseEvent *event)
{
    QTableWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // A click is a press and a release on the same cell (or the same empty spot).
    const QPoint position = event->position().toPoint();
    const QPoint cell(columnAt(position.x()), rowAt(position.y()));
    if (cell == m_pressCell)
        OnClick(cell.y(), cell.x());
}
