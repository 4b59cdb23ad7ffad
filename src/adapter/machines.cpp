#include "machines.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>

namespace adapter {

namespace {

bool isDiskController(QStringView element)
{
    static const QStringList controllers = {QStringLiteral("WD2793"), QStringLiteral("TC8566AF"),
                                            QStringLiteral("MB8877A"), QStringLiteral("Microsol"),
                                            QStringLiteral("WD1770")};
    return controllers.contains(element.toString());
}

// Reads a <rom> element's SHA-1s and file name (the reader is on its start).
RomNeed readRom(QXmlStreamReader &xml)
{
    RomNeed rom;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 2 && xml.name() == QLatin1String("sha1")) {
                const QByteArray sha1 = xml.readElementText().trimmed().toLower().toLatin1();
                --depth;
                if (sha1.size() == 40)
                    rom.sha1s.append(sha1);
            } else if (depth == 2 && xml.name() == QLatin1String("filename")) {
                rom.fileName = xml.readElementText().trimmed();
                --depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return rom;
}

// openMSX reads its descriptions leniently, and some it ships are not well-formed XML (an end
// tag that names another element, an element named from a digit): each end tag is made to
// close the element open, and a name that cannot be an XML name is given a leading "_".
QByteArray wellFormed(const QByteArray &text)
{
    static const QRegularExpression tag(QStringLiteral(
        R"re(<!--.*?-->|<\?.*?\?>|<!\[CDATA\[.*?\]\]>|<![^>]*>|</\s*([^\s>]*)\s*>|<([^\s/>]+)((?:[^>"']|"[^"]*"|'[^']*')*?)(/?)>)re"),
        QRegularExpression::DotMatchesEverythingOption);
    const QString in = QString::fromUtf8(text);
    QString out;
    out.reserve(in.size());
    QStringList open;
    qsizetype at = 0;
    const auto xmlName = [](QString name) {
        return !name.isEmpty() && !name.at(0).isLetter() && name.at(0) != u'_' ? u'_' + name : name;
    };
    for (auto it = tag.globalMatch(in); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(in).mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        if (m.capturedStart(2) >= 0) {
            const QString name = xmlName(m.captured(2));
            out += u'<' + name + m.captured(3) + m.captured(4) + u'>';
            if (m.captured(4).isEmpty())
                open.append(name);
        } else if (m.capturedStart(1) >= 0) {
            if (!open.isEmpty())
                out += QStringLiteral("</") + open.takeLast() + u'>';
        } else {
            out += m.captured(0);
        }
    }
    out += QStringView(in).mid(at);
    return out.toUtf8();
}

std::optional<Machine> readDescription(const QString &file, bool machine)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly) || in.size() > 4 * 1024 * 1024)
        return std::nullopt;
    Machine m;
    m.name = QFileInfo(file).completeBaseName();
    const QByteArray text = in.readAll();
    // Most machines are not Japanese (a keyboard of the jp_ family): those are told at a glance.
    if (machine && !text.contains("jp_"))
        return m;
    QXmlStreamReader xml(wellFormed(text));
    QStringList path;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            if (name == QLatin1String("rom")) {
                RomNeed rom = readRom(xml);
                if (!rom.sha1s.isEmpty() || !rom.fileName.isEmpty())
                    m.roms.append(rom);
                continue;
            }
            if (path.size() == 2 && path[1] == QLatin1String("info") && name == QLatin1String("type"))
                m.generation = xml.readElementText().trimmed();
            else if (name == QLatin1String("keyboard_type"))
                m.japanese = xml.readElementText().trimmed().startsWith(QLatin1String("jp_"));
            else if (name == QLatin1String("CassettePort"))
                m.tape = true;
            else if (name == QLatin1String("MSX-MUSIC") || name == QLatin1String("MSX-MUSIC-WX"))
                m.music = true;
            else if (isDiskController(name))
                m.disk = true;
            if (xml.isStartElement())
                path.append(name.toString());
        } else if (token == QXmlStreamReader::EndElement && !path.isEmpty()) {
            path.removeLast();
        }
    }
    if (xml.hasError() || (machine && m.generation.isEmpty()))
        return std::nullopt;
    return m;
}

bool isTestOrFree(const QString &name)
{
    return name.startsWith(QLatin1String("Acid")) || name.startsWith(QLatin1String("Boosted"))
           || name.startsWith(QLatin1String("C-BIOS")) || !name.contains(u'_');
}

} // namespace

std::optional<Machine> readMachine(const QString &file)
{
    return readDescription(file, true);
}

QList<RomNeed> readExtensionRoms(const QString &file)
{
    const std::optional<Machine> m = readDescription(file, false);
    return m ? m->roms : QList<RomNeed>();
}

bool RomIndex::holds(const RomNeed &rom) const
{
    for (const QByteArray &sha1 : rom.sha1s)
        if (sha1s.contains(sha1))
            return true;
    return !rom.fileName.isEmpty() && names.contains(QFileInfo(rom.fileName).fileName().toLower());
}

QString RomIndex::firstMissing(const QList<RomNeed> &roms) const
{
    for (const RomNeed &rom : roms)
        if (!holds(rom))
            return rom.fileName.isEmpty() ? QString::fromLatin1(rom.sha1s.value(0)) : rom.fileName;
    return {};
}

QList<Machine> candidates(const QList<Machine> &machines, const Request &request)
{
    QList<std::pair<int, Machine>> ranked;
    for (const Machine &m : machines) {
        if (!m.japanese || (!m.mame && isTestOrFree(m.name)))
            continue;
        if (request.want == Want::MSXJ && m.generation != QLatin1String("MSX"))
            continue;
        if (request.want == Want::MSX2J && m.generation != QLatin1String("MSX2")
            && m.generation != QLatin1String("MSX2+"))
            continue;
        if ((request.media == Media::Disk && !m.disk) || (request.media == Media::Tape && !m.tape))
            continue;
        const int rank = (m.generation == QLatin1String("MSX2+") ? 1 : 0) + (request.fmpac && !m.music ? 2 : 0);
        ranked.append({rank, m});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    QList<Machine> out;
    for (const auto &r : ranked)
        out.append(r.second);
    return out;
}

std::optional<Choice> choose(const QList<Machine> &machines, const RomIndex &roms, bool fmpacRomThere,
                             const Request &request, const Tester &test)
{
    QList<Machine> owned;
    for (const Machine &m : candidates(machines, request))
        if (roms.firstMissing(m.roms).isEmpty())
            owned.append(m);
    if (request.fmpac) {
        for (const Machine &m : owned) {
            if (m.music && test(m.name, QString()) != Verdict::DoesNotStart)
                return Choice{m.name, QString(), false};
            if (!m.music && fmpacRomThere && test(m.name, QStringLiteral("fmpac")) != Verdict::DoesNotStart)
                return Choice{m.name, QStringLiteral("fmpac"), false};
        }
    }
    for (const Machine &m : owned)
        if (test(m.name, QString()) != Verdict::DoesNotStart)
            return Choice{m.name, QString(), request.fmpac};
    return std::nullopt;
}

} // namespace adapter
