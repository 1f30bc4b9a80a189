#pragma once

// What opening any bytes as a surface file must keep, shared by the fuzz
// target and the replay of its corpus: a refused file leaves the document,
// its path, its modified mark and its undo history exactly as they were and
// says so naming the file; an accepted one shows exactly what the file holds
// with a fresh history, and what it saves reads back to the same surface and
// writes the same bytes again.

#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"
#include "surface/UserMessage.h"
#include "surface/Surface.h"

#include <skimbler/SurfaceFile.h>
#include <skimbler/SurfaceSettings.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

#include <cstring>
#include <string>

namespace SurfaceFileCheck {

namespace SurfaceFile = skimbler::SurfaceFile;

inline std::string Native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// A folder with a small valid image and a surface file using it, which every
// check opens first; each input is written next to them.
struct Workspace
{
    QString folder;
    QString image;
    QString start;
    QString input;
    QString saved;
};

inline bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
        && file.flush();
}

// A 2 x 2 32-bit uncompressed TGA.
inline QByteArray SmallImage()
{
    QByteArray bytes(12, '\0');
    bytes[2] = 2;
    const char info[6] = {2, 0, 2, 0, 32, 0};
    bytes.append(info, 6);
    for (int i = 0; i < 16; ++i)
        bytes.append(static_cast<char>(i * 17));
    return bytes;
}

inline bool CreateWorkspace(const QString &folder, Workspace *workspace)
{
    if (!QDir().mkpath(folder))
        return false;
    const QDir dir(folder);
    workspace->folder = dir.absolutePath();
    workspace->image = dir.absoluteFilePath(QStringLiteral("card.tga"));
    workspace->start = dir.absoluteFilePath(QStringLiteral("start.skimbler"));
    workspace->input = dir.absoluteFilePath(QStringLiteral("input.skimbler"));
    workspace->saved = dir.absoluteFilePath(QStringLiteral("saved.skimbler"));
    if (!WriteBytes(workspace->image, SmallImage()))
        return false;
    skimbler::SurfaceSettings start = skimbler::DefaultSettings();
    start.Version = 3;
    start.ColorKey = 0xFF00FFu;
    start.SrcFactor = 770;
    start.DestFactor = 771;
    start.Flags = 0x2Bu;
    start.Points[2][1] = 0.8125f;
    start.Colors[1][3] = 0.25f;
    std::string error;
    return SurfaceFile::Write(Native(workspace->start), start, 0, 0, Native(workspace->image), &error);
}

// Every field of a surface, byte for byte.
inline QByteArray SurfaceBytes(const Surface &s)
{
    QByteArray bytes;
    const auto add = [&bytes](const void *data, std::size_t size) {
        bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
    };
    for (const std::uint32_t *field : {&s.Version, &s.BPP, &s.Type, &s.DataFormat, &s.Width,
                                       &s.Height, &s.ColorKey, &s.MagFilter, &s.MinFilter, &s.SrcFactor,
                                       &s.DestFactor, &s.Flags})
        add(field, sizeof *field);
    add(&s.ImageRevision, sizeof s.ImageRevision);
    add(s.Points, sizeof s.Points);
    add(s.Colors, sizeof s.Colors);
    return bytes;
}

struct DocumentState
{
    QByteArray surface;
    QString path;
    QString imagePath;
    bool modified = false;
    int undoSteps = 0;
    int undoIndex = 0;

    explicit DocumentState(CSkimblerDoc &doc)
        : surface(SurfaceBytes(doc.GetSurface())), path(doc.GetPathName()), imagePath(doc.GetImagePath()),
          modified(doc.IsModified()), undoSteps(doc.UndoStack()->count()), undoIndex(doc.UndoStack()->index())
    {
    }
    bool operator==(const DocumentState &other) const
    {
        return surface == other.surface && path == other.path && imagePath == other.imagePath
            && modified == other.modified && undoSteps == other.undoSteps && undoIndex == other.undoIndex;
    }
};

// `into` takes every stored field from `contents` and the texture and size
// of `image`, as opening a file does.
inline void ApplyAsOpened(const SurfaceFile::Contents &contents, const Surface &image, Surface *into)
{
    static_cast<skimbler::SurfaceSettings &>(*into) = contents.Settings;
    into->Image = image.Image;
    into->ImageRevision = image.ImageRevision;
    into->Width = image.Width;
    into->Height = image.Height;
}

