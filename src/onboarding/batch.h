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

#include <atomic>
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
        AlreadyThere,  // a line of the catalogue names the same file, or one that holds the
                       // same game (detail: that file)
        Relinked,      // the game of a line whose file is gone: the line now names this file
        OtherDump,     // another dump of a game the batch registers (detail: the file that is)
        NotAdded,      // would be registered, but only lines were to be relinked
        DoesNotFit,    // past the catalogue's last line
        PartOfGame,    // a later disk or tape side of a game whose first is registered (detail)
        NotAGame,      // not registered: problem says why
    };
    // Why a file is NotAGame.
    enum class Problem {
        None,
        File,           // the file could not be read as a game's: fileProblem says why
        UnknownMedia,   // neither a list nor the extension says cartridge, tape or disk
        CommaInName,    // the file's name has a comma before its first "."
        UnwritableName, // the file's name or folder has a character CP932 cannot hold (detail)
        OtherSystem,    // another system's software (detail: the system)
        Extension,      // a cartridge that extends the machine, not a game
        FirstPartMissing, // a later disk or tape side of a game whose first is not among the files
        CannotCopy,     // the file had to be copied into the program folder and could not be (system)
        DataRom,        // a chip of a cartridge's data (speech samples, kanji), not a program
        Changed,        // the file changed after it was identified: not copied, not registered
        Skipped,        // found in a folder and not read: skipped says why
    };
    QString path;
    Outcome outcome = Outcome::NotAGame;
    std::optional<KnownImage> known;
    QByteArray line;         // the line to add (Identified, NotIdentified until settled)
    QStringList replaced;    // characters CP932 cannot hold, written as "？"
    Problem problem = Problem::None;
    GameFile::Problem fileProblem = GameFile::Problem::None;
    QString detail;          // see Problem and Outcome
    QString copy;            // the copy in the program folder that the line names, if any
    bool newCopy = false;    // the copy is made (or planned) for this item, not found there
    bool copyForTheName = false; // the catalogue could not hold the file's own name
    // An alternate set given with the parent it shares its first disk with: its line names a
    // copy of that disk in games/, beside copies of its own later disks, named as one set
    // ("<software>-disk1.dsk", "-disk2.dsk", ...) so that the emulator finds them together.
    // The files (by their place among the files read) and the names of their copies, in order.
    QList<QPair<int, QString>> setCopies;
    QByteArray sha1;         // of the game's image
    SkippedFile::Reason skipped = SkippedFile::Reason::NotAGameName;
    std::optional<platform::SystemError> system; // CannotCopy: why, when the system said
};

// How files the catalogue cannot name are taken: copied into the program folder's games/
// under a name it can hold (always, with Copy::All), or only planned on a dry run.
struct Copying
{
    enum class Mode { WhenNeeded, All };
    Mode mode = Mode::WhenNeeded;
    bool write = true; // false: work out where each copy would go, copy nothing
};

// What the lists know a file as: its image's entry; for a zip of several files, the first
// part's entry of the one game whose parts they all are (nothing when they are not).
const KnownImage *knownFile(const GameFile &file, const SoftwareLists &lists);

// Whether a line can name the file by this name: no comma, no line break, nothing CP932
// cannot hold, and (where "\" is no folder separator) no backslash.
bool catalogueCanName(const QString &name);

// Where a line finds a file: its name (bare in the program folder, else its full path, or
// "games/NAME" for a copy), and the copy made or planned. Empty name when the copy failed.
// A copy is exactly the file that was read: one that changed since is not copied.
struct Placement
{
    enum class Problem { None, CannotCopy, Changed };
    QString name;
    QString copy;       // the copy's path, when the file is named through one
    bool newCopy = false;
    bool forTheName = false; // copied because the catalogue cannot hold its own name
    Problem problem = Problem::None;
    std::optional<platform::SystemError> system; // CannotCopy: why, when the system said
};
Placement placeFile(const GameFile &game, const platform::ProgramFolder &programFolder,
                    const Copying &copying);

// The line for a game file, as a registration composes it: fields 1 to 6 from the list (or
// from the file name), fields 7 and 8 from the file's place. Never refuses a list's text: a
// comma becomes "，" and a character CP932 cannot hold "？" (listed in replaced).
BatchItem composeItem(const GameFile &file, const KnownImage *known,
                      const platform::ProgramFolder &programFolder, const Copying &copying = {},
                      const QString &otherSystem = {});

// The file that a line's launch arguments name, as an absolute path, or an empty text.
QString fileNamedBy(QByteArrayView line, const platform::ProgramFolder &programFolder);
// The same as the line writes it, links on the way not followed (a file registered through a
// link that now leads nowhere is still known by this path).
QString pathAsRegistered(QByteArrayView line, const platform::ProgramFolder &programFolder);

// Settles the items against the catalogue as it now is: a file already named by a line, or by
// an earlier item, is AlreadyThere; what would go past the last line is DoesNotFit. Returns the
// lines to add, in the items' order.
QList<QByteArray> settle(QList<BatchItem> &items, const catalogue::LineTable &table,
                         const platform::ProgramFolder &programFolder);
// As settle, and also by what the files hold: a game a line already holds (its file there)
// is AlreadyThere, one of the batch given twice too; a game whose line's file is gone is
// Relinked: that line is to name the new file.
class KnownFiles;
catalogue::CatalogueFile::Chosen settleKnown(QList<BatchItem> &items, const catalogue::LineTable &table,
                                             const platform::ProgramFolder &programFolder,
                                             const KnownFiles &known);

// Reads and identifies the files, on every core (progress reports how many are done, from any
// thread; returning false from it stops early, and the rest are left out). A game of several
// disks or tape sides is registered by its first: its other parts are PartOfGame.
QList<BatchItem> identify(const QStringList &files, const SoftwareLists &lists,
                          const platform::ProgramFolder &programFolder,
                          const std::function<bool(int done)> &progress = {},
                          const Copying &copying = {});

// The two halves of identify: reading and hashing the files on every core (nothing when
// stopped), then making their lines from the lists.
std::optional<QList<GameFile>> readGameFiles(const QStringList &files,
                                             const std::function<bool(int done)> &progress = {});
QList<BatchItem> identifyRead(const QList<GameFile> &read, const SoftwareLists &lists,
                              const platform::ProgramFolder &programFolder,
                              const Copying &copying = {});

struct BatchCounts
{
    int identified = 0, notIdentified = 0, alreadyThere = 0, doesNotFit = 0, partOfGame = 0,
        notAGame = 0, copied = 0, relinked = 0, otherDump = 0, notAdded = 0;
    int copiedForTheName = 0; // of copied: those the catalogue could not have named where they were
};
BatchCounts countOf(const QList<BatchItem> &items);

// Loads the program folder's software lists (and the installed ones), and openMSX's databases
// where they are installed; stops early when cancel is set.
SoftwareLists loadSoftwareLists(const platform::ProgramFolder &programFolder,
                                const std::atomic<bool> *cancel = nullptr);

} // namespace onboarding
