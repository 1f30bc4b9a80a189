#pragma once

#include <string>
#include <string_view>

namespace skimbler {

// Writes `bytes` as the whole of the file `path`, or leaves whatever was
// there as it was: the bytes go into a new file in the same folder, reach
// the disk, and only then take the name. The replacement keeps the old
// file's permissions; a symbolic link keeps pointing at the file it names,
// whose contents are replaced. A named pipe, a device or a folder is never
// written into or replaced. Goes through FileSystem, so tests can make any
// step fail.
//
// Returns an empty string when done, else why not: the system's own text
// ("No space left on device"), or "not a regular file".
std::string WriteWhole(const std::string &path, std::string_view bytes);

} // namespace skimbler
