#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace platform {

// The file-open dialog. The filter is written the Windows way, description and pattern
// separated by "|" ("ゲームイメージ　(*.*)|*.*"); "*.*" means every file. Returns the chosen
// file's full path, or nothing when the user cancelled.
std::optional<QString> pickFileToOpen(QWidget *parent, const QString &filter,
                                      const QString &startFolder);

// The folder dialog; the chosen folder, or nothing when the user cancelled. Tests answer it
// through the same handler, with the filter "<folder>".
std::optional<QString> pickFolder(QWidget *parent, const QString &caption, const QString &startFolder);

// Lets tests answer in place of the dialog; pass nothing to restore the real one.
using FilePickerHandler = std::function<std::optional<QString>(const QString &filter)>;
void setFilePickerHandler(FilePickerHandler handler);

// The filter in the toolkit's form ("description (pattern)", one per line).
QString toolkitFilter(const QString &filter);

} // namespace platform
