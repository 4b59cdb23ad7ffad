#include "mame.h"

#include "platform/system/file_read.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace adapter {

namespace {

constexpr int CacheVersion = 1;
constexpr qint64 MaxCacheBytes = 64 * 1024 * 1024;

QString folderStamp(const QString &folder)
{
    QString stamp;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QFileInfo &e : entries)
        stamp += e.fileName() + u'/' + QString::number(e.size()) + u'@' + QString::number(e.lastModified().toMSecsSinceEpoch()) + u'\n';
    return stamp;
}

QString programStamp(const QString &program)
{
    const QFileInfo info(program);
    return info.absoluteFilePath() + u'|' + QString::number(info.size()) + u'@' + QString::number(info.lastModified().toMSecsSinceEpoch());
}

QJsonObject toJson(const Machine &m)
{
    return QJsonObject{{QStringLiteral("name"), m.name},       {QStringLiteral("generation"), m.generation},
                       {QStringLiteral("disk"), m.disk},       {QStringLiteral("tape"), m.tape},
                       {QStringLiteral("music"), m.music},     {QStringLiteral("cart"), m.cartOption},
                       {QStringLiteral("flop"), m.diskOption}, {QStringLiteral("cass"), m.tapeOption}};
}

Machine fromJson(const QJsonObject &o)
{
    Machine m;
    m.name = o.value(QLatin1String("name")).toString();
    m.generation = o.value(QLatin1String("generation")).toString();
    m.japanese = true;
    m.mame = true;
    m.disk = o.value(QLatin1String("disk")).toBool();
    m.tape = o.value(QLatin1String("tape")).toBool();
    m.music = o.value(QLatin1String("music")).toBool();
    m.cartOption = o.value(QLatin1String("cart")).toString();
    m.diskOption = o.value(QLatin1String("flop")).toString();
    m.tapeOption = o.value(QLatin1String("cass")).toString();
    return m;
}

} // namespace

QString mameGeneration(const QString &description)
{
    static const QRegularExpression japan(QStringLiteral(R"(\((MSX[^,()]*), Japan\)\s*$)"));
    const QRegularExpressionMatch m = japan.match(description);
    if (!m.hasMatch())
        return {};
    const QString g = m.captured(1).remove(u' ').toLower();
    if (g == QLatin1String("msx1") || g == QLatin1String("msx"))
        return QStringLiteral("MSX");
    if (g == QLatin1String("msx2"))
        return QStringLiteral("MSX2");
    if (g == QLatin1String("msx2+"))
        return QStringLiteral("MSX2+");
    if (g == QLatin1String("msxturbo-r") || g == QLatin1String("msxturbor"))
        return QStringLiteral("MSXturboR");
    return {};
}

QList<Machine> readMameSystems(const QByteArray &listxml)
{
    QList<Machine> systems;
    QXmlStreamReader xml(listxml);
    std::optional<Machine> m;
    QString deviceType;
    QString firstCart;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (name == QLatin1String("machine")) {
                m.reset();
                firstCart.clear();
                if (a.value(QLatin1String("isdevice")) != QLatin1String("yes")) {
                    m = Machine{};
                    m->name = a.value(QLatin1String("name")).toString();
                    m->japanese = true;
                    m->mame = true;
                }
            } else if (!m) {
                continue;
            } else if (name == QLatin1String("description")) {
                m->generation = mameGeneration(xml.readElementText());
            } else if (name == QLatin1String("chip")) {
                if (a.value(QLatin1String("name")).contains(QLatin1String("YM2413")))
                    m->music = true;
            } else if (name == QLatin1String("device")) {
                deviceType = a.value(QLatin1String("type")).toString();
            } else if (name == QLatin1String("instance")) {
                const QString brief = u'-' + a.value(QLatin1String("briefname")).toString();
                if (deviceType == QLatin1String("cartridge")) {
                    if (firstCart.isEmpty())
                        firstCart = brief;
                    if (m->cartOption.isEmpty() && (brief == QLatin1String("-cart1") || brief == QLatin1String("-cart")))
                        m->cartOption = brief;
                } else if (deviceType == QLatin1String("floppydisk") && m->diskOption.isEmpty()) {
                    m->disk = true;
                    m->diskOption = brief;
                } else if (deviceType == QLatin1String("cassette") && m->tapeOption.isEmpty()) {
                    m->tape = true;
                    m->tapeOption = brief;
                }
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("machine") && m) {
            if (m->cartOption.isEmpty())
                m->cartOption = firstCart;
            if (!m->generation.isEmpty())
                systems.append(*m);
            m.reset();
        }
    }
    return systems;
}

