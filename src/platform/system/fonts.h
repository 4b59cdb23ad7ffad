#pragma once

namespace platform {

// Maps the Windows Japanese font names the layouts ask for to fonts this system has.
void installFontSubstitutes();

} // namespace platform
