#pragma once

#include "error.h"
#include "line_table.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace catalogue {

// The one way the program changes the catalogue file. Each change is a locked
// read-check-write: it takes a lock beside the file (beside the file itself, when the
// catalogue's path is a link, so that every copy reaching it through any link takes the same
// lock; two copies of the program, or the program and the import tool, never interleave), reads the file as it is now, checks that the
// line it is about to replace or remove still holds what the user chose, applies the one
// change and saves atomically. Every other line, those that other programs added included,
// stays byte for byte. On any failure, or when the change changes nothing, nothing is written.
class CatalogueFile
{
public:
    // How long a change waits for another program's change to finish.
    static constexpr int LockWaitMs = 3000;

    explicit CatalogueFile(QString path);

    const QString &path() const { return path_; }
    // Reads the file into table, and remembers what it read: a change later tells by it a
    // file another program is rewriting in place (cut shorter than it was, or still moving).
    // Copies of a CatalogueFile share what they remember.
    LoadResult load(LineTable &table) const;

    // Called now and then while a change waits for another program's change to finish
    // (waiting true), and once when the wait is over (false): a window keeps painting and shows
    // that it is busy.
    using WaitHook = std::function<void(bool waiting)>;
    void setWaitHook(WaitHook hook) { waitHook_ = std::move(hook); }

    // Adds the lines after the last one, all or none (Full when they would not fit).
    std::optional<Error> append(const QList<QByteArray> &lines) const;
    // Adds the lines that choose picks, given the catalogue as it is under the lock (so that
    // what it leaves out, and what it knows fits, is decided against the file as it now is).
    std::optional<Error> appendChosen(
        const std::function<QList<QByteArray>(const LineTable &)> &choose) const;
    // As appendChosen, and also lines replaced: each line k that still holds was becomes line
    // (a game's file found at a new place), all in one change.
    struct Replacement
    {
        int k = -1;
        QByteArray was, line;
    };
    struct Chosen
    {
        QList<QByteArray> added;
        QList<Replacement> replaced;
    };
    std::optional<Error> changeChosen(const std::function<Chosen(const LineTable &)> &choose) const;
    // Line k becomes line, if line k still holds chosen (LineChanged otherwise).
    std::optional<Error> replace(int k, const QByteArray &chosen, const QByteArray &line) const;
    // Line k goes, if it still holds chosen (LineChanged otherwise).
    std::optional<Error> remove(int k, const QByteArray &chosen) const;

private:
    // Lock, read, apply (which says whether it changed the table), and save if it did.
    std::optional<Error> change(
        const std::function<std::optional<Error>(LineTable &, bool &changed)> &apply) const;

    QString path_;
    WaitHook waitHook_;
    struct Seen;
    std::shared_ptr<Seen> seen_;
};

} // namespace catalogue
