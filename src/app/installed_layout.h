#pragma once

// Where an installed copy of the program finds its parts, relative to its own folder (the
// paths are set by the build from the install layout), shared by the program and the import
// tool so that both take the same program folder.
#include "platform/system/identity.h"
#include "platform/system/paths.h"
#include "platform/system/program_folder.h"

#include <QFileInfo>

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

// A run as root acts as the owner of the program folder it is about to use: the portable
// folder, the user's own folder (or where it will be made), or the folder given.
inline platform::Identity actAsFolderOwner(const std::optional<QString> &executableFolder,
                                           const platform::InstalledParts &parts,
                                           const QString &givenFolder = QString())
{
    QString root = givenFolder;
    if (root.isEmpty() && executableFolder
        && QFileInfo(platform::ProgramFolder(*executableFolder).dataFolder()).isDir())
        root = *executableFolder;
    if (root.isEmpty())
        root = parts.perUserFolder;
    const platform::ProgramFolder folder(root);
    return platform::actAsOwnerOf({root, folder.dataFolder(), folder.catalogue(), folder.copiedGames()});
}
