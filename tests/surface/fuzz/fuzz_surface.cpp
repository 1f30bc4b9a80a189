// libFuzzer target for surface files: every input is opened by the document
// as a surface file next to a small valid image, and must keep what
// SurfaceFileCheck::Check states. There is no rendering context: the texture
// calls of an image load do nothing without one, and the file handling is
// what is tested here.

#include "SurfaceFileCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {
SurfaceFileCheck::Workspace g_workspace;

void RemoveWorkspace()
{
    QDir(g_workspace.folder).removeRecursively();
}
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const QString folder = QDir::temp().absoluteFilePath(QStringLiteral("fuzz_surface_%1").arg(getpid()));
    if (!SurfaceFileCheck::CreateWorkspace(folder, &g_workspace)) {
        std::fprintf(stderr, "could not set up %s\n", qPrintable(folder));
        std::abort();
    }
    std::atexit(RemoveWorkspace);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString failure = SurfaceFileCheck::Check(g_workspace, bytes);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "surface file check failed: %s\n", qPrintable(failure));
        std::abort();
    }
    return 0;
}
