#pragma once

#include "game_files.h"
#include "software_lists.h"

#include "catalogue/catalogue_file.h"
#include "catalogue/line_table.h"
#include "platform/system/program_folder.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Registering many games at once: each file identified against the software lists, a line
// composed for it, and the lines appended in one locked change.
namespace onboarding {

struct BatchItem
{
    enum class Outcome {
        Identified,    // named by a list: its line holds the list's texts
        NotIdentified, // named by no list: registered by its file name
        AlreadyThere,  // a line of the catalogue names the same file
        DoesNotFit,    // past the catalogue's last line
        NotAGame,      // cannot be read, or its kind or name cannot make a line (problem)
    };
    // Why a file is NotAGame.
    enum class Problem {
        None,
        Unreadable,     // could not be read
        NotPlain,       // a pipe, a device or a folder
        TooLarge,       // larger than any MSX image
        ZipNotSingle,   // a zip that does not hold exactly one file
        ZipTooManyEntries, // a zip listing more files than a game could hold
        NoZipReader,    // the zip module is missing
        UnknownMedia,   // neither a list nor the extension says cartridge, tape or disk
        CommaInName,    // the file's name has a comma before its first "."
        UnwritableName, // the file's name or folder has a character CP932 cannot hold (character)
    };
    QString path;
    Outcome outcome = Outcome::NotAGame;
    std::optional<KnownImage> known;
    QByteArray line;         // the line to add (Identified, NotIdentified until settled)
    QStringList replaced;    // characters CP932 cannot hold, written as "？"
    Problem problem = Problem::None;
    QString character;       // UnwritableName: the character
};

// The line for a game file, as a registration composes it: fields 1 to 6 from the list (or
// from the file name), fields 7 and 8 from the file's place. Never refuses a list's text: a
// comma becomes "，" and a character CP932 cannot hold "？" (listed in replaced).
BatchItem composeItem(const GameFile &file, const KnownImage *known, const platform::ProgramFolder &programFolder);

// The file that a line's launch arguments name, as an absolute path, or an empty text.
QString fileNamedBy(QByteArrayView line, const platform::ProgramFolder &programFolder);

// Settles the items against the catalogue as it now is: a file already named by a line, or by
// an earlier item, is AlreadyThere; what would go past the last line is DoesNotFit. Returns the
// lines to add, in the items' order.
QList<QByteArray> settle(QList<BatchItem> &items, const catalogue::LineTable &table,
                         const platform::ProgramFolder &programFolder);

// Reads and identifies the files (progress reports how many are done; returning false from it
// stops early, and the rest are left out).
QList<BatchItem> identify(const QStringList &files, const SoftwareLists &lists,
                          const platform::ProgramFolder &programFolder,
                          const std::function<bool(int done)> &progress = {});

struct BatchCounts
{
    int identified = 0, notIdentified = 0, alreadyThere = 0, doesNotFit = 0, notAGame = 0;
};
BatchCounts countOf(const QList<BatchItem> &items);

// Loads what the program folder's hash/ holds, and openMSX's database where it is installed;
// stops early when cancel is set.
SoftwareLists loadSoftwareLists(const platform::ProgramFolder &programFolder,
                                const std::atomic<bool> *cancel = nullptr);

} // namespace onboarding
