#pragma once

#include "render/Outputs.h"
#include "render/ViewBackground.h"

#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

// What skimbler-cli was asked to do, checked before anything is read.
struct Invocation
{
    enum Command { Help, Version, Render, Check, Info, Code, Export };

    Command command = Help;
    QStringList inputs;
    QString output;         // render, export: a file, or a folder for several inputs
    QSize size{800, 600};   // the window the surface is drawn in
    bool transparent = false;
    ViewBackground background;  // render: behind the surface, unless transparent
    bool trueShape = false;     // the projection takes --size's own shape, not the fixed 4:3
    bool projective = false;
    float zoom = 1.0f;      // render, export: the view's zoom, as the editor's zoom field sets it
    QPointF pan;            // render, export: the picture shifted right and down, its pixels
    bool force = false;     // render: write even over a file read in this call
    const Outputs::Output *api = nullptr;     // code: a listing
    const Outputs::Output *format = nullptr;  // render, export: a file output
};

// Exit codes.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;  // some file could not be read, drawn or written
constexpr int ExitUsage = 2;   // the command line itself is wrong

// Reads the arguments after the program's name. False with `error` saying,
// in one line, what is wrong.
bool ParseCommandLine(const QStringList &arguments, Invocation *invocation, QString *error);

// Whether render's OUT is a folder: several inputs, a trailing slash, or a
// folder that exists.
bool OutputIsFolder(const Invocation &invocation);

// The --help text.
QString UsageText();
