#pragma once

#include <QString>

#include <vector>

// What the view, Export Image and skimbler-cli render show behind the
// surface: the checkerboard, or one opaque colour (dark grey and black for
// judging additive blends). Drawn as a tile in every case, so the view's
// cache, the export and the pixel probe need no second way.
struct ViewBackground
{
    bool Checker = true;
    unsigned char Red = 0;  // the colour when not the checkerboard
    unsigned char Green = 0;
    unsigned char Blue = 0;

    static ViewBackground Colour(int red, int green, int blue);
    static ViewBackground Dark() { return Colour(51, 51, 51); }
    static ViewBackground Black() { return Colour(0, 0, 0); }

    // "checker", "dark", "black" or "#rrggbb"; false for anything else.
    static bool Parse(const QString &text, ViewBackground *background);
    // The word Parse reads back ("dark" and "black" for those colours).
    QString Name() const;

    // The tile it is drawn with: BackgroundCache::TileSize pixels a side,
    // four bytes a pixel.
    std::vector<unsigned char> TilePixels() const;

    bool operator==(const ViewBackground &other) const
    {
        return Checker == other.Checker
            && (Checker || (Red == other.Red && Green == other.Green && Blue == other.Blue));
    }
    bool operator!=(const ViewBackground &other) const { return !(*this == other); }
};
