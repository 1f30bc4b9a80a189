#pragma once

#include "skimbler/Scene.h"

#include <QByteArray>
#include <QString>

class CSkimblerDoc;
class QMimeData;
class Surface;

// The surface's render state on the clipboard: JSON in the surface file's
// own format (for pasting back, here or in another Skimbler) and, as plain
// text, the OpenGL 1.1 calls that draw it.
namespace SurfaceClipboard {

// The MIME type of the JSON; also offered as application/json.
extern const char *const MimeType;

// Both forms, ready for the clipboard; null if the surface cannot be written
// (a corner that is not a finite number).
QMimeData *MakeMimeData(const Surface &surface, const QString &imagePath, int viewWidth, int viewHeight,
                        bool projective, QString *error, double aspect = skimbler::scene::Aspect);

// Makes the settings in `mime` the document's as one undoable step: points,
// corner colours, filters, blend factors, colour key and flags; the image
// stays. False, nothing changed and `error` saying why, when `mime` holds no
// surface settings. `changed` says whether anything differed.
bool Paste(const QMimeData *mime, CSkimblerDoc *document, QString *error, bool *changed = nullptr);

} // namespace SurfaceClipboard
