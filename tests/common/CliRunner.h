#pragma once

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

// Runs skimbler-cli (its path is SKIMBLER_CLI, set by the build) as a user
// would on a machine with no display.
struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    QStringList errorLines() const
    {
        QStringList lines = QString::fromUtf8(err).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
};

inline CliRun RunCli(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SKIMBLER_CLI), arguments);
    CliRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// `render` of `input` into `out` at `size`, as the editor's export would.
inline QStringList RenderArguments(const QString &input, const QString &out, QSize size, bool transparent,
                                   bool projective)
{
    QStringList arguments = {QStringLiteral("render"), input, QStringLiteral("-o"), out, QStringLiteral("--size"),
                             QStringLiteral("%1x%2").arg(size.width()).arg(size.height())};
    if (transparent)
        arguments << QStringLiteral("--transparent");
    if (projective)
        arguments << QStringLiteral("--projective");
    return arguments;
}

// The largest difference of any channel of any pixel; INT_MAX when the
// sizes differ.
inline int LargestDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 0x7fffffff;
    const QImage x = a.convertToFormat(QImage::Format_RGBA8888);
    const QImage y = b.convertToFormat(QImage::Format_RGBA8888);
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row);
        const uchar *q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 4; ++i)
            largest = std::max(largest, std::abs(int(p[i]) - int(q[i])));
    }
    return largest;
}
