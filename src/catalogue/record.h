#pragma once

#include "media.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <variant>

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

// The texts of the entry dialog, as typed, in the order of the line's fields.
enum class Field { GameName, Media, ReleaseDate, Maker, Price, Description, GameFileName };
inline constexpr int EntryTextCount = 7;

struct Entry
{
    QString gameName;
    QString media;
    QString releaseDate;
    QString maker;
    QString price;
    QString description;
    QString gameFileName;
    std::optional<Media> slot; // none chosen yet
    // The name of a file that is there, written exactly: no default extension is added to a
    // name without one (as it is to a name typed by hand).
    bool fileNameExact = false;

    const QString &text(Field field) const;
    QString &text(Field field);
    bool operator==(const Entry &) const = default;
};

// What a line holds, as text: fields 1 to 6 decoded, field 7 (the snapshot name) and the
// media named by field 8's option.
struct LineEntry
{
    Entry texts;      // fields 1 to 6, and slot; texts.gameFileName stays empty
    QString snapName; // field 7

    // The entry as the entry dialog shows it for an edit: the snapshot name stands in the
    // file-name box, and an edit that leaves it there keeps fields 7 and 8 as they are.
    Entry asShown() const
    {
        Entry shown = texts;
        shown.gameFileName = snapName;
        return shown;
    }
};
LineEntry entryFromLine(QByteArrayView line);

// The snapshot name and launch arguments made from the game file name and the slot. The
// snapshot name is the file's own name, without its folders, up to its first "."; a name
// holding a blank or a double quote is quoted in the launch arguments the way a Windows
// command line is split, so that it stays one argument.
QString snapNameFor(const QString &gameFileName);
// One argument of a command line that is split the Windows way: quoted when it holds a blank
// or a quote, with backslashes doubled where they come before a quote.
QString quotedArgument(const QString &argument);
QString launchArgsFor(const QString &gameFileName, std::optional<Media> slot, bool exact = false);

// The catalogue line for an entry, as text, the texts taken as they stand.
QString composeLine(const Entry &entry);

// Every line break (CR LF, CR, LF, or a Unicode line or paragraph separator) becomes one
// blank, so that a field never splits a record over two lines.
QString foldLineBreaks(const QString &text);

// The text with each character CP932 cannot hold replaced; those characters, each once, are
// added to found.
QString replaceUnwritable(const QString &text, const QString &replacement, QStringList *found);

// Why an entry cannot become a line.
struct EntryProblem
{
    enum class Kind {
        Comma,      // a comma in fields 1 to 6, or in the file's name before its first "."
        Unwritable, // a character that CP932 cannot hold
        NoName,     // a game name of blanks only, or none
    };
    Kind kind = Kind::Comma;
    Field field = Field::GameName;
    QString character; // Unwritable: the first such character
};

// Where an edit started: the line as read, and the entry as the dialog showed it.
struct EditBase
{
    QByteArray line;
    Entry shown;
};

// The line's bytes for an entry, or why there can be none. Line breaks become blanks; commas
// and characters CP932 cannot hold are refused. For an edit (base given) what the user left as
// it was shown keeps its bytes: an untouched entry gives back the line itself, a field left
// alone its old bytes, and fields 7 and 8 stay as they were unless the file name changed, in
// which case both are made again (a default extension added to a name typed without one); a
// changed slot alone changes only the media option in front of field 8's file.
std::variant<QByteArray, EntryProblem> checkedLine(const Entry &entry,
                                                   const EditBase *base = nullptr);

} // namespace catalogue
