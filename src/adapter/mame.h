#pragma once

#include "machines.h"

#include <QByteArray>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QStringList>

// MAME as the second route behind mess.exe: its Japanese MSX systems (one per real machine,
// "FS-A1 (MSX2, Japan)"), those whose ROMs MAME finds in the user's rompath, and Tarumin's
// command line in MAME's words. What MAME said is kept in a cache
// (~/.cache/tarumin/mame-systems.json) while MAME and the rompath stay as they were.
namespace adapter {

// "MSX", "MSX2", "MSX2+" or "MSXturboR" for a Japanese MSX system's description; empty for
// any other.
QString mameGeneration(const QString &description);

// The Japanese MSX systems of `mame -listxml` output.
QList<Machine> readMameSystems(const QByteArray &listxml);

// The system names of `mame -listfull` output whose descriptions are Japanese MSX ones.
QStringList japaneseMsxNames(const QByteArray &listfull);

// The sets `mame -verifyroms` found good (or the best there is).
QSet<QString> verifiedSets(const QByteArray &output);

// The folders of the rompath in `mame -showconfig` output, $HOME and ~ expanded.
QStringList rompathOf(const QByteArray &showconfig);

// MAME's command line for a system chosen for the request: the game in the system's first
// cartridge slot, floppy drive or cassette (the tape loaded by the command typed for the
// player); with fmpacCartridge, the FM-PAC of MAME's msx1_cart list in the second slot (where
// the system has one: its first is "-cart1").
QStringList mameArguments(const Machine &system, const Request &request, const QString &file, bool fmpacCartridge);

class MameWorld
{
public:
    // program: MAME, found; cacheFile: where what it said is kept.
    MameWorld(QString program, QString cacheFile);

    // Asks MAME (or the cache) for its Japanese MSX systems and the ones owned.
    void load();
    const QList<Machine> &systems() const { return systems_; }
    // The systems whose ROMs MAME found.
    QList<Machine> owned() const;
    // Whether the rompath holds the FM-PAC cartridge of the msx1_cart list.
    bool fmpacThere() const { return fmpac_; }
    QStringList rompath() const { return rompath_; }

private:
    QByteArray ask(const QStringList &arguments, int timeoutMs) const;

    QString program_, cacheFile_;
    QList<Machine> systems_;
    QSet<QString> owned_;
    QStringList rompath_;
    bool fmpac_ = false;
};

} // namespace adapter
