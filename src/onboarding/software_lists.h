#pragma once

#include "catalogue/media.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>

class QIODevice;

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
    QString software;    // the software's name in its list
    int part = 0;        // which of the software's images this is, in the list's order
    int parts = 1;       // how many images of the first one's media the software has
    QString label;       // the part's own name in the list ("Game Disk 1"), where it has one
    QByteArray firstSha1; // of the software's first image (an alt set may share it with its parent)
    bool clone = false;  // the entry is a clone (cloneof) of another
    bool mapper = false; // a cartridge whose list names a game mapper: a mega ROM
    bool hardware = false; // a cartridge that is an extension (disk drive, FM-PAC, sound, memory)
    QString dataArea;    // a chip of a cartridge's data (speech samples, kanji), not its program:
                         // the list's name for its area ("upd7756", "vlm5030", "kanji")
    // Which entry wins when several name one image: the user's lists before the shared ones,
    // a parent before a clone, then by list name and by order in the list.
    int source = 0;
    int order = 0;
};

// A list that was passed over, and why.
struct ListProblem
{
    enum class Kind {
        NotAFile,   // a pipe, a device, a folder
        TooLarge,   // larger than any real list
        Unreadable, // could not be read
        TooDeep,    // nested deeper than any real list
        NotUnderstood, // not openMSX's database format
    };
    QString path;
    Kind kind = Kind::Unreadable;
};

class SoftwareLists
{
public:
    // Lists are read only up to this size and this depth of nested elements: a real list is
    // a few megabytes and five levels deep.
    static constexpr qint64 MaxListBytes = 64 * 1024 * 1024;
    static constexpr int MaxDepth = 32;

    // Stops a load between elements when set (from another thread).
    void setCancelFlag(const std::atomic<bool> *cancel) { cancel_ = cancel; }
    bool cancelled() const { return cancel_ && cancel_->load(); }

    // Reads every *.xml of a hash/ folder (the MAME software-list format). Returns the number of
    // images taken in; a file that is not a software list is passed over, one that cannot be
    // read or is too large or too deep is passed over and listed in problems(). Where lists
    // of several folders name one image, the folder of the lower source wins.
    int loadFolder(const QString &folder, int source = 0);
    // Reads one software list from its text (for the tests and loadFolder).
    int loadList(const QByteArray &xml);
    // Reads openMSX's software database; only MSX software is taken, and only images that no
    // list names. Images of another system's software are remembered as such.
    int loadOpenMsxDatabase(const QString &path);
    // The system a database names for an image that is no MSX software ("COLECOVISION"), or
    // an empty text.
    QString otherSystem(const QByteArray &sha1Hex) const { return otherSystems_.value(sha1Hex); }
    const QList<ListProblem> &problems() const { return problems_; }
    // Where openMSX keeps its database on this system, or an empty text; the user's own
    // database, which openMSX merges with it.
    static QString installedOpenMsxDatabase();
    static QString usersOpenMsxDatabase();

    // A cartridge the lists give as several chips: the file holding them joined in the list's
    // order (how dump tools write them), read again piece by piece when its size is such a
    // cartridge's; or the chips as the files of a zip, in any order.
    const KnownImage *findChips(const QString &path, qint64 size) const;
    const KnownImage *findChipSet(const QList<QByteArray> &sha1s) const;

    // What the loads gave, as bytes to keep between runs, and back (false: not such bytes).
    QByteArray serialised() const;
    bool restore(const QByteArray &data);

    // The image with this SHA-1 (40 lower-case hex digits), or nothing.
    const KnownImage *find(const QByteArray &sha1Hex) const;
    qsizetype size() const { return images_.size(); }

private:
    // Reads one list from the device into images; false when it was passed over (problem set).
    bool readList(QIODevice &device, int source, int &taken, ListProblem::Kind &problem);
    void take(const QByteArray &sha1, const KnownImage &image, int &taken);
    bool readDatabase(QIODevice &device, QHash<QByteArray, KnownImage> &images,
                      ListProblem::Kind &problem);
    // Opens a list file the safe way and reads it with read; records a problem when it fails.
    template<typename Read>
    void readFile(const QString &path, Read read);

    QHash<QByteArray, KnownImage> images_;
    int databaseSoftware_ = 0; // numbers each database entry: its dumps share the number
    struct ChipSet
    {
        QList<qint64> sizes;
        QList<QByteArray> sha1s;
        qint64 total = 0;
        KnownImage image;
    };
    QList<ChipSet> chipSets_;
    QHash<QByteArray, QString> otherSystems_;
    QList<ListProblem> problems_;
    const std::atomic<bool> *cancel_ = nullptr;
};

} // namespace onboarding