QStringList japaneseMsxNames(const QByteArray &listfull)
{
    static const QRegularExpression line(QStringLiteral(R"re(^(\S+)\s+"(.*)"\s*$)re"));
    QStringList names;
    for (const QByteArray &bytes : listfull.split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromUtf8(bytes).trimmed());
        if (m.hasMatch() && !mameGeneration(m.captured(2)).isEmpty())
            names.append(m.captured(1));
    }
    return names;
}

QSet<QString> verifiedSets(const QByteArray &output)
{
    static const QRegularExpression good(QStringLiteral(R"re(^romset "?([A-Za-z0-9_]+)"? (?:\[[^\]]*\] )?is (?:good|best available))re"));
    QSet<QString> sets;
    for (const QByteArray &bytes : output.split('\n')) {
        const QRegularExpressionMatch m = good.match(QString::fromUtf8(bytes).trimmed());
        if (m.hasMatch())
            sets.insert(m.captured(1));
    }
    return sets;
}

QStringList rompathOf(const QByteArray &showconfig)
{
    for (const QByteArray &bytes : showconfig.split('\n')) {
        const QString line = QString::fromLocal8Bit(bytes).trimmed();
        if (!line.startsWith(QLatin1String("rompath ")))
            continue;
        QString value = line.mid(8).trimmed();
        if (value.startsWith(u'"') && value.endsWith(u'"') && value.size() >= 2)
            value = value.mid(1, value.size() - 2);
        QStringList folders;
        for (QString folder : value.split(u';', Qt::SkipEmptyParts)) {
            folder = folder.trimmed();
            folder.replace(QLatin1String("$HOME"), QDir::homePath());
            if (folder.startsWith(QLatin1String("~")))
                folder = QDir::homePath() + folder.mid(1);
            folders.append(QDir::cleanPath(folder));
        }
        return folders;
    }
    return {};
}

QStringList mameArguments(const Machine &system, const Request &request, const QString &file, bool fmpacCartridge)
{
    QStringList out{system.name};
    if (request.media)
    switch (*request.media) {
    case Media::Cartridge:
        out << system.cartOption << file;
        break;
    case Media::Disk:
        out << system.diskOption << file;
        break;
    case Media::Tape:
        // A tape does not load by itself: the command is typed once BASIC is up.
        out << system.tapeOption << file << QStringLiteral("-autoboot_delay") << QStringLiteral("3")
            << QStringLiteral("-autoboot_command") << QStringLiteral("RUN\"CAS:\"\\n");
        break;
    }
    if (fmpacCartridge && system.cartOption == QLatin1String("-cart1"))
        out << QStringLiteral("-cart2") << QStringLiteral("fmpac");
    return out;
}

MameWorld::MameWorld(QString program, QString cacheFile) : program_(std::move(program)), cacheFile_(std::move(cacheFile)) {}

QByteArray MameWorld::ask(const QStringList &arguments, int timeoutMs) const
{
    QProcess mame;
    mame.setProcessChannelMode(QProcess::MergedChannels);
    mame.start(program_, arguments);
    if (!mame.waitForStarted(timeoutMs))
        return {};
    QByteArray out;
    while (mame.state() == QProcess::Running && out.size() < 64 * 1024 * 1024) {
        if (!mame.waitForReadyRead(timeoutMs))
            break;
        out += mame.readAll();
    }
    if (mame.state() == QProcess::Running) {
        mame.kill();
        mame.waitForFinished(1000);
        return {};
    }
    mame.waitForFinished(timeoutMs);
    return out + mame.readAll();
}

