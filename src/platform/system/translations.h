#pragma once

class QCoreApplication;

namespace platform {

// Loads Qt's own Japanese texts (standard buttons, the file picker), so that no English button
// shows in the program's Japanese windows. They are looked for beside the program first (a
// Windows folder ships them there), then where Qt keeps its translations. Returns whether they
// were found.
bool installJapaneseTranslations(QCoreApplication &app);

} // namespace platform
