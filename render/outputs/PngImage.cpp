// The surface as the view draws it, as a PNG file.
#include "render/outputs/Entries.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageWriter>

namespace Outputs {

namespace {

Result Write(const Source &source)
{
    Result result;
    const QImage image = source.draw ? source.draw(&result.error) : QImage();
    if (image.isNull()) {
        if (result.error.isEmpty())
            result.error = QStringLiteral("nothing drew the picture");
        return result;
    }
    QBuffer buffer(&result.bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        result.bytes.clear();
        result.error = writer.errorString();
    }
    return result;
}

} // namespace

const Output PngImage{"png", QT_TRANSLATE_NOOP("Outputs", "PNG image"), Kind::File, {QStringLiteral("png")}, true,
                      &Write};

} // namespace Outputs
