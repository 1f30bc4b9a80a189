#include "render/DriverPreload.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cstdlib>

namespace {

// The software rasteriser's name; the hardware drivers of the same build
// are the same file under other names, which the loader recognises.
constexpr const char *kDriverFile = "swrast_dri.so";
constexpr const char *kGlxLibrary = "libGLX_mesa.so.0";

bool IsFile(const std::string &path)
{
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

std::string DriverPreload::DriverPath(const char *driversPath, const char *glxLibrary)
{
    if (driversPath && *driversPath) {
        const std::string folders(driversPath);
        const std::string first = folders.substr(0, folders.find(':'));
        return first.empty() ? std::string() : first + "/" + kDriverFile;
    }
    if (!glxLibrary || !*glxLibrary)
        return std::string();
    const std::string library(glxLibrary);
    const size_t slash = library.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return library.substr(0, slash) + "/dri/" + kDriverFile;
}

DriverPreload::DriverPreload()
{
    // Read here, not on the thread: the environment is not safe to read
    // while another thread may be writing it.
    const char *driversPath = std::getenv("LIBGL_DRIVERS_PATH");
    m_thread = std::thread([this, driversFolders = std::string(driversPath ? driversPath : "")] {
        // The same flags as the driver loader uses, so that its own open
        // finds this one's library as it would have made it.
        m_glx = ::dlopen(kGlxLibrary, RTLD_NOW | RTLD_GLOBAL);
        const char *glxPath = nullptr;
        link_map *map = nullptr;
        if (m_glx && ::dlinfo(m_glx, RTLD_DI_LINKMAP, &map) == 0 && map)
            glxPath = map->l_name;
        const std::string driver = DriverPath(driversFolders.c_str(), glxPath);
        if (IsFile(driver))
            m_driver = ::dlopen(driver.c_str(), RTLD_NOW | RTLD_GLOBAL);
    });
}

DriverPreload::~DriverPreload()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_driver)
        ::dlclose(m_driver);
    if (m_glx)
        ::dlclose(m_glx);
}
