#pragma once

#include "machines.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// Games of several disks or tapes: the parts found beside the file given (NAME-disk1.dsk,
// NAME-disk2.dsk, ...: the same name but for the number after "disk", "disc" or "side", or
// for its last number) or inside a zip, staged in a folder of the user's alone as
// disk1.dsk, disk2.dsk, ... so that openMSX can change from one to the next. The folder also
// holds "pid" (the process that became openMSX) and "parts" (the staged parts, a line each),
// and is removed by a later launch once that openMSX has ended.
namespace adapter {

inline constexpr char StagingPrefix[] = "tarumin-disks";

// The number that tells the parts of a set apart, and the name around it.
struct PartNumber
{
    QString head;
    int number = 0;
    QString tail;
};
std::optional<PartNumber> partNumber(const QString &stem);

// The files of the set the file belongs to: the file first, then its siblings in number order;
// just the file when it is alone. A sibling among registeredAlone (clean absolute paths: files
// the catalogue has lines of their own for) is a game of its own, not a part of this one.
QStringList setOf(const QString &file, const QSet<QString> &registeredAlone = {});

// The disk and tape files the lines of a catalogue name (clean absolute paths, relative names
// taken from folder); empty when there is no catalogue to read.
QSet<QString> registeredMediaFiles(const QString &catalogue, const QString &folder);

// A zip's member, by its place in the zip: two members may have one name.
struct ZipMember
{
    qint64 index = 0;
    QString name;
};

// The members of a zip that hold images of that medium, in number order (empty when the zip
// cannot be read; the zip module is not built everywhere).
QList<ZipMember> zipParts(const QString &zip, Media media);

struct Staged
{
    QString folder;
    QStringList parts;
};

// Stages the parts (files linked, or a zip's members unpacked) in a new private folder under
// base; nothing when that cannot be done.
std::optional<Staged> stageFiles(const QString &base, const QStringList &files, qint64 pid);
std::optional<Staged> stageZip(const QString &base, const QString &zip, const QList<ZipMember> &members, qint64 pid);

// Removes the staging folders of ours under base whose openMSX has ended.
void removeEnded(const QString &base);

} // namespace adapter

namespace adapter {
// The parts staged for the openMSX of that process, in order; empty when it has no set.
QStringList stagedParts(const QString &base, qint64 pid);
}
