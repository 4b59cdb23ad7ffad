#pragma once

#include "catalogue/media.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// openMSX's machines as the adapter sees them: each Japanese machine's description read once
// (generation, disk drive, cassette port, MSX-MUSIC, the ROMs it needs), the user's ROMs
// indexed by SHA-1, and the choice of a machine for a request of Tarumin's.
namespace adapter {

// A ROM a machine needs: any of the SHA-1s listed, or the file of that name.
struct RomNeed
{
    QList<QByteArray> sha1s; // 40 lower-case hex digits each
    QString fileName;
};

struct Machine
{
    QString name;       // the description's file name without .xml
    QString generation; // "MSX", "MSX2", "MSX2+", "MSXturboR"
    bool japanese = false;
    bool disk = false;
    bool tape = false;
    bool music = false;
    QList<RomNeed> roms;
    // MAME's systems: the options of the first cartridge slot, floppy drive and cassette
    // ("-cart1", "-flop1", "-cass"); openMSX's machines have none.
    bool mame = false;
    QString cartOption, diskOption, tapeOption;
};

// Reads a machine description (openMSX's msxconfig); nothing when it cannot be read.
std::optional<Machine> readMachine(const QString &file);
// The ROMs an extension description needs (the FM-PAC's).
QList<RomNeed> readExtensionRoms(const QString &file);

// The ROMs the user has: their SHA-1s, and their file names (lower case).
struct RomIndex
{
    QSet<QByteArray> sha1s;
    QSet<QString> names;
    bool holds(const RomNeed &rom) const;
    // The first ROM of the list that is not there (its file name, else its SHA-1); empty when
    // all are.
    QString firstMissing(const QList<RomNeed> &roms) const;
};

enum class Want { MSXJ, MSX2J };
// The media of the catalogue's one table; a request without a game has none.
using catalogue::Media;

struct Request
{
    Want want = Want::MSX2J;
    std::optional<Media> media;
    bool fmpac = false;
};

// What openMSX says of a machine (with an extension): it starts, it does not, or no answer
// could be had (openMSX could not be run, was stopped, took too long).
enum class Verdict { Starts, DoesNotStart, Unknown };
using Tester = std::function<Verdict(const QString &machine, const QString &extension)>;

struct Choice
{
    QString machine;
    QString extension;         // "fmpac" or empty
    bool withoutFmpac = false; // FM-PAC asked for, but no machine could have one
};

// The machines that could serve a request, best first: the generation asked for (MSX2J takes
// MSX2 before MSX2+), a disk drive for a disk, a cassette port for a tape; with FM-PAC the
// machines with MSX-MUSIC built in first; then by name. Test machines and C-BIOS are left out.
QList<Machine> candidates(const QList<Machine> &machines, const Request &request);

// The first candidate whose ROMs are all there and that openMSX does not refuse; with FM-PAC,
// one with MSX-MUSIC or one whose FM-PAC ROM is there first. A machine openMSX gave no answer
// for is taken on the strength of its ROMs. Nothing when no owned machine can serve.
std::optional<Choice> choose(const QList<Machine> &machines, const RomIndex &roms, bool fmpacRomThere,
                             const Request &request, const Tester &test);

} // namespace adapter
