#pragma once

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// What Tarumin remembers of the player, beside the catalogue and apart from it: each game's
// machine and FM-PAC, favourite mark, plays and play time, saved state; the window's place and
// the list's order and filter. One JSON file, "tarumin/player.json" (readable and mendable by
// hand, read and written by Qt alone, and a newer version's keys are carried through untouched),
// with the saved states in "tarumin/states/". list.csv is never written by any of this.
//
// A game is known by the SHA-1 of its file, so that a moved, relinked or retitled game keeps
// what was remembered of it; while its file cannot be read it is known by its path.
namespace player {

// What is remembered of one game.
struct GameRecord
{
    QString machine;          // the machine it was last started on; empty when none is remembered
    bool fmpac = false;       // with the FM-PAC or not (only with a machine)
    bool favourite = false;
    int plays = 0;
    qint64 seconds = 0;       // played in all
    QDateTime lastPlayed;     // invalid: never played
    QString state;            // its saved state's file name in the states folder; empty: none
    QString path;             // the file as it was last seen
    qint64 size = -1;         // and its size and time then, which vouch for the key
    qint64 modified = -1;     // (ms since the epoch, UTC)

    static GameRecord from(const QJsonObject &object);
};

// A file as the player's data knows it: its key ("sha1:<hex>" or "path:<path>"), and the
// path, size and time it had.
struct GameKey
{
    QString key;
    QString path;
    qint64 size = -1;
    qint64 modified = -1;
};

// The key of a game file: its SHA-1 when it can be read, else its path. Files are hashed once
// per path, size and time (a cache shared by every thread); never on the window's thread.
GameKey keyOfFile(const QString &path);

// The keys of the catalogue's files, given what the player's data already knows: a file whose
// path, size and time a record holds is that record's game, without reading it; another file
// is hashed only when a record no file was matched to (a moved library) has its size, so an
// everyday start reads no game file at all. Empty keys where nothing is known.
QStringList identify(const QStringList &files, const QHash<QString, GameRecord> &games);

class Store : public QObject
{
    Q_OBJECT
public:
    static constexpr int LockWaitMs = 3000;
    static constexpr int FormatVersion = 1;
    static constexpr const char *FileName = "player.json";

    // folder: the program folder's data folder, "tarumin".
    explicit Store(QString folder, QObject *parent = nullptr);
    ~Store() override;

    const QString &path() const { return path_; }
    QString statesFolder() const;

    // Reads the file as it is now. A file that is not the player's data (damaged, or another
    // program's) is set aside under a name that says so, and an empty store begun: the name
    // it was set aside under is returned, for the user to be told.
    std::optional<QString> load();

    // Everything as last read or changed.
    const QHash<QString, GameRecord> &games() const { return games_; }
    // The game of a key, or, when the key is unknown or empty, the game last seen at path.
    const GameRecord *find(const QString &key, const QString &path) const;
    QJsonObject section(const QString &name) const { return root_.value(name).toObject(); }
    // One section of the file in a data folder, read without a store (empty when the file is
    // missing or not the player's data): what is needed before any window is made.
    static QJsonObject peek(const QString &folder, const QString &name);

    // A change to one game, or to one section ("window", "list"): applied here at once, and
    // then to the file on a worker, under its lock, to the file as it is then (so that another
    // window's changes are kept; only this change is applied). A game whose key is not known
    // yet is keyed there (its file hashed).
    using Apply = std::function<void(QJsonObject &object)>;
    struct Change
    {
        GameKey game;    // a game's, or
        QString section; // a section's
        Apply apply;
    };
    void change(const Change &change);

    // Writes a change to the file at path, waiting for its lock: the store as the file now is
    // goes to now. Returns why it could not be written, or nothing. On any thread.
    static std::optional<QString> write(const QString &path, Change change, QJsonObject *now);

    // Waits until every change asked for is written (for the end of the program, and tests).
    void flush();

signals:
    // The remembered data changed (a change of ours written, or found written by another).
    void changed();
    // A change could not be written, and why; or the file was set aside (asideName).
    void problem(const QString &why);

private:
    void take(const QJsonObject &root);
    void index();

    QString folder_;
    QString path_;
    QJsonObject root_;
    QHash<QString, GameRecord> games_;
    QHash<QString, QString> keyOfPath_;
    int pending_ = 0;
    struct Worker;
    std::shared_ptr<Worker> worker_;
};

// Applies a game's change to the whole document: the game found by key, or by its path when
// its key is new (a game first remembered while its file was missing), moved to its key.
void applyChange(QJsonObject &root, const Store::Change &change);

} // namespace player
