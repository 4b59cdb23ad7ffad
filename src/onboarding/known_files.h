#pragma once

#include "game_files.h"

#include "catalogue/line_table.h"
#include "platform/system/program_folder.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>

// The games the catalogue already holds, known by what their files hold: the SHA-1 of each
// line's image, read once and kept in the user's cache folder by path, size and time, so that
// the same game from another folder is found registered, and a game whose file has moved is
// found again at its new place.
namespace onboarding {

class KnownFiles
{
public:
    // The cache file (empty: nothing kept between runs).
    explicit KnownFiles(QString cacheFile);

    // The lines of the table, each by the image SHA-1 of the file it names: those whose file is
    // there (read, or taken from the cache when its size and time are unchanged), and those
    // whose file is gone but was seen before (the SHA-1 it had then).
    // Stops early when cancel is set (from another thread).
    void index(const catalogue::LineTable &table, const platform::ProgramFolder &folder,
               const std::atomic<bool> *cancel = nullptr);
    // A line naming a file that holds this image, and the file.
    struct Line
    {
        QByteArray line;
        QString file;
    };
    const QHash<QByteArray, Line> &present() const { return present_; }
    const QHash<QByteArray, Line> &gone() const { return gone_; }

    // A file read this run, kept for the next (a line now names it).
    void remember(const QString &file, const GameFile &game);
    // Writes the cache: the entries of the files the catalogue names, and those remembered.
    void save() const;

private:
    struct Entry
    {
        qint64 size = -1;
        qint64 modified = 0; // ms since the epoch
        QByteArray sha1;
    };
    QString cacheFile_;
    QHash<QString, Entry> cache_; // by absolute path
    QHash<QString, Entry> kept_;  // what save() writes
    QHash<QByteArray, Line> present_, gone_;
};

// The cache file of the user's: ~/.cache/tarumin/known-files.
QString knownFilesCache();

} // namespace onboarding
