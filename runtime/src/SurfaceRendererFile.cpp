#include "skimbler/SurfaceFile.h"
#include "skimbler/SurfaceRenderer.h"

namespace skimbler {

// On its own so that a program that never opens a file does not link the
// file reader.
bool SurfaceRenderer::Open(const std::string &path, std::string *error)
{
    std::string ignored;
    SurfaceFile::Contents contents;
    if (!SurfaceFile::Read(path, &contents, error ? error : &ignored))
        return false;
    SetSettings(contents.Settings);
    Adopt(contents.imagePath, contents.Width, contents.Height);
    return true;
}

} // namespace skimbler
