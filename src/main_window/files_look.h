#pragma once

#include "main_window/file_check.h"
#include "platform/system/program_folder.h"
#include "player/player_store.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

// The look at the catalogue's game files, on a worker thread (a hung network drive never
// freezes the window): the file each line names, whether it is there, the folders whose games
// are all gone, and each game's key in the player's data. A look started later supersedes one
// still running: only the latest is reported.
class GameFilesLook : public QObject
{
    Q_OBJECT
public:
    // How the files are looked at; the tests put a stuck disk here.
    using Checker = std::function<FileCheck(const QStringList &files)>;

    struct Result
    {
        QList<QByteArray> lines; // as they were when the look began
        QStringList files, keys;
        FileCheck check;
    };

    GameFilesLook(const platform::ProgramFolder &folder, QObject *parent);
    void setChecker(Checker checker) { check_ = std::move(checker); }
    // known: what the player's data remembers, to match the files to.
    void start(const QList<QByteArray> &lines, const QHash<QString, player::GameRecord> &known);

signals:
    void looked(const GameFilesLook::Result &result);

private:
    platform::ProgramFolder folder_;
    Checker check_ = checkGameFiles;
    int generation_ = 0;
};
