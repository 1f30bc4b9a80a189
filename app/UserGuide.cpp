#include "app/UserGuide.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

// The resource lives in a static library: the linker would drop it unless
// something names it (and the macro only works outside a namespace).
static void InitGuideResource()
{
    Q_INIT_RESOURCE(guide);
}

namespace {

const char *const kObjectName = "userGuide";

QString GuideText()
{
    InitGuideResource();
    QFile file(QStringLiteral(":/guide/guide.md"));
    if (!file.open(QIODevice::ReadOnly))
        return QCoreApplication::translate("UserGuide", "# Skimbler User Guide\n\nThe guide is missing from this build.");
    return QString::fromUtf8(file.readAll());
}

} // namespace

QWidget *UserGuide::Show(QWidget *parent)
{
    auto *window = parent ? parent->findChild<QWidget *>(QString::fromLatin1(kObjectName), Qt::FindDirectChildrenOnly)
                          : nullptr;
    if (!window) {
        // A window of its own that the user can keep open beside the editor;
        // it goes when the main window goes.
        window = new QWidget(parent, Qt::Window);
        window->setObjectName(QString::fromLatin1(kObjectName));
        window->setWindowTitle(QCoreApplication::translate("UserGuide", "Skimbler User Guide"));
        auto *browser = new QTextBrowser(window);
        browser->setOpenExternalLinks(true);
        browser->setMarkdown(GuideText());
        auto *layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        window->resize(760, 680);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
