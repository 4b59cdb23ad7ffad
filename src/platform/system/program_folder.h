#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The program folder: where mess.exe, the data folder tarumin/ and the software lists live.
// Every path the program uses inside it is spelled here and nowhere else.
//
//   <folder>/mess.exe               the emulator
//   <folder>/tarumin/list.csv       the catalogue
//   <folder>/tarumin/snap/NAME.gif  snapshots (or NAME.png, as openMSX saves them)
//   <folder>/tarumin/image/         the stand-by picture and the power switch
//   <folder>/tarumin/sound/         the switch's and the nameplate's sounds
//   <folder>/hash/                  the MSX software lists
//   <folder>/games/                 game files copied in to be registered
class ProgramFolder
{
public:
    enum class Picture { StandBy, SwitchOff, SwitchOn };
    enum class Sound { Switch, Nameplate };

    ProgramFolder() = default;
    // A folder's path names its program folder.
    ProgramFolder(QString root) : root_(std::move(root)) {}
    // An installed program's folder also reads the software lists installed with the program,
    // in place, so that a newer package's lists reach the user.
    ProgramFolder(QString root, QString sharedSoftwareLists)
        : root_(std::move(root)), sharedLists_(std::move(sharedSoftwareLists)) {}

    const QString &root() const { return root_; }
    QString dataFolder() const;
    QString catalogue() const;
    QString snapshotFolder() const;
    QString softwareLists() const;
    // The folders of software lists to read: the folder's own hash/ first (its lists win), then
    // the installed ones.
    QStringList softwareListFolders() const;
    QString emulator() const;
    QString copiedGames() const;
    QString picture(Picture picture) const;
    QString sound(Sound sound) const;

    // The files a snapshot name may be shown from, in the order to try them: its GIF, then its
    // PNG (the PNG first when both are there and it is the newer). None when the name leads out of the snapshot folder ("../../x") or is absurdly long.
    QStringList snapshotCandidates(const QString &snapName) const;

    // Whether a file lies in the program folder itself (not in a folder below it): such a file
    // is named bare in a line, since the emulator runs there.
    bool holdsDirectly(const QString &filePath) const;

private:
    QString root_;
    QString sharedLists_;
};

} // namespace platform
