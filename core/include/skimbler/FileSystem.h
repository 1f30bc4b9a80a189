#pragma once

#include <sys/types.h>

namespace skimbler {

// The system calls a save makes, behind one table so that a test can make
// any of them fail the way a full disk, a read-only folder or another
// file system would. Each has the POSIX call's meaning and sets errno.
namespace FileSystem {

struct Calls
{
    int (*open)(const char *path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void *data, size_t size);
    int (*fsync)(int fd);
    int (*fchmod)(int fd, mode_t mode);
    int (*close)(int fd);
    int (*linkat)(int fromFolder, const char *from, int toFolder, const char *to, int flags);
    int (*rename)(const char *from, const char *to);
    int (*unlink)(const char *path);
};

// The operating system's own calls.
Calls System();

// What saves use now.
const Calls &Current();

// Puts `calls` in place for every later save and returns what was there.
// Not for use while another thread saves.
Calls Replace(const Calls &calls);

} // namespace FileSystem
} // namespace skimbler
