#pragma once

#include "system_error.h"

#include <optional>

class QFileDevice;
class QString;

namespace platform {

// Asks the operating system to put what was written to the open file on the disk itself.
// Returns the system's error when it could not.
std::optional<SystemError> syncToDisk(QFileDevice &file);

// Gives a new file that is to replace an old one the old one's owner, group and mode, so that
// a change made by another user (root through sudo, say) leaves the file as its owner had it.
// Does nothing when there is no old file; an owner that may not be given is left.
void keepOwnerAndMode(QFileDevice &newFile, const QString &oldPath);

} // namespace platform
