#pragma once

#include <QString>
#include <QStringList>

// Checks every file a command is about to write before it writes any of
// them. Returns one line saying why `outputs` must not be written, or an
// empty string when they may. A file read in the same call (an input, or
// the image an input surface names) is refused unless `force`; whatever is
// not a regular file (a named pipe, a device, a folder) always is, without
// opening it. Files are compared by identity, so another spelling, a
// symbolic link or a hard link of an input is caught too.
QString OutputRefusal(const QStringList &inputs, const QStringList &outputs, bool force);
