#pragma once

// Makes one system call of a save fail, the way a full disk, another file
// system or a read-only folder would, for as long as a Scope lives.

#include <skimbler/FileSystem.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace FailingFileSystem {

struct Plan
{
    std::string call;  // "open", "write", "fsync", "fchmod", "close", "linkat", "rename" or "unlink"
    int nth = 1;       // the how-manieth use of that call fails
    int code = 0;      // with this errno
    int seen = 0;
};

inline Plan &Current()
{
    static Plan plan;
    return plan;
}

inline bool Fails(const char *call)
{
    Plan &plan = Current();
    if (plan.call != call || ++plan.seen != plan.nth)
        return false;
    errno = plan.code;
    return true;
}

inline int Open(const char *path, int flags, mode_t mode)
{
    return Fails("open") ? -1 : skimbler::FileSystem::System().open(path, flags, mode);
}
inline ssize_t Write(int fd, const void *data, size_t size)
{
    return Fails("write") ? -1 : skimbler::FileSystem::System().write(fd, data, size);
}
inline int Fsync(int fd)
{
    return Fails("fsync") ? -1 : skimbler::FileSystem::System().fsync(fd);
}
inline int Fchmod(int fd, mode_t mode)
{
    return Fails("fchmod") ? -1 : skimbler::FileSystem::System().fchmod(fd, mode);
}
inline int Close(int fd)
{
    // The descriptor is closed either way, as the system does.
    const int result = skimbler::FileSystem::System().close(fd);
    return Fails("close") ? -1 : result;
}
inline int Linkat(int fromFolder, const char *from, int toFolder, const char *to, int flags)
{
    return Fails("linkat") ? -1 : skimbler::FileSystem::System().linkat(fromFolder, from, toFolder, to, flags);
}
inline int Rename(const char *from, const char *to)
{
    return Fails("rename") ? -1 : skimbler::FileSystem::System().rename(from, to);
}
inline int Unlink(const char *path)
{
    return Fails("unlink") ? -1 : skimbler::FileSystem::System().unlink(path);
}

class Scope
{
public:
    Scope(const std::string &call, int code, int nth = 1)
    {
        Current() = Plan{call, nth, code, 0};
        m_previous = skimbler::FileSystem::Replace(
            {&Open, &Write, &Fsync, &Fchmod, &Close, &Linkat, &Rename, &Unlink});
    }
    ~Scope()
    {
        skimbler::FileSystem::Replace(m_previous);
        Current() = Plan{};
    }
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;

private:
    skimbler::FileSystem::Calls m_previous{};
};

} // namespace FailingFileSystem
