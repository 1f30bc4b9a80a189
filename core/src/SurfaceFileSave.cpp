#include "skimbler/SurfaceFile.h"
#include "skimbler/WholeFile.h"

#include "SurfacePaths.h"

#include <cerrno>

// The saving half, on its own so that a program that only reads surface
// files (the runtime) does not link the POSIX save code.
namespace skimbler {
namespace SurfaceFile {

bool Write(const std::string &path, const SurfaceSettings &settings, std::uint32_t width, std::uint32_t height,
           const std::string &imagePath, std::string *error)
{
    if (path.empty()) {
        *error = detail::Reason(ENOENT);
        return false;
    }
    const std::string absolute = detail::AbsolutePath(path);
    std::string data;
    if (!Serialise(settings, width, height, imagePath, detail::Folder(absolute), &data, error))
        return false;
    *error = WriteWhole(absolute, data);
    return error->empty();
}

} // namespace SurfaceFile
} // namespace skimbler
