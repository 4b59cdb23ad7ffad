#pragma once

#include "batch.h"

#include "catalogue/catalogue_file.h"
#include "catalogue/error.h"
#include "platform/system/program_folder.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

// Registering game files and folders in one go: the software lists read, the files collected
// and identified, and the batch settled against the catalogue and appended in one locked
// change. What a drop on the main window and the import tool both do.
namespace onboarding {

struct Registration
{
    QList<BatchItem> items;           // every file, with its outcome
    QList<ListProblem> listProblems;  // software lists passed over
    QList<QByteArray> lines;          // the lines added (or, on a dry run, that would be)
    std::optional<catalogue::Error> error; // the catalogue could not be read or changed
    bool cancelled = false;           // stopped before anything was written
};

// How the work is followed and stopped from another thread. report is called with the
// files done and their number; cancel, when set, is read between steps.
struct RegistrationProgress
{
    std::function<void(int done, int total)> report;
    const std::atomic<bool> *cancel = nullptr;

    bool cancelled() const { return cancel && cancel->load(); }
};

enum class Writing { DryRun, Write };
// Register: add lines and relink moved games; Relink: only make lines whose files are gone
// name the same games' files where they now are.
enum class Adding { Register, RelinkOnly };

// Files the catalogue cannot name are copied into the program folder's games/ (every file
// with Copying::Mode::All); a dry run copies nothing.
Registration registerGameFiles(const QStringList &paths, const platform::ProgramFolder &folder,
                               const catalogue::CatalogueFile &file, Writing writing,
                               const RegistrationProgress &progress = {},
                               Copying::Mode copyMode = Copying::Mode::WhenNeeded,
                               Adding adding = Adding::Register);

} // namespace onboarding
