#pragma once

#include <QString>

// A failure the operating system reported, as a kind the program can word in its own
// language, together with the system's own text for it.
namespace platform {

struct SystemError
{
    enum class Kind {
        NoSpace,        // the disk is full
        QuotaExceeded,  // the user's share of the disk is used up
        DiskFailure,    // the device failed to read or write
        AccessDenied,   // permissions forbid it
        ReadOnlyMedium, // the file system is mounted read-only
        NotFound,       // a file or folder on the way is missing
        NotAFolder,     // a file stands where a folder should be
        IsAFolder,      // a folder stands where a file should be
        NameTooLong,
        TooLarge,       // the file is larger than the system allows
        Busy,           // another program holds the file
        OutOfResources, // no memory, or too many open files
        Link,           // a link stands where a file or folder is opened without following
        Other,
    };
    Kind kind = Kind::Other;
    QString text; // what the system said, in its own words (may be empty)
};

// Forgets the error code left by earlier calls, so that lastSystemError() after the next
// call reports that call alone.
void clearSystemError();

// The error the last failed system call of this thread left behind (errno, or on Windows
// GetLastError), read at once after the failing call. fallbackText is used when the system
// left no error code.
SystemError lastSystemError(const QString &fallbackText = QString());

// The kind and text of a C library error number.
SystemError systemErrorFromErrno(int code);

} // namespace platform
