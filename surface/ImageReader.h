#pragma once

#include "surface/UserMessage.h"

#include <QString>
#include <QStringList>

#include <functional>

class PixelImage;

// Why an image could not be had, as the user is to be told: the text and
// caption, and the file it is about.
struct ImageError
{
    QString text;
    QString caption;
    UserMessage::Icon icon = UserMessage::NoIcon;
    QString path;

    // "<file name>: <reason>" under the program's caption.
    static ImageError About(const QString &path, const QString &reason);
    // "<file name>: the image is W x H pixels, <refusal>".
    static ImageError TooLarge(const QString &path, int width, int height, const QString &refusal);

    // As the user is told it, with the file's path as its detail.
    UserMessage Message() const;
};

// Turns an image file into pixels ready for a texture. TGA files of type 2
// and 10 go through our own loader, with its messages; every other format,
// and every other kind of TGA, through the toolkit's image reader.
class ImageReader
{
public:
    // Why a width x height image of 3 or 4 components cannot be used, or
    // empty; asked before any pixel is decoded.
    using SizeCheck = std::function<QString(int width, int height, int components)>;

    // Hears how far the file has been read (bytes so far, of total) while
    // the toolkit's reader decodes it, and may stop it: false makes every
    // later read of the file fail, so the decoder gives up early. Called on
    // the reading thread.
    using Observer = std::function<bool(qint64 done, qint64 total)>;

    // On success `image` holds the picture, first row at the bottom as a
    // TGA stores it, alpha kept. On failure `error` says why; nothing is
    // reported.
    static bool Read(const QString &path, const SizeCheck &sizeCheck, PixelImage *image, ImageError *error,
                     const Observer &observer = Observer());

    // Whether a side exceeds `maxSide`, the largest texture side the
    // graphics driver takes (0: unknown, never refused), in the words the
    // user is shown. Safe on any thread.
    static QString SideRefusal(int width, int height, int maxSide);

    // Every file-name suffix some reader takes, lower case, "tga" first.
    static QStringList Suffixes();
    // By suffix, or for an unknown suffix by the file's first bytes.
    static bool IsImageFile(const QString &path);
};
