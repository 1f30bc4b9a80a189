#pragma once

#include <cstdio>

struct TgaImage;

// Reads an uncompressed (type 2) or run-length encoded (type 10) true-colour
// TGA file of 24 or 32 bits. Every failure is reported through MessageBox
// and leaves no buffer in `image` and no file open.
bool LoadTga(TgaImage *image, const char *fileName);

// The two decoders, called with the file just past the 12-byte header.
// Each closes `file` before it returns.
bool LoadUncompressedTga(TgaImage *image, std::FILE *file);
bool LoadCompressedTga(TgaImage *image, std::FILE *file);
