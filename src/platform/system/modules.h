#pragma once

#include <QFunctionPointer>
#include <QString>
#include <QStringList>

// Parts of the program that live in modules of their own (the sound output, the zip reader),
// loaded when first needed so that the libraries they bring in stay out of start-up.
namespace platform {

// The folders modules are looked for in, first to last; the program's own folder by default.
void setModuleFolders(const QStringList &folders);
QStringList moduleFolders();

// A function of a module (by its base name, "tarumin-sound"), loaded from the first folder that
// has it and kept loaded for the rest of the run; nothing when no folder has it.
QFunctionPointer moduleFunction(const char *module, const char *symbol);

} // namespace platform
