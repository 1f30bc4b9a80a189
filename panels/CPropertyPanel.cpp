#include "panels/CPropertyPanel.h"

#include "panels/CPropertyList.h"
#include "surface/CSkimblerDoc.h"

namespace {
// Dialog template size, in dialog units.
constexpr int kTemplateWidth = 118;
constexpr int kTemplateHeight = 162;
}

CPropertyPanel::CPropertyPanel()
    : CToolPanel(tr("Property"), QSize(kTemplateWidth, kTemplateHeight))
{
    setObjectName(QStringLiteral("propertyPanel"));
}

CPropertyPanel::~CPropertyPanel() = default;

bool CPropertyPanel::OnInitDialog()
{
    m_list = new CPropertyList(this);
    m_initialised = true;
    m_list->setGeometry(rect());
    WatchListViewport();
    CSkimblerDoc *document = Document();
    m_list->SetDocument(document);
    m_list->InsertColumnsAndRows(document ? &document->GetSurface() : nullptr);
    return true;
}

QAbstractScrollArea *CPropertyPanel::List() const
{
    return m_list;
}

void CPropertyPanel::FitColumns()
{
    if (m_list)
        m_list->FitColumns();
}

void CPropertyPanel::ReadDocument()
{
    CSkimblerDoc *document = Document();
    if (m_list)
        m_list->SetDocument(document);
    if (m_list && document)
        m_list->ShowValues(document->GetSurface());
}
