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

// Whether a file failed to take an old one's place only because another program holds the
// old one open (on Windows, a program that opened it without sharing its deletion: an editor,
// a spreadsheet viewer): the replace may be tried again once it lets go.
bool replaceHeldByReader(const SystemError &error);

} // namespace platform
