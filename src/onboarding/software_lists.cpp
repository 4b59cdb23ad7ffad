#include "software_lists.h"

#include "platform/system/file_read.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <tuple>

namespace onboarding {

namespace {

// Keeps the depth of the elements being read, and says when a list goes too deep or the load
// was asked to stop.
class Walk
{
public:
    Walk(QXmlStreamReader &reader, const SoftwareLists &lists) : reader_(reader), lists_(lists) {}

    // The next token; false at the end, on an error, too deep, or when cancelled.
    bool next()
    {
        if (reader_.atEnd())
            return false;
        if ((++tokens_ & 1023) == 0 && lists_.cancelled())
            return false;
        const QXmlStreamReader::TokenType token = reader_.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth_ > SoftwareLists::MaxDepth) {
            tooDeep_ = true;
            return false;
        }
        if (token == QXmlStreamReader::EndElement)
            --depth_;
        return !reader_.hasError();
    }
    // An element's text; the element's end is read with it.
    QString text()
    {
        const QString t = reader_.readElementText().simplified();
        --depth_;
        return t;
    }
    bool tooDeep() const { return tooDeep_; }

private:
    QXmlStreamReader &reader_;
    const SoftwareLists &lists_;
    int depth_ = 0;
    quint64 tokens_ = 0;
    bool tooDeep_ = false;
};

// Whether one entry naming an image wins over another.
bool ranksBefore(const KnownImage &a, const KnownImage &b)
{
    return std::tie(a.source, a.clone, a.listName, a.order)
           < std::tie(b.source, b.clone, b.listName, b.order);
}

// A list's slot feature: extensions that are no game, and cartridges with a game mapper.
bool isHardwareSlot(QStringView slot)
{
    for (const char16_t *prefix : {u"disk_", u"msxaud_", u"sound_"}) {
        if (slot.startsWith(QStringView(prefix)))
            return true;
    }
    for (const char16_t *name : {u"fmpac", u"kanji", u"fs_sr022", u"ec701", u"easispeech", u"bm_012",
                                 u"moonsound", u"ram", u"ramfile", u"nomapper_ram"}) {
        if (slot == QStringView(name))
            return true;
    }
    return false;
}

// openMSX's mapper types of plain cartridges: everything else is a mega ROM's mapper.
bool isPlainRomType(QStringView type)
{
    return type.isEmpty() || type == u"Normal" || type.startsWith(u"Mirrored")
           || type.startsWith(u"page", Qt::CaseInsensitive) || type.endsWith(u"kb");
}

} // namespace

void SoftwareLists::take(const QByteArray &sha1, const KnownImage &image, int &taken)
{
    auto it = images_.find(sha1);
    if (it == images_.end()) {
        images_.insert(sha1, image);
        ++taken;
    } else if (ranksBefore(image, *it)) {
        *it = image;
    }
    otherSystems_.remove(sha1);
}

template<typename Read>
void SoftwareLists::readFile(const QString &path, Read read)
{
    platform::PlainFile file(path);
    ListProblem problem{path, ListProblem::Kind::Unreadable};
    switch (file.problem()) {
    case platform::ReadProblem::None:
        if (file.size() > MaxListBytes)
            problem.kind = ListProblem::Kind::TooLarge;
        else if (read(file.device(), problem.kind))
            return;
        break;
    case platform::ReadProblem::Missing: return;
    case platform::ReadProblem::Folder:
    case platform::ReadProblem::NotAFile: problem.kind = ListProblem::Kind::NotAFile; break;
    case platform::ReadProblem::TooLarge: problem.kind = ListProblem::Kind::TooLarge; break;
    case platform::ReadProblem::Failed: problem.kind = ListProblem::Kind::Unreadable; break;
    }
    if (!cancelled())
        problems_ << problem;
}

int SoftwareLists::loadFolder(const QString &folder, int source)
{
    int taken = 0;
    // Picked by hand rather than by a name filter: this runs on a thread of its own, and the
    // pattern matcher's per-thread stack crashed the Windows program when the thread ended.
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::System, QDir::Name);
    for (const QString &name : files) {
        if (!name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
            continue;
        if (cancelled())
            break;
        readFile(QDir(folder).filePath(name), [&](QIODevice &device, ListProblem::Kind &problem) {
            return readList(device, source, taken, problem);
        });
    }
    return taken;
}

int SoftwareLists::loadList(const QByteArray &xml)
{
    QBuffer buffer;
    buffer.setData(xml);
    buffer.open(QIODevice::ReadOnly);
    int taken = 0;
    ListProblem::Kind problem;
    readList(buffer, 0, taken, problem);
    return taken;
}

