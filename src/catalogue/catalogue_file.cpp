#include "catalogue_file.h"

#include "platform/system/file_lock.h"
#include "platform/system/file_read.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <QFileInfo>

#include <QMutex>

#include <memory>

namespace catalogue {

// What this program last read of the file or wrote to it.
struct CatalogueFile::Seen
{
    QMutex mutex;
    platform::FileStamp read;   // the file as last read
    qsizetype readLines = -1;   // how many lines it had then (-1: never read)
    platform::FileStamp saved;  // the file as this program last wrote it

    void remember(const platform::FileStamp &stamp, qsizetype lines, bool ownSave)
    {
        const QMutexLocker lock(&mutex);
        read = stamp;
        readLines = lines;
        if (ownSave)
            saved = stamp;
    }
};

CatalogueFile::CatalogueFile(QString path) : path_(std::move(path)), seen_(std::make_shared<Seen>()) {}

LoadResult CatalogueFile::load(LineTable &table) const
{
    LoadResult result = table.load(path_);
    if (!result.error)
        seen_->remember(platform::stampOf(path_), result.lineCount, false);
    return result;
}

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
constexpr qint64 RecentMs = 2000;
// How long a file rewritten in place must stand unchanged to count as written.
constexpr qint64 QuietMs = 300;
// A file last written this long after it was made was written in place: this program's saves
// write a new file in one go and put it in place.
constexpr qint64 InPlaceMs = 100;
bool recentlyWritten(const platform::FileStamp &stamp)
{
    return stamp.exists && qAbs(QDateTime::currentMSecsSinceEpoch() - stamp.modifiedMs) < RecentMs;
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
    platform::FileStamp before = platform::stampOf(file);
    LoadResult loaded = table->load(file);
    // Another program may be rewriting the file in place (an editor that empties it and then
    // writes it out, a line at a time or all at once; no lock, no rename): saving now would
    // keep what it has written so far and lose the rest. A file written within the last two
    // seconds is waited for while its last line is cut, or, when it was rewritten in place,
    // while it is empty, shorter than when this program last read it, or still moving; when
    // it does not settle within the wait, nothing is written.
    Seen seenNow;
    {
        const QMutexLocker lock(&seen_->mutex);
        seenNow.read = seen_->read;
        seenNow.readLines = seen_->readLines;
        seenNow.saved = seen_->saved;
    }
    const QDeadlineTimer settling(LockWaitMs);
    for (;;) {
        const platform::FileStamp after = platform::stampOf(file);
        if (loaded.error || !recentlyWritten(after))
            break;
        bool unsettled = loaded.unterminated || !(before == after);
        if (!unsettled && !(after == seenNow.saved)) {
            // Rewritten in place: the file this program read, written since, or a file written
            // well after it was made (this program's saves are new files, put in place whole).
            const bool inPlace = (after.sameFile(seenNow.read) && !(after == seenNow.read))
                                 || (after.bornMs >= 0 && after.modifiedMs - after.bornMs > InPlaceMs);
            if (inPlace)
                unsettled = loaded.lineCount == 0 || loaded.lineCount < seenNow.readLines
                            || QDateTime::currentMSecsSinceEpoch() - after.modifiedMs < QuietMs;
        }
        if (!unsettled)
            break;
        if (settling.hasExpired()) {
            error.kind = Error::Kind::BeingWritten;
            return error;
        }
        waiting.tick();
        QThread::msleep(50);
        before = platform::stampOf(file);
        loaded = table->load(file);
    }
    if (loaded.error)
        return loaded.error;
    bool changed = false;
    if (auto refused = apply(*table, changed))
        return refused;
    // Nothing to write (a batch of games all there already, an edit saved as it was): the
    // file stays as it is.
    if (!changed)
        return std::nullopt;
    if (auto failed = table->save(file, [&] { waiting.tick(); }))
        return failed;
    seen_->remember(platform::stampOf(file), table->size(), true);
    return std::nullopt;
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
