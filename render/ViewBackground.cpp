#include "render/ViewBackground.h"

#include "render/BackgroundCache.h"

#include <QRegularExpression>

#include <algorithm>

ViewBackground ViewBackground::Colour(int red, int green, int blue)
{
    ViewBackground background;
    background.Checker = false;
    background.Red = static_cast<unsigned char>(std::clamp(red, 0, 255));
    background.Green = static_cast<unsigned char>(std::clamp(green, 0, 255));
    background.Blue = static_cast<unsigned char>(std::clamp(blue, 0, 255));
    return background;
}

bool ViewBackground::Parse(const QString &text, ViewBackground *background)
{
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("checker")) {
        *background = ViewBackground();
        return true;
    }
    if (word == QLatin1String("dark")) {
        *background = Dark();
        return true;
    }
    if (word == QLatin1String("black")) {
        *background = Black();
        return true;
    }
    static const QRegularExpression hex(QStringLiteral("^#([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})$"));
    const QRegularExpressionMatch match = hex.match(word);
    if (!match.hasMatch())
        return false;
    *background = Colour(match.captured(1).toInt(nullptr, 16), match.captured(2).toInt(nullptr, 16),
                         match.captured(3).toInt(nullptr, 16));
    return true;
}

QString ViewBackground::Name() const
{
    if (Checker)
        return QStringLiteral("checker");
    if (*this == Dark())
        return QStringLiteral("dark");
    if (*this == Black())
        return QStringLiteral("black");
    return QStringLiteral("#%1%2%3")
        .arg(Red, 2, 16, QLatin1Char('0'))
        .arg(Green, 2, 16, QLatin1Char('0'))
        .arg(Blue, 2, 16, QLatin1Char('0'));
}

std::vector<unsigned char> ViewBackground::TilePixels() const
{
    if (Checker)
        return BackgroundCache::TilePixels();
    const int size = BackgroundCache::TileSize;
    std::vector<unsigned char> pixels(static_cast<size_t>(size * size * 4));
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = Red;
        pixels[i + 1] = Green;
        pixels[i + 2] = Blue;
        pixels[i + 3] = 255;
    }
    return pixels;
}
