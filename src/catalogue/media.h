#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The three kinds of game media, and everything the program says or reads of them, in one
// table: the emulator's option, the extension a bare file name gets, the extensions a game
// file of that kind has, the software-list interfaces that stand for it, and its names in the
// entry dialog and in a composed line.
namespace catalogue {

// The values are the entry dialog's slot positions.
enum class Media { Cartridge = 0, Tape = 1, Disk = 2 };

struct MediaKind
{
    Media media;
    QStringView option;           // "-cart ": begins the launch arguments
    QStringView defaultExtension; // ".rom": added to a file name typed without one
    std::array<QStringView, 3> extensions; // "rom", "mx1", "mx2" (empty where fewer)
    QStringView interfacePrefix;  // a software list's part interface begins with this
    QStringView slotName;         // "スロットＡ": the entry dialog's slot list
    QStringView mediaText;        // "ROM": field 2 of a line made from a file
    QStringView setCounter;       // "枚組": after the number of a set's disks or tapes
};

// Cartridge, tape, disk, in slot order.
const std::array<MediaKind, 3> &mediaKinds();
const MediaKind &kindOf(Media media);

// The media whose option begins the launch arguments.
std::optional<Media> mediaOfLaunchArgs(QStringView launchArgs);
// The media a file's extension stands for (.rom .mx1 .mx2, .cas, .dsk; any case).
std::optional<Media> mediaOfFileName(QStringView fileName);
// The media a software list's part interface stands for ("msx_cart", "msx_cass", "floppy_3_5").
std::optional<Media> mediaOfInterface(QStringView interface);

// The option for a slot, or an empty text when none is chosen.
QString mediaOption(std::optional<Media> media);
QString defaultExtension(std::optional<Media> media);

// Whether a file found in a folder is taken as a game: a media extension, or a zip.
bool isGameFileName(QStringView fileName);
bool isZipFileName(QStringView fileName);

} // namespace catalogue
