#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// One catalogue line: eight fields separated by commas, the eighth being the rest of the line.
// Nothing is quoted. Lines are cut as bytes: in CP932 neither "," nor "." can be the second
// byte of a character, so a byte search never cuts a character in two.
namespace catalogue {

inline constexpr int FieldCount = 8;
inline constexpr int LaunchArgsField = 7;
inline constexpr int SnapNameField = 6;

struct Record
{
    // fields[0] is the game name, fields[6] the snapshot name, fields[7] the launch arguments.
    std::array<QByteArray, FieldCount> fields;
    // How many of the seven cuts found their comma. With fewer than seven, the field after the
    // last cut holds the rest of the line and the fields after it (launch arguments included)
    // are empty.
    int cuts = 0;
};

Record splitRecord(QByteArrayView line);

// The game name as the list shows it: the text before the first comma, or the whole line
// when it has no comma.
QByteArrayView gameNameOf(QByteArrayView line);

// The media slot of the entry dialog: 0 cartridge, 1 tape, 2 disk, -1 none chosen.
QString mediaOption(int slot);
QString defaultExtension(int slot);

// The fields of the entry dialog, as typed.
struct Entry
{
    QString gameName;
    QString media;
    QString hatubai;
    QString maker;
    QString kakaku;
    QString kasetu;
    QString gameFileName;
    int slot = -1;
};

// The snapshot name and launch arguments made from the game file name and the slot.
QString snapNameFor(const QString &gameFileName);
QString launchArgsFor(const QString &gameFileName, int slot);

// The catalogue line for an entry, as text.
QString composeLine(const Entry &entry);

// Every line break (CR LF, CR, LF, or a Unicode line or paragraph separator) becomes one
// blank, so that a field never splits a record over two lines.
QString foldLineBreaks(const QString &text);

} // namespace catalogue
