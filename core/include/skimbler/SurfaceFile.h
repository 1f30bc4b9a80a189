#pragma once

#include "skimbler/SurfaceSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace skimbler {

// Skimbler's surface file: UTF-8 JSON naming the format and its version, the
// image (relative to the file, with the absolute path as a fallback) and
// every setting. Texts are UTF-8; paths are the platform's.
namespace SurfaceFile {

extern const char *const FormatName;  // "skimbler-surface"
constexpr int FormatVersion = 1;
extern const char *const Extension;  // "skimbler"
// Surface files are small; anything larger is not one of ours.
constexpr std::size_t MaxFileSize = 1u << 20;

// Everything a file holds, checked.
struct Contents
{
    std::string imagePath;          // resolved: the relative path if that file exists, else the absolute one
    std::string relativeImagePath;  // as stored
    std::string absoluteImagePath;  // as stored
    std::uint32_t Width = 0;        // the image's size when it was saved
    std::uint32_t Height = 0;
    SurfaceSettings Settings;
};

// Checks a whole file's bytes; `fileDirectory` resolves the relative image
// path. On failure `error` says what is wrong (the editor's own wording) and
// `contents` is untouched.
bool Parse(std::string_view data, const std::string &fileDirectory, Contents *contents, std::string *error);

// Reads a regular file of at most MaxFileSize bytes and parses it.
bool Read(const std::string &path, Contents *contents, std::string *error);

// The file's bytes; false (with `error`) when a point or colour is not finite.
bool Serialise(const SurfaceSettings &settings, std::uint32_t width, std::uint32_t height,
               const std::string &imagePath, const std::string &fileDirectory, std::string *data,
               std::string *error);

// The saving half (the editor's skimbler_core_save, POSIX; not in the
// runtime's package, which only reads). Writes atomically: complete and synced before it replaces the old file,
// whose permissions it keeps. On failure the old file is left as it was and
// `error` says why.
bool Write(const std::string &path, const SurfaceSettings &settings, std::uint32_t width, std::uint32_t height,
           const std::string &imagePath, std::string *error);

} // namespace SurfaceFile
} // namespace skimbler
