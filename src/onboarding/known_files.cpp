#include "known_files.h"

#include "platform/system/file_read.h"

#include "batch.h"

#include "platform/system/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace onboarding {

namespace {

// At most this many entries are kept: a catalogue holds 1,001 lines.
constexpr int MaxEntries = 4096;
constexpr qint64 MaxCacheBytes = 4 * 1024 * 1024;

} // namespace

QString knownFilesCache()
{
    return platform::perUserCacheFolder(QStringLiteral("tarumin")) + QStringLiteral("/known-files");
}

KnownFiles::KnownFiles(QString cacheFile) : cacheFile_(std::move(cacheFile))
{
    // One entry a line: SHA-1, size, time, path; anything else (a damaged file) is passed over.
    const std::optional<QByteArray> data = platform::readOwnCache(cacheFile_, MaxCacheBytes);
    if (!data)
        return;
    const QList<QByteArray> lines = data->split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() != 4 || parts[0].size() != 40)
            continue;
        bool sizeOk = false, timeOk = false;
        Entry e{parts[1].toLongLong(&sizeOk), parts[2].toLongLong(&timeOk), parts[0]};
        if (sizeOk && timeOk && cache_.size() < MaxEntries)
            cache_.insert(QString::fromUtf8(parts[3]), e);
    }
}

void KnownFiles::index(const catalogue::LineTable &table, const platform::ProgramFolder &folder,
                       const std::atomic<bool> *cancel)
{
    present_.clear();
    gone_.clear();
    for (int k = 0; k < table.size() && !(cancel && cancel->load()); ++k) {
        const QByteArray &line = table.line(k);
        const QString file = fileNamedBy(line, folder);
        if (file.isEmpty())
            continue;
        // Known by its path as the line writes it and as it resolves: a game registered
        // through a link is found again when the link leads nowhere any more.
        const QString registered = pathAsRegistered(line, folder);
        const QFileInfo info(file);
        if (!info.exists()) {
            auto it = cache_.constFind(file);
            if (it == cache_.cend())
                it = cache_.constFind(registered);
            if (it != cache_.cend()) {
                kept_.insert(file, *it); // still wanted: the file may turn up elsewhere
                if (!gone_.contains(it->sha1))
                    gone_.insert(it->sha1, {line, file});
            }
            continue;
        }
        Entry e;
        e.size = info.size();
        e.modified = info.lastModified().toMSecsSinceEpoch();
        if (const auto it = cache_.constFind(file); it != cache_.cend() && it->size == e.size && it->modified == e.modified) {
            e.sha1 = it->sha1;
        } else {
            const GameFile game = readGameFile(file);
            if (game.problem != GameFile::Problem::None || game.sha1.isEmpty())
                continue;
            e.sha1 = game.sha1;
        }
        kept_.insert(file, e);
        if (registered != file)
            kept_.insert(registered, e);
        if (!present_.contains(e.sha1))
            present_.insert(e.sha1, {line, file});
    }
}

void KnownFiles::remember(const QString &file, const GameFile &game)
{
    const QFileInfo info(file);
    if (game.problem != GameFile::Problem::None || game.sha1.isEmpty() || !info.exists())
        return;
    const Entry e{info.size(), info.lastModified().toMSecsSinceEpoch(), game.sha1};
    kept_.insert(info.canonicalFilePath(), e);
    if (const QString given = QDir::cleanPath(info.absoluteFilePath()); given != info.canonicalFilePath())
        kept_.insert(given, e);
}

void KnownFiles::save() const
{
    if (cacheFile_.isEmpty() || kept_.isEmpty())
        return;
    QByteArray data;
    int n = 0;
    for (auto it = kept_.cbegin(); it != kept_.cend() && n < MaxEntries; ++it, ++n) {
        if (it.key().contains(u'\n') || it.key().contains(u'\t'))
            continue;
        data += it->sha1 + '\t' + QByteArray::number(it->size) + '\t' + QByteArray::number(it->modified) + '\t'
                + it.key().toUtf8() + '\n';
    }
    // A cache that cannot be written only costs the next run some reading.
    platform::writeOwnCache(cacheFile_, data);
}

} // namespace onboarding
