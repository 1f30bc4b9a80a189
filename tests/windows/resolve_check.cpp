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

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        skimbler::SurfaceRenderer renderer;
        std::string error;
        // Only the name: the folder differs from one system to the other.
        const char *name = std::strrchr(argv[i], '/');
        std::printf("%s\n", name ? name + 1 : argv[i]);
        if (!renderer.Open(argv[i], &error)) {
            std::printf("  refused: %s\n", error.c_str());
            continue;
        }
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
