#pragma once

#include "system_error.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// The folder that holds the program's executable, without a trailing separator; nothing when
// its name cannot be read as text (a folder named in Shift-JIS bytes on a UTF-8 system), so
// that no other folder is ever taken for it.
std::optional<QString> executableFolder();

// The name of a folder given in the system's own bytes, or nothing when those bytes are not
// text in the system's encoding.
std::optional<QString> folderName(const QByteArray &nativePath);

// Where the program keeps its data: the executable's folder when it holds a data folder
// tarumin/ (a portable folder: copy it anywhere and it runs), otherwise a folder of the user's
// own, seeded once from the installed template.
struct ProgramFolderChoice
{
    enum class Kind {
        Portable,
        PerUser,
        Unnameable,   // the executable's folder has a name that is not text
        CannotCreate, // the user's folder could not be made (folder, system)
    };
    Kind kind = Kind::Portable;
    QString folder;
    SystemError system;
};

struct InstalledParts
{
    QString perUserFolder;  // e.g. ~/.local/share/tarumin
    QString templateFolder; // the installed share/tarumin: tarumin/, hash/, sample games
    QString adapter;        // the installed emulator adapter, linked in as mess.exe
};

// The user's own program folder for a program of that name: on Linux and BSD under
// $XDG_DATA_HOME (ignored when it is not an absolute path, as the XDG rules say) or
// ~/.local/share; elsewhere the system's place for a program's data.
QString perUserFolder(const QString &programName);
// The user's cache folder for the program (~/.cache/tarumin; XDG_CACHE_HOME honoured).
QString perUserCacheFolder(const QString &programName);

// Chooses the program folder. The user's folder is seeded only when it has no tarumin/ yet,
// all or nothing: the template's files and a link mess.exe to the adapter are put together in
// a folder beside it, which then takes its place (or, when the folder is there already, whose
// files move in where the folder has none, tarumin/ last).
ProgramFolderChoice chooseProgramFolder(const std::optional<QString> &executableFolder,
                                        const InstalledParts &parts);

// The program's folder followed by a relative path written the Windows way, beginning with a
// backslash ("\tarumin\list.csv"). Nothing is added or removed between the two; on systems
// whose separator is "/" the backslashes of the relative path become slashes.
QString joinPath(const QString &folder, const QString &relative);

} // namespace platform
