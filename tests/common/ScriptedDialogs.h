#pragma once

#include "app/Dialogs.h"
#include "app/ExportImage.h"

#include <functional>

// The editor's dialogs answered by the test: each question calls the
// answer the test gave for it, and one without an answer is cancelled, so
// no test waits for a hand at the keyboard.
class ScriptedDialogs : public Dialogs
{
public:
    std::function<QString(const QString &folder)> openPath;
    std::function<QString(const QString &folder)> imagePath;
    std::function<QString(const QString &suggestion)> savePath;
    std::function<bool(ExportImage::Options *options)> exportOptions;
    std::function<QString(const QString &suggestion)> exportPath;
    std::function<QColor(const QColor &initial, const QString &title)> color;

    QString AskOpenPath(QWidget *, const QString &folder) override { return openPath ? openPath(folder) : QString(); }
    QString AskImagePath(QWidget *, const QString &folder) override
    {
        return imagePath ? imagePath(folder) : QString();
    }
    QString AskSavePath(QWidget *, const QString &suggestion) override
    {
        return savePath ? savePath(suggestion) : QString();
    }
    bool AskExportOptions(QWidget *, ExportImage::Options *options) override
    {
        return exportOptions && exportOptions(options);
    }
    QString AskExportPath(QWidget *, const QString &suggestion) override
    {
        return exportPath ? exportPath(suggestion) : QString();
    }
    QColor AskColor(QWidget *, const QColor &initial, const QString &title) override
    {
        return color ? color(initial, title) : QColor();
    }
};

// For a main frame whose test asks nothing through a dialog: every
// question cancelled. Shared by all such frames, so never given answers.
inline ScriptedDialogs &CancelledDialogs()
{
    static ScriptedDialogs dialogs;
    return dialogs;
}
