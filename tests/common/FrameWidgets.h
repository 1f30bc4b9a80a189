#pragma once

// The main frame's fields, bars and status panes, found as any tool outside
// the frame finds them: by their object names.

#include <QObject>
#include <QString>

#include <cstdlib>
#include <cstdio>

template <typename T, typename Frame>
T *FrameWidget(const Frame &frame, const char *name)
{
    T *widget = (&*frame)->template findChild<T *>(QString::fromLatin1(name));
    if (!widget) {
        std::fprintf(stderr, "the main frame has no %s\n", name);
        std::abort();
    }
    return widget;
}