// Opens `bytes` as a surface file in a document that has just opened the
// workspace's own file and been changed. Returns what went wrong, or an
// empty string; `accepted` tells whether the document took the file.
inline QString Check(const Workspace &workspace, const QByteArray &bytes, bool *accepted = nullptr)
{
    if (accepted)
        *accepted = false;
    if (!WriteBytes(workspace.input, bytes))
        return QStringLiteral("the input could not be written");

    CSkimblerDoc doc;
    QList<UserMessage> messages;
    QObject::connect(&doc, &CSkimblerDoc::tellUser, [&messages](const UserMessage &message) { messages.append(message); });
    if (!DocumentLoader(&doc).Open(workspace.start) || !messages.isEmpty())
        return QStringLiteral("the workspace's own file did not open");
    // An edit the user could undo, so the history is part of what must survive.
    skimbler::SurfaceSettings edited = doc.Settings();
    edited.Points[1][0] = 0.375f;
    if (!doc.ChangeSettings(edited, QStringLiteral("Move")) || !doc.IsModified())
        return QStringLiteral("the workspace's surface could not be edited");
    const DocumentState before(doc);

    if (!DocumentLoader(&doc).Open(workspace.input)) {
        if (!(DocumentState(doc) == before))
            return QStringLiteral("a refused file changed the document");
        if (messages.size() != 1 || !messages.first().text.contains(QDir::toNativeSeparators(workspace.input)))
            return QStringLiteral("a refused file was not reported once, by name");
        return QString();
    }

    if (accepted)
        *accepted = true;
    if (doc.IsModified() || doc.GetPathName() != workspace.input)
        return QStringLiteral("an opened file left the document modified or under another name");
    if (doc.UndoStack()->count() != 0)
        return QStringLiteral("an opened file kept the history of the previous one");
    SurfaceFile::Contents contents;
    std::string error;
    if (!SurfaceFile::Parse(bytes.toStdString(), Native(workspace.folder), &contents, &error))
        return QStringLiteral("the document took a file the reader refuses");
    Surface expected;
    ApplyAsOpened(contents, doc.GetSurface(), &expected);
    if (SurfaceBytes(expected) != SurfaceBytes(doc.GetSurface()))
        return QStringLiteral("the document does not hold what the file says");
    const QString imagePath = QFile::decodeName(QByteArray::fromStdString(contents.imagePath));
    if (doc.GetImagePath() != imagePath || (!imagePath.isEmpty() && !QFileInfo(imagePath).isAbsolute()))
        return QStringLiteral("the image path is not the file's, made absolute");

    // Serialise, parse, serialise again: the same surface and the same bytes.
    std::string first;
    if (!SurfaceFile::Serialise(doc.GetSurface(), doc.GetSurface().Width, doc.GetSurface().Height, Native(doc.GetImagePath()),
                                Native(workspace.folder), &first, &error))
        return QStringLiteral("an opened surface cannot be written: ") + QString::fromStdString(error);
    SurfaceFile::Contents reread;
    if (!SurfaceFile::Parse(first, Native(workspace.folder), &reread, &error))
        return QStringLiteral("what was written does not read back: ") + QString::fromStdString(error);
    Surface again;
    ApplyAsOpened(reread, doc.GetSurface(), &again);
    if (SurfaceBytes(again) != SurfaceBytes(doc.GetSurface()) || reread.Width != doc.GetSurface().Width
        || reread.Height != doc.GetSurface().Height)
        return QStringLiteral("what was written reads back as another surface");
    if (QFileInfo(QFile::decodeName(QByteArray::fromStdString(reread.imagePath))).absoluteFilePath()
        != QFileInfo(doc.GetImagePath()).absoluteFilePath())
        return QStringLiteral("what was written names another image");
    std::string second;
    if (!SurfaceFile::Serialise(again, reread.Width, reread.Height, reread.imagePath, Native(workspace.folder), &second,
                                &error)
        || second != first)
        return QStringLiteral("writing what was read back gives other bytes");

    // The save itself writes exactly those bytes and clears the mark.
    doc.SetModifiedFlag(true);
    if (!doc.OnSaveDocument(workspace.saved) || doc.IsModified())
        return QStringLiteral("an opened surface could not be saved");
    QFile saved(workspace.saved);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll().toStdString() != first)
        return QStringLiteral("the saved file differs from what was written");
    return QString();
}

} // namespace SurfaceFileCheck
