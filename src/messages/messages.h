#pragma once

#include "catalogue/error.h"
#include "catalogue/line_table.h"
#include "catalogue/record.h"
#include "onboarding/batch.h"
#include "onboarding/snapshots.h"
#include "platform/system/launcher.h"
#include "platform/system/paths.h"
#include "platform/system/system_error.h"

#include <QDate>
#include <QString>

// Every Japanese sentence about an outcome, made in one place from the typed results that the
// catalogue, the onboarding and the platform layer return: what the windows show and what the
// import tool prints. Needs nothing but Qt Core.
namespace messages {

// The language chosen in the list's menu: said in both, as the user may read only one.
QString languageAtNextStart();

// Register and Edit come from the entry dialog (what the user typed is still there), Import
// from a drop or the import tool (nothing was typed).
enum class Change { Register, Edit, Delete, Import };

// The system's reason in the program's own words.
QString systemReason(const platform::SystemError &error);

// What went wrong with the file, as the part of a sentence in brackets.
QString reason(const catalogue::Error &error);

// A load that failed or did not fit, told once when the window shows the list; empty when
// there is nothing to say.
QString loadProblem(const catalogue::LoadResult &result);

// A change that was refused or failed; nothing was written.
QString changeFailed(Change change, const catalogue::Error &error);

// An entry that cannot become a line.
QString entryProblem(const catalogue::EntryProblem &problem);

// The emulator could not be started.
QString launchFailed(const QString &program, const platform::LaunchError &error);

// The emulator ended with a failure soon after its start.
QString emulatorFailed(const platform::EarlyExit &exit);

// The running game's screen could not be made the game's snapshot (why: openMSX's words, or
// empty when openMSX did not answer).
QString runningSnapshotFailed(const QString &why);
// The running game has no snapshot name to save its screen under.
QString runningSnapshotNoName();
// openMSX would not take the disk or tape part (why as above).
QString partNotChanged(const QString &part, const QString &why);

// The program folder cannot be used; empty when it can.
QString programFolderProblem(const platform::ProgramFolderChoice &choice);
// A run as root (sudo) that could not take on the identity of the folder's owner.
QString rootRunRefused(const platform::SystemError &system);

// What a batch of game files came to.
QString batchRegistered(const QList<onboarding::BatchItem> &items,
                        const QList<onboarding::ListProblem> &listProblems = {});
// Each file not registered with its reason, and each whose list texts lost characters to
// "？": the details under the drop's message; empty when there are none.
QString batchDetails(const QList<onboarding::BatchItem> &items);
// A software list that was passed over.
QString listSkipped(const onboarding::ListProblem &problem);
// Why a file was not registered.
QString notAGame(const onboarding::BatchItem &item);
// The import tool's line for one file.
QString importedItem(const onboarding::BatchItem &item, bool written = true);
// How many lines a --relink run changed, or would change without --write.
QString importedRelinks(int count, bool written);
// The characters of the lists' texts written as "？", for the import tool; empty when none.
QString replacedCharacters(const QStringList &characters);
// The import tool's heading over the lines it added, or would add without --write.
QString importedLines(qsizetype count, bool written);
// How many of them name a copy in the program folder's games/.
QString importedCopies(int count, bool written);
// The import tool was given nothing to register, or a program folder that is not there.
QString importNothingGiven();
QString importFolderMissing(const QString &folder);
// A picked file whose name the catalogue cannot hold could not be copied into games/.
QString cannotCopy(const QString &path, const onboarding::Placement &placed);
// A game file that changed between being identified and being copied.
QString fileChanged();
// A snapshot of a newly registered cartridge, taken or not.
QString snapshotTaken(const onboarding::SnapshotResult &result, const QString &snapName);

// The windows' outcomes that are not failures, and their prompts.
QString saved(Change change);
QString deleted();
QString chooseGameFirst(Change change);
// The entry dialog's questions and refusals before a save.
QString gameFileMissing(const QString &path);
// The same question when the drive did not answer whether the file is there.
QString gameFileNotAnswering(const QString &path);
QString chooseSlot(const QString &fileName);
QString confirmDelete(const QString &title);
// A game whose file is not there: in its details, and when it is to be started.
QString noGameFile(const QString &path);
QString cannotStartMissing(const QString &path);
// Every file under one folder missing: a drive not mounted, a library moved.
// The entry dialog's question when the file chosen is one a line already names.
QString alreadyRegistered(const QString &file, int lineNumber, const QString &title);
QString folderMissing(const QString &folder, int games);
QString registrationCancelled();
QString registrationInProgress();
QString cancelCaption();

// What the player's data says: the chosen game's plays ("遊んだ回数 3 回・合計 1 時間 12 分・
// 最後に遊んだ日 2026年12月8日"; empty for a game never played), a file set aside, a change not
// written, a state not saved.
QString playHistory(int plays, qint64 seconds, const QDate &last);
QString playerDataSetAside(const QString &folder, const QString &asideName);
QString playerDataNotWritten(const QString &why);
QString stateNotSaved(const QString &why);
QString stateSaved();

// The field's name as the entry dialog's headings show it.
QString fieldName(catalogue::Field field);

} // namespace messages
