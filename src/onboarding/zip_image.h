#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What the zip module (tarumin-zip, which links libzip) reads of a zip holding one image. The
// module is loaded at the first zip, so that libzip and the compression and crypto libraries it
// brings in stay out of the program's start-up.
namespace onboarding {

struct ZipImage
{
    enum class Status { Read, Unreadable, NotSingle, TooLarge, TooManyEntries };
    Status status = Status::Unreadable;
    QString name;      // the image's name inside the zip
    QByteArray sha1;   // 40 lower-case hex digits
    qint64 size = 0;   // what was read, not what the zip claims
    // A zip of several files (a set's disks, as MAME's sets come): each of them, in the zip's
    // order, the first also in name, sha1 and size above.
    struct Entry
    {
        QString name;
        QByteArray sha1;
        qint64 size = 0;
    };
    QList<Entry> entries;
};

// Reads the zip open on descriptor fd (which it closes): its images, of at most maxBytes in
// all, refusing a zip whose directory lists more than maxEntries entries before reading it.
using ReadZipImage = void (*)(int fd, qint64 maxBytes, qint64 maxEntries, ZipImage &out);
inline constexpr char ZipModuleName[] = "tarumin-zip";
inline constexpr char ReadZipImageSymbol[] = "tarumin_read_zip_image";

// The system's SHA-1 (libcrypto, which the zip module brings in anyway; it uses the
// processor's SHA instructions where there are some), fed piece by piece: begin gives a state,
// add feeds it, end writes the 20 bytes of digest and frees the state.
struct Sha1Functions
{
    void *(*begin)();
    void (*add)(void *state, const char *data, qint64 size);
    void (*end)(void *state, unsigned char *out);
};
using Sha1Table = const Sha1Functions *(*)();
inline constexpr char Sha1TableSymbol[] = "tarumin_sha1_functions";

} // namespace onboarding
