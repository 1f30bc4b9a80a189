// Reads surface files through the runtime and prints what Resolve gives for
// them, bit for bit: the same program built for Linux and for Windows must
// print the same text.

#include "skimbler/DrawState.h"
#include "skimbler/SurfaceRenderer.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::uint32_t Bits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The image's name and its folder's, with '/' between: the rest differs
// from one system to the other, and so does a backslash (a separator on
// Windows only).
std::string Tail(std::string path)
{
    for (char &c : path) {
        if (c == '\\')
            c = '/';
    }
    const std::size_t last = path.rfind('/');
    if (last == std::string::npos || last == 0)
        return path.substr(last == std::string::npos ? 0 : 1);
    const std::size_t before = path.rfind('/', last - 1);
    return path.substr(before == std::string::npos ? 0 : before + 1);
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        skimbler::SurfaceRenderer renderer;
        std::string error;
        // Only the name: the folder differs from one system to the other.
        const std::string argument = argv[i];
        const std::size_t slash = argument.find_last_of("/\\");
        std::printf("%s\n", argument.substr(slash == std::string::npos ? 0 : slash + 1).c_str());
        if (!renderer.Open(argv[i], &error)) {
            std::printf("  refused: %s\n", error.c_str());
            continue;
        }
        // Where the image was looked for, and whether it is there: a path
        // resolved against the wrong folder names a file that is not.
        const std::string &image = renderer.ImagePath();
        std::FILE *found = image.empty() ? nullptr : std::fopen(image.c_str(), "rb");
        std::printf("  image %s: %s\n", found ? "found" : "missing", Tail(image).c_str());
        if (found)
            std::fclose(found);
        skimbler::View view;
        view.Width = 800;
        view.Height = 600;
        for (const bool projective : {false, true}) {
            const skimbler::DrawState s = renderer.Resolved(view, projective);
            std::printf("  projective %d: %u %u mag %x/%x min %x/%x mipmaps %d blend %x %x / %x %x colours %d q %d\n",
                        int(projective), unsigned(s.ImageWidth), unsigned(s.ImageHeight), unsigned(s.MagFilter),
                        unsigned(s.RequestedMagFilter), unsigned(s.MinFilter), unsigned(s.RequestedMinFilter),
                        int(s.NeedsMipmaps), unsigned(s.SrcFactor), unsigned(s.DestFactor),
                        unsigned(s.RequestedSrcFactor), unsigned(s.RequestedDestFactor), int(s.VertexColours),
                        int(s.Projective));
            for (const skimbler::DrawVertex &v : s.Vertices) {
                std::printf("   ");
                for (float f : v.Position)
                    std::printf(" %08x", unsigned(Bits(f)));
                for (float f : v.TexCoord)
                    std::printf(" %08x", unsigned(Bits(f)));
                for (float f : v.Colour)
                    std::printf(" %08x", unsigned(Bits(f)));
                std::printf("\n");
            }
        }
    }
    return 0;
}
