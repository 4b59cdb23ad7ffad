#include "registration.h"

#include "known_files.h"

#include "platform/system/new_file.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <memory>
#include <thread>

namespace onboarding {

namespace {

bool goesIn(const BatchItem &item)
{
    return item.outcome == BatchItem::Outcome::Identified || item.outcome == BatchItem::Outcome::NotIdentified
           || item.outcome == BatchItem::Outcome::Relinked;
}

// What the folders held besides game files, each with its reason, after the files read.
void appendSkipped(Registration &result, const CollectedFiles &collected)
{
    for (const SkippedFile &skipped : collected.skipped) {
        BatchItem item;
        item.path = skipped.path;
        item.problem = BatchItem::Problem::Skipped;
        item.skipped = skipped.reason;
        result.items << item;
    }
}

// Makes the copies of an alt set that shares its first disk (see BatchItem::setCopies), all or
// none; the copies made, or none when one could not be made (the item then says why).
QStringList copySet(BatchItem &item, const QList<GameFile> &read, const platform::ProgramFolder &folder)
{
    const QString copies = folder.copiedGames();
    QDir().mkpath(copies);
    QStringList made;
    for (const auto &[file, name] : item.setCopies) {
        const GameCopy copy = copyGameFile(read[file], copies, [&name](int) { return name; }, 1, true);
        if (copy.status == GameCopy::Status::Copied || copy.status == GameCopy::Status::Reused) {
            if (copy.status == GameCopy::Status::Copied)
                made << copies + u'/' + copy.fileName;
            continue;
        }
        for (const QString &path : made)
            QFile::remove(path);
        item.outcome = BatchItem::Outcome::NotAGame;
        item.problem = copy.status == GameCopy::Status::Changed ? BatchItem::Problem::Changed
                                                                : BatchItem::Problem::CannotCopy;
        if (copy.status == GameCopy::Status::Failed)
            item.system = copy.system;
        item.line.clear();
        return {};
    }
    return made;
}

} // namespace

Registration registerGameFiles(const QStringList &paths, const platform::ProgramFolder &folder,
                               const catalogue::CatalogueFile &file, Writing writing,
                               const RegistrationProgress &progress, Copying::Mode copyMode, Adding adding)
{
    // Settled against the table; with RelinkOnly, what would be added is not.
    auto settleAll = [&](QList<BatchItem> &items, const catalogue::LineTable &table, const KnownFiles &known) {
        catalogue::CatalogueFile::Chosen chosen = settleKnown(items, table, folder, known);
        if (adding == Adding::RelinkOnly) {
            chosen.added.clear();
            for (BatchItem &item : items) {
                if (item.outcome == BatchItem::Outcome::Identified || item.outcome == BatchItem::Outcome::NotIdentified
                    || item.outcome == BatchItem::Outcome::OtherDump)
                    item.outcome = BatchItem::Outcome::NotAdded;
            }
        }
        return chosen;
    };
    Registration result;
    // The lists are read on a thread of their own while the files are read and hashed.
    SoftwareLists lists;
    std::thread listReader([&] { lists = loadSoftwareLists(folder, progress.cancel); });
    const CollectedFiles collected = collectFiles(paths);
    const QStringList &files = collected.files;
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
    const catalogue::LoadResult loaded = file.load(*table);
    if (loaded.error && writing == Writing::DryRun) {
        result.error = loaded.error;
        return result;
    }
    // The games the catalogue holds, by what their files hold.
    KnownFiles known(knownFilesCache());
    if (!loaded.error)
        known.index(*table, folder, progress.cancel);
    if (progress.cancelled()) {
        result.cancelled = true;
        return result;
    }
    if (writing == Writing::DryRun) {
        result.lines = settleAll(result.items, *table, known).added;
        appendSkipped(result, collected);
        return result;
    }

    // What copies killed half way left in games/ goes before new ones are made.
    platform::removeLeftovers(folder.copiedGames());
    // The catalogue as it is now says which lines will go in (the locked change settles again,
    // against the file as it is then). A game's later parts are copied with its first, so
    // that the set stays together.
    QSet<qsizetype> made; // the copies this run made
    QHash<qsizetype, QStringList> madeSets; // an alt set's copies this run made, by its item
    if (!loaded.error) {
        QList<BatchItem> trial = result.items;
        settleAll(trial, *table, known);
        QSet<QString> goingIn;
        for (const BatchItem &item : trial) {
            if (goesIn(item))
                goingIn.insert(item.path);
        }
        for (qsizetype i = 0; i < trial.size(); ++i) {
            if (!result.items[i].setCopies.isEmpty()) {
                if (goesIn(trial[i]))
                    madeSets.insert(i, copySet(result.items[i], *read, folder));
                continue;
            }
            const bool partOfOne = trial[i].outcome == BatchItem::Outcome::PartOfGame && goingIn.contains(trial[i].detail);
            if (!(goesIn(trial[i]) || partOfOne) || !result.items[i].newCopy)
                continue;
            const GameFile &game = (*read)[i];
            // The entry the item was composed with (an alt set's first disk is the alt's).
            const KnownImage *entry = result.items[i].known ? &*result.items[i].known : knownFile(game, lists);
            BatchItem copied = composeItem(game, entry, folder, Copying{copyMode, true},
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
    result.error = file.changeChosen([&](const catalogue::LineTable &now) {
        const catalogue::CatalogueFile::Chosen chosen = settleAll(result.items, now, known);
        result.lines = chosen.added;
        return chosen;
    });

    // A copy this run made for a line that was not written goes again; a copy only planned
    // is no copy.
    QSet<QString> written;
    for (const BatchItem &item : result.items) {
        if (!result.error && goesIn(item))
            written.insert(item.path);
    }
    for (qsizetype i = 0; i < result.items.size(); ++i) {
        BatchItem &item = result.items[i];
        const bool kept = written.contains(item.path)
                          || (item.outcome == BatchItem::Outcome::PartOfGame && written.contains(item.detail));
        if (kept && i < read->size())
            known.remember(item.copy.isEmpty() ? item.path : item.copy,
                           (*read)[item.setCopies.isEmpty() ? i : item.setCopies.first().first]);
        if (!kept) {
            for (const QString &copy : madeSets.value(i))
                QFile::remove(copy);
        }
        if (kept || !item.newCopy)
            continue;
        if (made.contains(i))
            QFile::remove(item.copy);
        item.copy.clear();
    }
    if (result.error)
        result.lines.clear();
    else
        known.save();
    appendSkipped(result, collected);
    return result;
}

} // namespace onboarding
