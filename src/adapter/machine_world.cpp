#include "machine_world.h"

#include "platform/system/file_read.h"

#include "platform/system/handover.h"
#include "platform/system/paths.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <algorithm>

namespace adapter {

namespace {

constexpr int CacheVersion = 2; // 2: every jp_ keyboard is Japanese
constexpr qint64 MaxRomBytes = 8 * 1024 * 1024;
constexpr int MaxRomFiles = 20000;
constexpr int TestconfigMs = 20000;

QString fileStamp(const QFileInfo &info)
{
    return QString::number(info.size()) + u'@' + QString::number(info.lastModified().toMSecsSinceEpoch());
}

QString home()
{
    return QDir::homePath();
}

// The program as started: a bare name is looked for in PATH.
QString resolvedProgram(const QString &program)
{
    return program.contains(u'/') || program.contains(u'\\') ? program : QStandardPaths::findExecutable(program);
}

} // namespace

QString openMsxUserShare()
{
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/openMSX/share");
#else
    return home() + QStringLiteral("/.openMSX/share");
#endif
}

namespace {

QStringList systemShares(const QString &program)
{
#ifdef Q_OS_WIN
    return {QFileInfo(program).absolutePath() + QStringLiteral("/share")};
#else
    Q_UNUSED(program);
    return {QStringLiteral("/usr/share/openmsx"), QStringLiteral("/usr/local/share/openmsx")};
#endif
}

// The file pool's entries as the user's settings.xml holds them.
QString filePoolSetting(const QString &settings)
{
    QFile in(settings);
    if (!in.open(QIODevice::ReadOnly) || in.size() > MaxRomBytes)
        return {};
    QXmlStreamReader xml(&in);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("setting")
            && xml.attributes().value(QLatin1String("id")) == QLatin1String("__filepool"))
            return xml.readElementText(QXmlStreamReader::SkipChildElements);
    }
    return {};
}

} // namespace

QStringList tclWords(const QString &list)
{
    QStringList words;
    const qsizetype n = list.size();
    qsizetype i = 0;
    while (true) {
        while (i < n && list.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        QString word;
        if (list.at(i) == u'{') {
            int depth = 1;
            qsizetype j = i + 1;
            for (; j < n && depth > 0; ++j) {
                if (list.at(j) == u'\\' && j + 1 < n)
                    ++j;
                else if (list.at(j) == u'{')
                    ++depth;
                else if (list.at(j) == u'}')
                    --depth;
            }
            if (depth > 0)
                return {}; // an open brace: no list at all, as Tcl says
            word = list.mid(i + 1, j - i - 2);
            i = j;
        } else {
            const bool quoted = list.at(i) == u'"';
            if (quoted)
                ++i;
            for (; i < n && (quoted ? list.at(i) != u'"' : !list.at(i).isSpace()); ++i) {
                if (list.at(i) == u'\\' && i + 1 < n)
                    ++i;
                word += list.at(i);
            }
            if (quoted)
                ++i;
        }
        words.append(word);
    }
    return words;
}

QStringList filePoolRomFolders(const QString &setting, const QString &userShare)
{
    QStringList folders;
    for (const QString &entry : tclWords(setting)) {
        const QStringList words = tclWords(entry);
        QString path;
        std::optional<QStringList> types; // an entry without types holds every kind
        for (qsizetype i = 0; i + 1 < words.size(); i += 2) {
            if (words[i] == QLatin1String("-path"))
                path = words[i + 1];
            else if (words[i] == QLatin1String("-types"))
                types = tclWords(words[i + 1]);
        }
        if (path.isEmpty() || (types && !types->contains(QLatin1String("system_rom"))))
            continue;
        if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
            path = home() + path.mid(1);
        if (QDir::isRelativePath(path))
            path = userShare + u'/' + path;
        path = QDir::cleanPath(path);
        if (!folders.contains(path))
            folders.append(path);
    }
    return folders;
}

namespace {

QJsonObject machineToJson(const Machine &m)
{
    QJsonArray roms;
    for (const RomNeed &rom : m.roms) {
        QJsonArray sha1s;
        for (const QByteArray &s : rom.sha1s)
            sha1s.append(QString::fromLatin1(s));
        roms.append(QJsonObject{{QStringLiteral("sha1"), sha1s}, {QStringLiteral("file"), rom.fileName}});
    }
    return QJsonObject{{QStringLiteral("name"), m.name},
                       {QStringLiteral("generation"), m.generation},
                       {QStringLiteral("japanese"), m.japanese},
                       {QStringLiteral("disk"), m.disk},
                       {QStringLiteral("tape"), m.tape},
                       {QStringLiteral("music"), m.music},
                       {QStringLiteral("roms"), roms}};
}

Machine machineFromJson(const QJsonObject &o)
{
    Machine m;
    m.name = o.value(QLatin1String("name")).toString();
    m.generation = o.value(QLatin1String("generation")).toString();
    m.japanese = o.value(QLatin1String("japanese")).toBool();
    m.disk = o.value(QLatin1String("disk")).toBool();
    m.tape = o.value(QLatin1String("tape")).toBool();
    m.music = o.value(QLatin1String("music")).toBool();
    for (const QJsonValue &r : o.value(QLatin1String("roms")).toArray()) {
        RomNeed rom;
        for (const QJsonValue &s : r.toObject().value(QLatin1String("sha1")).toArray())
            rom.sha1s.append(s.toString().toLatin1());
        rom.fileName = r.toObject().value(QLatin1String("file")).toString();
        m.roms.append(rom);
    }
    return m;
}

QByteArray sha1Of(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&in))
        return {};
    return hash.result().toHex();
}

} // namespace

