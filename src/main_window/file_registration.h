#pragma once

#include "onboarding/registration.h"
#include "platform/system/program_folder.h"

#include <QString>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

// The game files and folders of a drop on the window (local files only; a name that is not
// UTF-8 kept by its bytes).
QStringList droppedGameFiles(const QMimeData *data);

// Registers game files and folders at once, identified against the software lists, as a drop
// on the window does: a cancellable progress dialog when it takes longer than half a second,
// then one message with the counts. reread is called once the catalogue may have changed,
// before that message. Returns false when the window was closed meanwhile (nothing written).
bool registerWithProgress(QWidget *window, const platform::ProgramFolder &folder, const QString &catalogue,
                          const QStringList &paths, onboarding::Adding adding, const std::function<void()> &reread);
