#pragma once

#include "catalogue/media.h"
#include "onboarding/software_lists.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The emulators this window started, the game each was started with and the parts of its set,
// and the talk with them through openMSX's control socket. Every look at a socket or a disk is
// made on a worker thread with a time limit; the answers come back as signals, so the window
// never waits on an emulator that does not answer.
class RunningGames : public QObject
{
    Q_OBJECT
public:
    struct Game
    {
        qint64 pid = 0;
        QString snapName;
        std::optional<catalogue::Media> media;
        QStringList parts;      // the set's staged parts, in order (empty when it has none)
        QStringList partLabels; // as the software lists name them (empty where unknown)
        QString file;           // the game's file, as its line names it
    };

    static constexpr int AnswerMs = 1000;     // a socket that says nothing by then is not openMSX's
    static constexpr int ScreenshotMs = 5000; // openMSX writes a picture in that time

    // lists: the software lists the parts are named by, read once, on the worker.
    explicit RunningGames(std::function<onboarding::SoftwareLists()> lists, QObject *parent = nullptr);
    ~RunningGames() override;

    void started(qint64 pid, const QString &snapName, std::optional<catalogue::Media> media, const QString &file = {});

    // The last started game that answered the last time it was asked (nothing before any
    // answer); ask() asks again, and answered() tells when the answer is in.
    const std::optional<Game> &answering() const { return answering_; }
    void ask();

    // The game's screen of this moment, the picture inside the border cropped by crop (from a
    // file to a file) and saved whole as target; snapshotTaken(game, ok, why) follows.
    using Crop = std::function<bool(const QString &screen, const QString &cropped)>;
    void takeSnapshot(const Game &game, const QString &target, Crop crop);
    // Puts a part of the game's set into its drive (or player); partChanged(part, ok, why) follows.
    void changePart(const Game &game, const QString &part);

    // Saves the whole machine's state as stateFile (replacing the one there only once the new
    // one is whole) and its screen as picture; stateSaved(stateFile, ok, why) follows.
    void saveState(const Game &game, const QString &stateFile, const QString &picture);

signals:
    void answered();
    void stateSaved(const QString &stateFile, bool ok, const QString &why);
    void snapshotTaken(const QString &snapName, bool ok, const QString &why);
    void partChanged(const QString &part, bool ok, const QString &why);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    QList<Game> games_; // the last started last
    std::optional<Game> answering_;
    bool asking_ = false;
    bool askAgain_ = false;
    bool ended_ = false; // games have ended whose staged sets are still to go
};
