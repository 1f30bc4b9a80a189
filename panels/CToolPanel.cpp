#include "panels/CToolPanel.h"

#include "surface/CSkimblerDoc.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFontMetrics>
#include <QResizeEvent>

#include <cstring>

CToolPanel::CToolPanel(const QString &caption, QSize templateSize)
    : QDialog(nullptr)
    , m_templateSize(templateSize)
{
    setWindowTitle(caption);
    setSizeGripEnabled(false);
}

CToolPanel::~CToolPanel() = default;

bool CToolPanel::Create(QWidget *parentWindow)
{
    if (m_created)
        return false;
    m_created = true;
    setParent(parentWindow, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                | Qt::WindowCloseButtonHint);
    resize(sizeHint());
    if (parentWindow)
        move(parentWindow->mapToGlobal(QPoint(0, 0)));
    return OnInitDialog();
}

void CToolPanel::SetDocument(CSkimblerDoc *document)
{
    if (document == m_document.data())
        return;
    disconnect(m_documentConnection);
    m_document = document;
    if (document)
        m_documentConnection = connect(document, &CSkimblerDoc::viewsUpdated, this, [this] { OnViewsUpdated(); });
    if (m_initialised)
        ReadShownDocument();
}

CToolPanel::Shown CToolPanel::ShownOf(const CSkimblerDoc &document)
{
    Shown shown;
    shown.settings = document.Settings();
    std::memset(shown.settings.Points, 0, sizeof shown.settings.Points);
    shown.width = document.GetSurface().Width;
    shown.height = document.GetSurface().Height;
    return shown;
}

void CToolPanel::ReadShownDocument()
{
    if (m_document) {
        m_shown = ShownOf(*m_document);
        m_hasShown = true;
    }
    ReadDocument();
}

void CToolPanel::OnViewsUpdated()
{
    // No panel shows the corner points: a drag, which changes nothing else,
    // costs the panels nothing at each step.
    if (m_document && m_hasShown && ShownOf(*m_document) == m_shown)
        return;
    ReadShownDocument();
}

CSkimblerDoc *CToolPanel::Document() const
{
    return m_document;
}

QSize CToolPanel::sizeHint() const
{
    // A dialog unit is a quarter of the average character width and an
    // eighth of the character height.
    const QFontMetrics metrics(font());
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    const int baseY = metrics.height();
    return QSize(m_templateSize.width() * baseX / 4, m_templateSize.height() * baseY / 8);
}

void CToolPanel::WatchListViewport()
{
    if (QAbstractScrollArea *list = List())
        list->viewport()->installEventFilter(this);
}

bool CToolPanel::eventFilter(QObject *watched, QEvent *event)
{
    QAbstractScrollArea *list = List();
    if (m_initialised && list && watched == list->viewport() && event->type() == QEvent::Resize)
        FitColumns();
    return QDialog::eventFilter(watched, event);
}

void CToolPanel::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!m_initialised)
        return;
    if (QAbstractScrollArea *list = List()) {
        list->setGeometry(rect());
        FitColumns();
    }
}

void CToolPanel::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The document may have changed while the panel was hidden.
    if (m_initialised)
        ReadShownDocument();
}
