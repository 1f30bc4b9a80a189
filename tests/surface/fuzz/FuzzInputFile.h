#pragma once

// The readers under test open real files, so each input is written to one
// file per process, named after the target; whatever goes wrong here is the
// harness's fault, not the reader's, and stops the run.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

inline const std::string &WriteFuzzInput(const char *stem, const std::uint8_t *data, std::size_t size)
{
    static const std::string path = "/tmp/" + std::string(stem) + "_" + std::to_string(getpid()) + ".tga";
    std::FILE *out = std::fopen(path.c_str(), "wb");
    if (!out)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size)
        std::abort();
    std::fclose(out);
    return path;
}
