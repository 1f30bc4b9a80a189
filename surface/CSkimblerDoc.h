#pragma once

#include "surface/Surface.h"
#include "surface/UserMessage.h"

#include <skimbler/SurfaceSettings.h>

#include <QList>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <cstdint>
#include <memory>

class DocumentView;
class ImagePreparer;
struct ShownImage;
class PixelImage;

// The application's one document: owns the surface, its image, its undo
// stack, the file path and the list of views that hear about changes. It is
// the only writer of the surface: every edit is a command on the stack, and
// "modified" means the stack is away from its clean state. Files are read
// into it by a DocumentLoader, which also follows the image on disk.
class CSkimblerDoc : public QObject
{
    Q_OBJECT

public:
    explicit CSkimblerDoc(QObject *parent = nullptr);
    ~CSkimblerDoc() override;

    // Re-initialises the document: loads "a.tga" from the working directory
    // into the surface, or starts
    // with no image when new documents are to be empty, clears the modified
    // flag and the path, and updates all views.
    virtual bool OnNewDocument();
    // A program started from the desktop has no folder of its own to take
    // "a.tga" from: its new documents start empty.
    void SetNewDocumentsEmpty(bool empty) { m_newDocumentsEmpty = empty; }

    // Who draws the document and prepares every picture a load brings
    // (its texture, made off the window's thread) before the document
    // changes: the load stays under way, shown and cancellable, until the
    // preparer is done. Null: the picture is taken as it arrives. A
    // preparer that goes away drops the load it was preparing.
    void SetImagePreparer(ImagePreparer *preparer);
    ImagePreparer *GetImagePreparer() const { return m_preparer; }
    // Puts back a surface kept by the automatic copy: its image and settings,
    // the file it belongs to (empty for a new surface) and the modified mark,
    // since none of it is on disk. Starts a history of its own.
    // `width` x `height` is the image size the copy stores, kept when the
    // image cannot be read; `diskStamp` is DiskStamp() as it was when the
    // copy was made.
    bool OnRecoverDocument(const skimbler::SurfaceSettings &settings, const QString &imagePath, const QString &pathName,
                           std::uint32_t width = 0, std::uint32_t height = 0, const QString &diskStamp = QString());
    // Writes the surface file atomically; on failure says why and keeps the
    // modified flag.
    virtual bool OnSaveDocument(const QString &path);

    // The image the surface shows, as an absolute path (empty if none).
    QString GetImagePath() const { return m_imagePath; }

    // The largest texture side the graphics driver takes, as the view (or
    // any other drawer) asked it once; 0 (the start) refuses nothing. An
    // image with a larger side is refused before the document changes.
    void SetMaxTextureSide(int side) { m_maxTextureSide = side; }
    int MaxTextureSide() const { return m_maxTextureSide; }

    // The decoded image the surface shows (none without one), and its
    // number, which changes with every new image (New, Open, reload): a
    // drawer makes its texture again when the number is not the one it
    // made it for.
    std::shared_ptr<const PixelImage> Image() const { return m_surface.Image; }
    std::uint64_t ImageRevision() const { return m_surface.ImageRevision; }

    bool IsModified() const;
    // false: the current state becomes the saved one. true: modified until
    // the next save, whatever undo does.
    void SetModifiedFlag(bool modified = true);

    QUndoStack *UndoStack() { return &m_undoStack; }
    skimbler::SurfaceSettings Settings() const { return m_surface; }
    // The one way to edit: pushes a command that makes `after` the surface's
    // settings, named `text` in the Edit menu. Nothing is pushed when nothing
    // would change. Consecutive pushes with the same non-zero `mergeKey` are
    // one undo step. Returns whether anything changed.
    bool ChangeSettings(const skimbler::SurfaceSettings &after, const QString &text, int mergeKey = 0);
    // A merge key no one has used yet (one per drag).
    int NewMergeKey();

    // Tells every view except `sender` (OnUpdate), then announces viewsUpdated.
    void UpdateAllViews(DocumentView *sender, long hint = 0, QObject *hintObject = nullptr);
    void AddView(DocumentView *view);
    void RemoveView(DocumentView *view);

    QString GetPathName() const { return m_pathName; }
    // Whether the surface file was written by someone else since this
    // document opened or last saved it (false when it is gone or there is
    // none): saving over it would lose their change.
    bool ChangedOnDisk() const;
    // What the surface file looked like then (size and times), to carry
    // over a crash.
    QString DiskStamp() const { return m_diskStamp; }
    void SetPathName(const QString &pathName);
    // The file name of the path, or "Skimbl" for a new document.
    QString GetTitle() const;

    // The surface as it stands, to read; it changes only through the
    // commands above (ChangeSettings) and the loader.
    const Surface &GetSurface() const { return m_surface; }

Q_SIGNALS:
    // What the user is to be told about this document's files (one that
    // cannot be opened, saved or read, here or by its DocumentLoader), in
    // order, at the moment it happens; "reported" means said here. A
    // reload's failure is the loader's imageReloadFailed instead.
    void tellUser(const UserMessage &message);
    void modifiedChanged(bool modified);
    void titleChanged(const QString &title);
    // After every UpdateAllViews, including the one that follows a new or
    // opened document: panels re-read the surface here.
    void viewsUpdated();
    // A new, opened or recovered surface is about to take this one's place:
    // a load still under way is dropped first.
    void resetting();
    // The surface shows another picture (a new document, an open, an undone
    // or redone replacement): whoever follows the image file follows this one.
    void imageShown();
    // SetImagePreparer changed the preparer.
    void imagePreparerChanged();

private:
    // The loader reads and the commands edit; no one else changes the
    // surface.
    friend class DocumentLoader;
    friend class ImageCommand;
    friend class SurfaceCommand;
    // Tests' own seam (tests/common), to arrange a surface without a history.
    friend class SurfaceTestAccess;

    // An opened file takes the surface's place, with a history of its own:
    // `stored` is a surface file's settings, image size and disk stamp (the
    // size kept when its picture is missing), null for an image alone, which
    // gets the defaults and no surface file.
    struct StoredSurface
    {
        skimbler::SurfaceSettings settings;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        QString diskStamp;
    };
    void TakeOpened(const QString &pathName, const QString &imagePath, std::shared_ptr<const PixelImage> image,
                    const StoredSurface *stored);
    // The picture at `imagePath` in place of the one there is, every setting
    // kept, as one undoable step.
    void PushImage(const QString &imagePath, std::shared_ptr<const PixelImage> image);
    // The image file read again: only the picture and its size change, not
    // the history.
    void TakeReloadedImage(std::shared_ptr<const PixelImage> image);
    // Puts `image` on the surface; the replacement command's undo and redo.
    void ShowImage(const ShownImage &image);
    // Writes the settings and tells every view; the edit command's.
    void ApplySettings(const skimbler::SurfaceSettings &settings);
    // Hands `message` up through tellUser; the loader's words go there too.
    void Tell(const UserMessage &message) { Q_EMIT tellUser(message); }

    Surface m_surface;
    QList<DocumentView *> m_views;
    ImagePreparer *m_preparer = nullptr;
    QString m_diskStamp;
    QString m_pathName;
    QString m_imagePath;
    bool m_newDocumentsEmpty = false;
    int m_maxTextureSide = 0;
    QUndoStack m_undoStack;
    bool m_forcedModified = false;
    bool m_reportedModified = false;
    int m_lastMergeKey = 0;

    void ResetHistory();
    void AnnounceModified();
};
