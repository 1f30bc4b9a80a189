// libFuzzer target for core's surface file reader on its own, no Qt: any
// bytes either are refused with a reason, or parse to settings that write
// out and read back to the same settings and the same bytes.

#include <skimbler/SurfaceFile.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace SurfaceFile = skimbler::SurfaceFile;

namespace {
[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "surface parse check failed: %s\n", what);
    std::abort();
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    SurfaceFile::Contents contents;
    std::string error;
    if (!SurfaceFile::Parse(bytes, "/nonexistent/folder", &contents, &error)) {
        if (error.empty())
            Fail("a refusal without a reason");
        return 0;
    }
    std::string first;
    if (!SurfaceFile::Serialise(contents.Settings, contents.Width, contents.Height, contents.imagePath,
                                "/nonexistent/folder", &first, &error))
        Fail("parsed settings cannot be written");
    SurfaceFile::Contents again;
    if (!SurfaceFile::Parse(first, "/nonexistent/folder", &again, &error))
        Fail("what was written does not read back");
    if (!(again.Settings == contents.Settings) || again.Width != contents.Width || again.Height != contents.Height)
        Fail("what was written reads back as other settings");
    std::string second;
    if (!SurfaceFile::Serialise(again.Settings, again.Width, again.Height, again.imagePath, "/nonexistent/folder",
                                &second, &error)
        || second != first)
        Fail("writing what was read back gives other bytes");
    return 0;
}
