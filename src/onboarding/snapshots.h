#pragma once

#include <QString>

namespace onboarding {

// Photographs a cartridge running in openMSX for its snapshot: openMSX starts on the given
// display (or on a virtual one when there is none), runs the game for a few seconds and saves
// its screen; the 256 x 192 picture inside the border is saved as snapFolder/<snapName>.png
// (PNG, which openMSX saves and the main window shows when there is no GIF). The openMSX
// program is $TARUMIN_OPENMSX, or openmsx. Returns an empty text, or why there is no picture.
QString takeSnapshot(const QString &gameFile, const QString &machine, const QString &snapFolder,
                     const QString &snapName);

} // namespace onboarding