Places Places::standard()
{
    Places p;
    p.openmsx = qEnvironmentVariable("TARUMIN_OPENMSX");
    if (p.openmsx.isEmpty())
        p.openmsx = platform::emulatorPlaces(QStringLiteral("openmsx"), QStringLiteral("openMSX")).value(0, QStringLiteral("openmsx"));
    const QString program = resolvedProgram(p.openmsx);
    const QString user = openMsxUserShare();
    const QStringList shares = QStringList{user} + systemShares(program);
    const QString machines = qEnvironmentVariable("TARUMIN_OPENMSX_MACHINES");
    for (const QString &share : shares) {
        p.machineFolders.append(share + QStringLiteral("/machines"));
        p.extensionFolders.append(share + QStringLiteral("/extensions"));
        p.romFolders.append(share + QStringLiteral("/systemroms"));
    }
    if (!machines.isEmpty())
        p.machineFolders = machines.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString &folder : filePoolRomFolders(filePoolSetting(user + QStringLiteral("/settings.xml")), user))
        if (!p.romFolders.contains(folder))
            p.romFolders.append(folder);
    p.cacheFile = platform::perUserCacheFolder(QStringLiteral("tarumin")) + QStringLiteral("/openmsx-machines.json");
    return p;
}

MachineWorld::MachineWorld(Places places) : places_(std::move(places)) {}

void MachineWorld::load()
{
    // The cache, believed only when it is a sane file of ours of this version.
    const QString cacheFile = places_.cacheFile;
    if (const std::optional<QByteArray> kept = platform::readOwnCache(cacheFile, MaxCacheReadBytes)) {
        const QJsonDocument doc = QJsonDocument::fromJson(*kept);
        if (doc.isObject() && doc.object().value(QLatin1String("version")).toInt() == CacheVersion)
            cache_ = doc.object();
    }
    if (cache_.isEmpty())
        changed_ = true;
    const QJsonObject oldDescriptions = cache_.value(QLatin1String("descriptions")).toObject();
    const QJsonObject oldRoms = cache_.value(QLatin1String("roms")).toObject();
    QJsonObject descriptions, romFiles;

    // The descriptions: the first folder's machine of a name wins.
    for (const QString &folder : places_.machineFolders) {
        const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
        for (const QFileInfo &info : files) {
            const QString name = info.completeBaseName();
            if (machineFiles_.contains(name))
                continue;
            const QString path = info.absoluteFilePath();
            const QString stamp = fileStamp(info);
            const QJsonObject old = oldDescriptions.value(path).toObject();
            QJsonObject entry;
            if (old.value(QLatin1String("stamp")).toString() == stamp && old.contains(QLatin1String("machine"))) {
                entry = old;
            } else {
                const std::optional<Machine> m = readMachine(path);
                entry = QJsonObject{{QStringLiteral("stamp"), stamp},
                                    {QStringLiteral("machine"), m && m->japanese ? QJsonValue(machineToJson(*m))
                                                                                  : QJsonValue(false)}};
                changed_ = true;
            }
            descriptions.insert(path, entry);
            machineFiles_.insert(name, path);
            const QJsonValue machine = entry.value(QLatin1String("machine"));
            if (machine.isObject()) {
                Machine m = machineFromJson(machine.toObject());
                m.name = name;
                machines_.append(m);
            }
        }
    }
    if (descriptions.size() != oldDescriptions.size())
        changed_ = true;

    // The ROMs, each hashed once while it stays as it is. Links to folders are not followed (a
    // loop would never end); files past a ROM's size are no ROMs.
    int files = 0;
    for (const QString &folder : places_.romFolders) {
        QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext() && files < MaxRomFiles) {
            it.next();
            const QFileInfo info = it.fileInfo();
            if (!info.isFile() || info.size() > MaxRomBytes || info.size() == 0 || romFiles.contains(info.absoluteFilePath()))
                continue;
            ++files;
            const QString path = info.absoluteFilePath();
            const QString stamp = fileStamp(info);
            QJsonObject old = oldRoms.value(path).toObject();
            QByteArray sha1 = old.value(QLatin1String("sha1")).toString().toLatin1();
            if (old.value(QLatin1String("stamp")).toString() != stamp || sha1.size() != 40) {
                sha1 = sha1Of(path);
                if (sha1.isEmpty())
                    continue; // unreadable now: asked again next time
                changed_ = true;
            }
            romFiles.insert(path, QJsonObject{{QStringLiteral("stamp"), stamp}, {QStringLiteral("sha1"), QString::fromLatin1(sha1)}});
            roms_.sha1s.insert(sha1);
            roms_.names.insert(info.fileName().toLower());
        }
    }
    if (romFiles.size() != oldRoms.size())
        changed_ = true;

    for (const QString &folder : places_.extensionFolders) {
        const QString fmpac = folder + QStringLiteral("/fmpac.xml");
        if (QFileInfo(fmpac).isFile()) {
            const QList<RomNeed> needs = readExtensionRoms(fmpac);
            fmpacThere_ = !needs.isEmpty() && roms_.firstMissing(needs).isEmpty();
            break;
        }
    }

    // What a kept answer of openMSX's depends on besides the description: openMSX itself and
    // the ROMs there are.
    program_ = resolvedProgram(places_.openmsx);
    QList<QByteArray> sha1s(roms_.sha1s.begin(), roms_.sha1s.end());
    std::sort(sha1s.begin(), sha1s.end());
    QList<QString> names(roms_.names.begin(), roms_.names.end());
    std::sort(names.begin(), names.end());
    QCryptographicHash digest(QCryptographicHash::Sha1);
    digest.addData(sha1s.join(' '));
    digest.addData(names.join(u'/').toUtf8());
    worldStamp_ = program_ + u'|' + fileStamp(QFileInfo(program_)) + u'|' + QString::fromLatin1(digest.result().toHex());

    cache_ = QJsonObject{{QStringLiteral("version"), CacheVersion},
                         {QStringLiteral("descriptions"), descriptions},
                         {QStringLiteral("roms"), romFiles},
                         {QStringLiteral("verdicts"), cache_.value(QLatin1String("verdicts")).toObject()}};
}

