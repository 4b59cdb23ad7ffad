#include "media_sets.h"
#include "media_sets_detail.h"

#include "catalogue/record.h"
#include "platform/system/codepage.h"
#include "platform/system/file_names.h"
#include "platform/system/handover.h"
#include "platform/system/launcher.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>


namespace adapter {

namespace detail {

QStringList extensionsOf(Media media)
{
    switch (media) {
    case Media::Disk:
        return {QStringLiteral("dsk"), QStringLiteral("di1"), QStringLiteral("di2"), QStringLiteral("xsa"),
                QStringLiteral("dmk")};
    case Media::Tape:
        return {QStringLiteral("cas"), QStringLiteral("wav"), QStringLiteral("tsx")};
    default:
        return {};
    }
}

bool partBefore(const QString &a, const QString &b)
{
    const std::optional<PartNumber> x = partNumber(QFileInfo(a).completeBaseName());
    const std::optional<PartNumber> y = partNumber(QFileInfo(b).completeBaseName());
    if (x && y && x->number != y->number)
        return x->number < y->number;
    if (bool(x) != bool(y))
        return bool(x);
    return a < b;
}

std::optional<QString> newStaging(const QString &base, qint64 pid)
{
    removeEnded(base);
    const std::optional<QString> folder = platform::makePrivateFolder(base, QString::fromLatin1(StagingPrefix));
    if (!folder)
        return std::nullopt;
    QFile id(*folder + QStringLiteral("/pid"));
    if (!id.open(QIODevice::WriteOnly) || id.write(QByteArray::number(pid) + '\n') <= 0) {
        QDir(*folder).removeRecursively();
        return std::nullopt;
    }
    return folder;
}

bool writeParts(const Staged &staged)
{
    QFile list(staged.folder + QStringLiteral("/parts"));
    if (!list.open(QIODevice::WriteOnly))
        return false;
    for (const QString &part : staged.parts)
        list.write(part.toUtf8() + '\n');
    return list.error() == QFile::NoError;
}

} // namespace detail

using namespace detail;

std::optional<PartNumber> partNumber(const QString &stem)
{
    static const QRegularExpression word(QStringLiteral("(disk|disc|side)[ _-]*([0-9]+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression last(QStringLiteral("([0-9]+)[^0-9]*$"));
    QRegularExpressionMatch m = word.match(stem);
    if (!m.hasMatch())
        m = last.match(stem);
    if (!m.hasMatch())
        return std::nullopt;
    const int group = m.lastCapturedIndex();
    bool ok = false;
    const int number = m.captured(group).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return PartNumber{stem.left(m.capturedStart(group)), number, stem.mid(m.capturedEnd(group))};
}


QSet<QString> registeredMediaFiles(const QString &catalogue, const QString &folder)
{
    QFile in(catalogue);
    QSet<QString> files;
    if (!in.open(QIODevice::ReadOnly) || in.size() > 64 * 1024 * 1024)
        return files;
    const QByteArray text = in.readAll();
    for (const QByteArray &line : text.split('\n')) {
        const catalogue::Record record = catalogue::splitRecord(line.endsWith('\r') ? line.chopped(1) : line);
        const QStringList words = platform::splitCommandLine(platform::decodeCp932(record.fields[catalogue::LaunchArgsField]));
        for (qsizetype i = 0; i + 1 < words.size(); ++i) {
            const QString option = words[i].toLower();
            if (option == QLatin1String("-flop") || option == QLatin1String("-cass"))
                files.insert(platform::pathKey(QDir(folder).absoluteFilePath(words[i + 1])));
        }
    }
    return files;
}

QStringList setOf(const QString &file, const QSet<QString> &registeredAlone)
{
    const QFileInfo info(file);
    const QString suffix = info.suffix();
    const std::optional<PartNumber> own = partNumber(info.completeBaseName());
    if (suffix.isEmpty() || !own)
        return {file};
    QList<std::pair<int, QString>> parts;
    const QStringList names = QDir(info.absolutePath()).entryList({QStringLiteral("*.") + suffix}, QDir::Files);
    for (const QString &name : names) {
        const QFileInfo other(name);
        if (other.suffix() != suffix)
            continue;
        const std::optional<PartNumber> n = partNumber(other.completeBaseName());
        const QString path = info.absolutePath() + u'/' + name;
        if (n && n->head == own->head && n->tail == own->tail && name != info.fileName()
            && !registeredAlone.contains(platform::pathKey(path)))
            parts.append({n->number, path});
    }
    std::sort(parts.begin(), parts.end());
    QStringList out{file};
    for (const auto &p : parts)
        out.append(p.second);
    if (out.size() < 2 || out.size() > MaxParts)
        return {file};
    return out;
}

std::optional<Staged> stageFiles(const QString &base, const QStringList &files, qint64 pid)
{
    const std::optional<QString> folder = newStaging(base, pid);
    if (!folder)
        return std::nullopt;
    Staged staged{*folder, {}};
    for (const QString &file : files) {
        const QString part = *folder + QStringLiteral("/disk") + QString::number(staged.parts.size() + 1) + u'.'
                             + QFileInfo(file).suffix().toLower();
        if (!platform::linkFile(QFileInfo(file).absoluteFilePath(), part)) {
            QDir(*folder).removeRecursively();
            return std::nullopt;
        }
        staged.parts.append(part);
    }
    writeParts(staged);
    return staged;
}

namespace {

// The staging folders of this user's under base, each with the process id it holds (none when
// it holds none yet, or none that can be read). Folders of others, and links, are left out.
QList<std::pair<QString, std::optional<qint64>>> stagings(const QString &base)
{
    QList<std::pair<QString, std::optional<qint64>>> out;
    const QStringList names = QDir(base).entryList({QString::fromLatin1(StagingPrefix) + QStringLiteral(".*")},
                                                   QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString folder = base + u'/' + name;
        if (!platform::ownFolder(folder))
            continue; // another's, or a link: not ours to look into
        QFile id(folder + QStringLiteral("/pid"));
        bool ok = false;
        const qint64 pid = id.open(QIODevice::ReadOnly) ? id.read(32).trimmed().toLongLong(&ok) : 0;
        out.append({folder, ok ? std::optional<qint64>(pid) : std::nullopt});
    }
    return out;
}

} // namespace

void removeEnded(const QString &base)
{
    for (const auto &[folder, pid] : stagings(base)) {
        // One still without its pid may be another launch's of this moment.
        if (!pid && QFileInfo(folder).lastModified().secsTo(QDateTime::currentDateTime()) < 60)
            continue;
        if (!pid || !platform::processRunning(*pid))
            QDir(folder).removeRecursively();
    }
}

QStringList stagedParts(const QString &base, qint64 pid)
{
    for (const auto &[folder, owner] : stagings(base)) {
        if (owner != pid)
            continue;
        QFile list(folder + QStringLiteral("/parts"));
        if (!list.open(QIODevice::ReadOnly) || list.size() > 64 * 1024)
            return {};
        QStringList parts;
        for (const QByteArray &line : list.readAll().split('\n'))
            if (!line.isEmpty() && QDir::cleanPath(QFileInfo(QString::fromUtf8(line)).absolutePath()) == QDir::cleanPath(folder))
                parts.append(QString::fromUtf8(line));
        return parts;
    }
    return {};
}

} // namespace adapter
