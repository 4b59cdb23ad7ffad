#pragma once

#include <QString>

class QCoreApplication;

namespace platform {

enum class Language { Japanese, English };

// The language the program speaks: TARUMIN_LANG ("ja" or "en") first, then the user's own
// choice (the same words; anything else leaves it to the system), then the first of the
// system's UI languages: Japanese when it is Japanese or when the system names none (the C
// locale), as the program always was; English for any other.
Language chosenLanguage(const QString &remembered = {});

// Puts the program's own words in the language (Japanese needs nothing: it is what they are
// written in). Returns false when the translation built into the program cannot be read.
bool installProgramTranslations(QCoreApplication &app, Language language);

// Qt's own words (standard buttons, the file picker) in the language: its Japanese texts are
// looked for beside the program first (a Windows folder ships them there), then where Qt keeps
// its translations; its English ones are the words it is written in. Returns whether the
// words are in place.
bool installQtTranslations(QCoreApplication &app, Language language);

// As installQtTranslations(app, Language::Japanese).
bool installJapaneseTranslations(QCoreApplication &app);

} // namespace platform
