#pragma once

#include "catalogue/media.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// The MSX software lists that MAME/MESS installations keep in their hash/ folder (one XML file
// a list, the software named by the SHA-1 of its images), and openMSX's software database as a
// second source for cartridges the lists do not name. No widgets.
namespace onboarding {

// What a list says of one image.
struct KnownImage
{
    QString description; // the list's own title, in English
    QString altTitle;    // the Japanese title, where the list has one
    QString year;
    QString publisher;
    QString listName;    // "msx1_cart", or "openMSX" for the database
    std::optional<catalogue::Media> media; // none when the list's interface is not MSX media
    bool msx2 = false;   // the list is for MSX2, MSX2+ or turbo R
};

class SoftwareLists
{
public:
    // Reads every *.xml of a hash/ folder (the MAME software-list format). Returns the number of
    // images taken in; a file that is not a software list is passed over.
    int loadFolder(const QString &folder);
    // Reads one software list from its text (for the tests and loadFolder).
    int loadList(const QByteArray &xml);
    // Reads openMSX's software database; only images that no list names are taken.
    int loadOpenMsxDatabase(const QString &path);
    // Where openMSX keeps its database on this system, or an empty text.
    static QString installedOpenMsxDatabase();

    // The image with this SHA-1 (40 lower-case hex digits), or nothing.
    const KnownImage *find(const QByteArray &sha1Hex) const;
    qsizetype size() const { return images_.size(); }

private:
    QHash<QByteArray, KnownImage> images_;
};

} // namespace onboarding
