#include "cli/Commands.h"

#include "cli/OutputSafety.h"

#include "render/BackgroundCache.h"
#include "render/CodeListing.h"
#include "render/CodeListingVulkan.h"
#include "render/CodeListingWebGl.h"
#include "render/ExportDrawing.h"
#include "render/GraphicalInterface.h"
#include "render/HeadlessContext.h"
#include "render/TextureUpload.h"
#include "surface/CSkimblerDoc.h"
#include "surface/MessageBox.h"
#include "surface/PixelImage.h"

#include "skimbler/DrawState.h"
#include "skimbler/GltfExport.h"
#include "skimbler/SurfaceFile.h"
#include "skimbler/ValueTable.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <GL/gl.h>

#include <cmath>
#include <string>

namespace {

QTextStream &Out()
{
    static QTextStream stream(stdout);
    return stream;
}

void Complain(const QString &line)
{
    QTextStream err(stderr);
    err << line << '\n';
}

// Opens `path` as File > Open does, with whatever the editor would show in a
// box kept as text. False when the editor would have said anything: a
// surface file whose image cannot be read opens there, but not here.
bool Open(CSkimblerDoc *document, const QString &path, QString *message)
{
    QStringList said;
    MessageBox::Handler previous = MessageBox::setHandler([&said](const MessageBox::Message &shown) {
        // A box shows the file it is about below the text; a line names it
        // at the end when the text does not.
        QString line = shown.text.simplified();
        if (!shown.detail.isEmpty() && !line.contains(QFileInfo(shown.detail).fileName()))
            line += QStringLiteral(" (%1)").arg(shown.detail);
        said.append(line);
        return MessageBox::ResultOk;
    });
    // The limit of the context current here, as the editor's view gives its own.
    document->SetMaxTextureSide(TextureUpload::MaxSide());
    const bool opened = document->OnOpenDocument(path);
    MessageBox::setHandler(std::move(previous));
    if (opened && said.isEmpty())
        return true;
    *message = said.isEmpty() ? QStringLiteral("could not be opened") : said.join(QLatin1Char(' '));
    return false;
}

void ReportFile(const QString &path, const QString &message)
{
    Complain(path + QStringLiteral(": ") + message);
}

// Why `path` could not be opened; named once, by the editor's message when
// it names the file itself.
void ReportOpenFailure(const QString &path, const QString &message)
{
    const QString name = QFileInfo(path).fileName();
    if (message.startsWith(name + QLatin1Char(':')))
        Complain(path + message.mid(name.size()));
    else if (message.contains(QLatin1Char('"') + QFileInfo(path).absoluteFilePath() + QLatin1Char('"')))
        Complain(message);
    else
        ReportFile(path, message);
}

// An OpenGL context of the editor's kind, current until it goes.
bool MakeContext(HeadlessContext *context, const QSize &size, bool quiet)
{
    std::string error;
    if (context->Create(HeadlessContext::Api::Compatibility, size.width(), size.height(), &error))
        return true;
    if (!quiet)
        Complain(QStringLiteral("skimbler-cli: no OpenGL to draw with: %1").arg(QString::fromStdString(error)));
    return false;
}

// Where each input's picture goes: OUT itself for one input (or a file in
// it when it is a folder), else a file named after the input in the folder
// OUT, numbered when two inputs share a name.
QStringList OutputPaths(const Invocation &invocation, const QString &suffix, QString *error)
{
    QStringList paths;
    const QFileInfo out(invocation.output);
    const bool folder = OutputIsFolder(invocation);
    if (!folder) {
        paths.append(invocation.output);
        return paths;
    }
    if (out.exists() && !out.isDir()) {
        *error = QStringLiteral("\"%1\" is not a folder, and several pictures go there").arg(invocation.output);
        return QStringList();
    }
    if (!QDir().mkpath(invocation.output)) {
        *error = QStringLiteral("could not make the folder \"%1\"").arg(invocation.output);
        return QStringList();
    }
    const QDir directory(invocation.output);
    QSet<QString> taken;
    for (const QString &input : invocation.inputs) {
        const QString base = QFileInfo(input).completeBaseName();
        QString name = base + suffix;
        for (int n = 2; taken.contains(name); ++n)
            name = QStringLiteral("%1-%2%3").arg(base).arg(n).arg(suffix);
        taken.insert(name);
        paths.append(directory.filePath(name));
    }
    return paths;
}

// The projection's aspect: --size's own with --true-shape, else the fixed 4:3.
double AspectOf(const Invocation &invocation)
{
    return invocation.trueShape ? skimbler::TrueShapeAspect(invocation.size.width(), invocation.size.height())
                                : skimbler::scene::Aspect;
}

skimbler::DrawState Resolved(const CSkimblerDoc &document, const Invocation &invocation)
{
    return CodeListing::Resolve(document.surface, invocation.size.width(), invocation.size.height(),
                                invocation.projective, AspectOf(invocation));
}

// JSON pieces: numbers as the shortest text that reads back as the float.
QString Number(float value)
{
    if (!std::isfinite(value))
        return QStringLiteral("null");
    return CodeListing::FloatLiteral(value).chopped(1);
}

QString Text(const QString &text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20)
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString Numbers(const float *values, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts.append(Number(values[i]));
    return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString Bool(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// An enumerant by its OpenGL name, or by number when it has none.
QString Enum(const std::vector<skimbler::ValueTable::Entry> &table, std::uint32_t value)
{
    const QString name = QString::fromLatin1(skimbler::ValueTable::NameOf(table, value));
    if (name != QLatin1String(skimbler::ValueTable::Unknown))
        return Text(name);
    return QString::number(value);
}

QString FixedEnum(std::uint32_t value)
{
    switch (value) {
    case skimbler::gl::CLAMP: return Text(QStringLiteral("GL_CLAMP"));
    case skimbler::gl::REPEAT: return Text(QStringLiteral("GL_REPEAT"));
    case skimbler::gl::MODULATE: return Text(QStringLiteral("GL_MODULATE"));
    case skimbler::gl::TRIANGLE_STRIP: return Text(QStringLiteral("GL_TRIANGLE_STRIP"));
    default: return QString::number(value);
    }
}

QString DrawStateJson(const skimbler::DrawState &state, const QString &file, const QString &image,
                      const Invocation &invocation)
{
    QStringList vertices;
    for (const skimbler::DrawVertex &vertex : state.Vertices) {
        vertices.append(QStringLiteral("    {\"position\": %1, \"texCoord\": %2, \"colour\": %3}")
                            .arg(Numbers(vertex.Position, 3), Numbers(vertex.TexCoord, 4), Numbers(vertex.Colour, 4)));
    }
    QStringList fields;
    fields << QStringLiteral("\"file\": %1").arg(Text(file));
    fields << QStringLiteral("\"image\": %1").arg(Text(image));
    fields << QStringLiteral("\"imageWidth\": %1").arg(state.ImageWidth);
    fields << QStringLiteral("\"imageHeight\": %1").arg(state.ImageHeight);
    fields << QStringLiteral("\"viewWidth\": %1").arg(invocation.size.width());
    fields << QStringLiteral("\"viewHeight\": %1").arg(invocation.size.height());
    fields << QStringLiteral("\"primitive\": %1").arg(FixedEnum(state.Primitive));
    fields << QStringLiteral("\"vertices\": [\n%1\n  ]").arg(vertices.join(QStringLiteral(",\n")));
    fields << QStringLiteral("\"vertexColours\": %1").arg(Bool(state.VertexColours));
    fields << QStringLiteral("\"projective\": %1").arg(Bool(state.Projective));
    fields << QStringLiteral("\"magFilter\": %1").arg(Enum(skimbler::ValueTable::MagFilter(), state.MagFilter));
    fields << QStringLiteral("\"minFilter\": %1").arg(Enum(skimbler::ValueTable::MinFilter(), state.MinFilter));
    fields << QStringLiteral("\"needsMipmaps\": %1").arg(Bool(state.NeedsMipmaps));
    fields << QStringLiteral("\"blend\": %1").arg(Bool(state.Blend));
    fields << QStringLiteral("\"srcFactor\": %1").arg(Enum(skimbler::ValueTable::BlendFactor(), state.SrcFactor));
    fields << QStringLiteral("\"destFactor\": %1").arg(Enum(skimbler::ValueTable::BlendFactor(), state.DestFactor));
    fields << QStringLiteral("\"wrapS\": %1").arg(FixedEnum(state.WrapS));
    fields << QStringLiteral("\"wrapT\": %1").arg(FixedEnum(state.WrapT));
    fields << QStringLiteral("\"textureEnvMode\": %1").arg(FixedEnum(state.TextureEnvMode));
    // What the surface holds where OpenGL refuses it; the fields above are
    // what is drawn instead.
    QStringList refused;
    if (state.MagRefused())
        refused << QStringLiteral("\"magFilter\": %1").arg(Enum(skimbler::ValueTable::MinFilter(), state.RequestedMagFilter));
    if (state.MinRefused())
        refused << QStringLiteral("\"minFilter\": %1").arg(Enum(skimbler::ValueTable::MinFilter(), state.RequestedMinFilter));
    if (state.BlendRefused()) {
        refused << QStringLiteral("\"srcFactor\": %1").arg(Enum(skimbler::ValueTable::BlendFactor(), state.RequestedSrcFactor));
        refused << QStringLiteral("\"destFactor\": %1").arg(Enum(skimbler::ValueTable::BlendFactor(), state.RequestedDestFactor));
    }
    if (!refused.isEmpty())
        fields << QStringLiteral("\"refused\": {%1}").arg(refused.join(QStringLiteral(", ")));
    return QStringLiteral("{\n  ") + fields.join(QStringLiteral(",\n  ")) + QStringLiteral("\n}\n");
}

} // namespace

int RunRender(const Invocation &invocation)
{
    QString error;
    const QStringList outputs = OutputPaths(invocation, QStringLiteral(".png"), &error);
    if (outputs.isEmpty()) {
        Complain(QStringLiteral("skimbler-cli: ") + error);
        return ExitFailed;
    }
    // All or nothing: a refused path stops the call before any picture is
    // written, so no input is lost to the first of several outputs.
    const QString refusal = OutputRefusal(invocation.inputs, outputs, invocation.force);
    if (!refusal.isEmpty()) {
        Complain(QStringLiteral("skimbler-cli: ") + refusal);
        return ExitFailed;
    }
    // Every picture gets a buffer of its own size; the context's is unused.
    HeadlessContext context;
    if (!MakeContext(&context, QSize(1, 1), false))
        return ExitFailed;
    GraphicalInterface gi;
    gi.Init(invocation.size.width(), invocation.size.height());
    gi.ProjectiveTexture = invocation.projective;
    const std::vector<unsigned char> tilePixels = invocation.background.TilePixels();
    TextureImage tile = gi.CreateImage(tilePixels.data(), BackgroundCache::TileSize, BackgroundCache::TileSize, 32);
    tile.Pixels = nullptr;

    ExportDrawing::Picture picture;
    picture.Width = invocation.size.width();
    picture.Height = invocation.size.height();
    picture.Background = !invocation.transparent;
    picture.Aspect = AspectOf(invocation);

    int status = ExitOk;
    for (int i = 0; i < invocation.inputs.size(); ++i) {
        const QString &input = invocation.inputs.at(i);
        // A document of its own: an image opened into the last one would
        // keep flag bits and fields of the surface before it.
        CSkimblerDoc document;
        QString message;
        if (!Open(&document, input, &message)) {
            ReportOpenFailure(input, message);
            status = ExitFailed;
            continue;
        }
        const QImage image = ExportDrawing::Render(&gi, &document.surface, tile, picture, &message);
        if (image.isNull()) {
            ReportFile(input, message);
            status = ExitFailed;
            continue;
        }
        const QString written = ExportDrawing::WritePng(image, outputs.at(i));
        if (!written.isEmpty()) {
            ReportFile(input, QStringLiteral("Could not write \"%1\": %2.")
                                  .arg(QDir::toNativeSeparators(outputs.at(i)), written));
            status = ExitFailed;
        }
    }
    // The surface's texture goes while the context is still current.
    gi.Release();
    const GLuint tileName = tile.Texture;
    glDeleteTextures(1, &tileName);
    return status;
}

int RunCheck(const Invocation &invocation)
{
    // With OpenGL, images too large for a texture are refused as the editor
    // refuses them; without, the files are read all the same.
    HeadlessContext context;
    MakeContext(&context, QSize(1, 1), true);
    int status = ExitOk;
    for (const QString &input : invocation.inputs) {
        CSkimblerDoc document;
        QString message;
        if (!Open(&document, input, &message)) {
            ReportOpenFailure(input, message);
            status = ExitFailed;
        }
    }
    return status;
}

// The one input of info and code, opened, or reported.
bool OpenOnly(CSkimblerDoc *document, const Invocation &invocation)
{
    const QString &input = invocation.inputs.first();
    QString message;
    if (Open(document, input, &message))
        return true;
    ReportOpenFailure(input, message);
    return false;
}

int RunInfo(const Invocation &invocation)
{
    CSkimblerDoc document;
    if (!OpenOnly(&document, invocation))
        return ExitFailed;
    const QString &input = invocation.inputs.first();
    Out() << DrawStateJson(Resolved(document, invocation), input, document.GetImagePath(), invocation);
    Out().flush();
    return ExitOk;
}

int RunCode(const Invocation &invocation)
{
    CSkimblerDoc document;
    if (!OpenOnly(&document, invocation))
        return ExitFailed;
    const int width = invocation.size.width();
    const int height = invocation.size.height();
    const std::shared_ptr<const PixelImage> &image = document.surface.Image;
    const bool rgb = image && image->Components() == 3;
    if (invocation.api == Invocation::Webgl2) {
        Out() << CodeListing::WebGl2Code(Resolved(document, invocation), document.GetImagePath(), rgb, width, height);
    } else if (invocation.api == Invocation::Vulkan) {
        if (!CodeListing::HasVulkanCode()) {
            Complain(QStringLiteral("skimbler-cli: this build has no Vulkan code to list (it was built without "
                                    "the Vulkan headers or a GLSL compiler)"));
            return ExitFailed;
        }
        Out() << CodeListing::VulkanCode(Resolved(document, invocation), document.GetImagePath(), rgb, width, height);
    } else if (invocation.api == Invocation::Gl11) {
        Out() << CodeListing::OpenGl11Calls(document.surface, document.GetImagePath(), width, height,
                                            invocation.projective, AspectOf(invocation));
    } else {
        const CodeListing::ShaderApi api =
            invocation.api == Invocation::Gl33 ? CodeListing::ShaderApi::Gl33 : CodeListing::ShaderApi::Gles3;
        Out() << CodeListing::ShaderCode(api, Resolved(document, invocation), document.GetImagePath(), width,
                                         height, AspectOf(invocation));
    }
    Out().flush();
    return ExitOk;
}

int RunExport(const Invocation &invocation)
{
    if (invocation.format == Invocation::Png)
        return RunRender(invocation);
    const bool binary = invocation.format == Invocation::Glb;
    QString error;
    const QStringList outputs = OutputPaths(invocation, binary ? QStringLiteral(".glb") : QStringLiteral(".gltf"), &error);
    if (outputs.isEmpty()) {
        Complain(QStringLiteral("skimbler-cli: ") + error);
        return ExitFailed;
    }
    const QString refusal = OutputRefusal(invocation.inputs, outputs, invocation.force);
    if (!refusal.isEmpty()) {
        Complain(QStringLiteral("skimbler-cli: ") + refusal);
        return ExitFailed;
    }
    // A context only so that images too large for a texture are refused as
    // the editor refuses them.
    HeadlessContext context;
    MakeContext(&context, QSize(1, 1), true);
    int status = ExitOk;
    for (int i = 0; i < invocation.inputs.size(); ++i) {
        const QString &input = invocation.inputs.at(i);
        CSkimblerDoc document;
        QString message;
        if (!Open(&document, input, &message)) {
            ReportOpenFailure(input, message);
            status = ExitFailed;
            continue;
        }
        const std::shared_ptr<const PixelImage> pixels = document.Image();
        if (!pixels || pixels->IsNull()) {
            ReportFile(input, QStringLiteral("has no picture to export"));
            status = ExitFailed;
            continue;
        }
        skimbler::GltfInput gltf;
        gltf.Settings = document.surface;
        gltf.ImageWidth = std::uint32_t(pixels->Width());
        gltf.ImageHeight = std::uint32_t(pixels->Height());
        gltf.Options.ViewWidth = invocation.size.width();
        gltf.Options.ViewHeight = invocation.size.height();
        gltf.Options.Projective = invocation.projective;
        gltf.Options.Aspect = AspectOf(invocation);
        gltf.Generator = "Skimbler " SKIMBLER_VERSION;
        gltf.FileFormatVersion = std::uint32_t(skimbler::SurfaceFile::FormatVersion);
        const std::vector<std::uint8_t> padded =
            skimbler::PadImage(pixels->Pixels(), gltf.ImageWidth, gltf.ImageHeight, pixels->Format(),
                               pixels->BytesPerPixel(), pixels->Components());
        const QImage image(padded.data(), pixels->Width() + 2, pixels->Height() + 2, QImage::Format_RGBA8888);
        QByteArray png;
        QBuffer pngBuffer(&png);
        pngBuffer.open(QIODevice::WriteOnly);
        // A 24-bit texture has no alpha: its PNG keeps none either.
        const QImage encoded = pixels->Components() == 4 ? image : image.convertToFormat(QImage::Format_RGB888);
        if (!encoded.save(&pngBuffer, "png")) {
            ReportFile(input, QStringLiteral("could not encode its picture"));
            status = ExitFailed;
            continue;
        }
        gltf.Png.assign(png.constBegin(), png.constEnd());
        const skimbler::GltfOutput result = skimbler::ExportGltf(gltf, binary);
        if (!result.Warning.empty())
            ReportFile(input, QString::fromStdString(result.Warning));
        QSaveFile file(outputs.at(i));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(reinterpret_cast<const char *>(result.Bytes.data()), qint64(result.Bytes.size()))
                != qint64(result.Bytes.size())
            || !file.commit()) {
            ReportFile(input, QStringLiteral("Could not write \"%1\": %2.")
                                  .arg(QDir::toNativeSeparators(outputs.at(i)), file.errorString()));
            status = ExitFailed;
        }
    }
    return status;
}
