#include "player_data.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QPoint>

PlayerData::PlayerData(const QString &dataFolder, QObject *parent)
    : QObject(parent), store_(new player::Store(dataFolder, this))
{
    connect(store_, &player::Store::changed, this, &PlayerData::changed);
    connect(store_, &player::Store::problem, this, &PlayerData::notWritten);
}

void PlayerData::setLook(const QList<QByteArray> &lines, const QStringList &files, const QStringList &keys)
{
    files_ = files;
    keys_ = keys;
    looked_.clear();
    for (int i = 0; i < lines.size() && i < files.size(); ++i)
        looked_.insert(lines[i], {files[i], keys.value(i)});
}

void PlayerData::takeLines(const QList<QByteArray> &lines)
{
    files_.clear();
    keys_.clear();
    files_.reserve(lines.size());
    keys_.reserve(lines.size());
    for (const QByteArray &line : lines) {
        const auto seen = looked_.value(line);
        files_ << seen.first;
        keys_ << seen.second;
    }
}

const player::GameRecord *PlayerData::record(int line) const
{
    if (line < 0 || line >= files_.size())
        return nullptr;
    return store_->find(keys_.value(line), files_[line]);
}

QList<GameListModel::Marks> PlayerData::marks() const
{
    QList<GameListModel::Marks> marks;
    marks.reserve(files_.size());
    for (int line = 0; line < files_.size(); ++line) {
        const player::GameRecord *r = record(line);
        marks.append(r ? GameListModel::Marks{r->favourite, r->plays, r->lastPlayed.isValid() ? r->lastPlayed.toMSecsSinceEpoch() : 0}
                       : GameListModel::Marks{});
    }
    return marks;
}

player::GameKey PlayerData::keyOf(int line) const
{
    return player::GameKey{keys_.value(line), files_.value(line), -1, -1};
}

void PlayerData::changeGame(int line, player::Store::Apply apply)
{
    if (line < 0 || line >= files_.size() || files_[line].isEmpty())
        return;
    store_->change({keyOf(line), QString(), std::move(apply)});
}

void PlayerData::launched(int line, const QString &machine, bool fmpac)
{
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    changeGame(line, [machine, fmpac, now](QJsonObject &game) {
        game.insert(QStringLiteral("machine"), machine);
        game.insert(QStringLiteral("fmpac"), fmpac);
        game.insert(QStringLiteral("plays"), game.value(QLatin1String("plays")).toInt() + 1);
        game.insert(QStringLiteral("lastPlayed"), now);
    });
}

void PlayerData::played(const player::GameKey &game, qint64 seconds)
{
    if (game.path.isEmpty() || seconds <= 0)
        return;
    store_->change({game, QString(), [seconds](QJsonObject &g) {
                        g.insert(QStringLiteral("seconds"), g.value(QLatin1String("seconds")).toDouble() + double(seconds));
                    }});
}

void PlayerData::toggleFavourite(int line)
{
    const player::GameRecord *r = record(line);
    const bool favourite = !(r && r->favourite);
    changeGame(line, [favourite](QJsonObject &game) {
        if (favourite)
            game.insert(QStringLiteral("favourite"), true);
        else
            game.remove(QStringLiteral("favourite"));
    });
}

void PlayerData::forgetMachine(int line)
{
    changeGame(line, [](QJsonObject &game) {
        game.remove(QStringLiteral("machine"));
        game.remove(QStringLiteral("fmpac"));
    });
}

QString PlayerData::stateFileFor(int line) const
{
    // Named by the game's key where it is known, else by its file's path: never by a title.
    const QString key = keys_.value(line).isEmpty() ? QStringLiteral("path:") + files_.value(line) : keys_.value(line);
    const QString name = key.startsWith(QLatin1String("sha1:"))
                             ? key.mid(5)
                             : QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex());
    return store_->statesFolder() + u'/' + name + QStringLiteral(".oms");
}

QString PlayerData::statePictureFor(int line) const
{
    QString state = stateFileFor(line);
    return state.replace(state.size() - 4, 4, QStringLiteral(".png"));
}

void PlayerData::stateSaved(int line, const QString &stateFile)
{
    const QString name = QFileInfo(stateFile).fileName();
    changeGame(line, [name](QJsonObject &game) { game.insert(QStringLiteral("state"), name); });
}

QString PlayerData::stateOf(int line) const
{
    const player::GameRecord *r = record(line);
    if (!r || r->state.isEmpty() || r->state.contains(u'/') || r->state.contains(u'\\') || r->state.startsWith(u'.'))
        return {};
    const QString path = store_->statesFolder() + u'/' + r->state;
    return QFileInfo(path).isFile() ? path : QString();
}

void PlayerData::removeState(int line)
{
    if (const QString path = stateOf(line); !path.isEmpty()) {
        QFile::remove(path);
        QFile::remove(path.left(path.size() - 4) + QStringLiteral(".png"));
    }
    changeGame(line, [](QJsonObject &game) { game.remove(QStringLiteral("state")); });
}

QString PlayerData::listSetting(const QString &name) const
{
    return store_->section(QStringLiteral("list")).value(name).toString();
}

void PlayerData::setListSetting(const QString &name, const QString &value)
{
    store_->change({{}, QStringLiteral("list"), [name, value](QJsonObject &list) { list.insert(name, value); }});
}

QString PlayerData::setting(const QString &name) const
{
    return store_->section(QStringLiteral("settings")).value(name).toString();
}

void PlayerData::setSetting(const QString &name, const QString &value)
{
    store_->change({{}, QStringLiteral("settings"), [name, value](QJsonObject &settings) { settings.insert(name, value); }});
}

std::optional<QPoint> PlayerData::windowPlace() const
{
    const QJsonObject window = store_->section(QStringLiteral("window"));
    if (!window.contains(QLatin1String("x")) || !window.contains(QLatin1String("y")))
        return std::nullopt;
    return QPoint(window.value(QLatin1String("x")).toInt(), window.value(QLatin1String("y")).toInt());
}

void PlayerData::setWindowPlace(const QPoint &at)
{
    if (windowPlace() == at)
        return;
    store_->change({{}, QStringLiteral("window"), [at](QJsonObject &window) {
                        window.insert(QStringLiteral("x"), at.x());
                        window.insert(QStringLiteral("y"), at.y());
                    }});
}
