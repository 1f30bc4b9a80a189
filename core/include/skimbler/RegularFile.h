#pragma once

#include <cstdio>

namespace skimbler {

// Opens `path` for reading only if it is a regular file. The open itself
// does not block, so a named pipe or a device is refused at once instead of
// waiting for a writer. Returns the descriptor, or -1 with errno set;
// `notRegular` (if given) tells a file of the wrong kind from a failed open.
int OpenRegularFile(const char *path, bool *notRegular = nullptr);

// The same as a stdio stream ("rb"); nullptr on any failure.
std::FILE *OpenRegularFileStream(const char *path);

} // namespace skimbler
