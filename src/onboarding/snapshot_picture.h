#pragma once

#include <QString>

// What the picture module (tarumin-picture, which links Qt's picture code) does for a
// snapshot: reads the emulator's screen, keeps the 256 x 192 picture inside its border and
// saves it as PNG. Loaded at the first snapshot, so that the import tool needs no picture
// library of its own.
namespace onboarding {

enum class CropResult { Saved, Unreadable, NotSaved };

using CropSnapshot = CropResult (*)(const QString &screen, const QString &target);
inline constexpr char PictureModuleName[] = "tarumin-picture";
inline constexpr char CropSnapshotSymbol[] = "tarumin_crop_snapshot";

} // namespace onboarding
