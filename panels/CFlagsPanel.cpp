#include "panels/CFlagsPanel.h"

#include "surface/CSkimblerDoc.h"

#include <skimbler/SurfaceSettings.h>

#include <QHeaderView>
#include <QTableWidget>

using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORKEY;
using skimbler::SURFACE_FLAG_COLORS;
using skimbler::SURFACE_FLAG_MAG;
using skimbler::SURFACE_FLAG_MIN;
using skimbler::SURFACE_FLAG_POINTS;
using skimbler::SurfaceFlagCount;
using skimbler::SurfaceFlags;
using skimbler::SurfaceSettings;

namespace {
constexpr int kTemplateWidth = 118;
constexpr int kTemplateHeight = 95;
}

CFlagsPanel::CFlagsPanel()
    : CToolPanel(tr("Flags"), QSize(kTemplateWidth, kTemplateHeight))
{
    setObjectName(QStringLiteral("flagsPanel"));
}

CFlagsPanel::~CFlagsPanel() = default;

QString CFlagsPanel::Label(int row)
{
    static const char *const labels[SurfaceFlagCount] = {
        "SURFACE_FLAG_COLORKEY", "SURFACE_FLAG_POINTS", "SURFACE_FLAG_COLORS",
        "SURFACE_FLAG_MAG",      "SURFACE_FLAG_MIN",    "SURFACE_FLAG_BLEND",
    };
    if (row < 0 || row >= SurfaceFlagCount)
        return QString();
    return QString::fromLatin1(labels[row]);
}

QString CFlagsPanel::ToolTip(int row)
{
    static const char *const tips[SurfaceFlagCount] = {
        QT_TR_NOOP("儲存給引擎使用，不影響繪製。"),
        QT_TR_NOOP("設定時：平面畫在四個可拖曳的角點上。清除時：畫成影像大小的直立矩形 (以視窗像素計)，角點無法選取。"),
        QT_TR_NOOP("設定時：每個角點的顏色乘上影像。清除時：所有角點都是白色。"),
        QT_TR_NOOP("設定時：使用 MagFilter。清除時：使用 GL_LINEAR。"),
        QT_TR_NOOP("設定時：使用 MinFilter。清除時：使用 GL_LINEAR。"),
        QT_TR_NOOP("設定時：使用 SrcFactor 與 DestFactor。清除時：使用 GL_SRC_ALPHA 與 GL_ONE_MINUS_SRC_ALPHA。"),
    };
    if (row < 0 || row >= SurfaceFlagCount)
        return QString();
    return tr(tips[row]);
}

bool CFlagsPanel::OnInitDialog()
{
    m_list = new QTableWidget(this);
    m_list->setObjectName(QStringLiteral("flagsList"));
    m_list->horizontalHeader()->hide();
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setMinimumSectionSize(0);
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setMinimumSectionSize(0);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().lineSpacing() + 6);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setGeometry(rect());

    m_list->setColumnCount(1);
    m_list->setColumnWidth(0, m_list->viewport()->width());
    m_list->setRowCount(SurfaceFlagCount);
    for (int row = 0; row < SurfaceFlagCount; ++row) {
        auto *item = new QTableWidgetItem(Label(row));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setToolTip(ToolTip(row));
        m_list->setItem(row, 0, item);
    }
    connect(m_list, &QTableWidget::itemChanged, this, &CFlagsPanel::OnItemChanged);
    WatchListViewport();

    if (CSkimblerDoc *document = Document())
        ShowFlags(document->GetSurface().Flags);
    m_initialised = true;
    FitColumns();
    return true;
}

QAbstractScrollArea *CFlagsPanel::List() const
{
    return m_list;
}

void CFlagsPanel::FitColumns()
{
    if (m_list)
        m_list->setColumnWidth(0, m_list->viewport()->width());
}

void CFlagsPanel::ReadDocument()
{
    CSkimblerDoc *document = Document();
    if (document)
        ShowFlags(document->GetSurface().Flags);
}

SurfaceFlags CFlagsPanel::ComposeFlags() const
{
    SurfaceFlags flags = 0;
    if (!m_list)
        return flags;
    for (int row = 0; row < SurfaceFlagCount && row < m_list->rowCount(); ++row) {
        const QTableWidgetItem *item = m_list->item(row, 0);
        if (item && item->checkState() == Qt::Checked)
            flags |= SurfaceFlags{1} << row;
    }
    return flags;
}

void CFlagsPanel::ShowFlags(SurfaceFlags flags)
{
    // Showing the word must not write it back.
    m_showing = true;
    for (int row = 0; row < SurfaceFlagCount && row < m_list->rowCount(); ++row) {
        if (QTableWidgetItem *item = m_list->item(row, 0))
            item->setCheckState((flags >> row) & 1u ? Qt::Checked : Qt::Unchecked);
    }
    m_showing = false;
}

void CFlagsPanel::OnItemChanged(QTableWidgetItem *)
{
    if (!m_initialised || m_showing)
        return;
    CSkimblerDoc *document = Document();
    if (!document)
        return;
    SurfaceSettings after = document->Settings();
    after.Flags = ComposeFlags();
    document->ChangeSettings(after, tr("變更旗標"));
}