bool SoftwareLists::readList(QIODevice &device, int source, int &takenOut,
                             ListProblem::Kind &problem)
{
    QXmlStreamReader reader(&device);
    Walk walk(reader, *this);
    // Kept only when the whole list could be read.
    QList<QPair<QByteArray, KnownImage>> found;
    QString listName;
    bool msx2 = false;
    int order = 0;
    KnownImage software;
    // The software's parts made of one image: its SHA-1, media and slot feature.
    struct Part
    {
        QByteArray sha1;
        std::optional<catalogue::Media> media;
        QString slot;
        QString label;
        QList<QPair<qint64, QByteArray>> chips; // size and SHA-1 of each, in the list's order
    };
    // Chips that hold a cartridge's data, not its program, and their area's name.
    QList<QPair<QByteArray, QString>> dataChips;
    QString area; // the data area being read
    auto programArea = [](const QString &name) {
        return name.isEmpty() || name == u"rom" || name == u"flop" || name == u"cass";
    };
    QList<Part> parts;
    QList<Part> chipParts; // the software's parts made of several chips
    QList<ChipSet> foundChips;
    QList<QByteArray> images; // of the part being read
    Part part;
    while (walk.next()) {
        if (reader.isStartElement()) {
            const QStringView tag = reader.name();
            const QXmlStreamAttributes attributes = reader.attributes();
            if (tag == u"softwarelist") {
                listName = attributes.value(QLatin1String("name")).toString();
                msx2 = listName.startsWith(u"msx2_") || listName.startsWith(u"msx2p_")
                       || listName.startsWith(u"msxr_");
            } else if (tag == u"software") {
                software = KnownImage();
                software.listName = listName;
                software.msx2 = msx2;
                software.software = attributes.value(QLatin1String("name")).toString();
                software.clone = !attributes.value(QLatin1String("cloneof")).isEmpty();
                software.source = source;
                software.order = order++;
                parts.clear();
                dataChips.clear();
            } else if (tag == u"description") {
                software.description = walk.text();
            } else if (tag == u"year") {
                software.year = walk.text();
            } else if (tag == u"publisher") {
                software.publisher = walk.text();
            } else if (tag == u"info" && attributes.value(QLatin1String("name")) == u"alt_title") {
                software.altTitle = attributes.value(QLatin1String("value")).toString().simplified();
            } else if (tag == u"part") {
                images.clear();
                part = Part();
                part.media = catalogue::mediaOfInterface(attributes.value(QLatin1String("interface")));
            } else if (tag == u"feature" && attributes.value(QLatin1String("name")) == u"slot") {
                part.slot = attributes.value(QLatin1String("value")).toString();
            } else if (tag == u"feature" && attributes.value(QLatin1String("name")) == u"part_id") {
                part.label = attributes.value(QLatin1String("value")).toString().simplified();
            } else if (tag == u"dataarea") {
                area = attributes.value(QLatin1String("name")).toString();
            } else if ((tag == u"rom" || tag == u"disk") && attributes.hasAttribute(QLatin1String("sha1"))
                       && !programArea(area)) {
                dataChips.append({attributes.value(QLatin1String("sha1")).toLatin1().toLower(), area});
            } else if ((tag == u"rom" || tag == u"disk") && attributes.hasAttribute(QLatin1String("sha1"))) {
                images.append(attributes.value(QLatin1String("sha1")).toLatin1().toLower());
                part.chips.append({attributes.value(QLatin1String("size")).toLongLong(), images.last()});
            }
        } else if (reader.isEndElement() && reader.name() == u"dataarea") {
            area.clear();
        } else if (reader.isEndElement() && reader.name() == u"part") {
            // Only a part made of one image can be matched by one file.
            if (images.size() == 1) {
                part.sha1 = images.first();
                parts << part;
            } else if (images.size() > 1 && part.media == catalogue::Media::Cartridge
                       && std::all_of(part.chips.cbegin(), part.chips.cend(), [](const auto &c) { return c.first > 0; })) {
                chipParts << part;
            }
            images.clear();
        } else if (reader.isEndElement() && reader.name() == u"software") {
            // A software of several disks or tape sides is one game: its images know which
            // part they are, and how many of the first one's media there are.
            int count = 0;
            for (const Part &p : parts)
                count += p.media == parts.first().media;
            for (int i = 0; i < parts.size(); ++i) {
                KnownImage image = software;
                image.media = parts[i].media;
                image.part = i;
                image.parts = qMax(1, count);
                image.firstSha1 = parts.first().sha1;
                image.label = parts[i].label;
                image.mapper = !parts[i].slot.isEmpty() && !isHardwareSlot(parts[i].slot);
                image.hardware = isHardwareSlot(parts[i].slot);
                found.append(qMakePair(parts[i].sha1, image));
            }
            for (const Part &p : chipParts) {
                ChipSet set;
                set.image = software;
                set.image.media = p.media;
                set.image.mapper = !p.slot.isEmpty() && !isHardwareSlot(p.slot);
                set.image.hardware = isHardwareSlot(p.slot);
                for (const auto &[size, sha1] : p.chips) {
                    set.sizes << size;
                    set.sha1s << sha1;
                    set.total += size;
                }
                foundChips << set;
            }
            // A data chip given alone is known, as what it is.
            for (const auto &[sha1, dataArea] : dataChips) {
                KnownImage image = software;
                image.media = catalogue::Media::Cartridge;
                image.dataArea = dataArea;
                found.append(qMakePair(sha1, image));
            }
            parts.clear();
            chipParts.clear();
            dataChips.clear();
        }
    }
    if (walk.tooDeep()) {
        problem = ListProblem::Kind::TooDeep;
        return false;
    }
    if (cancelled())
        return false;
    if (reader.hasError() && found.isEmpty())
        return true; // not a software list: passed over quietly, as always
    int taken = 0;
    for (const auto &[sha1, image] : found)
        take(sha1, image, taken);
    for (const ChipSet &set : foundChips) {
        const bool known = std::any_of(chipSets_.cbegin(), chipSets_.cend(),
                                       [&](const ChipSet &other) { return other.sha1s == set.sha1s; });
        if (!known) {
            chipSets_ << set;
            ++taken;
        }
    }
    takenOut += taken;
    return true;
}

