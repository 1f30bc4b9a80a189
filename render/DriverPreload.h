#pragma once

#include <string>
#include <thread>

// Loading the OpenGL driver is the longest single step of a start: tens of
// milliseconds of mapping and relocating a large library (and, for a
// software renderer, its compiler) before the first window can have a
// context. It needs no window, so it runs on a thread while the widgets are
// built; when the window system's OpenGL asks for the driver, the library
// is already mapped. Nothing depends on it: if the file is not there, or
// another driver is used, starting costs what it did.
class DriverPreload
{
public:
    // Starts loading at once.
    DriverPreload();
    // Waits for the load and lets go of this object's hold on the library
    // (the driver stays as long as OpenGL uses it).
    ~DriverPreload();

    DriverPreload(const DriverPreload &) = delete;
    DriverPreload &operator=(const DriverPreload &) = delete;

    // Where the driver is looked for: the first folder of
    // LIBGL_DRIVERS_PATH, else the "dri" folder beside the GLX library
    // named; empty when none is found.
    static std::string DriverPath(const char *driversPath, const char *glxLibrary);

private:
    std::thread m_thread;
    void *m_glx = nullptr;
    void *m_driver = nullptr;
};
