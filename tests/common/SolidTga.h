#pragma once

#include <QByteArray>
#include <QFile>
#include <QRgb>
#include <QString>

// Writes a 32-bit uncompressed TGA of one colour; false if it could not.
inline bool WriteSolidTga(const QString &path, int width, int height, QRgb colour)
{
    QByteArray data(18, '\0');
    data[2] = 2;
    data[12] = char(width & 0xFF);
    data[13] = char(width >> 8);
    data[14] = char(height & 0xFF);
    data[15] = char(height >> 8);
    data[16] = 32;
    for (int i = 0; i < width * height; ++i) {
        data.append(char(qBlue(colour)));
        data.append(char(qGreen(colour)));
        data.append(char(qRed(colour)));
        data.append(char(qAlpha(colour)));
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}