void MameWorld::load()
{
    QJsonObject cache;
    if (const std::optional<QByteArray> kept = platform::readOwnCache(cacheFile_, MaxCacheBytes)) {
        const QJsonDocument doc = QJsonDocument::fromJson(*kept);
        if (doc.isObject() && doc.object().value(QLatin1String("version")).toInt() == CacheVersion)
            cache = doc.object();
    }
    bool changed = false;
    // MAME and its settings (the rompath is read from them): asked again when either changes.
    QString stamp = programStamp(program_);
    for (const QString &ini : {QDir::homePath() + QStringLiteral("/.mame/mame.ini"), QStringLiteral("/etc/mame/mame.ini"),
                               QFileInfo(program_).absolutePath() + QStringLiteral("/mame.ini"),
                               QDir::currentPath() + QStringLiteral("/mame.ini")})
        if (QFileInfo::exists(ini))
            stamp += u'|' + programStamp(ini);
    if (cache.value(QLatin1String("program")).toString() != stamp) {
        const QStringList names = japaneseMsxNames(ask({QStringLiteral("-listfull")}, 30000));
        const QList<Machine> systems = names.isEmpty() ? QList<Machine>() : readMameSystems(ask(QStringList{QStringLiteral("-listxml")} + names, 60000));
        const QStringList rompath = rompathOf(ask({QStringLiteral("-showconfig")}, 30000));
        QJsonArray list;
        for (const Machine &m : systems)
            list.append(toJson(m));
        cache = QJsonObject{{QStringLiteral("version"), CacheVersion},
                            {QStringLiteral("program"), systems.isEmpty() ? QString() : stamp},
                            {QStringLiteral("systems"), list},
                            {QStringLiteral("rompath"), QJsonArray::fromStringList(rompath)}};
        changed = true;
    }
    for (const QJsonValue &v : cache.value(QLatin1String("systems")).toArray())
        systems_.append(fromJson(v.toObject()));
    for (const QJsonValue &v : cache.value(QLatin1String("rompath")).toArray())
        rompath_.append(v.toString());

    // What MAME finds depends on the rompath's contents: asked again when they change.
    QString contents;
    for (const QString &folder : rompath_)
        contents += folder + u'\n' + folderStamp(folder) + folderStamp(folder + QStringLiteral("/msx1_cart"));
    const QString contentStamp = QString::fromLatin1(QCryptographicHash::hash(contents.toUtf8(), QCryptographicHash::Sha1).toHex());
    if (cache.value(QLatin1String("roms")).toString() != contentStamp && !systems_.isEmpty()) {
        QStringList names;
        for (const Machine &m : systems_)
            names.append(m.name);
        const QSet<QString> good = verifiedSets(ask(QStringList{QStringLiteral("-verifyroms")} + names, 120000));
        cache.insert(QStringLiteral("owned"), QJsonArray::fromStringList(QStringList(good.begin(), good.end())));
        cache.insert(QStringLiteral("roms"), contentStamp);
        changed = true;
    }
    for (const QJsonValue &v : cache.value(QLatin1String("owned")).toArray())
        owned_.insert(v.toString());
    for (const QString &folder : rompath_)
        for (const QString &name : {QStringLiteral("/msx1_cart/fmpac.zip"), QStringLiteral("/msx1_cart/fmpac.7z"),
                                    QStringLiteral("/msx1_cart/fmpac")})
            fmpac_ = fmpac_ || QFileInfo::exists(folder + name);
    if (changed)
        platform::writeOwnCache(cacheFile_, QJsonDocument(cache).toJson(QJsonDocument::Compact));
}

QList<Machine> MameWorld::owned() const
{
    QList<Machine> out;
    for (const Machine &m : systems_)
        if (owned_.contains(m.name))
            out.append(m);
    return out;
}

} // namespace adapter
