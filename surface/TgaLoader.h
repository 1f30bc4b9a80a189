#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

struct TgaImage;
struct UserMessage;

// Why a read failed: the message and caption the user is to be shown, and
// the header's image-type byte when the header was read (-1 otherwise). A
// null text means the caller's size check refused the image.
struct TgaFailure
{
    const char *text = nullptr;
    const char *caption = nullptr;
    int imageType = -1;
};

// Called with the image's size once the header has been checked and before
// anything is allocated for its pixels; false refuses the image.
using TgaSizeCheck = std::function<bool(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel)>;

// Reads an uncompressed (type 2) or run-length encoded (type 10) true-colour
// TGA file of 24 or 32 bits and tells no one: a failure is described in
// `failure` and leaves no buffer in `image` and no file open.
bool ReadTga(TgaImage *image, const char *fileName, TgaFailure *failure, const TgaSizeCheck &sizeCheck = {});

// ReadTga with a failure put in `message` as the user is to be told it
// (untouched on success; null: not wanted).
bool LoadTga(TgaImage *image, const char *fileName, UserMessage *message = nullptr);

// The two decoders, called with the file just past the 12-byte header.
// Each closes `file` before it returns and words a failure as LoadTga does.
bool LoadUncompressedTga(TgaImage *image, std::FILE *file, UserMessage *message = nullptr);
bool LoadCompressedTga(TgaImage *image, std::FILE *file, UserMessage *message = nullptr);
