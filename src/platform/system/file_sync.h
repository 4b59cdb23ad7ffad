#pragma once

#include "system_error.h"

#include <optional>

class QFileDevice;

namespace platform {

// Asks the operating system to put what was written to the open file on the disk itself.
// Returns the system's error when it could not.
std::optional<SystemError> syncToDisk(QFileDevice &file);

} // namespace platform
