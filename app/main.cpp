#include "app/AppStyle.h"
#include "app/CSkimblerApp.h"
#include "app/GeometryProbe.h"
#include "app/MessageDialog.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Skimbler"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.skimbler.Skimbler"));
    MessageDialog::Install();
    AppStyle::Install();

    CSkimblerApp app;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!app.InitInstance(arguments))
        return 1;
    // Once the window system has placed the windows.
    QTimer::singleShot(1000, &app, [&app]() { GeometryProbe::WriteIfRequested(&app); });
    return QApplication::exec();
}
