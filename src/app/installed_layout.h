#pragma once

// Where an installed copy of the program finds its parts, relative to its own folder (the
// paths are set by the build from the install layout), shared by the program and the import
// tool so that both take the same program folder.
#include "platform/system/paths.h"


inline platform::InstalledParts installedParts(const std::optional<QString> &executableFolder)
{
    const QString bin = executableFolder.value_or(QString()) + u'/';
    return {platform::perUserFolder(QStringLiteral("tarumin")),
            bin + QStringLiteral(TARUMIN_TEMPLATE_FROM_BIN),
            bin + QStringLiteral(TARUMIN_ADAPTER_FROM_BIN)};
}

// Where the installed modules (sound output, zip reader) are.
inline QString installedModuleFolder(const std::optional<QString> &executableFolder)
{
    return executableFolder.value_or(QString()) + u'/' + QStringLiteral(TARUMIN_MODULE_FROM_BIN);
}
