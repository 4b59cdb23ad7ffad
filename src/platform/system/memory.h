#pragma once

namespace platform {

// Gives the memory freed so far back to the system (the C library keeps freed blocks for
// later use): after start-up's passing work (the catalogue read and split, the list built), so
// that the program running holds only what it keeps.
void releaseFreedMemory();

} // namespace platform
