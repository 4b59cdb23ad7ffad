#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/system/system_error.h"

#include <functional>

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
        ZipNotSingle, // a zip that holds no file, or several that are not the parts of one game
        ZipTooManyEntries, // a zip whose directory lists more than MaxZipEntries
        NoZipReader,  // the zip module is missing
    };
    QString path;      // as registered: absolute, cleaned
    QString imageName; // the image's own name (inside a zip, the entry's)
    QByteArray sha1;   // of the image, 40 lower-case hex digits
    qint64 imageSize = 0;
    QByteArray fileSha1; // of the file itself (a zip's own bytes): a copy is checked against it
    qint64 fileSize = 0;
    Problem problem = Problem::None;
    // A zip of several files (a set's disks or tapes, as MAME's sets come): the SHA-1 of each,
    // in the zip's order. It is a game only when they are the parts of one.
    QList<QByteArray> zipParts;
};

inline constexpr qint64 MaxImageBytes = 64 * 1024 * 1024;
// A zip of one game holds a handful of files; one whose directory lists more is refused before
// the directory is read.
inline constexpr qint64 MaxZipEntries = 1000;

GameFile readGameFile(const QString &path);

// A game file copied into a folder, hashed on the way: the copy is made only when it is
// exactly the file that was read (a file still being written, or changed since, is not
// copied), and takes the first of the names nameFor(1), nameFor(2), ... that is free. A name
// that holds this very file already (an earlier copy) is taken as the copy; a name that holds
// anything else, a link included, is passed over. With write false nothing is copied: the
// name the copy would get is worked out.
struct GameCopy
{
    enum class Status { Copied, Reused, Planned, Changed, Failed, NoFreeName };
    Status status = Status::Failed;
    QString fileName;
    platform::SystemError system; // Failed: why
};
GameCopy copyGameFile(const GameFile &game, const QString &folder,
                      const std::function<QString(int n)> &nameFor, int names, bool write);

// The files the paths name, in the order given; a folder's game files (.rom .mx1 .mx2 .cas .dsk
// .zip) in name order, its subfolders included. A file named directly is taken whatever its
// name.
QStringList collectGameFiles(const QStringList &paths);
// As collectGameFiles, with what a folder held that is no game file, and why: every entry of a
// folder is one or the other. A file without an extension counts as a game file (a list may
// know it).
struct SkippedFile
{
    enum class Reason { NotAGameName, NotPlain, BrokenLink, UnreadableFolder };
    QString path;
    Reason reason = Reason::NotAGameName;
};
struct CollectedFiles
{
    QStringList files;
    QList<SkippedFile> skipped;
};
CollectedFiles collectFiles(const QStringList &paths);

} // namespace onboarding
