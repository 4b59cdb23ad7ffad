#pragma once

// Where an installed copy of the program finds its parts, relative to its own folder (the
// paths are set by the build from the install layout), shared by the program and the import
// tool so that both take the same program folder.
#include "platform/system/paths.h"
#include "platform/system/program_folder.h"


inline platform::InstalledParts installedParts(const std::optional<QString> &executableFolder)
{
    const QString bin = executableFolder.value_or(QString()) + u'/';
    return {platform::perUserFolder(QStringLiteral("tarumin")),
            bin + QStringLiteral(TARUMIN_TEMPLATE_FROM_BIN),
            bin + QStringLiteral(TARUMIN_ADAPTER_FROM_BIN)};
}

// The program folder chosen: an installed program's (per-user) folder also reads the software
// lists installed with the template.
inline platform::ProgramFolder programFolderOf(const platform::ProgramFolderChoice &choice,
                                               const platform::InstalledParts &parts)
{
    if (choice.kind == platform::ProgramFolderChoice::Kind::PerUser)
        return platform::ProgramFolder(choice.folder, parts.templateFolder + QStringLiteral("/hash"));
    return platform::ProgramFolder(choice.folder);
}

// Where the installed modules (sound output, zip reader) are.
inline QString installedModuleFolder(const std::optional<QString> &executableFolder)
{
    return executableFolder.value_or(QString()) + u'/' + QStringLiteral(TARUMIN_MODULE_FROM_BIN);
}
