#include "cli/Commands.h"

#include "cli/OutputSafety.h"

#include "render/BackgroundCache.h"
#include "render/ExportDrawing.h"
#include "render/GraphicalInterface.h"
#include "render/HeadlessContext.h"
#include "render/Outputs.h"
#include "render/TextureUpload.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <GL/gl.h>

#include <cstdio>
#include <string>

namespace {

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
    const QMetaObject::Connection hearing
        = QObject::connect(document, &CSkimblerDoc::tellUser, [&said](const UserMessage &told) {
              // A box shows the file it is about below the text; a line names
              // it at the end when the text does not.
              QString line = told.text.simplified();
              if (!told.detail.isEmpty() && !line.contains(QFileInfo(told.detail).fileName()))
                  line += QStringLiteral(" (%1)").arg(told.detail);
              said.append(line);
          });
    // The limit of the context current here, as the editor's view gives its own.
    document->SetMaxTextureSide(TextureUpload::MaxSide());
    const bool opened = DocumentLoader(document).Open(path);
    QObject::disconnect(hearing);
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

// What the registry's outputs are made from: the document as opened, the
// input as the user named it, the window of --size.
Outputs::Source SourceOf(const CSkimblerDoc &document, const QString &input, const Invocation &invocation)
{
    Outputs::Source source = Outputs::FromDocument(document);
    source.surfacePath = input;
    source.view = invocation.size;
    source.projective = invocation.projective;
    source.aspect = AspectOf(invocation);
    source.zoom = invocation.zoom;
    source.pan = invocation.pan;
    return source;
}

void Print(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int RunRender(const Invocation &invocation)
{
    return RunExport(invocation);
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
    const Outputs::Output *report = Outputs::Find(QStringLiteral("info"), Outputs::Kind::Report);
    Print(report->write(SourceOf(document, invocation.inputs.first(), invocation)).bytes);
    return ExitOk;
}

int RunCode(const Invocation &invocation)
{
    CSkimblerDoc document;
    if (!OpenOnly(&document, invocation))
        return ExitFailed;
    const Outputs::Result result = invocation.api->write(SourceOf(document, invocation.inputs.first(), invocation));
    if (!result.error.isEmpty()) {
        Complain(QStringLiteral("skimbler-cli: ") + result.error);
        return ExitFailed;
    }
    Print(result.bytes);
    return ExitOk;
}

int RunExport(const Invocation &invocation)
{
    const Outputs::Output &format = *invocation.format;
    QString error;
    const QStringList outputs = OutputPaths(invocation, QLatin1Char('.') + format.suffixes.first(), &error);
    if (outputs.isEmpty()) {
        Complain(QStringLiteral("skimbler-cli: ") + error);
        return ExitFailed;
    }
    // All or nothing: a refused path stops the call before any file is
    // written, so no input is lost to the first of several outputs.
    const QString refusal = OutputRefusal(invocation.inputs, outputs, invocation.force);
    if (!refusal.isEmpty()) {
        Complain(QStringLiteral("skimbler-cli: ") + refusal);
        return ExitFailed;
    }
    // A picture needs OpenGL; any other output takes a context only so that
    // images too large for a texture are refused as the editor refuses them.
    // Every picture gets a buffer of its own size; the context's is unused.
    HeadlessContext context;
    if (!MakeContext(&context, QSize(1, 1), !format.draws) && format.draws)
        return ExitFailed;
    GraphicalInterface gi;
    TextureImage tile;
    ExportDrawing::Picture picture;
    if (format.draws) {
        gi.Init(invocation.size.width(), invocation.size.height());
        gi.ProjectiveTexture = invocation.projective;
        const std::vector<unsigned char> tilePixels = invocation.background.TilePixels();
        tile = gi.CreateImage(tilePixels.data(), BackgroundCache::TileSize, BackgroundCache::TileSize, 32);
        tile.Pixels = nullptr;
        picture.Width = invocation.size.width();
        picture.Height = invocation.size.height();
        picture.Background = !invocation.transparent;
        picture.Aspect = AspectOf(invocation);
        picture.Zoom = invocation.zoom;
        picture.PanX = float(invocation.pan.x());
        picture.PanY = float(invocation.pan.y());
    }

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
        Outputs::Source source = SourceOf(document, input, invocation);
        if (format.draws) {
            source.draw = [&](QString *why) {
                return ExportDrawing::Render(&gi, &document.GetSurface(), tile, picture, why);
            };
        }
        const Outputs::Result result = format.write(source);
        for (const QString &warning : result.warnings)
            ReportFile(input, warning);
        if (!result.error.isEmpty()) {
            ReportFile(input, result.error);
            status = ExitFailed;
            continue;
        }
        const QString written = Outputs::WriteFile(outputs.at(i), result.bytes);
        if (!written.isEmpty()) {
            ReportFile(input, QStringLiteral("Could not write \"%1\": %2.")
                                  .arg(QDir::toNativeSeparators(outputs.at(i)), written));
            status = ExitFailed;
        }
    }
    if (format.draws) {
        // The surface's texture goes while the context is still current.
        gi.Release();
        const GLuint tileName = tile.Texture;
        glDeleteTextures(1, &tileName);
    }
    return status;
}
