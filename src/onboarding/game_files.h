#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace onboarding {

// A game's file, read to be identified. A zip holding one image is identified by that image
// and registered as the zip itself (the emulators open zips).
struct GameFile
{
    enum class Problem {
        None,
        Unreadable,   // could not be read
        NotPlain,     // a pipe, a device or a folder
        TooLarge,     // larger than any MSX image
        ZipNotSingle, // a zip that does not hold exactly one file
        ZipTooManyEntries, // a zip whose directory lists more than MaxZipEntries
        NoZipReader,  // the zip module is missing
    };
    QString path;      // as registered: absolute, cleaned
    QString imageName; // the image's own name (inside a zip, the entry's)
    QByteArray sha1;   // of the image, 40 lower-case hex digits
    qint64 imageSize = 0;
    Problem problem = Problem::None;
};

inline constexpr qint64 MaxImageBytes = 64 * 1024 * 1024;
// A zip of one game holds a handful of files; one whose directory lists more is refused before
// the directory is read.
inline constexpr qint64 MaxZipEntries = 1000;

GameFile readGameFile(const QString &path);

// The files the paths name, in the order given; a folder's game files (.rom .mx1 .mx2 .cas .dsk
// .zip) in name order, its subfolders included. A file named directly is taken whatever its
// name.
QStringList collectGameFiles(const QStringList &paths);

} // namespace onboarding
