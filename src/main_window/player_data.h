#pragma once

#include "main_window/game_list_model.h"
#include "player/player_store.h"

#include <QHash>
#include <QObject>
#include <QStringList>

// The player's data as the window uses it: the store, the catalogue lines' files and keys (from
// the last look at the files), and the changes the window's commands make, one per command.
class PlayerData : public QObject
{
    Q_OBJECT
public:
    // dataFolder: the program folder's "tarumin".
    explicit PlayerData(const QString &dataFolder, QObject *parent = nullptr);

    player::Store &store() { return *store_; }
    const player::Store &store() const { return *store_; }

    // The catalogue's lines as the last look at the files saw them: each one's file and key
    // (empty where not known).
    void setLook(const QList<QByteArray> &lines, const QStringList &files, const QStringList &keys);
    // The list read again: the lines seen before keep their files and keys at once, the others
    // wait for the next look.
    void takeLines(const QList<QByteArray> &lines);
    const QStringList &files() const { return files_; }
    QString fileOf(int line) const { return files_.value(line); }

    // What is remembered of a line's game; nothing when nothing is, or before the files were
    // looked at.
    const player::GameRecord *record(int line) const;
    QList<GameListModel::Marks> marks() const;
    // The key a change to a line's game goes to (empty key: made on the worker).
    player::GameKey keyOf(int line) const;

    // The commands.
    void launched(int line, const QString &machine, bool fmpac);
    void played(const player::GameKey &game, qint64 seconds);
    void toggleFavourite(int line);
    void forgetMachine(int line);
    // Where a state of a line's game is saved (the same file each time: replaced by the next).
    QString stateFileFor(int line) const;
    QString statePictureFor(int line) const;
    void stateSaved(int line, const QString &stateFile);
    void removeState(int line);
    QString stateOf(int line) const; // the saved state's path, empty when none is there

    // The list's order and filter, and the window's place.
    QString listSetting(const QString &name) const;
    void setListSetting(const QString &name, const QString &value);
    // The program's own settings ("language": "ja", "en", else the system's).
    QString setting(const QString &name) const;
    void setSetting(const QString &name, const QString &value);
    std::optional<QPoint> windowPlace() const;
    void setWindowPlace(const QPoint &at);

signals:
    void changed();
    // A change could not be written to the file, and why (the program goes on with it).
    void notWritten(const QString &why);

private:
    void changeGame(int line, player::Store::Apply apply);

    player::Store *store_;
    QStringList files_;
    QStringList keys_;
    QHash<QByteArray, std::pair<QString, QString>> looked_; // line -> file, key
};