QString MachineWorld::stampOf(const QString &machine) const
{
    return worldStamp_ + u'|' + fileStamp(QFileInfo(machineFiles_.value(machine)));
}

Verdict MachineWorld::test(const QString &machine, const QString &extension, QString *why)
{
    const QString key = machine + u'\t' + extension;
    QJsonObject verdicts = cache_.value(QLatin1String("verdicts")).toObject();
    const QJsonObject kept = verdicts.value(key).toObject();
    if (kept.value(QLatin1String("stamp")).toString() == stampOf(machine)) {
        if (why)
            *why = kept.value(QLatin1String("why")).toString();
        return kept.value(QLatin1String("starts")).toBool() ? Verdict::Starts : Verdict::DoesNotStart;
    }
    if (program_.isEmpty())
        return Verdict::Unknown;
    QProcess openmsx;
    openmsx.setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments{QStringLiteral("-testconfig"), QStringLiteral("-machine"), machine};
    if (!extension.isEmpty())
        arguments << QStringLiteral("-ext") << extension;
    openmsx.start(program_, arguments);
    if (!openmsx.waitForStarted(TestconfigMs))
        return Verdict::Unknown;
    if (!openmsx.waitForFinished(TestconfigMs)) {
        openmsx.kill();
        openmsx.waitForFinished(1000);
        return Verdict::Unknown;
    }
    // A crash, or a status of the shell's own (126, 127: not run), is no answer.
    if (openmsx.exitStatus() != QProcess::NormalExit || openmsx.exitCode() == 126 || openmsx.exitCode() == 127)
        return Verdict::Unknown;
    const bool starts = openmsx.exitCode() == 0;
    QString reason;
    if (!starts) {
        const QStringList lines = QString::fromLocal8Bit(openmsx.readAll().left(64 * 1024)).split(u'\n', Qt::SkipEmptyParts);
        for (const QString &line : lines)
            if (line.contains(QLatin1String("rom"), Qt::CaseInsensitive)) {
                reason = line.trimmed();
                break;
            }
        if (reason.isEmpty() && !lines.isEmpty())
            reason = lines.last().trimmed();
        reason = reason.left(300);
        const qsizetype colon = reason.indexOf(QLatin1String("machine: "));
        if (colon >= 0)
            reason = reason.mid(colon + 9);
    }
    if (why)
        *why = reason;
    verdicts.insert(key, QJsonObject{{QStringLiteral("stamp"), stampOf(machine)},
                                     {QStringLiteral("starts"), starts},
                                     {QStringLiteral("why"), reason}});
    cache_.insert(QStringLiteral("verdicts"), verdicts);
    changed_ = true;
    return starts ? Verdict::Starts : Verdict::DoesNotStart;
}

void MachineWorld::save()
{
    if (!changed_)
        return;
    // Answers about machines that are gone go with them.
    QJsonObject verdicts = cache_.value(QLatin1String("verdicts")).toObject();
    for (auto it = verdicts.begin(); it != verdicts.end();) {
        if (!machineFiles_.contains(it.key().section(u'\t', 0, 0)))
            it = verdicts.erase(it);
        else
            ++it;
    }
    cache_.insert(QStringLiteral("verdicts"), verdicts);
    const QByteArray bytes = QJsonDocument(cache_).toJson(QJsonDocument::Compact);
    // Whatever else has the name (a link, another's file) is replaced, never written through.
    platform::writeOwnCache(places_.cacheFile, bytes);
    changed_ = false;
}

} // namespace adapter
