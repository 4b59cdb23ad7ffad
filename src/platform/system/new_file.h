#pragma once

#include "system_error.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// A new file made in a folder and given its name only when it is whole, and only when no
// other file has that name by then: a file that appeared meanwhile (another copy of the
// program's, a link planted there) is never replaced. The folder is opened without following
// a link. Until it is named the file is unnamed where the system allows (Linux's O_TMPFILE),
// otherwise it carries a name of its own ("." + LeftoverPrefix + random) and is locked, so that
// what a killed program left can be told from a file still being written, and removed.
class NewFile
{
public:
    static constexpr const char *LeftoverPrefix = ".tarumin-partial-";

    explicit NewFile(const QString &folder);
    ~NewFile(); // removes the file unless it was named
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;

    bool ok() const { return !failure_; }
    // Why the folder could not be opened or the file made or written.
    const std::optional<SystemError> &failure() const { return failure_; }

    bool write(const char *data, qint64 size);
    // Empties the file to write it again.
    bool restart();

    enum class Naming { Named, Taken, Failed };
    // Puts what was written on the disk and gives the file its name in the folder; Taken when
    // something has that name (the file stays unnamed, to be named otherwise).
    Naming name(const QString &fileName);

private:
    std::optional<SystemError> failure_;
    QString folder_;
    QString temporary_;   // the file's own name until it is named, when it has one
    bool named_ = false;
#ifdef Q_OS_WIN
    void *handle_ = nullptr;
#else
    int folderFd_ = -1;
    int fd_ = -1;
    bool unnamed_ = false; // O_TMPFILE
#endif
};

// Removes the files that killed copies left in a folder; files still being written are left.
// Returns how many went.
int removeLeftovers(const QString &folder);

} // namespace platform
