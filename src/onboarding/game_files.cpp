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

// The system's SHA-1 where the zip module is there, Qt's own otherwise.
QByteArray sha1Hex(const QByteArray &data)
{
    static const auto digest = reinterpret_cast<Sha1Digest>(
        platform::moduleFunction(ZipModuleName, Sha1DigestSymbol));
    if (!digest)
        return QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex();
    unsigned char out[20];
    digest(data.constData(), data.size(), out);
    return QByteArray(reinterpret_cast<const char *>(out), 20).toHex();
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
    const platform::FileRead read = platform::readPlainFile(game.path, MaxImageBytes);
    switch (read.problem) {
    case platform::ReadProblem::None: break;
    case platform::ReadProblem::TooLarge: game.problem = GameFile::Problem::TooLarge; return game;
    case platform::ReadProblem::Folder:
    case platform::ReadProblem::NotAFile: game.problem = GameFile::Problem::NotPlain; return game;
    case platform::ReadProblem::Missing:
    case platform::ReadProblem::Failed: game.problem = GameFile::Problem::Unreadable; return game;
    }
    game.imageSize = read.data.size();
    game.sha1 = sha1Hex(read.data);
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
