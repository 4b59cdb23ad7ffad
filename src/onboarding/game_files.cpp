#include "game_files.h"

#include "zip_image.h"

#include "catalogue/media.h"
#include "platform/system/file_read.h"
#include "platform/system/modules.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>


namespace onboarding {

namespace {

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
}

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
    constexpr qint64 Piece = 1024 * 1024;
    thread_local QByteArray buffer(Piece, Qt::Uninitialized);
    Sha1 hash;
    qint64 total = 0;
    for (;;) {
        const qint64 got = file.device().read(buffer.data(), Piece);
        if (got < 0) {
            game.problem = GameFile::Problem::Unreadable;
            return game;
        }
        if (got == 0)
            break;
        total += got;
        if (total > MaxImageBytes) {
            game.problem = GameFile::Problem::TooLarge;
            return game;
        }
        hash.add(buffer.constData(), got);
    }
    game.imageSize = total;
    game.sha1 = hash.hex();
    return game;
}

QStringList collectGameFiles(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            files << path;
            continue;
        }
        QStringList found;
        QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (catalogue::isGameFileName(file))
                found << file;
        }
        // Name order, folder by folder: the path as a whole, compared case by case.
        std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) {
            const int c = a.compare(b, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a < b;
        });
        files << found;
    }
    return files;
}

} // namespace onboarding
