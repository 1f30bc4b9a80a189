#pragma once

#include "surface/ImageReader.h"

class PixelImage;
class QString;

// The TGA kinds the true-colour loader leaves alone: colour-mapped (types
// 1 and 9) and greyscale (3 and 11), plain or run-length encoded, with 8-
// or 16-bit pixels. Neither Qt nor its plug-ins read them.
class TgaOtherTypes
{
public:
    enum Outcome {
        Decoded,      // `image` holds the picture, bottom row first, alpha kept
        NotThisKind,  // not one of these kinds: nothing was said
        Failed,       // `error` says why
    };

    static Outcome Read(const QString &path, const ImageReader::SizeCheck &sizeCheck, PixelImage *image,
                        ImageError *error);
};
