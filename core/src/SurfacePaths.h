#pragma once

#include <string>

// What the reading and the saving halves of SurfaceFile share.
namespace skimbler {
namespace SurfaceFile {
namespace detail {
std::string AbsolutePath(const std::string &path);
std::string Folder(const std::string &path);
std::string Reason(int code);  // the system's text for an errno value
} // namespace detail
} // namespace SurfaceFile
} // namespace skimbler
