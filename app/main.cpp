#include "app/AppStyle.h"
#include "app/CSkimblerApp.h"
#include "app/GeometryProbe.h"
#include "app/MessageDialog.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// --help and --version answer on the terminal and need no display, so they
// are looked for before the application connects to one.
bool AnsweredOnTheTerminal(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("skimbler %s\n", SKIMBLER_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: skimbler [--new] [FILE]\n"
                        "Edits one textured surface for a real-time renderer.\n"
                        "\n"
                        "  FILE       a surface file (.skimbler) or an image to open\n"
                        "  --new      start with a new surface without an image\n"
                        "  -h, --help this text\n"
                        "  --version  the program's version\n"
                        "\n"
                        "Without FILE, the folder's a.tga is shown if there is one.\n"
                        "skimbler-cli renders, checks and lists surfaces without a window.\n");
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (AnsweredOnTheTerminal(argc, argv))
        return 0;
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
