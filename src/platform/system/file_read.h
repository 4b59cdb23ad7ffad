#pragma once

#include "system_error.h"

#include <QByteArray>
#include <QString>

namespace platform {

// A whole file read into memory, or why it was not. Only plain files are opened: a pipe would
// block until someone writes to it and a device may never end, so both are refused from what
// the file system says of them, before anything is opened. The read stops at what was actually
// read, never at the size the file claims, and gives up past maxBytes.
struct FileRead
{
    enum class Problem { None, Missing, Folder, NotAFile, TooLarge, Failed };
    QByteArray data;
    Problem problem = Problem::None;
    SystemError system; // Failed: what the system said

    bool ok() const { return problem == Problem::None; }
};

FileRead readPlainFile(const QString &path, qint64 maxBytes);

// Whether path names a plain file (following links): what readPlainFile would open.
bool isPlainFile(const QString &path);

} // namespace platform
