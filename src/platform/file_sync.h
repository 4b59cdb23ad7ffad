#pragma once

#include <QString>

#include <optional>

class QFileDevice;

namespace platform {

// Asks the operating system to put what was written to the open file on the disk itself.
// Returns the system's reason when it could not.
std::optional<QString> syncToDisk(QFileDevice &file);

} // namespace platform
