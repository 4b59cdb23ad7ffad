#pragma once

class QFileDevice;

namespace platform {

// Asks the operating system to put what was written to the open file on the disk itself.
// Returns false when it could not.
bool syncToDisk(QFileDevice &file);

} // namespace platform
