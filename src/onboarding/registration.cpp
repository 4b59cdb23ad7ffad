#include "registration.h"

#include <memory>

namespace onboarding {

Registration registerGameFiles(const QStringList &paths, const platform::ProgramFolder &folder,
                               const catalogue::CatalogueFile &file, Writing writing,
                               const RegistrationProgress &progress, Copying::Mode copyMode)
{
    Registration result;
    const SoftwareLists lists = loadSoftwareLists(folder, progress.cancel);
    result.listProblems = lists.problems();
    if (progress.cancelled()) {
        result.cancelled = true;
        return result;
    }
    const QStringList files = collectGameFiles(paths);
    const int total = int(files.size());
    result.items = identify(files, lists, folder, [&](int done) {
        if (progress.report)
            progress.report(done, total);
        return !progress.cancelled();
    }, Copying{copyMode, writing == Writing::Write});
    if (progress.cancelled()) {
        result.cancelled = true;
        return result;
    }
    if (writing == Writing::Write) {
        result.error = file.appendChosen([&](const catalogue::LineTable &table) {
            result.lines = settle(result.items, table, folder);
            return result.lines;
        });
        if (result.error)
            result.lines.clear();
        return result;
    }
    const auto table = std::make_unique<catalogue::LineTable>(); // large: off the stack
    if (const catalogue::LoadResult loaded = file.load(*table); loaded.error) {
        result.error = loaded.error;
        return result;
    }
    result.lines = settle(result.items, *table, folder);
    return result;
}

} // namespace onboarding
