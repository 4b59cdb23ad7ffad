#pragma once

#include <QString>

namespace platform {

// The folder that holds the program's executable, without a trailing separator.
QString programFolder();

// The program's folder followed by a relative path written the Windows way, beginning with a
// backslash ("\tarumin\list.csv"). Nothing is added or removed between the two; on systems
// whose separator is "/" the backslashes of the relative path become slashes.
QString joinPath(const QString &folder, const QString &relative);

} // namespace platform
