// The surface as a glTF 2.0 asset (skimbler::ExportGltf): JSON with its data
// inline, or the binary form.
#include "render/outputs/Entries.h"

#include "render/CodeListing.h"
#include "render/OutputText.h"
#include "surface/PixelImage.h"
#include "surface/Surface.h"

#include "skimbler/GltfExport.h"
#include "skimbler/SurfaceFile.h"

#include <QBuffer>
#include <QCoreApplication>

namespace Outputs {

namespace {

QString FactorName(std::uint32_t factor)
{
    const QString name = OutputText::GlName(skimbler::ValueTable::BlendFactor(), factor);
    return name.isEmpty() ? QString::number(factor) : name;
}

Result Write(const Source &source, bool binary)
{
    Result result;
    const std::shared_ptr<const PixelImage> &pixels = source.image;
    if (!pixels || pixels->IsNull()) {
        result.error = QCoreApplication::translate("Outputs", "has no picture to export");
        return result;
    }
    skimbler::GltfInput gltf;
    gltf.Settings = *source.surface;
    gltf.ImageWidth = std::uint32_t(pixels->Width());
    gltf.ImageHeight = std::uint32_t(pixels->Height());
    gltf.Options.ViewWidth = source.view.width();
    gltf.Options.ViewHeight = source.view.height();
    gltf.Options.Projective = source.projective;
    gltf.Options.Aspect = source.aspect;
    gltf.Zoom = source.zoom;
    gltf.Generator = "Skimbler " SKIMBLER_VERSION;
    gltf.FileFormatVersion = std::uint32_t(skimbler::SurfaceFile::FormatVersion);
    const std::vector<std::uint8_t> padded =
        skimbler::PadImage(pixels->Pixels(), gltf.ImageWidth, gltf.ImageHeight, pixels->Format(),
                           pixels->BytesPerPixel(), pixels->Components());
    QImage image(padded.data(), pixels->Width() + 2, pixels->Height() + 2, QImage::Format_RGBA8888);
    // A texture has no physical size: one fixed resolution, not the screen's,
    // so the same surface exports the same bytes with or without a display.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    // A 24-bit texture has no alpha: its PNG keeps none either.
    const QImage encoded = pixels->Components() == 4 ? image : image.convertToFormat(QImage::Format_RGB888);
    if (!encoded.save(&pngBuffer, "png")) {
        result.error = QCoreApplication::translate("Outputs", "could not encode its picture");
        return result;
    }
    gltf.Png.assign(png.constBegin(), png.constEnd());
    const skimbler::GltfOutput made = skimbler::ExportGltf(gltf, binary);
    if (!made.Warning.empty()) {
        const skimbler::DrawState state = CodeListing::Resolve(*source.surface, source.view.width(),
                                                               source.view.height(), source.projective, source.aspect);
        result.warnings << QCoreApplication::translate("Outputs",
                                                       "blending %1 / %2 is kept in the material's extras; viewers "
                                                       "and engines that do not read it draw plain alpha blending")
                               .arg(FactorName(state.SrcFactor), FactorName(state.DestFactor));
    }
    // A glTF camera has no lens shift: the panned picture is the PNG's alone.
    if (!source.pan.isNull())
        result.warnings << QCoreApplication::translate("Outputs",
                                                       "the view's pan is left out: a glTF camera cannot shift "
                                                       "its picture");
    result.bytes = QByteArray(reinterpret_cast<const char *>(made.Bytes.data()), qsizetype(made.Bytes.size()));
    return result;
}

Result WriteText(const Source &source)
{
    return Write(source, false);
}

Result WriteBinary(const Source &source)
{
    return Write(source, true);
}

} // namespace

const Output GltfText{"gltf", QT_TRANSLATE_NOOP("Outputs", "glTF 2.0"), Kind::File, {QStringLiteral("gltf")}, false,
                      &WriteText};
const Output GltfBinary{"glb", QT_TRANSLATE_NOOP("Outputs", "glTF binary"), Kind::File, {QStringLiteral("glb")},
                        false, &WriteBinary};

} // namespace Outputs
