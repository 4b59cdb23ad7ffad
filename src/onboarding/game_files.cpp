#include "game_files.h"

#include "zip_image.h"

#include "catalogue/media.h"
#include "platform/system/file_names.h"
#include "platform/system/file_read.h"
#include "platform/system/modules.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "platform/system/new_file.h"

#include <memory>
#include <optional>
#include <utility>


namespace onboarding {

namespace {

// A SHA-1 fed piece by piece: the system's where the zip module is there, Qt's own otherwise.
class Sha1
{
public:
    Sha1()
    {
        static const Sha1Functions *const system = [] {
            const auto table = reinterpret_cast<Sha1Table>(
                platform::moduleFunction(ZipModuleName, Sha1TableSymbol));
            return table ? table() : nullptr;
        }();
        if (system && (state_ = system->begin()))
            system_ = system;
    }
    ~Sha1()
    {
        if (system_ && state_) {
            unsigned char out[20];
            system_->end(state_, out);
        }
    }
    void add(const char *data, qint64 size)
    {
        if (system_)
            system_->add(state_, data, size);
        else
            qt_.addData(QByteArrayView(data, size));
    }
    QByteArray hex()
    {
        if (!system_)
            return qt_.result().toHex();
        unsigned char out[20];
        system_->end(state_, out);
        state_ = nullptr;
        system_ = nullptr;
        return QByteArray(reinterpret_cast<const char *>(out), 20).toHex();
    }

private:
    const Sha1Functions *system_ = nullptr;
    void *state_ = nullptr;
    QCryptographicHash qt_{QCryptographicHash::Sha1};
};


constexpr qint64 Piece = 1024 * 1024;
// A zip is a little larger than what it holds when that does not compress.
constexpr qint64 MaxZipOverhead = 1024 * 1024;

// The SHA-1 and size of what a device gives from where it is to its end, each piece also
// handed to each (which may stop the reading by returning false).
struct Hashed
{
    enum class Status { Read, Unreadable, TooLarge, Stopped };
    Status status = Status::Read;
    QByteArray sha1;
    qint64 size = 0;
};

Hashed hashOf(QIODevice &device, qint64 maxBytes,
              const std::function<bool(const char *, qint64)> &each = {})
{
    // A buffer for each read (a thread_local one is torn down after the C runtime's heap on
    // Windows, and the program crashed as it ended).
    const std::unique_ptr<char[]> buffer(new char[Piece]);
    Sha1 hash;
    Hashed result;
    for (;;) {
        const qint64 got = device.read(buffer.get(), Piece);
        if (got < 0) {
            result.status = Hashed::Status::Unreadable;
            return result;
        }
        if (got == 0)
            break;
        result.size += got;
        if (result.size > maxBytes) {
            result.status = Hashed::Status::TooLarge;
            return result;
        }
        hash.add(buffer.get(), got);
        if (each && !each(buffer.get(), got)) {
            result.status = Hashed::Status::Stopped;
            return result;
        }
    }
    result.sha1 = hash.hex();
    return result;
}

void readZip(GameFile &game)
{
    const auto read = reinterpret_cast<ReadZipImage>(
        platform::moduleFunction(ZipModuleName, ReadZipImageSymbol));
    if (!read) {
        game.problem = GameFile::Problem::NoZipReader;
        return;
    }
    // The zip is opened as any other file, and only then handed to the module.
    platform::PlainFile file(game.path);
    if (!file.ok()) {
        game.problem = file.problem() == platform::ReadProblem::Folder
                               || file.problem() == platform::ReadProblem::NotAFile
                           ? GameFile::Problem::NotPlain
                           : GameFile::Problem::Unreadable;
        return;
    }
    // The zip's own bytes are hashed first, to check a copy of it against.
    if (file.size() > MaxImageBytes + MaxZipOverhead) {
        game.problem = GameFile::Problem::TooLarge;
        return;
    }
    const Hashed whole = hashOf(file.device(), MaxImageBytes + MaxZipOverhead);
    if (whole.status != Hashed::Status::Read || !file.device().seek(0)) {
        game.problem = whole.status == Hashed::Status::TooLarge ? GameFile::Problem::TooLarge
                                                                : GameFile::Problem::Unreadable;
        return;
    }
    game.fileSha1 = whole.sha1;
    game.fileSize = whole.size;
    ZipImage image;
    read(file.takeDescriptor(), MaxImageBytes, MaxZipEntries, image);
    switch (image.status) {
    case ZipImage::Status::Read: break;
    case ZipImage::Status::Unreadable: game.problem = GameFile::Problem::Unreadable; return;
    case ZipImage::Status::NotSingle: game.problem = GameFile::Problem::ZipNotSingle; return;
    case ZipImage::Status::TooManyEntries: game.problem = GameFile::Problem::ZipTooManyEntries; return;
    case ZipImage::Status::TooLarge: game.problem = GameFile::Problem::TooLarge; return;
    }
    game.imageName = image.name;
    game.imageSize = image.size;
    game.sha1 = image.sha1;
    if (image.entries.size() > 1) {
        for (const ZipImage::Entry &entry : image.entries)
            game.zipParts << entry.sha1;
    }
}

} // namespace

GameFile readGameFile(const QString &path)
{
    GameFile game;
    game.path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    game.imageName = QFileInfo(game.path).fileName();
    if (catalogue::isZipFileName(game.path)) {
        readZip(game);
        return game;
    }
    // Read and hashed a piece at a time, through a buffer each thread keeps.
    platform::PlainFile file(game.path);
    switch (file.problem()) {
    case platform::ReadProblem::None: break;
    case platform::ReadProblem::TooLarge: game.problem = GameFile::Problem::TooLarge; return game;
    case platform::ReadProblem::Folder:
    case platform::ReadProblem::NotAFile: game.problem = GameFile::Problem::NotPlain; return game;
    case platform::ReadProblem::Missing:
    case platform::ReadProblem::Failed: game.problem = GameFile::Problem::Unreadable; return game;
    }
    if (file.size() > MaxImageBytes) {
        game.problem = GameFile::Problem::TooLarge;
        return game;
    }
    // Read and hashed a piece at a time; a read that fails, or that finds the file grown past
    // any image, is told apart by the size read.
    const Hashed hashed = hashOf(file.device(), MaxImageBytes);
    if (hashed.status != Hashed::Status::Read) {
        game.problem = hashed.status == Hashed::Status::TooLarge ? GameFile::Problem::TooLarge
                                                                 : GameFile::Problem::Unreadable;
        return game;
    }
    game.sha1 = game.fileSha1 = hashed.sha1;
    game.imageSize = game.fileSize = hashed.size;
    return game;
}

namespace {

// Whether a folder's entry is this very file: a plain file (a link is not followed) of its
// size and SHA-1.
bool holdsFile(const QString &path, const GameFile &game)
{
    platform::PlainFile there(path, platform::PlainFile::Links::DoNotFollow);
    if (!there.ok() || there.size() != game.fileSize)
        return false;
    const Hashed hashed = hashOf(there.device(), game.fileSize);
    return hashed.status == Hashed::Status::Read && hashed.sha1 == game.fileSha1;
}

bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

GameCopy copyGameFile(const GameFile &game, const QString &folder,
                      const std::function<QString(int)> &nameFor, int names, bool write)
{
    GameCopy result;
    std::unique_ptr<platform::NewFile> copy;
    for (int n = 1; n <= names; ++n) {
        result.fileName = nameFor(n);
        const QString target = folder + u'/' + result.fileName;
        // A name another program takes while we try it is looked at again: it may be this
        // same game, copied by a second import at the same moment.
        for (int look = 0; look < 10; ++look) {
            if (present(target)) {
                if (!holdsFile(target, game))
                    break;
                result.status = GameCopy::Status::Reused;
                return result;
            }
            if (!write) {
                result.status = GameCopy::Status::Planned;
                return result;
            }
            if (!copy) {
                // The source as it is now, read through to the end: it must be what was read
                // and identified, byte for byte.
                const QString source = QFileInfo(game.path).canonicalFilePath();
                platform::PlainFile from(source.isEmpty() ? game.path : source,
                                         platform::PlainFile::Links::DoNotFollow);
                if (!from.ok()) {
                    result.status = GameCopy::Status::Failed;
                    result.system = from.problem() == platform::ReadProblem::Failed
                                        ? from.system()
                                        : platform::SystemError{platform::SystemError::Kind::NotFound, {}};
                    return result;
                }
                copy = std::make_unique<platform::NewFile>(folder);
                const Hashed copied = hashOf(from.device(), game.fileSize, [&](const char *data, qint64 size) {
                    return copy->write(data, size);
                });
                if (!copy->ok()) {
                    result.status = GameCopy::Status::Failed;
                    result.system = *copy->failure();
                    return result;
                }
                if (copied.status == Hashed::Status::Unreadable) {
                    result.status = GameCopy::Status::Failed;
                    result.system = platform::SystemError{platform::SystemError::Kind::DiskFailure, {}};
                    return result;
                }
                if (copied.status != Hashed::Status::Read || copied.size != game.fileSize
                    || copied.sha1 != game.fileSha1) {
                    result.status = GameCopy::Status::Changed;
                    return result;
                }
            }
            switch (copy->name(result.fileName)) {
            case platform::NewFile::Naming::Named:
                result.status = GameCopy::Status::Copied;
                return result;
            case platform::NewFile::Naming::Taken:
                continue;
            case platform::NewFile::Naming::Failed:
                result.status = GameCopy::Status::Failed;
                result.system = *copy->failure();
                return result;
            }
        }
    }
    result.status = GameCopy::Status::NoFreeName;
    result.fileName.clear();
    return result;
}

QStringList collectGameFiles(const QStringList &paths)
{
    return collectFiles(paths).files;
}

CollectedFiles collectFiles(const QStringList &paths)
{
    CollectedFiles collected;
    QStringList &files = collected.files;
    for (const QString &given : paths) {
        // Made absolute as text: a name that is not UTF-8 keeps its bytes (the system's own
        // round trip through the current folder would not).
        const QString path = QDir::isAbsolutePath(given) ? given : QDir::currentPath() + u'/' + given;
        const QFileInfo info(path);
        if (!info.isDir()) {
            files << path;
            continue;
        }
        // Every entry is accounted for: a game file (or a file without an extension, which a
        // list may know) is read; anything else is passed over with its reason.
        // Names that are not UTF-8 are walked, and later read, by their bytes.
        QStringList found;
        QList<SkippedFile> skipped;
        platform::walkFolder(QDir::cleanPath(path), [&](const QString &file, platform::EntryType type) {
            const QString name = file.mid(file.lastIndexOf(u'/') + 1);
            switch (type) {
            case platform::EntryType::Folder: break;
            case platform::EntryType::BrokenLink: skipped.append({file, SkippedFile::Reason::BrokenLink}); break;
            case platform::EntryType::UnreadableFolder: skipped.append({file, SkippedFile::Reason::UnreadableFolder}); break;
            case platform::EntryType::Other: skipped.append({file, SkippedFile::Reason::NotPlain}); break;
            case platform::EntryType::File:
                if (catalogue::isGameFileName(name) || name.lastIndexOf(u'.') <= 0)
                    found << file;
                else
                    skipped.append({file, SkippedFile::Reason::NotAGameName});
                break;
            }
        });
        std::sort(skipped.begin(), skipped.end(), [](const SkippedFile &a, const SkippedFile &b) { return a.path < b.path; });
        collected.skipped << skipped;
        // Name order, folder by folder: the path as a whole, compared case by case.
        std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) {
            const int c = a.compare(b, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a < b;
        });
        files << found;
    }
    return collected;
}

} // namespace onboarding
