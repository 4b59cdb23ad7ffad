#pragma once

#include "platform/system/system_error.h"

#include <QString>

namespace catalogue {

// Why the catalogue could not be read or changed. The window side words it for the user.
struct Error
{
    enum class Kind {
        Unreadable,         // the file is there but could not be read (system)
        FolderInPlace,      // a folder stands where the file should be
        NotAFile,           // something that is not a plain file (a pipe, a device) stands there
        TooLarge,           // the file is larger than any catalogue could be
        TooLong,            // the file has more lines than the table holds (lineCount)
        CannotCreateFolder, // the data folder is missing and could not be made (path, system)
        ReadOnlyFile,       // the file may not be written
        ReadOnlyFolder,     // no new file may be made in its folder (path)
        WriteFailed,        // saving failed at step (system)
        Busy,               // another program kept the catalogue locked
        LockNotAFile,       // something not a plain file stands at the lock's path (path)
        Full,               // the lines would not fit in the table (lineCount: lines now)
        LineChanged,        // the chosen line no longer holds what the user chose
        Utf8,               // the file was saved as UTF-8 (with its byte-order mark, or without
                            // one when it holds UTF-8 that is no CP932)
        Utf16,              // the file was saved as UTF-16 (a mark, or NUL bytes in its text)
        BeingWritten,       // another program is still writing the file (its last line is cut)
        HeldOpen,           // another program holds the file open, so it cannot be replaced
    };
    // Where a save failed.
    enum class Step {
        Create,  // making the new file beside the old one
        Write,   // writing the lines
        Flush,   // putting them on the disk
        Replace, // putting the new file in the old one's place
    };
    Kind kind = Kind::Unreadable;
    Step step = Step::Write;
    QString path;                   // the file or folder concerned
    platform::SystemError system;   // what the system said, where it said something
    qsizetype lineCount = 0;
};

} // namespace catalogue
