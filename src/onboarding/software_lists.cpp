#include "software_lists.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

namespace onboarding {

int SoftwareLists::loadFolder(const QString &folder)
{
    int taken = 0;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QFile file(QDir(folder).filePath(name));
        if (file.size() > 64 * 1024 * 1024 || !file.open(QIODevice::ReadOnly))
            continue;
        taken += loadList(file.readAll());
    }
    return taken;
}

int SoftwareLists::loadList(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    QString listName;
    bool msx2 = false;
    int taken = 0;
    KnownImage software;
    QList<QPair<QByteArray, std::optional<catalogue::Media>>> images; // of the part being read
    std::optional<catalogue::Media> partMedia;
    while (!reader.atEnd()) {
        reader.readNext();
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
                software.description = reader.readElementText().simplified();
            } else if (tag == u"year") {
                software.year = reader.readElementText().simplified();
            } else if (tag == u"publisher") {
                software.publisher = reader.readElementText().simplified();
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
                images_.insert(images.first().first, image);
                ++taken;
            }
            images.clear();
        }
    }
    return reader.hasError() && taken == 0 ? 0 : taken;
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
    QFile file(path);
    if (path.isEmpty() || file.size() > 64 * 1024 * 1024 || !file.open(QIODevice::ReadOnly))
        return 0;
    QXmlStreamReader reader(&file);
    KnownImage software;
    QList<QByteArray> hashes;
    int taken = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const QStringView tag = reader.name();
            if (tag == u"software") {
                software = KnownImage();
                software.listName = QStringLiteral("openMSX");
                software.media = catalogue::Media::Cartridge;
                hashes.clear();
            } else if (tag == u"title") {
                software.description = reader.readElementText().simplified();
            } else if (tag == u"system") {
                const QString system = reader.readElementText();
                software.msx2 = system.startsWith(QLatin1String("MSX2")) || system == QLatin1String("MSXturboR");
            } else if (tag == u"company") {
                software.publisher = reader.readElementText().simplified();
            } else if (tag == u"year") {
                software.year = reader.readElementText().simplified();
            } else if (tag == u"hash") {
                hashes << reader.readElementText().trimmed().toLatin1().toLower();
            }
        } else if (reader.isEndElement() && reader.name() == u"software") {
            for (const QByteArray &hash : hashes) {
                if (!images_.contains(hash)) {
                    images_.insert(hash, software);
                    ++taken;
                }
            }
        }
    }
    return taken;
}

const KnownImage *SoftwareLists::find(const QByteArray &sha1Hex) const
{
    const auto it = images_.constFind(sha1Hex);
    return it == images_.cend() ? nullptr : &*it;
}

} // namespace onboarding
