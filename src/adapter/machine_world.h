#pragma once

#include "machines.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

// The machines of the installed openMSX and the ROMs of the user's, as one launch needs them,
// kept between launches in a cache (~/.cache/tarumin/openmsx-machines.json): each description
// and each ROM file by path, size and time, and what openMSX said of a machine while openMSX,
// the description and the ROMs stay as they were. Only definite answers are kept; a cache that
// is damaged, not a plain file of the user's, or of another version is made again.
namespace adapter {

// openMSX's folder of the user's own data (~/.openMSX/share; on Windows in Documents).
QString openMsxUserShare();

// The words of a Tcl list (braces, quotes and backslashes as Tcl reads them).
QStringList tclWords(const QString &list);
// The file pool's folders that hold system ROMs, from the value of openMSX's __filepool setting
// ({-path DIR -types {rom disk tape}} ...; an entry without -types holds every kind); relative
// paths are the user's share's.
QStringList filePoolRomFolders(const QString &setting, const QString &userShare);

struct Places
{
    QString openmsx;             // the program (a name looked up in PATH, or a path)
    QStringList machineFolders;  // the user's first
    QStringList extensionFolders;
    QStringList romFolders;      // systemroms folders and the file pool's
    QString cacheFile;

    // openMSX's own places for this user, with TARUMIN_OPENMSX and TARUMIN_OPENMSX_MACHINES
    // where they are set.
    static Places standard();
};

class MachineWorld
{
public:
    explicit MachineWorld(Places places);

    // Reads the descriptions and indexes the ROMs, through the cache.
    void load();
    const QList<Machine> &machines() const { return machines_; }
    const RomIndex &roms() const { return roms_; }
    bool fmpacRomThere() const { return fmpacThere_; }

    // Whether openMSX starts the machine (with the extension); a kept answer when there is one,
    // else one -testconfig, kept when definite. why gets openMSX's reason for a refusal.
    Verdict test(const QString &machine, const QString &extension, QString *why = nullptr);

    // Writes the cache when something changed (whole, then put in place).
    void save();

    // A cache past this is not believed (it is written whatever its size).
    static constexpr qint64 MaxCacheReadBytes = 256 * 1024 * 1024;

private:
    QString stampOf(const QString &machine) const;

    Places places_;
    QList<Machine> machines_;
    QHash<QString, QString> machineFiles_; // name -> description
    RomIndex roms_;
    bool fmpacThere_ = false;
    QString program_;      // openMSX, found
    QString worldStamp_;   // openMSX and the ROMs
    QJsonObject cache_;
    bool changed_ = false;
};

} // namespace adapter
