#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

Language chosenLanguage(const QString &remembered)
{
    for (const QString &wanted : {qEnvironmentVariable("TARUMIN_LANG"), remembered}) {
        if (wanted == QLatin1String("ja"))
            return Language::Japanese;
        if (wanted == QLatin1String("en"))
            return Language::English;
    }
    const QString first = QLocale::system().uiLanguages().value(0);
    if (first.isEmpty() || first == QLatin1String("C") || first.startsWith(QLatin1String("C."))
        || first == QLatin1String("POSIX") || first.startsWith(QLatin1String("ja")))
        return Language::Japanese;
    return Language::English;
}

bool installProgramTranslations(QCoreApplication &app, Language language)
{
    if (language == Language::Japanese)
        return true;
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral(":/i18n/tarumin_en.qm"))) {
        QCoreApplication::installTranslator(translator);
        return true;
    }
    delete translator;
    return false;
}

bool installQtTranslations(QCoreApplication &app, Language language)
{
    if (language == Language::English)
        return true;
    auto *translator = new QTranslator(&app);
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    if (translator->load(QStringLiteral("qtbase_ja"), beside)
        || translator->load(QStringLiteral("qtbase_ja"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        return true;
    }
    delete translator;
    return false;
}

bool installJapaneseTranslations(QCoreApplication &app)
{
    return installQtTranslations(app, Language::Japanese);
}

} // namespace platform
