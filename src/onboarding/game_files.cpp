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
    ZipImage image;
    read(game.path, MaxImageBytes, image);
    switch (image.status) {
    case ZipImage::Status::Read: break;
    case ZipImage::Status::Unreadable: game.problem = GameFile::Problem::Unreadable; return;
    case ZipImage::Status::NotSingle: game.problem = GameFile::Problem::ZipNotSingle; return;
    case ZipImage::Status::TooLarge: game.problem = GameFile::Problem::TooLarge; return;
    }
    game.imageName = image.name;
    game.imageSize = image.size;
    game.sha1 = image.sha1;
}

} // namespace

GameFile readGameFile(const QString &path)
{
    GameFile game;
    game.path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    game.imageName = QFileInfo(game.path).fileName();
    if (!platform::isPlainFile(game.path)) {
        game.problem = QFileInfo::exists(game.path) ? GameFile::Problem::NotPlain
                                                     : GameFile::Problem::Unreadable;
        return game;
    }
    if (catalogue::isZipFileName(game.path)) {
        readZip(game);
        return game;
    }
    const platform::FileRead read = platform::readPlainFile(game.path, MaxImageBytes);
    if (read.problem == platform::FileRead::Problem::TooLarge) {
        game.problem = GameFile::Problem::TooLarge;
        return game;
    }
    if (!read.ok()) {
        game.problem = GameFile::Problem::Unreadable;
        return game;
    }
    game.imageSize = read.data.size();
    game.sha1 = QCryptographicHash::hash(read.data, QCryptographicHash::Sha1).toHex();
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
