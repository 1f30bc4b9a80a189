#pragma once

#include "skimbler/Scene.h"

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CSkimblerDoc;
class PixelImage;
class Surface;

// Everything Skimbler writes a surface as: pictures, glTF assets, source
// listings, the draw-state report, one entry each. File > Export Image, Edit >
// Copy and skimbler-cli all take their formats from here, so a new format is
// one file in render/outputs/ and its line in render/outputs/List.h.
namespace Outputs {

// What an output is made from.
struct Source
{
    const Surface *surface = nullptr;
    std::shared_ptr<const PixelImage> image;  // the decoded picture; null when there is none
    QString surfacePath;                      // as the user named it
    QString imagePath;
    QSize view{800, 600};  // the window the surface is drawn in
    bool projective = false;
    double aspect = skimbler::scene::Aspect;  // the projection's (skimbler::View::Aspect)
    float zoom = 1.0f;                        // the view's (skimbler::View::Zoom)
    QPointF pan;                              // the view's, window pixels; a camera cannot hold it
    // The surface drawn at `view`'s size by the caller's context, for the
    // outputs that are pictures; a null image, with the reason, on failure.
    std::function<QImage(QString *error)> draw;
};

// A document's surface, picture and paths; the view and `draw` are the caller's.
Source FromDocument(const CSkimblerDoc &document);

struct Result
{
    QByteArray bytes;
    // Where a reader may show the output otherwise than the editor draws it.
    QStringList warnings;
    QString error;  // empty when the bytes were made
};

enum class Kind {
    File,     // a file named with one of its suffixes: File > Export Image, skimbler-cli export
    Listing,  // source code that draws the surface: Edit > Copy, skimbler-cli code --api
    Report,   // text about the surface: skimbler-cli info
};

struct Output
{
    const char *id;     // the command line's word for it: --format png, --api gl33
    const char *name;   // for people; the editor translates a file's (context "Outputs")
    Kind kind;
    QStringList suffixes;  // without the point; the first is the one given to new names
    bool draws;            // needs Source::draw
    Result (*write)(const Source &source);
};

// Every output, in the order dialogs and --help list them.
const std::vector<const Output *> &All();
std::vector<const Output *> OfKind(Kind kind);
// By id; nullptr when there is no such output, or it is not of `kind`.
const Output *Find(const QString &id, Kind kind);
// The file output `path`'s suffix names (any case); nullptr when none does.
const Output *ForPath(const QString &path);
// "png, gltf or glb": the ids of `kind`, for messages.
QString IdList(Kind kind);
// ".png, .gltf or .glb": the first suffix of every file output.
QString SuffixList();
// "PNG image (*.png)", with `name` (the output's, translated or not) in front.
QString FileFilter(const Output &output, const QString &name);

// The listings Edit > Copy puts on the clipboard as text, and Edit > Copy as
// shader code.
constexpr const char *CopyListing = "gl11";
constexpr const char *ShaderCopyListing = "gl33";

// Writes `bytes` as the whole of `path`, complete or not at all
// (ExportDrawing::WriteFile, write-sync-rename). Every output file goes
// through here. An empty string when done, else why not, in the system's words.
QString WriteFile(const QString &path, const QByteArray &bytes);

// Whether the two paths name one file (by identity: another spelling, a
// symbolic or a hard link of it too). False when either does not exist.
bool SameFile(const QString &a, const QString &b);

} // namespace Outputs
