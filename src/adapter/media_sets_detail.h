#pragma once

#include "media_sets.h"

// What the set staging of files and of zips share.
namespace adapter::detail {

inline constexpr qint64 MaxPartBytes = 16 * 1024 * 1024;
inline constexpr int MaxParts = 16;

// The file extensions of a medium's images.
QStringList extensionsOf(Media media);
// Whether a part of that name comes before one of the other: by part number (names without
// one last), then by name.
bool partBefore(const QString &a, const QString &b);
// A new staging folder holding the process id; nothing when it cannot be made.
std::optional<QString> newStaging(const QString &base, qint64 pid);
// Writes the list of staged parts into the folder.
bool writeParts(const Staged &staged);

} // namespace adapter::detail
