#include "installed_layout.h"
#include "main_window/main_window.h"
#include "messages/messages.h"
#include "platform/system/memory.h"
#include "platform/system/modules.h"
#include "platform/system/paths.h"
#include "platform/system/translations.h"
#include "platform/widgets/mci_control.h"
#include "platform/widgets/message_box.h"

#include "platform/widgets/controls.h"
#include "player/player_store.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

namespace {

// The program's words on the command line, written in Japanese.
struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(Program)
};

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(Tr::tr(
        "Tarumin: MSX のゲームの一覧を持ち、選んだゲームをエミュレーター（mess.exe）で起動します。\n"
        "プログラムの隣に tarumin/ フォルダーがあればそこのデータを使い、なければ\n"
        "最初の起動で作る利用者自身のフォルダーを使います。"));
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version are answered without a window, and without a display.
bool answersOnTheCommandLine(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

// Says a problem that ends the program before its window: on the terminal and in a message box,
// in the system's language (the user's own choice is kept in the folder that could not be had).
int endWith(const QString &problem)
{
    std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
    platform::showMessage(nullptr, problem);
    return 1;
}

void name(QCoreApplication &)
{
    QCoreApplication::setApplicationName(QStringLiteral("tarumin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARUMIN_VERSION));
}

} // namespace

int main(int argc, char *argv[])
{
    if (answersOnTheCommandLine(argc, argv)) {
        QCoreApplication core(argc, argv);
        platform::installProgramTranslations(core, platform::chosenLanguage());
        name(core);
        QCommandLineParser parser;
        describe(parser);
        parser.process(core); // prints and ends the program
        return 0;
    }

    QApplication app(argc, argv);
    name(app);
    // The desktop matches the window to its entry by this name and by the window's class.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarumin.Tarumin"));
    QCommandLineParser parser;
    describe(parser);
    parser.process(app); // an option it does not know: said on the terminal, and the end

    const std::optional<QString> executable = platform::executableFolder();
    const platform::InstalledParts parts = installedParts(executable);
    platform::reportOversizedWrites();
    const auto speak = [&app](platform::Language language) {
        platform::installProgramTranslations(app, language);
        platform::installQtTranslations(app, language);
    };
    if (const platform::Identity identity = actAsFolderOwner(executable, parts);
        identity.kind == platform::Identity::Kind::Refused) {
        speak(platform::chosenLanguage());
        return endWith(messages::rootRunRefused(identity.system));
    }
    const platform::ProgramFolderChoice folder = platform::chooseProgramFolder(executable, parts);
    if (!messages::programFolderProblem(folder).isEmpty()) {
        speak(platform::chosenLanguage());
        return endWith(messages::programFolderProblem(folder));
    }
    platform::setModuleFolders({executable.value_or(QString()), installedModuleFolder(executable)});

    // The language: the user's own choice is kept with what Tarumin remembers of them.
    const platform::ProgramFolder programFolder = programFolderOf(folder, parts);
    const platform::Language language = platform::chosenLanguage(
        player::Store::peek(programFolder.dataFolder(), QStringLiteral("settings"))
            .value(QLatin1String("language")).toString());
    platform::installProgramTranslations(app, language);
    // The emulator's adapter and the tools it starts speak the same language.
    qputenv("TARUMIN_LANG", language == platform::Language::English ? "en" : "ja");

    MainWindow window(programFolder);
    platform::releaseFreedMemory();
    window.show();
    if (const QString probe = qEnvironmentVariable("TARUMIN_TEXT_PROBE"); !probe.isEmpty())
        platform::startTextProbe(probe);
    // Qt's own texts are needed by the first message box or file picker, not by the window:
    // they are read once it is on the screen (or after a while, for a window never painted).
    const auto speakQt = [&app, language, done = std::make_shared<bool>(false)] {
        if (!std::exchange(*done, true))
            platform::installQtTranslations(app, language);
    };
    QObject::connect(&window, &MainWindow::firstPainted, &app, speakQt);
    QTimer::singleShot(2000, &app, speakQt);
    return app.exec();
}
