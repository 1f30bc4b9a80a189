#include "skimbler/WholeFile.h"

#include "skimbler/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skimbler {

namespace {

std::string SystemReason(int code)
{
    return std::strerror(code);
}

std::string Join(const std::string &folder, const std::string &name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + '/' + name;
}

// Fails with errno set when the whole buffer could not be written.
bool WriteAll(int fd, const char *data, std::size_t size)
{
    const FileSystem::Calls &fs = FileSystem::Current();
    while (size > 0) {
        const ssize_t written = fs.write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// A name in `folder` for the new file, not yet taken.
std::string TemporaryName(const std::string &folder, const std::string &fileName)
{
    static std::mt19937 random{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
    return Join(folder, "." + fileName + '.' + suffix + ".tmp");
}

enum class Attempt { Done, Failed, NeedsName };

// One try at writing `data` into a new file in `folder` and renaming it over
// `target`. An unnamed file gets its name only once it is complete, so a
// killed save leaves nothing behind.
Attempt WriteAndRename(const std::string &folder, const std::string &fileName, const std::string &target,
                       const struct stat *old, std::string_view data, bool unnamed, std::string *error)
{
    const FileSystem::Calls &fs = FileSystem::Current();
    std::string named;  // the temporary file's name once it has one
    int fd = -1;
    if (unnamed) {
        fd = fs.open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
            return Attempt::NeedsName;
    } else {
        for (int attempt = 0; attempt < 100; ++attempt) {
            named = TemporaryName(folder, fileName);
            fd = fs.open(named.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            if (fd >= 0 || errno != EEXIST)
                break;
        }
        if (fd < 0)
            named.clear();
    }
    if (fd < 0) {
        *error = SystemReason(errno);
        return Attempt::Failed;
    }

    const auto fail = [&](int code, bool open) {
        if (open)
            fs.close(fd);
        if (!named.empty())
            fs.unlink(named.c_str());
        *error = SystemReason(code);
        return Attempt::Failed;
    };

    // The replacement keeps the old file's permissions.
    if (old && fs.fchmod(fd, old->st_mode & 07777) != 0)
        return fail(errno, true);
    if (!WriteAll(fd, data.data(), data.size()))
        return fail(errno, true);
    if (fs.fsync(fd) != 0)
        return fail(errno, true);
    if (unnamed) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        for (int attempt = 0; attempt < 100 && named.empty(); ++attempt) {
            const std::string candidate = TemporaryName(folder, fileName);
            if (fs.linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                named = candidate;
            } else if (errno == ENOENT) {
                fs.close(fd);  // no /proc to name it by
                return Attempt::NeedsName;
            } else if (errno != EEXIST) {
                return fail(errno, true);
            }
        }
        if (named.empty())
            return fail(EEXIST, true);
    }
    if (fs.close(fd) != 0)
        return fail(errno, false);
    if (fs.rename(named.c_str(), target.c_str()) != 0)
        return fail(errno, false);
    return Attempt::Done;
}

// Writes `data` next to `target` and renames it over `target` only once every
// byte has reached the disk, so a full disk or a size limit leaves the old file
// as it was.
bool WriteAtomically(const std::string &target, std::string_view data, std::string *error)
{
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string fileName = slash == std::string::npos ? target : target.substr(slash + 1);

    struct stat old;
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) {
        *error = SystemReason(EISDIR);
        return false;
    }
    // Renaming over a pipe or a device would take its name from everyone
    // who uses it; writing into one may block for ever.
    if (replacing && !S_ISREG(old.st_mode)) {
        *error = "not a regular file";
        return false;
    }
    Attempt result = WriteAndRename(folder, fileName, target, replacing ? &old : nullptr, data, true, error);
    if (result == Attempt::NeedsName)
        result = WriteAndRename(folder, fileName, target, replacing ? &old : nullptr, data, false, error);
    if (result != Attempt::Done)
        return false;
    // The new name must reach the disk too, or a crash could bring the old
    // file back after the save said it was done. A folder that cannot be
    // opened for reading, or a file system that does not sync folders, is
    // left as it is: the file itself is complete either way.
    const FileSystem::Calls &fs = FileSystem::Current();
    const int fd = fs.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd >= 0) {
        const int synced = fs.fsync(fd);
        const int code = errno;
        fs.close(fd);
        if (synced != 0 && code != EINVAL && code != EROFS) {
            *error = SystemReason(code);
            return false;
        }
    }
    return true;
}

// Where the bytes go: the file a symbolic link names (even one not made
// yet), else `path` itself.
std::string Target(const std::string &path)
{
    struct stat link;
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    if (char *canonical = ::realpath(path.c_str(), nullptr)) {
        std::string target = canonical;
        std::free(canonical);
        return target;
    }
    std::vector<char> named(PATH_MAX + 1);
    const ssize_t size = ::readlink(path.c_str(), named.data(), named.size() - 1);
    if (size <= 0)
        return path;
    const std::string to(named.data(), std::size_t(size));
    if (to[0] == '/')
        return to;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? to : Join(path.substr(0, slash + 1), to);
}

} // namespace

std::string WriteWhole(const std::string &path, std::string_view bytes)
{
    if (path.empty())
        return SystemReason(ENOENT);
    if (path.find('\0') != std::string::npos)
        return SystemReason(EINVAL);
    std::string error;
    if (!WriteAtomically(Target(path), bytes, &error))
        return error.empty() ? SystemReason(EIO) : error;
    return std::string();
}

} // namespace skimbler