const KnownImage *SoftwareLists::findChips(const QString &path, qint64 size) const
{
    for (const ChipSet &set : chipSets_) {
        if (set.total != size)
            continue;
        platform::PlainFile file(path);
        if (!file.ok())
            return nullptr;
        bool same = true;
        for (qsizetype i = 0; i < set.sizes.size() && same; ++i) {
            QCryptographicHash hash(QCryptographicHash::Sha1);
            qint64 left = set.sizes[i];
            while (left > 0) {
                const QByteArray piece = file.device().read(qMin<qint64>(left, 1024 * 1024));
                if (piece.isEmpty())
                    return nullptr;
                hash.addData(piece);
                left -= piece.size();
            }
            same = hash.result().toHex() == set.sha1s[i];
        }
        if (same)
            return &set.image;
    }
    return nullptr;
}

const KnownImage *SoftwareLists::findChipSet(const QList<QByteArray> &sha1s) const
{
    QList<QByteArray> given = sha1s;
    std::sort(given.begin(), given.end());
    for (const ChipSet &set : chipSets_) {
        QList<QByteArray> chips = set.sha1s;
        std::sort(chips.begin(), chips.end());
        if (chips == given)
            return &set.image;
    }
    return nullptr;
}

QString SoftwareLists::usersOpenMsxDatabase()
{
    const QString path = QDir::homePath() + QStringLiteral("/.openMSX/share/softwaredb.xml");
    return QFileInfo::exists(path) ? path : QString();
}

QString SoftwareLists::installedOpenMsxDatabase()
{
    for (const char *path : {"/usr/share/openmsx/softwaredb.xml", "/usr/local/share/openmsx/softwaredb.xml"}) {
        if (QFile::exists(QString::fromLatin1(path)))
            return QString::fromLatin1(path);
    }
    return {};
}

int SoftwareLists::loadOpenMsxDatabase(const QString &path)
{
    if (path.isEmpty())
        return 0;
    const qsizetype before = images_.size();
    readFile(path, [&](QIODevice &device, ListProblem::Kind &problem) {
        return readDatabase(device, images_, problem);
    });
    return int(images_.size() - before);
}

