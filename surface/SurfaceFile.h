#pragma once

#include <QString>

#include <cstdint>

class Surface;

// The program's own document file: UTF-8 JSON naming the format and its
// version, the image (relative to the file, with the absolute path as a
// fallback) and every field of the surface.
class SurfaceFile
{
public:
    static const char *const FormatName;  // "skimbler-surface"
    static constexpr int FormatVersion = 1;
    static const char *const Extension;   // "skimbler"

    // Everything a file holds, checked and ready to be put into a surface.
    struct Contents
    {
        QString imagePath;          // resolved: the relative path if that file exists, else the absolute one
        QString relativeImagePath;  // as stored
        QString absoluteImagePath;  // as stored
        std::uint32_t Version = 0;
        std::uint32_t BPP = 0;
        std::uint32_t Type = 0;
        std::uint32_t DataFormat = 0;
        std::uint32_t Width = 0;
        std::uint32_t Height = 0;
        std::uint32_t ColorKey = 0;
        std::uint32_t MagFilter = 0;
        std::uint32_t MinFilter = 0;
        std::uint32_t SrcFactor = 0;
        std::uint32_t DestFactor = 0;
        std::uint32_t Flags = 0;
        float Points[4][3] = {};
        float Colors[4][4] = {};
    };

    // Writes atomically: on failure the old file is left as it was and
    // `error` says why.
    static bool Write(const QString &path, const Surface &surface, const QString &imagePath, QString *error);

    // Reads and checks a whole file; on failure `error` says what is wrong
    // and `contents` is untouched.
    static bool Read(const QString &path, Contents *contents, QString *error);
    static bool Parse(const QByteArray &data, const QString &fileDirectory, Contents *contents, QString *error);

    // Copies every stored setting into `surface`; the texture and the image
    // size stay those of the image actually loaded.
    static void Apply(const Contents &contents, Surface *surface);

    static QByteArray Serialise(const Surface &surface, const QString &imagePath, const QString &fileDirectory,
                                QString *error);
};
