#pragma once

#include "system_error.h"

#include <QString>
#include <QStringList>

#include <optional>

// Whose files a run may touch. A run as root (sudo) on a folder that belongs to a user does
// everything as that user: it reads only what the user may read, writes only where the user
// may write, never through a link into a place of root's, and what it makes is the user's.
namespace platform {

struct Identity
{
    enum class Kind {
        Own,      // not root, or the folder is root's: nothing changes
        Became,   // root gave up its rights for the folder's owner (uid)
        Refused,  // root could not become the owner: the run must stop (system)
    };
    Kind kind = Kind::Own;
    unsigned uid = 0;
    SystemError system;
};

// The owner of a path: the nearest folder on the way that exists (a folder still to be made
// belongs to whoever owns its parent), taken without following a link at the path itself.
// Nothing when it cannot be found.
std::optional<unsigned> ownerOf(const QString &path);

// Run as root, becomes the owner of the first of the paths that belongs to someone other than
// root, for good (groups, group and user; the emulator started later runs as that user too).
// Call before anything is read or made in the folder, and before threads are started.
Identity actAsOwnerOf(const QStringList &paths);

// A write past the size limit of the process (ulimit -f) fails with its own error instead of
// ending the program without a word.
void reportOversizedWrites();

} // namespace platform
