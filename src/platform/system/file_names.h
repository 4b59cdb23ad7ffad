#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// Names of files as the system has them. On Linux a name is bytes: one that is not UTF-8 (a
// Shift-JIS name unzipped from a Windows zip, a name cut in the middle of a character) keeps
// its bytes here, each byte above 0x7F as one of U+DC80..U+DCFF, so that the file can be
// opened again by that name; Qt's own file functions cannot open such a file, the platform's
// can. On Windows names are Unicode and pass as they are.
namespace platform {

QString nameFromSystem(const QByteArray &bytes);
// A path as the system compares paths: clean and absolute, and on Windows in one case.
QString pathKey(const QString &path);
QByteArray nameForSystem(const QString &name);
// Whether the name holds such bytes.
bool holdsRawBytes(const QString &name);
// The name as a person can read it: such bytes read as CP932 where they are CP932, else each
// shown as \xNN. Any other name as it is.
QString readableName(const QString &name);

// The program's arguments, with such names kept.
QStringList commandLineArguments(int argc, char *argv[]);
// The local file a dropped URL names, with such names kept.
QString localFileOf(const QUrl &url);

// Every entry below folder, subfolders first walked into (links are not followed into
// folders), each with what it is.
enum class EntryType { File, Folder, BrokenLink, UnreadableFolder, Other };
void walkFolder(const QString &folder, const std::function<void(const QString &path, EntryType type)> &visit);

} // namespace platform
