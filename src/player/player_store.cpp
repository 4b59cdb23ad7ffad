#include "player_store.h"

#include "platform/system/file_lock.h"
#include "platform/system/file_sync.h"
#include "platform/system/system_error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QSaveFile>
#include <QSet>
#include <QThreadPool>

namespace player {

namespace {

const QString FormatName = QStringLiteral("tarumin-player");
constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;  // more is not ours
constexpr qint64 MaxHashedBytes = 256 * 1024 * 1024; // a bigger game file is known by its path

QString sha1Key(const QByteArray &hex) { return QStringLiteral("sha1:") + QString::fromLatin1(hex); }
QString pathKey(const QString &path) { return QStringLiteral("path:") + path; }

// The hashes already made, by path, size and time.
struct HashCache
{
    QMutex mutex;
    QHash<QString, std::tuple<qint64, qint64, QString>> byPath;
};
HashCache &hashCache()
{
    static HashCache cache;
    return cache;
}

enum class Read { Ours, Missing, Damaged, Foreign };

// Reads the file into root; says what it found.
Read readFile(const QString &path, QJsonObject &root)
{
    QFile file(path);
    if (!file.exists())
        return Read::Missing;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes)
        return Read::Damaged;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return Read::Damaged;
    if (document.object().value(QLatin1String("format")).toString() != FormatName)
        return Read::Foreign;
    root = document.object();
    return Read::Ours;
}

// Moves a file that is not the player's data out of the way, under a name that says what it
// was; the name it got, or nothing when it could not be moved.
std::optional<QString> setAside(const QString &path, Read read)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path + (read == Read::Foreign ? QStringLiteral(".not-ours-") : QStringLiteral(".damaged-")) + stamp;
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = base + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(path, aside))
        return std::nullopt;
    return QFileInfo(aside).fileName();
}

QJsonObject emptyRoot()
{
    return QJsonObject{{QStringLiteral("format"), FormatName}, {QStringLiteral("version"), Store::FormatVersion}};
}

} // namespace

GameRecord GameRecord::from(const QJsonObject &o)
{
    GameRecord r;
    r.machine = o.value(QLatin1String("machine")).toString();
    r.fmpac = o.value(QLatin1String("fmpac")).toBool();
    r.favourite = o.value(QLatin1String("favourite")).toBool();
    r.plays = qMax(0, o.value(QLatin1String("plays")).toInt());
    r.seconds = qMax<qint64>(0, qint64(o.value(QLatin1String("seconds")).toDouble()));
    r.lastPlayed = QDateTime::fromString(o.value(QLatin1String("lastPlayed")).toString(), Qt::ISODate);
    r.state = o.value(QLatin1String("state")).toString();
    r.path = o.value(QLatin1String("path")).toString();
    r.size = qint64(o.value(QLatin1String("size")).toDouble(-1));
    r.modified = qint64(o.value(QLatin1String("modified")).toDouble(-1));
    return r;
}

GameKey keyOfFile(const QString &path)
{
    const QFileInfo info(path);
    GameKey key{pathKey(path), path, -1, -1};
    if (path.isEmpty() || !info.isFile())
        return key;
    key.size = info.size();
    key.modified = info.lastModified().toMSecsSinceEpoch();
    HashCache &cache = hashCache();
    {
        QMutexLocker lock(&cache.mutex);
        const auto it = cache.byPath.constFind(path);
        if (it != cache.byPath.constEnd() && std::get<0>(*it) == key.size && std::get<1>(*it) == key.modified) {
            key.key = std::get<2>(*it);
            return key;
        }
    }
    QFile file(path);
    QCryptographicHash sha1(QCryptographicHash::Sha1);
    // An empty file is no game's: all of them would be one.
    if (key.size == 0 || key.size > MaxHashedBytes || !file.open(QIODevice::ReadOnly) || !sha1.addData(&file))
        return key;
    key.key = sha1Key(sha1.result().toHex());
    QMutexLocker lock(&cache.mutex);
    cache.byPath.insert(path, {key.size, key.modified, key.key});
    return key;
}

