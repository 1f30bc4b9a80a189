#include "skimbler/RegularFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skimbler {

int OpenRegularFile(const char *path, bool *notRegular)
{
    if (notRegular)
        *notRegular = false;
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        if (notRegular)
            *notRegular = true;
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    // Reads from here on are ordinary blocking reads of a regular file.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

std::FILE *OpenRegularFileStream(const char *path)
{
    const int fd = OpenRegularFile(path);
    if (fd < 0)
        return nullptr;
    std::FILE *file = ::fdopen(fd, "rb");
    if (!file)
        ::close(fd);
    return file;
}

} // namespace skimbler
