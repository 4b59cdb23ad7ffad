#include "game_files.h"

#include "platform/system/file_read.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <memory>

namespace onboarding {

namespace {

bool isZip(const QString &name)
{
    return name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive);
}

bool isGameFileName(const QString &name)
{
    for (const char *ext : {".rom", ".mx1", ".mx2", ".cas", ".dsk", ".zip"}) {
        if (name.endsWith(QLatin1String(ext), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void readZip(GameFile &game)
{
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(QFile::encodeName(game.path).constData(), ZIP_RDONLY, &error), &zip_discard);
    if (!archive) {
        game.problem = GameFile::Problem::Unreadable;
        return;
    }
    zip_int64_t image = -1;
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char *name = zip_get_name(archive.get(), zip_uint64_t(i), 0);
        if (!name || QByteArray(name).endsWith('/'))
            continue; // a folder entry
        if (image >= 0) {
            game.problem = GameFile::Problem::ZipNotSingle;
            return;
        }
        image = i;
    }
    zip_stat_t stat;
    if (image < 0) {
        game.problem = GameFile::Problem::ZipNotSingle;
        return;
    }
    if (zip_stat_index(archive.get(), zip_uint64_t(image), 0, &stat) != 0) {
        game.problem = GameFile::Problem::Unreadable;
        return;
    }
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(MaxImageBytes)) {
        game.problem = GameFile::Problem::TooLarge;
        return;
    }
    game.imageName = QFile::decodeName(stat.name);
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
        zip_fopen_index(archive.get(), zip_uint64_t(image), 0), &zip_fclose);
    if (!file) {
        game.problem = GameFile::Problem::Unreadable;
        return;
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    char buffer[64 * 1024];
    qint64 total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            game.problem = GameFile::Problem::Unreadable;
            return;
        }
        if (got == 0)
            break;
        total += got;
        if (total > MaxImageBytes) { // what was read counts, not what the zip claims
            game.problem = GameFile::Problem::TooLarge;
            return;
        }
        hash.addData(QByteArrayView(buffer, got));
    }
    game.imageSize = total;
    game.sha1 = hash.result().toHex();
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
    if (isZip(game.path)) {
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
            if (isGameFileName(file))
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
