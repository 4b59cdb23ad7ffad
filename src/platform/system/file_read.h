#pragma once

#include "system_error.h"

#include <QByteArray>
#include <QFile>
#include <QString>

class QThreadPool;

#include <optional>

namespace platform {

// Why a file was not read.
enum class ReadProblem { None, Missing, Folder, NotAFile, TooLarge, Failed };

// A file a user or the disk names, opened for reading the one safe way: opened without
// blocking (a pipe or a device does not hold the program up), then checked on what was opened
// (a plain file, not a folder, a pipe or a device), never checked by name and opened later,
// when it may have become something else.
class PlainFile
{
public:
    // A link at the path itself is followed, or counts as no plain file (NotAFile).
    enum class Links { Follow, DoNotFollow };
    explicit PlainFile(const QString &path, Links links = Links::Follow);
    PlainFile(const PlainFile &) = delete;
    PlainFile &operator=(const PlainFile &) = delete;

    bool ok() const { return problem_ == ReadProblem::None; }
    ReadProblem problem() const { return problem_; }
    const SystemError &system() const { return system_; }
    // The size the opened file has now (it may still grow or shrink while it is read).
    qint64 size() const { return size_; }
    // Reads the opened file, unbuffered.
    QIODevice &device() { return file_; }
    // Hands the system's descriptor of the opened file to the caller, who closes it.
    int takeDescriptor();

private:
    QFile file_;
    ReadProblem problem_ = ReadProblem::None;
    SystemError system_;
    qint64 size_ = 0;
};

// A whole file read into memory, or why it was not. The read stops at what was actually read,
// never at the size the file claims, and gives up past maxBytes.
struct FileRead
{
    using Problem = ReadProblem;
    QByteArray data;
    Problem problem = Problem::None;
    SystemError system; // Failed: what the system said

    bool ok() const { return problem == Problem::None; }
};

FileRead readPlainFile(const QString &path, qint64 maxBytes);

} // namespace platform

namespace platform {

// What a file on disk is at a moment, without reading it: which file it is (a rename puts
// another file at the path; a rewrite in place keeps the same one), its size, when it was last
// written and, where the system knows it, when it was made. Empty (exists false) when there is
// nothing at the path.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0, file = 0; // the file's identity on its volume
    qint64 size = 0;
    qint64 modifiedMs = 0;        // since the epoch
    qint64 bornMs = -1;           // since the epoch; -1 where the system does not say

    bool sameFile(const FileStamp &other) const
    {
        return exists && other.exists && device == other.device && file == other.file;
    }
    bool operator==(const FileStamp &other) const
    {
        return sameFile(other) && size == other.size && modifiedMs == other.modifiedMs;
    }
};

FileStamp stampOf(const QString &path);

// The threads that look at disks which may never answer (a hung network drive or mount). Never
// waited for: a look that is stuck holds neither a window nor the program's end; it is
// abandoned with the process.
QThreadPool *diskLookThreads();
// Whether something is at the path, asked on one of those threads: events are handled while
// it is asked, and nothing comes back when no answer came within ms.
std::optional<bool> existsWithin(const QString &path, int ms);

// A cache file of the user's own: read only when it is a plain file (no link, pipe or
// device), the user's, and at most maxBytes; nothing otherwise, and nothing ever waits.
std::optional<QByteArray> readOwnCache(const QString &path, qint64 maxBytes);
// Writes a cache file whole and puts it in place; whatever stands at its name that is not a
// plain file of the user's (a link, a pipe, another user's file) is removed first, never
// written through. False when it could not be written (a cache that is not kept only costs
// the next run some work).
bool writeOwnCache(const QString &path, const QByteArray &data);

} // namespace platform
