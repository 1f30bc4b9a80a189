#include "app/LoadProgress.h"

#include "surface/DocumentLoader.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {

// A read that ends sooner is not worth a flash of progress bar.
constexpr int kShowDelayMs = 200;
// Ten steps a second look smooth; a step per percent of a large picture
// costs the GUI thread a wait on the window system each time.
constexpr int kPaceMs = 100;

} // namespace

LoadProgress::LoadProgress(DocumentLoader *loader, QMainWindow *frame)
    : QWidget(frame->statusBar())
    , m_loader(loader)
    , m_label(new QLabel(this))
    , m_bar(new QProgressBar(this))
    , m_cancel(new QToolButton(this))
    , m_showDelay(new QTimer(this))
    , m_pace(new QTimer(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    m_bar->setMaximumWidth(160);
    m_bar->setTextVisible(true);
    layout->addWidget(m_bar);
    m_cancel->setText(tr("取消"));
    m_cancel->setToolTip(tr("停止開啟，平面保持原樣 (Esc)"));
    layout->addWidget(m_cancel);
    // Right after the message pane (the bar's one item that is not
    // permanent), before the key indicators.
    frame->statusBar()->insertPermanentWidget(1, this);
    hide();

    m_showDelay->setSingleShot(true);
    m_showDelay->setInterval(kShowDelayMs);
    connect(m_showDelay, &QTimer::timeout, this, &QWidget::show);
    connect(m_cancel, &QToolButton::clicked, loader, &DocumentLoader::Cancel);
    connect(loader, &DocumentLoader::loadStarted, this, &LoadProgress::OnStarted);
    connect(loader, &DocumentLoader::loadEnded, this, &LoadProgress::OnEnded);
    m_pace->setSingleShot(true);
    m_pace->setInterval(kPaceMs);
    connect(m_pace, &QTimer::timeout, this, &LoadProgress::ShowPercent);
    connect(loader, &DocumentLoader::loadProgress, this, &LoadProgress::OnProgress);
}

void LoadProgress::OnProgress(int percent)
{
    m_percent = percent;
    // The first value at once, the rest at the pace's next step.
    if (!m_pace->isActive())
        ShowPercent();
}

void LoadProgress::ShowPercent()
{
    if (m_percent < 0 || (m_bar->maximum() == 100 && m_bar->value() == m_percent))
        return;
    m_bar->setRange(0, 100);
    m_bar->setValue(m_percent);
    m_pace->start();
}

void LoadProgress::OnStarted(const QString &path, bool reload)
{
    m_reload = reload;
    const QString name = QFileInfo(path).fileName();
    m_label->setText(reload ? tr("正在重新載入 %1…").arg(name) : tr("正在開啟 %1…").arg(name));
    // Busy until the reader says how far it is.
    m_pace->stop();
    m_percent = -1;
    m_bar->setRange(0, 0);
    if (!isVisible())
        m_showDelay->start();
    if (!m_filtering) {
        qApp->installEventFilter(this);
        m_filtering = true;
    }
}

void LoadProgress::OnEnded()
{
    m_showDelay->stop();
    m_pace->stop();
    hide();
    if (m_filtering) {
        qApp->removeEventFilter(this);
        m_filtering = false;
    }
}

bool LoadProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
        && static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier && m_loader->IsLoading()
        // A reload the user cannot see yet is no reason to take their Escape.
        && (!m_reload || isVisible())) {
        // A modal dialog's Escape is the dialog's.
        if ((watched->isWidgetType() || watched->isWindowType()) && !QApplication::activeModalWidget()) {
            m_loader->Cancel();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