bool SoftwareLists::readDatabase(QIODevice &device, QHash<QByteArray, KnownImage> &into,
                                 ListProblem::Kind &problem)
{
    QXmlStreamReader reader(&device);
    Walk walk(reader, *this);
    QHash<QByteArray, KnownImage> found;
    QHash<QByteArray, QString> others;
    KnownImage software;
    QString system;
    QList<QByteArray> hashes;
    bool understood = false;
    bool mapper = false;
    while (walk.next()) {
        if (reader.isStartElement()) {
            const QStringView tag = reader.name();
            if (!understood) {
                // openMSX's own format, and nothing else, is read.
                if (tag != u"softwaredb")
                    break;
                understood = true;
            } else if (tag == u"software") {
                software = KnownImage();
                software.listName = QStringLiteral("openMSX");
                software.software = QString::number(++databaseSoftware_);
                software.media = catalogue::Media::Cartridge;
                system.clear();
                mapper = false;
                hashes.clear();
            } else if (tag == u"title") {
                software.description = walk.text();
            } else if (tag == u"system") {
                system = walk.text();
                software.msx2 = system.startsWith(QLatin1String("MSX2")) || system == QLatin1String("MSXturboR");
            } else if (tag == u"company") {
                software.publisher = walk.text();
            } else if (tag == u"year") {
                software.year = walk.text();
            } else if (tag == u"type") {
                mapper = mapper || !isPlainRomType(walk.text());
            } else if (tag == u"hash") {
                hashes << walk.text().toLatin1().toLower();
            }
        } else if (reader.isEndElement() && reader.name() == u"software") {
            const bool msx = system.startsWith(QLatin1String("MSX"), Qt::CaseInsensitive);
            software.mapper = mapper;
            for (const QByteArray &hash : hashes) {
                if (into.contains(hash) || found.contains(hash))
                    continue;
                if (msx)
                    found.insert(hash, software);
                else if (!others.contains(hash))
                    others.insert(hash, system);
            }
        }
    }
    if (!understood || (reader.hasError() && found.isEmpty())) {
        problem = ListProblem::Kind::NotUnderstood;
        return false;
    }
    if (walk.tooDeep()) {
        problem = ListProblem::Kind::TooDeep;
        return false;
    }
    if (cancelled())
        return false;
    into.insert(found);
    for (auto it = others.cbegin(); it != others.cend(); ++it) {
        if (!into.contains(it.key()) && !otherSystems_.contains(it.key()))
            otherSystems_.insert(it.key(), it.value());
    }
    return true;
}

namespace {

constexpr quint32 IndexVersion = 5;

QDataStream &operator<<(QDataStream &out, const KnownImage &k)
{
    return out << k.description << k.altTitle << k.year << k.publisher << k.listName
               << qint32(k.media ? int(*k.media) : -1) << k.msx2 << k.software << qint32(k.part)
               << qint32(k.parts) << k.clone << k.mapper << k.hardware << qint32(k.source) << qint32(k.order)
               << k.firstSha1 << k.label << k.dataArea;
}

QDataStream &operator>>(QDataStream &in, KnownImage &k)
{
    qint32 media = -1, part = 0, parts = 1, source = 0, order = 0;
    in >> k.description >> k.altTitle >> k.year >> k.publisher >> k.listName >> media >> k.msx2 >> k.software
        >> part >> parts >> k.clone >> k.mapper >> k.hardware >> source >> order >> k.firstSha1 >> k.label
        >> k.dataArea;
    k.media = media >= 0 && media <= 2 ? std::optional(catalogue::Media(media)) : std::nullopt;
    k.part = part;
    k.parts = parts;
    k.source = source;
    k.order = order;
    return in;
}

} // namespace

QByteArray SoftwareLists::serialised() const
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << IndexVersion << qint64(images_.size());
    for (auto it = images_.cbegin(); it != images_.cend(); ++it)
        out << it.key() << *it;
    out << otherSystems_ << qint64(problems_.size());
    for (const ListProblem &p : problems_)
        out << qint32(p.kind) << p.path;
    out << qint64(chipSets_.size());
    for (const ChipSet &set : chipSets_)
        out << set.sizes << set.sha1s << set.total << set.image;
    return data;
}

bool SoftwareLists::restore(const QByteArray &data)
{
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 version = 0;
    qint64 count = 0;
    in >> version >> count;
    if (version != IndexVersion || count < 0 || count > 1'000'000)
        return false;
    QHash<QByteArray, KnownImage> images;
    images.reserve(count);
    for (qint64 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QByteArray sha1;
        KnownImage image;
        in >> sha1 >> image;
        images.insert(sha1, image);
    }
    QHash<QByteArray, QString> others;
    qint64 problemCount = 0;
    in >> others >> problemCount;
    QList<ListProblem> problems;
    for (qint64 i = 0; i < problemCount && i < 10000 && in.status() == QDataStream::Ok; ++i) {
        qint32 kind = 0;
        ListProblem p;
        in >> kind >> p.path;
        p.kind = ListProblem::Kind(kind);
        problems << p;
    }
    qint64 chipCount = 0;
    in >> chipCount;
    QList<ChipSet> chipSets;
    for (qint64 i = 0; i < chipCount && i < 100000 && in.status() == QDataStream::Ok; ++i) {
        ChipSet set;
        in >> set.sizes >> set.sha1s >> set.total >> set.image;
        chipSets << set;
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return false;
    chipSets_ = std::move(chipSets);
    images_ = std::move(images);
    otherSystems_ = std::move(others);
    problems_ = std::move(problems);
    return true;
}

const KnownImage *SoftwareLists::find(const QByteArray &sha1Hex) const
{
    const auto it = images_.constFind(sha1Hex);
    return it == images_.cend() ? nullptr : &*it;
}

} // namespace onboarding
