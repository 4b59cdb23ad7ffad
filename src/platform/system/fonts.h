#pragma once

#include <QFont>

namespace platform {

// Maps the Windows Japanese font names the layouts ask for to fonts this system has.
void installFontSubstitutes();

// The layouts' fixed-width Japanese gothic ("ＭＳ ゴシック") at the given size.
QFont gothicFont(int pointSize);

} // namespace platform
