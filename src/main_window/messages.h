#pragma once

#include "catalogue/error.h"
#include "catalogue/line_table.h"
#include "catalogue/record.h"
#include "onboarding/batch.h"
#include "platform/system/launcher.h"
#include "platform/system/paths.h"
#include "platform/system/system_error.h"

#include <QString>

// Every sentence the windows show about the catalogue and the system, made in one place from
// the typed errors that the catalogue and the platform layer return.
namespace messages {

enum class Change { Register, Edit, Delete };

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

// The program folder cannot be used; empty when it can.
QString programFolderProblem(const platform::ProgramFolderChoice &choice);

// What a batch of game files came to.
QString batchRegistered(const QList<onboarding::BatchItem> &items);

// The field's name as the entry dialog's headings show it.
QString fieldName(catalogue::Field field);

} // namespace messages
