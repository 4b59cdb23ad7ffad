#include "software_lists.h"

#include "platform/system/file_read.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

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

} // namespace

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

int SoftwareLists::loadFolder(const QString &folder)
{
    int taken = 0;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.xml")},
                                                     QDir::Files | QDir::System, QDir::Name);
    for (const QString &name : files) {
        if (cancelled())
            break;
        readFile(QDir(folder).filePath(name), [&](QIODevice &device, ListProblem::Kind &problem) {
            return readList(device, images_, taken, problem);
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
    readList(buffer, images_, taken, problem);
    return taken;
}

bool SoftwareLists::readList(QIODevice &device, QHash<QByteArray, KnownImage> &into, int &takenOut,
                             ListProblem::Kind &problem)
{
    QXmlStreamReader reader(&device);
    Walk walk(reader, *this);
    QHash<QByteArray, KnownImage> found; // kept only when the whole list could be read
    QString listName;
    bool msx2 = false;
    int taken = 0;
    KnownImage software;
    QList<QPair<QByteArray, std::optional<catalogue::Media>>> images; // of the part being read
    std::optional<catalogue::Media> partMedia;
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
                partMedia = catalogue::mediaOfInterface(attributes.value(QLatin1String("interface")));
            } else if ((tag == u"rom" || tag == u"disk") && attributes.hasAttribute(QLatin1String("sha1"))) {
                images.append(qMakePair(attributes.value(QLatin1String("sha1")).toLatin1().toLower(), partMedia));
            }
        } else if (reader.isEndElement() && reader.name() == u"part") {
            // Only a part made of one image can be matched by one file.
            if (images.size() == 1) {
                KnownImage image = software;
                image.media = images.first().second;
                found.insert(images.first().first, image);
                ++taken;
            }
            images.clear();
        }
    }
    if (walk.tooDeep()) {
        problem = ListProblem::Kind::TooDeep;
        return false;
    }
    if (cancelled())
        return false;
    if (reader.hasError() && taken == 0)
        return true; // not a software list: passed over quietly, as always
    into.insert(found);
    takenOut += taken;
    return true;
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
    KnownImage software;
    QList<QByteArray> hashes;
    while (walk.next()) {
        if (reader.isStartElement()) {
            const QStringView tag = reader.name();
            if (tag == u"software") {
                software = KnownImage();
                software.listName = QStringLiteral("openMSX");
                software.media = catalogue::Media::Cartridge;
                hashes.clear();
            } else if (tag == u"title") {
                software.description = walk.text();
            } else if (tag == u"system") {
                const QString system = walk.text();
                software.msx2 = system.startsWith(QLatin1String("MSX2")) || system == QLatin1String("MSXturboR");
            } else if (tag == u"company") {
                software.publisher = walk.text();
            } else if (tag == u"year") {
                software.year = walk.text();
            } else if (tag == u"hash") {
                hashes << walk.text().toLatin1().toLower();
            }
        } else if (reader.isEndElement() && reader.name() == u"software") {
            for (const QByteArray &hash : hashes) {
                if (!into.contains(hash) && !found.contains(hash))
                    found.insert(hash, software);
            }
        }
    }
    if (walk.tooDeep()) {
        problem = ListProblem::Kind::TooDeep;
        return false;
    }
    if (cancelled())
        return false;
    into.insert(found);
    return true;
}

const KnownImage *SoftwareLists::find(const QByteArray &sha1Hex) const
{
    const auto it = images_.constFind(sha1Hex);
    return it == images_.cend() ? nullptr : &*it;
}

} // namespace onboarding
