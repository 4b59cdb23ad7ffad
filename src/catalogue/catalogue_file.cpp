#include "catalogue_file.h"

#include "platform/system/file_lock.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <QFileInfo>

#include <memory>

namespace catalogue {

CatalogueFile::CatalogueFile(QString path) : path_(std::move(path)) {}

namespace {

// The file a path names in the end: links followed, even when the file is not there yet.
QString realFile(const QString &path)
{
    QString file = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(file);
        if (!info.isSymLink())
            break;
        file = info.symLinkTarget(); // absolute
    }
    const QString canonical = QFileInfo(file).canonicalFilePath();
    return canonical.isEmpty() ? file : canonical;
}

// Written within the last two seconds (or, on a clock that went back, "in the future").
bool recentlyWritten(const QString &file)
{
    const QDateTime modified = QFileInfo(file).lastModified();
    return modified.isValid() && qAbs(modified.msecsTo(QDateTime::currentDateTime())) < 2000;
}

// The wait hook told of a wait (every tick), and of its end once, whichever way the change
// leaves.
class Waiting
{
public:
    explicit Waiting(const CatalogueFile::WaitHook &hook) : hook_(hook) {}
    ~Waiting()
    {
        if (waited_ && hook_)
            hook_(false);
    }
    void tick()
    {
        waited_ = true;
        if (hook_)
            hook_(true);
    }

private:
    const CatalogueFile::WaitHook &hook_;
    bool waited_ = false;
};

} // namespace

std::optional<Error> CatalogueFile::change(
    const std::function<std::optional<Error>(LineTable &, bool &changed)> &apply) const
{
    Error error;
    error.path = path_;
    const QString file = realFile(path_);
    const QString folder = QFileInfo(file).absolutePath();
    platform::clearSystemError();
    if (!QDir().mkpath(folder)) {
        error.kind = Error::Kind::CannotCreateFolder;
        error.path = folder;
        error.system = platform::lastSystemError();
        return error;
    }

    platform::FileLock lock(file + QStringLiteral(".lock"));
    Waiting waiting(waitHook_);
    switch (lock.lock(LockWaitMs, [&] { waiting.tick(); })) {
    case platform::FileLock::Result::Locked: break;
    case platform::FileLock::Result::Busy:
        error.kind = Error::Kind::Busy;
        return error;
    case platform::FileLock::Result::NotAFile:
        error.kind = Error::Kind::LockNotAFile;
        error.path = lock.path();
        return error;
    case platform::FileLock::Result::Failed:
        if (lock.system().kind == platform::SystemError::Kind::AccessDenied
            || lock.system().kind == platform::SystemError::Kind::ReadOnlyMedium) {
            error.kind = Error::Kind::ReadOnlyFolder;
            error.path = folder;
        } else {
            error.kind = Error::Kind::WriteFailed;
            error.step = Error::Step::Create;
            error.path = lock.path();
            error.system = lock.system();
        }
        return error;
    }

    // The table is large; keep it off the stack.
    const auto table = std::make_unique<LineTable>();
    LoadResult loaded = table->load(file);
    // A program that rewrites the file in place (no lock, no rename) leaves its last line cut
    // for a moment: a change waits for the file to settle rather than save half of it.
    const QDeadlineTimer settling(LockWaitMs);
    while (!loaded.error && loaded.unterminated && recentlyWritten(file)) {
        if (settling.hasExpired()) {
            error.kind = Error::Kind::BeingWritten;
            return error;
        }
        waiting.tick();
        QThread::msleep(50);
        loaded = table->load(file);
    }
    if (loaded.error)
        return loaded.error;
    bool changed = false;
    if (auto refused = apply(*table, changed))
        return refused;
    // Nothing to write (a batch of games all there already, an edit saved as it was): the
    // file stays as it is.
    return changed ? table->save(file, [&] { waiting.tick(); }) : std::nullopt;
}

std::optional<Error> CatalogueFile::append(const QList<QByteArray> &lines) const
{
    return appendChosen([&lines](const LineTable &) { return lines; });
}

std::optional<Error> CatalogueFile::appendChosen(
    const std::function<QList<QByteArray>(const LineTable &)> &choose) const
{
    return changeChosen([&](const LineTable &table) { return Chosen{choose(table), {}}; });
}

std::optional<Error> CatalogueFile::changeChosen(const std::function<Chosen(const LineTable &)> &choose) const
{
    return change([&](LineTable &table, bool &changed) -> std::optional<Error> {
        const Chosen chosen = choose(table);
        if (table.size() + chosen.added.size() > LineTable::Capacity) {
            Error e;
            e.kind = Error::Kind::Full;
            e.path = path_;
            e.lineCount = table.size();
            return e;
        }
        for (const Replacement &r : chosen.replaced) {
            if (!table.contains(r.k) || table.line(r.k) != r.was) {
                Error e;
                e.kind = Error::Kind::LineChanged;
                e.path = path_;
                e.lineCount = table.size();
                return e;
            }
        }
        for (const Replacement &r : chosen.replaced)
            changed = table.replace(r.k, r.line) || changed;
        for (const QByteArray &line : chosen.added)
            table.append(line);
        changed = changed || !chosen.added.isEmpty();
        return std::nullopt;
    });
}

namespace {

std::optional<Error> lineChanged(const QString &path, const LineTable &table, int k,
                                 const QByteArray &chosen)
{
    if (table.contains(k) && table.line(k) == chosen)
        return std::nullopt;
    Error e;
    e.kind = Error::Kind::LineChanged;
    e.path = path;
    e.lineCount = table.size();
    return e;
}

} // namespace

std::optional<Error> CatalogueFile::replace(int k, const QByteArray &chosen,
                                            const QByteArray &line) const
{
    return change([&](LineTable &table, bool &changed) {
        auto refused = lineChanged(path_, table, k, chosen);
        changed = !refused && line != chosen;
        if (changed)
            table.replace(k, line);
        return refused;
    });
}

std::optional<Error> CatalogueFile::remove(int k, const QByteArray &chosen) const
{
    return change([&](LineTable &table, bool &changed) {
        auto refused = lineChanged(path_, table, k, chosen);
        changed = !refused;
        if (changed)
            table.remove(k);
        return refused;
    });
}

} // namespace catalogue
