#include "skimbler/FileSystem.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>
#include <sys/stat.h>

namespace skimbler {
namespace FileSystem {

namespace {

int Open(const char *path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

Calls g_current = System();

} // namespace

Calls System()
{
    return Calls{&Open, &::write, &::fsync, &::fchmod, &::close, &::linkat, &::rename, &::unlink};
}

const Calls &Current()
{
    return g_current;
}

Calls Replace(const Calls &calls)
{
    const Calls previous = g_current;
    g_current = calls;
    return previous;
}

} // namespace FileSystem
} // namespace skimbler
