#pragma once

// Random operation sequences on a real document, with a model of the undo
// history to check it against. Shared by the seeded test and the soak tool.

#include "common/TgaTestFiles.h"
#include "surface/CSkimblerDoc.h"
#include "common/MessageRecorder.h"
#include "surface/DocumentLoader.h"
#include <skimbler/SurfaceSettings.h>

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>
#include <QUndoStack>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace RandomOps {

using skimbler::SurfaceSettings;

enum class Kind {
    Corner, Edge, Whole, Typed, Nudge, Filter, Blend, Flag, Colour, Paste, Reset, Same,
    Undo, Redo, Save, Reopen, New, Reload, MarkModified
};

// Everything an operation needs is drawn up front, so a sequence replays the
// same whatever the document's state, and any part of it is a sequence too.
struct Op
{
    Kind kind = Kind::Undo;
    int merge = 0;  // 0: its own step; 1: continues the last merging run; 2: starts a new run
    int index = 0;
    float a = 0;
    float b = 0;
    std::uint32_t value = 0;
    SurfaceSettings paste;
};

inline float Special(std::mt19937 &random)
{
    static const float values[] = {-0.0f, 0.0f, 1e-40f, -1e-40f, FLT_MAX, -FLT_MAX, 0.3f, 1.0f / 3.0f, 1e7f};
    return values[random() % (sizeof values / sizeof values[0])];
}

inline float Coordinate(std::mt19937 &random)
{
    if (random() % 8 == 0)
        return Special(random);
    return std::uniform_real_distribution<float>(-3.0f, 3.0f)(random);
}

inline float Channel(std::mt19937 &random)
{
    static const float values[] = {0.0f, -0.0f, 1.0f, 0.3f, 1e-40f};
    if (random() % 4 == 0)
        return values[random() % 5];
    return std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
}

inline std::vector<Op> Generate(std::uint32_t seed, int count)
{
    std::mt19937 random(seed);
    // Edits far more often than the file and history operations.
    static const std::pair<Kind, int> weights[] = {
        {Kind::Corner, 14}, {Kind::Edge, 6}, {Kind::Whole, 6}, {Kind::Typed, 8}, {Kind::Nudge, 10},
        {Kind::Filter, 4}, {Kind::Blend, 4}, {Kind::Flag, 4}, {Kind::Colour, 6}, {Kind::Paste, 3},
        {Kind::Reset, 2}, {Kind::Same, 2}, {Kind::Undo, 14}, {Kind::Redo, 9}, {Kind::Save, 3},
        {Kind::Reopen, 1}, {Kind::New, 1}, {Kind::Reload, 1}, {Kind::MarkModified, 1}};
    int total = 0;
    for (const auto &w : weights)
        total += w.second;
    std::vector<Op> ops;
    for (int n = 0; n < count; ++n) {
        Op op;
        int pick = int(random() % unsigned(total));
        for (const auto &w : weights) {
            if ((pick -= w.second) < 0) {
                op.kind = w.first;
                break;
            }
        }
        op.merge = int(random() % 3);
        op.index = int(random() % 16);
        op.a = Coordinate(random);
        op.b = Coordinate(random);
        op.value = std::uint32_t(random());
        if (op.kind == Kind::Colour)
            op.a = Channel(random);
        if (op.kind == Kind::Paste) {
            SurfaceSettings &p = op.paste;
            for (std::uint32_t *field : {&p.Version, &p.BPP, &p.Type, &p.DataFormat, &p.ColorKey, &p.MagFilter,
                                         &p.MinFilter, &p.SrcFactor, &p.DestFactor, &p.Flags})
                *field = std::uint32_t(random());
            for (auto &point : p.Points)
                for (float &v : point)
                    v = Coordinate(random);
            for (auto &colour : p.Colors)
                for (float &v : colour)
                    v = Channel(random);
        }
        ops.push_back(op);
    }
    return ops;
}

