#include "surface/TgaLoader.h"

#include "surface/TgaImage.h"

// Placeholder until the decoder lands.
bool LoadTga(TgaImage *, const char *)
{
    return false;
}

bool LoadUncompressedTga(TgaImage *, std::FILE *file)
{
    std::fclose(file);
    return false;
}

bool LoadCompressedTga(TgaImage *, std::FILE *file)
{
    std::fclose(file);
    return false;
}