QStringList identify(const QStringList &files, const QHash<QString, GameRecord> &games)
{
    QHash<QString, QString> byPath; // path -> key of the record last seen there
    for (auto it = games.cbegin(); it != games.cend(); ++it)
        if (!it->path.isEmpty())
            byPath.insert(it->path, it.key());
    QStringList keys(files.size());
    QSet<QString> matched;
    QList<int> unknown;
    for (int i = 0; i < files.size(); ++i) {
        const QString key = byPath.value(files[i]);
        const QFileInfo info(files[i]);
        if (!key.isEmpty()) {
            const GameRecord &record = games[key];
            const bool missing = !info.isFile();
            if (missing || (record.size == info.size() && record.modified == info.lastModified().toMSecsSinceEpoch())) {
                keys[i] = key;
                matched.insert(key);
                continue;
            }
        }
        unknown << i;
    }
    // Games remembered by their SHA-1 whose file was not found where it was (a library moved,
    // or a game no longer in the list): only a file of one of their sizes can be one of them,
    // so only such files are read. An everyday start reads none.
    QSet<qint64> sizes;
    for (auto it = games.cbegin(); it != games.cend(); ++it)
        if (!matched.contains(it.key()) && it.key().startsWith(QLatin1String("sha1:")) && it->size > 0)
            sizes.insert(it->size);
    if (sizes.isEmpty())
        return keys;
    for (int i : unknown) {
        const QFileInfo info(files[i]);
        if (!info.isFile() || !sizes.contains(info.size()))
            continue;
        const GameKey key = keyOfFile(files[i]);
        if (games.contains(key.key))
            keys[i] = key.key;
    }
    return keys;
}

void applyChange(QJsonObject &root, const Store::Change &change)
{
    if (!change.section.isEmpty()) {
        QJsonObject section = root.value(change.section).toObject();
        change.apply(section);
        root.insert(change.section, section);
        return;
    }
    QJsonObject games = root.value(QLatin1String("games")).toObject();
    const GameKey &key = change.game;
    QString found = games.contains(key.key) ? key.key : QString();
    if (found.isEmpty()) {
        // First remembered by its path (its file was missing, or is new): from now on by its key.
        for (auto it = games.begin(); it != games.end() && found.isEmpty(); ++it)
            if (it->toObject().value(QLatin1String("path")).toString() == key.path)
                found = it.key();
    }
    QJsonObject game = found.isEmpty() ? QJsonObject() : games.value(found).toObject();
    if (!found.isEmpty() && found != key.key)
        games.remove(found);
    change.apply(game);
    game.insert(QStringLiteral("path"), key.path);
    if (key.size >= 0) {
        game.insert(QStringLiteral("size"), double(key.size));
        game.insert(QStringLiteral("modified"), double(key.modified));
    }
    games.insert(key.key, game);
    root.insert(QStringLiteral("games"), games);
}

struct Store::Worker
{
    QThreadPool pool; // one thread: changes are written in the order they were made
    QMutex ownerMutex;
    Store *owner = nullptr;
    Worker() { pool.setMaxThreadCount(1); }
};

Store::Store(QString folder, QObject *parent)
    : QObject(parent), folder_(std::move(folder)), path_(folder_ + u'/' + QLatin1String(FileName)),
      root_(emptyRoot()), worker_(std::make_shared<Worker>())
{
    worker_->owner = this;
}

Store::~Store()
{
    {
        QMutexLocker lock(&worker_->ownerMutex);
        worker_->owner = nullptr;
    }
    // What was asked to be remembered is written before the program ends.
    worker_->pool.waitForDone();
}

QJsonObject Store::peek(const QString &folder, const QString &name)
{
    QJsonObject root;
    readFile(folder + u'/' + QLatin1String(FileName), root);
    return root.value(name).toObject();
}

QString Store::statesFolder() const
{
    return folder_ + QStringLiteral("/states");
}

std::optional<QString> Store::load()
{
    QJsonObject root;
    const Read read = readFile(path_, root);
    std::optional<QString> aside;
    if (read == Read::Damaged || read == Read::Foreign) {
        aside = setAside(path_, read);
        if (!aside)
            aside = QFileInfo(path_).fileName(); // left where it is, and never written over
    }
    take(read == Read::Ours ? root : emptyRoot());
    return aside;
}

