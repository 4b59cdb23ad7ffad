#pragma once

#include <QString>

namespace onboarding {

// What became of a snapshot.
struct SnapshotResult
{
    enum class Kind {
        Taken,         // saved as snapFolder/<snapName>.png
        NoWorkFolder,  // no temporary folder could be made
        NoDisplay,     // no display, and no virtual one (Xvfb) could be started
        CannotStart,   // openMSX (detail: the program) could not be started
        DidNotEnd,     // openMSX did not end in time
        NoPicture,     // openMSX saved no screen (detail: the last thing it said)
        NoPictureCode, // the picture module (tarumin-picture) is missing
        CannotSave,    // the picture could not be saved (detail: the folder)
    };
    Kind kind = Kind::Taken;
    QString detail;
};

// Photographs a cartridge running in openMSX for its snapshot: openMSX starts on the given
// display (or on a virtual one when there is none), runs the game for a few seconds and saves
// its screen; the 256 x 192 picture inside the border is saved as snapFolder/<snapName>.png
// (PNG, which openMSX saves and the main window shows when there is no GIF). The openMSX
// program is $TARUMIN_OPENMSX, or openmsx. Pictures are cropped by the picture module, so that
// the caller needs no picture code of its own.
SnapshotResult takeSnapshot(const QString &gameFile, const QString &machine,
                            const QString &snapFolder, const QString &snapName);

} // namespace onboarding
