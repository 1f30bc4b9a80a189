#pragma once

#include "surface/ImageReader.h"

#include <skimbler/SurfaceSettings.h>

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class CSkimblerDoc;
class ImageLoadJob;
class ImagePreparer;
class PixelImage;
class QFileSystemWatcher;

// Reads files into one document: opens surfaces and images (here and now,
// or with the picture decoded on a worker so the window goes on drawing),
// replaces the image, and follows the image file on disk to reload it when
// it changes. The document itself never reads; it takes what the loader
// read, and a new, opened or recovered document drops the load under way.
class DocumentLoader : public QObject
{
    Q_OBJECT

public:
    // `document` must outlive the loader.
    explicit DocumentLoader(CSkimblerDoc *document, QObject *parent = nullptr);
    ~DocumentLoader() override;

    CSkimblerDoc *Document() const { return m_document; }

    // Opens a surface file (every field and its image) or an image (as a
    // new surface with the defaults). A file that cannot be used is reported
    // and leaves the document as it was.
    bool Open(const QString &path);
    // The same open with the picture decoded on a worker. A file refused at
    // once (missing, not a surface) is reported and false returned;
    // otherwise the open ends later with loadEnded, then documentOpened or
    // openFailed (already reported, nothing changed). A cancel, or any other
    // open, new or recovered document in the meantime, ends it with
    // loadEnded alone and the late picture is dropped.
    bool BeginOpen(const QString &path);
    // Makes the image at `path` the surface's picture and size, keeping
    // every setting, as one undoable step; the file watch follows the new
    // image. An image that cannot be used is reported as Open reports it
    // and changes nothing.
    bool Replace(const QString &path);
    // Replace with the picture decoded on a worker; ends with loadEnded,
    // then imageReplaced, or nothing (reported) when the image is refused.
    bool BeginReplace(const QString &path);
    // Drops the open, replacement or reload under way; the surface stays.
    void Cancel();
    bool IsLoading() const { return m_pending.has_value(); }
    // Asked when an open's picture arrives after the history moved since the
    // open began (the user edited while waiting): false keeps the edits and
    // drops the open. Without a gate the open goes ahead.
    void SetOpenGate(std::function<bool()> gate) { m_openGate = std::move(gate); }

    // Reads the image file again, keeping every setting, the modified flag
    // and the history: only the image and its size change. Decoded on a
    // worker; the new picture arrives later with imageReloaded. A failure
    // keeps the image there was and is announced by imageReloadFailed, not
    // shown in a box. A new or opened document drops a reload still
    // running, and no reload starts while an open is under way. Shown and
    // cancelled like an open (loadStarted with `reload`, Cancel). Runs by
    // itself shortly after the file changes on disk.
    // Returns whether a reload was started.
    bool Reload();

    // Changes whenever the file is written, replaced, made or removed
    // (empty when there is none).
    static QString FileStamp(const QString &path);

Q_SIGNALS:
    // An open, replacement or reload began (again, for a newer one),
    // advanced, ended.
    void loadStarted(const QString &path, bool reload);
    void loadProgress(int percent);
    void loadEnded();
    // `path` as it was asked for.
    void documentOpened(const QString &path);
    void openFailed(const QString &path);
    void imageReplaced(const QString &path);
    // After Reload: the image now shown, or why the old one stays.
    void imageReloaded(const QString &path);
    void imageReloadFailed(const QString &reason);

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
    // Hands a prepared load with its picture (none: `error` says why) to the
    // document; whether the document changed.
    bool FinishLoad(const PendingLoad &load, std::shared_ptr<PixelImage> image, const ImageError &error);
    // The picture decoded here and now, then FinishLoad.
    bool LoadNow(const PendingLoad &load);
    void StartLoad(PendingLoad load);
    void OnLoadArrived(std::shared_ptr<PixelImage> image, const ImageError &error);
    // The pending load's picture, prepared or not needing it, is applied.
    void ApplyArrived(std::shared_ptr<PixelImage> image, const ImageError &error);
    // The drawer that prepares pictures changed: what the old one was
    // making will never be ready.
    void OnPreparerChanged();
    ImageReader::SizeCheck TextureSizeCheck() const;

    // Follows the document's image file from now on: the file itself, and
    // its folder for the editors that save by writing a new file and
    // renaming it.
    void WatchImage();
    void OnWatchedPathChanged();

    CSkimblerDoc *m_document;
    QFileSystemWatcher *m_watcher;
    QTimer m_reloadTimer;
    ImageLoadJob *m_loadJob;
    std::optional<PendingLoad> m_pending;
    // The pending load's picture while a preparer works on it, and that
    // preparer.
    std::shared_ptr<PixelImage> m_preparing;
    ImagePreparer *m_preparingWith = nullptr;
    // Changes with every load started or dropped, so a late `ready` is known.
    quint64 m_loadNumber = 0;
    std::function<bool()> m_openGate;
    int m_historyMoves = 0;
    QString m_imageStamp;
};