inline QString Describe(const Op &op)
{
    static const char *const names[] = {"corner", "edge", "whole", "typed", "nudge", "filter", "blend",
                                        "flag", "colour", "paste", "reset", "same", "undo", "redo",
                                        "save", "reopen", "new", "reload", "mark-modified"};
    return QStringLiteral("%1 merge=%2 index=%3 a=%4 b=%5 value=%6")
        .arg(QString::fromLatin1(names[int(op.kind)]))
        .arg(op.merge)
        .arg(op.index)
        .arg(double(op.a), 0, 'g', 9)
        .arg(double(op.b), 0, 'g', 9)
        .arg(op.value);
}

// Every byte, by the test's own measure rather than the type's operator.
inline bool Identical(const SurfaceSettings &a, const SurfaceSettings &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What a file gives back: JSON has no -0.
inline SurfaceSettings AsStored(SurfaceSettings s)
{
    for (auto &point : s.Points)
        for (float &v : point)
            v += 0.0f;
    for (auto &colour : s.Colors)
        for (float &v : colour)
            v += 0.0f;
    return s;
}

// The document's history against the expected one: states[i] is what step
// i shows, `clean` the saved step (-1: none left), `forced` a modified mark
// set by hand. Returns what differs first, or an empty string.
inline QString CheckHistory(CSkimblerDoc *doc, const std::vector<SurfaceSettings> &states, int index, int clean,
                            bool forced)
{
    QUndoStack *stack = doc->UndoStack();
    if (stack->index() != index || stack->count() + 1 != int(states.size()))
        return QStringLiteral("history at %1 of %2, expected %3 of %4")
            .arg(stack->index()).arg(stack->count()).arg(index).arg(states.size() - 1);
    if (!Identical(doc->Settings(), states[size_t(index)]))
        return QStringLiteral("the settings are not those of the history's step %1").arg(index);
    const bool modified = forced || index != clean;
    if (doc->IsModified() != modified)
        return QStringLiteral("modified is %1, expected %2").arg(doc->IsModified()).arg(modified);
    return QString();
}

// Undo all the way, redo all, and back: each must show its step bit for bit.
inline QString WalkHistory(CSkimblerDoc *doc, const std::vector<SurfaceSettings> &states)
{
    QUndoStack *stack = doc->UndoStack();
    const int here = stack->index();
    for (int i : {0, stack->count(), here}) {
        stack->setIndex(i);
        if (!Identical(doc->Settings(), states[size_t(i)]))
            return QStringLiteral("going to step %1 of the history does not give its settings").arg(i);
    }
    return QString();
}

// Runs `ops` on a fresh document in a folder of its own; returns what went
// wrong first (and at which step), or an empty string. `checkEvery`: how
// often the whole history is walked through.
class Runner
{
public:
    QString Run(const std::vector<Op> &ops, int checkEvery = 64)
    {
        QTemporaryDir folder;
        if (!folder.isValid())
            return QStringLiteral("no temporary folder");
        m_folder = folder.path();
        const QString oldCwd = QDir::currentPath();
        QDir::setCurrent(m_folder);
        QString failure = TgaTestFiles::WriteSolid(File("a.tga"), 4, 4, qRgba(0, 0, 255, 255))
            ? RunIn(ops, checkEvery)
            : QStringLiteral("cannot write the image");
        QDir::setCurrent(oldCwd);
        return failure;
    }

    // What the documents of every run told the user.
    MessageRecorder told;

private:
    QString m_folder;
    CSkimblerDoc *m_doc = nullptr;
    DocumentLoader *m_loader = nullptr;
    // The expected history: states[i] is what index i shows, keys[i] the
    // merge key of the step into states[i + 1].
    std::vector<SurfaceSettings> m_states;
    std::vector<int> m_keys;
    int m_index = 0;
    int m_clean = 0;
    bool m_forced = false;
    int m_runKey = 0;
    SurfaceSettings m_saved;
    bool m_hasFile = false;
    std::uint64_t m_revision = 0;
    std::uint32_t m_width = 0, m_height = 0;
    int m_imageGeneration = 0;

    QString File(const char *name) const { return QDir(m_folder).filePath(QString::fromLatin1(name)); }

    void ResetModel()
    {
        m_states = {m_doc->Settings()};
        m_keys.clear();
        m_index = 0;
        m_clean = 0;
        m_forced = false;
        NoteImage();
    }
    void NoteImage()
    {
        m_revision = m_doc->ImageRevision();
        m_width = m_doc->GetSurface().Width;
        m_height = m_doc->GetSurface().Height;
    }

    int KeyFor(const Op &op)
    {
        if (op.merge == 0)
            return 0;
        if (op.merge == 2 || m_runKey == 0)
            m_runKey = m_doc->NewMergeKey();
        return m_runKey;
    }

    // The same edit on the document and on the model; returns whether the
    // document took it as a change.
    bool Push(const SurfaceSettings &after, int key)
    {
        const bool changed = m_doc->ChangeSettings(after, QStringLiteral("Random"), key);
        if (Identical(after, m_states[size_t(m_index)]))
            return changed;
        m_states.resize(size_t(m_index) + 1);
        m_keys.resize(size_t(m_index));
        if (m_clean > m_index)
            m_clean = -1;  // the saved state was among the steps a new edit drops
        // Merging never reaches back past the saved state.
        if (key != 0 && m_index > 0 && m_keys[size_t(m_index) - 1] == key && m_index != m_clean) {
            m_states[size_t(m_index)] = after;
            if (Identical(after, m_states[size_t(m_index) - 1])) {  // a run that ends where it began
                m_states.pop_back();
                m_keys.pop_back();
                --m_index;
            }
        } else {
            m_states.push_back(after);
            m_keys.push_back(key);
            ++m_index;
        }
        return changed;
    }

    QString Apply(const Op &op)
    {
        SurfaceSettings s = m_doc->Settings();
        const int corner = op.index % 4;
        switch (op.kind) {
        case Kind::Corner: s.Points[corner][0] += op.a; s.Points[corner][1] += op.b; break;
        case Kind::Edge:
            for (int c : {corner, (corner + 1) % 4}) {
                s.Points[c][0] += op.a;
                s.Points[c][1] += op.b;
            }
            break;
        case Kind::Whole:
            for (auto &point : s.Points) {
                point[0] += op.a;
                point[1] += op.b;
            }
            break;
        case Kind::Typed: s.Points[corner][op.value % 3] = op.a; break;
        case Kind::Nudge: s.Points[corner][op.value % 2] += (op.value & 4) ? 0.01f : -0.01f; break;
        case Kind::Filter: (op.value & 1 ? s.MagFilter : s.MinFilter) = 0x2600 + (op.value >> 1) % 4; break;
        case Kind::Blend: (op.value & 1 ? s.SrcFactor : s.DestFactor) = (op.value >> 1) % 10 + 0x300; break;
        case Kind::Flag: s.Flags ^= 1u << (op.value % 6); break;
        case Kind::Colour: s.Colors[corner][op.index / 4] = op.a; break;
        case Kind::Paste: s = op.paste; break;
        case Kind::Reset: {
            const float w = 4.0f / 3.0f;
            const float layout[4][3] = {{-w, 1, 0}, {-w, -1, 0}, {w, 1, 0}, {w, -1, 0}};
            std::memcpy(s.Points, layout, sizeof layout);
            break;
        }
        case Kind::Same: break;
        case Kind::Undo:
            m_doc->UndoStack()->undo();
            if (m_index > 0)
                --m_index;
            return QString();
        case Kind::Redo:
            m_doc->UndoStack()->redo();
            if (m_index + 1 < int(m_states.size()))
                ++m_index;
            return QString();
        case Kind::Save: {
            const QString path = File("s.skimbler");
            if (!m_doc->OnSaveDocument(path))
                return QStringLiteral("save failed");
            m_clean = m_index;
            m_forced = false;
            m_saved = m_doc->Settings();
            m_hasFile = true;
            return QString();
        }
        case Kind::Reopen:
            if (!m_hasFile)
                return QString();
            if (!m_loader->Open(File("s.skimbler")))
                return QStringLiteral("reopen failed");
            if (!Identical(m_doc->Settings(), AsStored(m_saved)))
                return QStringLiteral("the reopened file differs from what was saved");
            ResetModel();
            return QString();
        case Kind::New:
            m_doc->OnNewDocument();
            ResetModel();
            return QString();
        case Kind::Reload: {
            // Another size, so the reload shows; settings and history stay.
            ++m_imageGeneration;
            const int width = (m_imageGeneration % 2) ? 8 : 4;
            if (!TgaTestFiles::WriteSolid(m_doc->GetImagePath(), width, 16 / width, qRgba(255, 0, 0, 255)))
                return QStringLiteral("cannot rewrite the image");
            // The image is read on a worker; its arrival is an event.
            if (!m_loader->Reload()
                || !QTest::qWaitFor([this, width] { return m_doc->GetSurface().Width == std::uint32_t(width); }, 5000))
                return QStringLiteral("the reload did not take the new image");
            NoteImage();
            return QString();
        }
        case Kind::MarkModified:
            m_doc->SetModifiedFlag(true);
            m_forced = true;
            return QString();
        }
        // No editor hands over a point beyond a float (a save would refuse it).
        for (const auto &point : s.Points)
            for (float v : point)
                if (!std::isfinite(v))
                    s = m_doc->Settings();
        const bool same = Identical(s, m_states[size_t(m_index)]);
        if (Push(s, KeyFor(op)) == same)
            return same ? QStringLiteral("a change that changes nothing was pushed")
                        : QStringLiteral("a change was dropped as a no-op");
        return QString();
    }

    QString Check()
    {
        const QString failure = CheckHistory(m_doc, m_states, m_index, m_clean, m_forced);
        return failure.isEmpty() ? CheckImage() : failure;
    }
    QString CheckImage() const
    {
        if (m_doc->ImageRevision() != m_revision || m_doc->GetSurface().Width != m_width
            || m_doc->GetSurface().Height != m_height)
            return QStringLiteral("the image changed with the settings");
        return QString();
    }
    QString WalkHistory()
    {
        const QString failure = RandomOps::WalkHistory(m_doc, m_states);
        return failure.isEmpty() ? Check() : failure;
    }

    QString RunIn(const std::vector<Op> &ops, int checkEvery)
    {
        CSkimblerDoc doc;
        told.Listen(&doc);
        DocumentLoader loader(&doc);
        m_doc = &doc;
        m_loader = &loader;
        m_runKey = 0;
        m_hasFile = false;
        m_imageGeneration = 0;
        doc.OnNewDocument();
        ResetModel();
        for (size_t step = 0; step < ops.size(); ++step) {
            QString failure = Apply(ops[step]);
            if (failure.isEmpty())
                failure = Check();
            if (failure.isEmpty() && (step % size_t(checkEvery) == 0 || step + 1 == ops.size()))
                failure = WalkHistory();
            if (!failure.isEmpty())
                return QStringLiteral("step %1 (%2): %3").arg(step).arg(Describe(ops[step]), failure);
        }
        return QString();
    }
};

// Drops operations while `fails` still says the sequence fails: halves,
// quarters, ... single operations.
template <typename Fails>
std::vector<Op> ShrinkWith(std::vector<Op> ops, Fails fails, int maxRuns = 2000)
{
    int runs = 0;
    for (size_t chunk = ops.size() / 2; chunk >= 1 && runs < maxRuns; chunk /= 2) {
        for (size_t start = 0; start < ops.size() && runs < maxRuns;) {
            std::vector<Op> fewer(ops.begin(), ops.begin() + long(start));
            fewer.insert(fewer.end(), ops.begin() + long(std::min(ops.size(), start + chunk)), ops.end());
            ++runs;
            if (fails(fewer))
                ops = fewer;
            else
                start += chunk;
        }
    }
    return ops;
}

inline std::vector<Op> Shrink(std::vector<Op> ops, int maxRuns = 2000)
{
    Runner runner;
    return ShrinkWith(std::move(ops), [&runner](const std::vector<Op> &fewer) { return !runner.Run(fewer, 1).isEmpty(); },
                      maxRuns);
}

} // namespace RandomOps
