#pragma once

#include "surface/ImageReader.h"
#include "surface/Surface.h"
#include "surface/UserMessage.h"

#include <skimbler/SurfaceSettings.h>

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUndoStack>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class DocumentView;
class ImagePreparer;
struct ShownImage;
class ImageLoadJob;
class PixelImage;
class QFileSystemWatcher;

// The application's one document: owns the surface, its undo stack, the
// file path and the list of views that hear about changes. It is the only
// writer of the surface's editable settings: every edit is a command on the
// stack, and "modified" means the stack is away from its clean state.
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

    // Opens a surface file (every field and its image) or an image (as a
    // new surface with the defaults). A file that cannot be used is reported
    // and leaves the document as it was.
    virtual bool OnOpenDocument(const QString &path);
    // The same open with the picture decoded on a worker, so the window goes
    // on drawing. A file refused at once (missing, not a surface) is reported
    // and false returned; otherwise the open ends later with loadEnded, then
    // documentOpened or openFailed (already reported, nothing changed). A
    // cancel, or any other open, new or recovered document in the meantime,
    // ends it with loadEnded alone and the late picture is dropped.
    bool BeginOpenDocument(const QString &path);
    // ReplaceImage with the picture decoded on a worker; ends with loadEnded,
    // then imageReplaced, or nothing (reported) when the image is refused.
    bool BeginReplaceImage(const QString &path);
    // Drops the open or replacement under way; the surface stays as it is.
    void CancelLoad();
    bool IsLoading() const { return m_pending.has_value(); }
    // Asked to prepare every picture a load brings (its texture, made off
    // the window's thread) before the document changes: the load stays
    // under way, shown and cancellable, until the preparer is done. Null:
    // the picture is taken as it arrives. A preparer that goes away drops
    // the load it was preparing.
    void SetImagePreparer(ImagePreparer *preparer);
    ImagePreparer *GetImagePreparer() const { return m_preparer; }
    // Asked when an open's picture arrives after the history moved since the
    // open began (the user edited while waiting): false keeps the edits and
    // drops the open. Without a gate the open goes ahead.
    void SetOpenGate(std::function<bool()> gate) { m_openGate = std::move(gate); }
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

    // Reads the image file again, keeping every setting, the modified flag
    // and the history: only the image and its size change. The file is decoded on a worker, so the window goes on
    // drawing; the new picture arrives later with imageReloaded. A failure
    // keeps the image there was and is announced by imageReloadFailed,
    // not shown in a box. A new or opened document drops a reload still
    // running, and no reload starts while an open is under way. Shown and
    // cancelled like an open (loadStarted with `reload`, CancelLoad). Runs
    // by itself shortly after the file changes on disk.
    // Returns whether a reload was started.
    bool ReloadImage();

    // Makes the image at `path` the surface's picture and size, keeping
    // every setting, as one undoable step (named in the Edit menu); the file
    // watch follows the new image. An image that cannot be used is reported
    // as Open reports it and changes nothing.
    bool ReplaceImage(const QString &path);
    // Puts `image` on the surface and watches its file; for the commands only.
    void ShowImage(const ShownImage &image);

    // The largest texture side the graphics driver takes, as the view (or
    // any other drawer) asked it once; 0 (the start) refuses nothing. An
    // image with a larger side is refused before the document changes.
    void SetMaxTextureSide(int side) { m_maxTextureSide = side; }
    int MaxTextureSide() const { return m_maxTextureSide; }

    // The decoded image the surface shows (none without one), and its
    // number, which changes with every new image (New, Open, reload): a
    // drawer makes its texture again when the number is not the one it
    // made it for.
    std::shared_ptr<const PixelImage> Image() const { return surface.Image; }
    std::uint64_t ImageRevision() const { return surface.ImageRevision; }

    bool IsModified() const;
    // false: the current state becomes the saved one. true: modified until
    // the next save, whatever undo does.
    void SetModifiedFlag(bool modified = true);

    QUndoStack *UndoStack() { return &m_undoStack; }
    skimbler::SurfaceSettings Settings() const { return surface; }
    // The one way to edit: pushes a command that makes `after` the surface's
    // settings, named `text` in the Edit menu. Nothing is pushed when nothing
    // would change. Consecutive pushes with the same non-zero `mergeKey` are
    // one undo step. Returns whether anything changed.
    bool ChangeSettings(const skimbler::SurfaceSettings &after, const QString &text, int mergeKey = 0);
    // A merge key no one has used yet (one per drag).
    int NewMergeKey();
    // Writes the settings and tells every view; for the commands only.
    void ApplySettings(const skimbler::SurfaceSettings &settings);

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

    Surface surface;

Q_SIGNALS:
    // What the user is to be told (a file that cannot be opened, saved or
    // read), in order, at the moment it happens; "reported" below means
    // said here. A reload's failure is imageReloadFailed instead.
    void tellUser(const UserMessage &message);
    void modifiedChanged(bool modified);
    void titleChanged(const QString &title);
    // After every UpdateAllViews, including the one that follows a new or
    // opened document: panels re-read the surface here.
    void viewsUpdated();
    // After ReloadImage: the image now shown, or why the old one stays.
    void imageReloaded(const QString &path);
    void imageReloadFailed(const QString &reason);
    // An open, replacement or reload began (again, for a newer one),
    // advanced, ended.
    void loadStarted(const QString &path, bool reload);
    void loadProgress(int percent);
    void loadEnded();
    // `path` as it was asked for.
    void documentOpened(const QString &path);
    void openFailed(const QString &path);
    void imageReplaced(const QString &path);

private:
    // What an open or replacement will do once its picture is decoded.
    struct PendingLoad
    {
        enum Kind { OpenImage, OpenSurface, Replace, Reload } kind = OpenImage;
        QString asked;      // the path as given
        QString path;       // the file opened, absolute
        QString imagePath;  // the picture to decode
        skimbler::SurfaceSettings settings;  // a surface file's
        QString diskStamp;                   // the surface file as it was read
        std::uint32_t width = 0;             // the image size it stores
        std::uint32_t height = 0;
        int historyMark = 0;
    };
    bool PrepareOpen(const QString &path, PendingLoad *load);
    bool PrepareReplace(const QString &path, PendingLoad *load);
    // Applies a prepared load with its picture (none: `error` says why);
    // whether the document changed.
    bool FinishLoad(const PendingLoad &load, std::shared_ptr<PixelImage> image, const ImageError &error);
    // The picture decoded here and now, then FinishLoad.
    bool LoadNow(const PendingLoad &load);
    void StartLoad(PendingLoad load);
    void OnLoadArrived(std::shared_ptr<PixelImage> image, const ImageError &error);
    // The pending load's picture, prepared or not needing it, is applied.
    void ApplyArrived(std::shared_ptr<PixelImage> image, const ImageError &error);

    // Follows the image file from now on: the file itself, and its folder
    // for the editors that save by writing a new file and renaming it.
    void WatchImage();
    void OnWatchedPathChanged();
    ImageReader::SizeCheck TextureSizeCheck() const;

    QList<DocumentView *> m_views;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_reloadTimer;
    ImageLoadJob *m_loadJob = nullptr;
    std::optional<PendingLoad> m_pending;
    ImagePreparer *m_preparer = nullptr;
    // The pending load's picture while the preparer works on it.
    std::shared_ptr<PixelImage> m_preparing;
    // Changes with every load started or dropped, so a late `ready` is known.
    quint64 m_loadNumber = 0;
    std::function<bool()> m_openGate;
    int m_historyMoves = 0;
    QString m_imageStamp;
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
