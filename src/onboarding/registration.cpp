#include "registration.h"

#include "platform/system/new_file.h"

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
    // What copies killed half way left in games/ goes before new ones are made.
    if (writing == Writing::Write)
        platform::removeLeftovers(folder.copiedGames());
    result.items = identifyRead(*read, lists, folder, Copying{copyMode, writing == Writing::Write});
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
