// Writes the runtime's Vulkan GLSL for the build to compile to SPIR-V:
//   skimbler_vulkan_glsl <vertex file> <fragment file>
#include "skimbler/VulkanShaders.h"

#include <cstdio>
#include <fstream>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <vertex file> <fragment file>\n", argv[0]);
        return 2;
    }
    const skimbler::ShaderSources sources = skimbler::VulkanShaderSources();
    std::ofstream vertex(argv[1], std::ios::binary), fragment(argv[2], std::ios::binary);
    vertex << sources.Vertex;
    fragment << sources.Fragment;
    return vertex && fragment ? 0 : 1;
}
