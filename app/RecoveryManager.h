#pragma once

#include <skimbler/SurfaceSettings.h>

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class CSkimblerDoc;
class QLockFile;

// Keeps a copy of the document's unsaved state where a crash cannot take it:
// on a timer, only while the document is modified, never more than once per
// interval and only when something changed since the last copy. Each running
// instance holds a lock naming its own copy; a copy whose lock nobody holds
// belonged to an instance that died, and is offered back at the next start.
class RecoveryManager : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultIntervalSeconds = 30;
    // "Recovery/IntervalSeconds" in the settings; 0 or less turns the copies off.
    static int IntervalFromSettings();
    // Where every instance keeps its copies.
    static QString Folder();

    RecoveryManager(CSkimblerDoc *document, int intervalMs, QObject *parent = nullptr);
    // A clean exit: this instance's copy and lock go.
    ~RecoveryManager() override;

    // Offers, newest first, each copy left by an instance that is gone:
    // Recover (then the rest wait for the next start), Discard or Later.
    // One that cannot be read is reported and left where it is. Returns
    // whether a copy was recovered into the document.
    bool OfferOrphans();

    // This instance's copy of the surface (absent while nothing needs one).
    QString CopyPath() const;

Q_SIGNALS:
    // A copy could not be written (once, until one is written again); the
    // next interval tries again.
    void autosaveFailed(const QString &reason);

private:
    struct State
    {
        skimbler::SurfaceSettings settings;
        QString imagePath;
        QString pathName;
        bool operator==(const State &other) const
        {
            return settings == other.settings && imagePath == other.imagePath && pathName == other.pathName;
        }
    };

    State Current() const;
    bool TakeLock();
    void Failed(const QString &reason);
    void Tick();
    bool WriteCopy(const State &state, QString *error);
    void RemoveCopy();

    CSkimblerDoc *m_document;
    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
    QTimer m_timer;
    State m_written;
    bool m_hasCopy = false;
    bool m_failing = false;
};
