#include "panels/CColorsPanel.h"

#include "panels/ColorQuestion.h"
#include "surface/CSkimblerDoc.h"

#include <skimbler/SurfaceSettings.h>

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QTableWidget>

#include <algorithm>

using skimbler::SurfaceSettings;

namespace {
constexpr int kTemplateWidth = 130;
constexpr int kTemplateHeight = 70;
constexpr int kCorners = 4;

// Files may hold values outside 0..1 from older writers; the swatch shows
// what the renderer would clamp them to.
QColor ToColor(const float rgba[4])
{
    const auto unit = [](float value) { return std::clamp(value, 0.0f, 1.0f); };
    return QColor::fromRgbF(unit(rgba[0]), unit(rgba[1]), unit(rgba[2]), unit(rgba[3]));
}

// The colour over a small checkerboard, so that transparency shows.
QIcon Swatch(const QColor &color, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    const int cell = std::max(2, size / 4);
    for (int y = 0; y < size; y += cell) {
        for (int x = 0; x < size; x += cell) {
            if (((x + y) / cell) % 2)
                painter.fillRect(x, y, cell, cell, QColor(192, 192, 192));
        }
    }
    painter.fillRect(pixmap.rect(), color);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}
} // namespace

CColorsPanel::CColorsPanel(ColorQuestion *question)
    : CToolPanel(tr("Colors"), QSize(kTemplateWidth, kTemplateHeight))
    , m_question(question)
{
    setObjectName(QStringLiteral("colorsPanel"));
}

CColorsPanel::~CColorsPanel() = default;

QString CColorsPanel::Label(int corner)
{
    return tr("Corner %1").arg(corner);
}

QString CColorsPanel::Values(const QColor &color)
{
    return QStringLiteral("%1, %2, %3, %4").arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alpha());
}

bool CColorsPanel::OnInitDialog()
{
    m_list = new QTableWidget(this);
    m_list->setObjectName(QStringLiteral("colorsList"));
    m_list->horizontalHeader()->hide();
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().lineSpacing() + 6);
    m_list->setWordWrap(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int swatch = m_list->fontMetrics().height();
    m_list->setIconSize(QSize(swatch, swatch));
    m_list->setGeometry(rect());
    m_list->setColumnCount(2);
    m_list->setRowCount(kCorners);
    for (int row = 0; row < kCorners; ++row) {
        auto *label = new QTableWidgetItem(Label(row));
        label->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_list->setItem(row, 0, label);
        auto *values = new QTableWidgetItem;
        values->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_list->setItem(row, 1, values);
    }
    connect(m_list, &QTableWidget::cellClicked, this, [this](int row, int) { EditColor(row); });
    m_list->installEventFilter(this);
    WatchListViewport();

    if (CSkimblerDoc *document = Document())
        ShowColors(document->GetSurface().Colors);
    m_initialised = true;
    FitColumns();
    return true;
}

QAbstractScrollArea *CColorsPanel::List() const
{
    return m_list;
}

void CColorsPanel::FitColumns()
{
    if (!m_list)
        return;
    const int width = m_list->viewport()->width();
    const int first = width * 2 / 5;
    m_list->setColumnWidth(0, first);
    m_list->setColumnWidth(1, width - first);
}

void CColorsPanel::ReadDocument()
{
    if (CSkimblerDoc *document = Document())
        ShowColors(document->GetSurface().Colors);
}

void CColorsPanel::ShowColors(const float colors[4][4])
{
    if (!m_list)
        return;
    for (int row = 0; row < kCorners; ++row) {
        const QColor color = ToColor(colors[row]);
        m_list->item(row, 0)->setIcon(Swatch(color, m_list->iconSize().height()));
        m_list->item(row, 1)->setText(Values(color));
    }
}

void CColorsPanel::EditColor(int corner)
{
    if (corner < 0 || corner >= kCorners || !m_question)
        return;
    CSkimblerDoc *document = Document();
    if (!document)
        return;
    const QColor initial = ToColor(document->GetSurface().Colors[corner]);
    const QColor chosen = m_question->AskColor(this, initial, Label(corner));
    // The dialog works in 8 bits: taking back the colour it was given must
    // not round a stored value that the user never changed.
    if (!chosen.isValid() || chosen.rgba() == initial.rgba())
        return;
    SurfaceSettings after = document->Settings();
    after.Colors[corner][0] = chosen.redF();
    after.Colors[corner][1] = chosen.greenF();
    after.Colors[corner][2] = chosen.blueF();
    after.Colors[corner][3] = chosen.alphaF();
    document->ChangeSettings(after, tr("變更色彩"));
}

bool CColorsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && m_list->currentRow() >= 0) {
            EditColor(m_list->currentRow());
            return true;
        }
    }
    return CToolPanel::eventFilter(watched, event);
}
