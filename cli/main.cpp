#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// What the libraries tell their developers (libpng's warnings about an odd
// chunk, Qt's notes) is not about the user's files: this program's own lines
// are the whole of its output. Only their serious errors get through.
void KeepLibraryChatterOut(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        g_defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    g_defaultHandler = qInstallMessageHandler(&KeepLibraryChatterOut);
    // No window system: images are decoded with Qt, drawn with EGL.
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("skimbler-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SKIMBLER_VERSION));

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    Invocation invocation;
    QString error;
    if (!ParseCommandLine(arguments, &invocation, &error)) {
        QTextStream(stderr) << "skimbler-cli: " << error << '\n';
        return ExitUsage;
    }
    switch (invocation.command) {
    case Invocation::Help: QTextStream(stdout) << UsageText(); return ExitOk;
    case Invocation::Version: QTextStream(stdout) << "skimbler-cli " << SKIMBLER_VERSION << '\n'; return ExitOk;
    case Invocation::Render: return RunRender(invocation);
    case Invocation::Check: return RunCheck(invocation);
    case Invocation::Info: return RunInfo(invocation);
    case Invocation::Code: return RunCode(invocation);
    case Invocation::Export: return RunExport(invocation);
    }
    return ExitUsage;
}