const GameRecord *Store::find(const QString &key, const QString &path) const
{
    if (!key.isEmpty()) {
        const auto it = games_.constFind(key);
        if (it != games_.constEnd())
            return &*it;
    }
    const auto at = keyOfPath_.constFind(path);
    if (at == keyOfPath_.constEnd())
        return nullptr;
    const auto it = games_.constFind(*at);
    return it == games_.constEnd() ? nullptr : &*it;
}

void Store::take(const QJsonObject &root)
{
    root_ = root;
    index();
}

void Store::index()
{
    games_.clear();
    keyOfPath_.clear();
    const QJsonObject games = root_.value(QLatin1String("games")).toObject();
    for (auto it = games.begin(); it != games.end(); ++it) {
        GameRecord record = GameRecord::from(it->toObject());
        if (!record.path.isEmpty())
            keyOfPath_.insert(record.path, it.key());
        games_.insert(it.key(), std::move(record));
    }
}

void Store::change(const Change &change)
{
    // At once here (a key not known yet stands in as the path's until the file is written).
    Change now = change;
    if (now.section.isEmpty() && now.game.key.isEmpty()) {
        const GameRecord *record = find(QString(), now.game.path);
        now.game.key = record ? keyOfPath_.value(now.game.path) : pathKey(now.game.path);
    }
    applyChange(root_, now);
    index();
    emit changed();

    ++pending_;
    const QString path = path_;
    const std::shared_ptr<Worker> worker = worker_;
    worker->pool.start([worker, path, change] {
        QJsonObject now;
        const std::optional<QString> why = write(path, change, &now);
        QMutexLocker lock(&worker->ownerMutex);
        if (Store *owner = worker->owner)
            QMetaObject::invokeMethod(owner, [owner, now, why] {
                // Taken once no change of ours is still on its way, so none is seen to undo.
                if (--owner->pending_ == 0 && !why) {
                    owner->take(now);
                    emit owner->changed();
                }
                if (why)
                    emit owner->problem(*why);
            }, Qt::QueuedConnection);
    });
}

void Store::flush()
{
    worker_->pool.waitForDone();
}

std::optional<QString> Store::write(const QString &path, Change change, QJsonObject *now)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return QDir::toNativeSeparators(info.absolutePath());
    platform::FileLock lock(path + QStringLiteral(".lock"));
    if (lock.lock(LockWaitMs) != platform::FileLock::Result::Locked)
        return QDir::toNativeSeparators(lock.path());

    QJsonObject root;
    const Read read = readFile(path, root);
    if (read == Read::Damaged || read == Read::Foreign) {
        // Damaged since it was read: kept under a name that says so, never written over.
        if (!setAside(path, read))
            return QDir::toNativeSeparators(path);
        root = emptyRoot();
    } else if (read == Read::Missing) {
        root = emptyRoot();
    }
    // A game is keyed by its file as it is now; by the key it was given when the file cannot
    // be read (a game remembered by its SHA-1 whose file has gone keeps its key).
    if (change.section.isEmpty()) {
        const GameKey fresh = keyOfFile(change.game.path);
        if (change.game.key.isEmpty() || fresh.key.startsWith(QLatin1String("sha1:")))
            change.game = fresh;
    }
    applyChange(root, change);
    // A newer version's file stays the newer version's: its keys are all kept.
    if (root.value(QLatin1String("version")).toInt() < FormatVersion)
        root.insert(QStringLiteral("version"), FormatVersion);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QDir::toNativeSeparators(path) + u'\n' + file.errorString();
    platform::keepOwnerAndMode(file, path);
    const QByteArray data = QJsonDocument(root).toJson(QJsonDocument::Indented);
    if (file.write(data) != data.size() || platform::syncToDisk(file) || !file.commit())
        return QDir::toNativeSeparators(path) + u'\n' + file.errorString();
    if (now)
        *now = root;
    return std::nullopt;
}

} // namespace player
