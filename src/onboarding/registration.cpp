#include "registration.h"

#include "platform/system/new_file.h"

#include <QFile>
#include <QSet>

#include <memory>
#include <thread>

namespace onboarding {

Registration registerGameFiles(const QStringList &paths, const platform::ProgramFolder &folder,
                               const catalogue::CatalogueFile &file, Writing writing,
                               const RegistrationProgress &progress, Copying::Mode copyMode)
{
    Registration result;
    // The lists are read on a thread of their own while the files are read and hashed.
    SoftwareLists lists;
    std::thread listReader([&] { lists = loadSoftwareLists(folder, progress.cancel); });
    const QStringList files = collectGameFiles(paths);
    const int total = int(files.size());
    const auto read = readGameFiles(files, [&](int done) {
        if (progress.report)
            progress.report(done, total);
        return !progress.cancelled();
    });
    listReader.join();
    result.listProblems = lists.problems();
    if (!read || progress.cancelled()) {
        result.cancelled = true;
        return result;
    }
    // Copies are planned first, and made only for the lines that are going to be written.
    result.items = identifyRead(*read, lists, folder, Copying{copyMode, false});
    const auto table = std::make_unique<catalogue::LineTable>(); // large: off the stack
    if (writing == Writing::Write) {
        // What copies killed half way left in games/ goes before new ones are made.
        platform::removeLeftovers(folder.copiedGames());
        // The catalogue as it is now says which lines will go in (the locked append settles
        // again, against the file as it is then).
        // A game's later parts are copied with its first, so that the set stays together.
        QSet<qsizetype> made; // the copies this run made
        if (const catalogue::LoadResult loaded = file.load(*table); !loaded.error) {
            QList<BatchItem> trial = result.items;
            settle(trial, *table, folder);
            QSet<QString> goingIn;
            auto goesIn = [](const BatchItem &item) {
                return item.outcome == BatchItem::Outcome::Identified || item.outcome == BatchItem::Outcome::NotIdentified;
            };
            for (const BatchItem &item : trial) {
                if (goesIn(item))
                    goingIn.insert(item.path);
            }
            for (qsizetype i = 0; i < trial.size(); ++i) {
                const bool partOfOne = trial[i].outcome == BatchItem::Outcome::PartOfGame
                                       && goingIn.contains(trial[i].detail);
                if (!(goesIn(trial[i]) || partOfOne) || !result.items[i].newCopy)
                    continue;
                const GameFile &game = (*read)[i];
                BatchItem copied = composeItem(game, lists.find(game.sha1), folder, Copying{copyMode, true},
                                               lists.otherSystem(game.sha1));
                if (copied.newCopy && !copied.copy.isEmpty())
                    made.insert(i);
                if (partOfOne && copied.problem == BatchItem::Problem::None) {
                    copied.outcome = BatchItem::Outcome::PartOfGame;
                    copied.detail = result.items[i].detail;
                    copied.line.clear();
                }
                result.items[i] = copied;
            }
        }
        result.error = file.appendChosen([&](const catalogue::LineTable &now) {
            result.lines = settle(result.items, now, folder);
            return result.lines;
        });
        // A copy this run made for a line that was not written goes again; a copy only
        // planned is no copy.
        QSet<QString> firstPartsWritten;
        for (const BatchItem &item : result.items) {
            if (!result.error && (item.outcome == BatchItem::Outcome::Identified
                                  || item.outcome == BatchItem::Outcome::NotIdentified))
                firstPartsWritten.insert(item.path);
        }
        for (qsizetype i = 0; i < result.items.size(); ++i) {
            BatchItem &item = result.items[i];
            const bool kept = firstPartsWritten.contains(item.path)
                              || (item.outcome == BatchItem::Outcome::PartOfGame && firstPartsWritten.contains(item.detail));
            if (kept || !item.newCopy)
                continue;
            if (made.contains(i))
                QFile::remove(item.copy);
            item.copy.clear();
        }
        if (result.error)
            result.lines.clear();
        return result;
    }
    if (const catalogue::LoadResult loaded = file.load(*table); loaded.error) {
        result.error = loaded.error;
        return result;
    }
    result.lines = settle(result.items, *table, folder);
    return result;
}

} // namespace onboarding
