// tarumin-import: identifies game files against the MSX software lists and registers them in
// the catalogue in one locked append.
//
//   tarumin-import [--write] [--folder PROGRAM_FOLDER] PATH...
#include "installed_layout.h"
#include "messages/messages.h"
#include "onboarding/registration.h"
#include "onboarding/snapshots.h"
#include "platform/system/codepage.h"
#include "platform/system/console.h"
#include "platform/system/file_names.h"
#include "platform/system/modules.h"
#include "platform/system/program_folder.h"
#include "platform/system/translations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The tool's words on the command line, written in Japanese.
struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(Import)
};

void say(const QString &text)
{
    platform::writeLine(platform::Stream::Out, text);
}

// The description as the parser lays out its options' texts: words to 79 columns.
QString wrapped(const QString &text)
{
    QString out, line;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > 79) {
            out += line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return out + line;
}

int refuse(const QString &text)
{
    platform::writeLine(platform::Stream::Err, QStringLiteral("tarumin-import: ") + text);
    return 2;
}

// Photographs each newly registered cartridge that has no snapshot yet.
void takeSnapshots(const QList<QByteArray> &lines, const platform::ProgramFolder &folder)
{
    // The machine the adapter starts for MSX2J.
    const QString machine = qEnvironmentVariable("TARUMIN_MSX2J_MACHINE", QStringLiteral("C-BIOS_MSX2_JP"));
    for (const QByteArray &line : lines) {
        const catalogue::LineEntry entry = catalogue::entryFromLine(line);
        if (entry.texts.slot != catalogue::Media::Cartridge)
            continue; // only cartridges start on their own
        const QString &name = entry.snapName;
        const QStringList candidates = folder.snapshotCandidates(name);
        if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || candidates.isEmpty()
            || QFile::exists(candidates.at(0)) || QFile::exists(candidates.at(1)))
            continue;
        const QString file = onboarding::fileNamedBy(line, folder);
        say(messages::snapshotTaken(
            onboarding::takeSnapshot(file, machine, folder.snapshotFolder(), name), name));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    platform::installProgramTranslations(app, platform::chosenLanguage());
    QCoreApplication::setApplicationName(QStringLiteral("tarumin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARUMIN_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(wrapped(Tr::tr(
        "MSX のゲームのファイル（.rom .mx1 .mx2 .cas .dsk、またはそれを１つ入れた .zip）を "
        "SHA-1 でプログラムフォルダーの hash/ のソフトウェアリストと照らし合わせて識別し、 "
        "その一覧に登録します。 --write がなければ、追加するものを示すだけです。")));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption write(QStringLiteral("write"), Tr::tr("行を一覧に追加します。"));
    const QCommandLineOption folderOption(QStringLiteral("folder"),
                                          Tr::tr("プログラムフォルダー（省略時は Tarumin のもの）。"),
                                          QStringLiteral("PROGRAM_FOLDER"));
    const QCommandLineOption snapshots(QStringLiteral("snapshots"),
                                       Tr::tr("--write と合わせて: 新しく登録したカートリッジのうち画面写真のないものを、"
                                              "openMSX で撮ります（この画面か、仮想画面で）。"));
    const QCommandLineOption copy(QStringLiteral("copy"),
                                  Tr::tr("すべてのゲームのファイルをプログラムフォルダーの games/ にコピーし、"
                                         "そのコピーを登録します。ゲームを中に持つプログラムフォルダー向けです"
                                         "（一覧に書けない名前のファイルは、いつもコピーします）。"));
    const QCommandLineOption relink(QStringLiteral("relink"),
                                    Tr::tr("ファイルがなくなった行のゲームを、渡したファイルの中から（中身で）探し、"
                                           "その行が今の場所を指すようにするだけです。何も追加しません。"
                                           "ほかと同じく、--write のときだけ書きます。"));
    parser.addOption(write);
    parser.addOption(relink);
    parser.addOption(copy);
    parser.addOption(folderOption);
    parser.addOption(snapshots);
    parser.addPositionalArgument(QStringLiteral("PATH"), Tr::tr("ゲームのファイルかフォルダー。"),
                                 QStringLiteral("PATH..."));
    // The parser's own errors would carry the application's name ("tarumin"), which is the
    // window program's: the tool names itself.
    // Names that are not UTF-8 (a Shift-JIS name from a Windows zip) are kept as they are.
    if (!parser.parse(platform::commandLineArguments(argc, argv))) {
        platform::writeLine(platform::Stream::Err, QStringLiteral("tarumin-import: ") + parser.errorText());
        platform::writeLine(platform::Stream::Err, Tr::tr("使い方は「tarumin-import --help」で。"));
        return 1;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        // The usage line names the tool, not the path it was started by (on Windows a full
        // path that would break the 80 columns).
        QString help = parser.helpText();
        const qsizetype usage = help.indexOf(u' ');
        const qsizetype options = help.indexOf(QStringLiteral(" [options]"));
        if (usage > 0 && options > usage)
            help.replace(usage + 1, options - usage - 1, QStringLiteral("tarumin-import"));
        if (help.endsWith(u'\n'))
            help.chop(1);
        platform::writeLine(platform::Stream::Out, help);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        platform::writeLine(platform::Stream::Out, QStringLiteral("tarumin-import " TARUMIN_VERSION));
        return 0;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return refuse(messages::importNothingGiven());

    const std::optional<QString> executable = platform::executableFolder();
    platform::reportOversizedWrites();
    const QString given = parser.isSet(folderOption) ? QDir(parser.value(folderOption)).absolutePath() : QString();
    if (const platform::Identity identity = actAsFolderOwner(executable, installedParts(executable), given);
        identity.kind == platform::Identity::Kind::Refused)
        return refuse(messages::rootRunRefused(identity.system));
    platform::ProgramFolder folder;
    if (parser.isSet(folderOption)) {
        folder = platform::ProgramFolder(QDir(parser.value(folderOption)).absolutePath());
        if (!QFileInfo(folder.root()).isDir())
            return refuse(messages::importFolderMissing(folder.root()));
    } else {
        const platform::InstalledParts parts = installedParts(executable);
        const platform::ProgramFolderChoice choice = platform::chooseProgramFolder(executable, parts);
        if (const QString problem = messages::programFolderProblem(choice); !problem.isEmpty())
            return refuse(problem);
        folder = programFolderOf(choice, parts);
    }
    platform::setModuleFolders({executable.value_or(QString()), installedModuleFolder(executable)});
    const bool writing = parser.isSet(write);

    const onboarding::Registration done = onboarding::registerGameFiles(
        paths, folder, catalogue::CatalogueFile(folder.catalogue()),
        writing ? onboarding::Writing::Write : onboarding::Writing::DryRun, {},
        parser.isSet(copy) ? onboarding::Copying::Mode::All : onboarding::Copying::Mode::WhenNeeded,
        parser.isSet(relink) ? onboarding::Adding::RelinkOnly : onboarding::Adding::Register);
    for (const auto &problem : done.listProblems)
        say(messages::listSkipped(problem));
    for (const auto &item : done.items) {
        say(messages::importedItem(item, writing && !done.error));
        if (!done.error && !item.replaced.isEmpty())
            say(messages::replacedCharacters(item.replaced));
    }
    if (done.error) {
        if (!writing)
            return refuse(messages::loadProblem({false, 0, false, done.error}));
        return refuse(messages::changeFailed(messages::Change::Import, *done.error));
    }
    if (parser.isSet(snapshots) && writing)
        takeSnapshots(done.lines, folder);
    if (parser.isSet(relink))
        say(messages::importedRelinks(onboarding::countOf(done.items).relinked, writing));
    else
        say(messages::importedLines(done.lines.size(), writing));
    for (const QByteArray &line : done.lines)
        say(platform::decodeCp932(line));
    if (const int copies = onboarding::countOf(done.items).copied)
        say(messages::importedCopies(copies, writing));
    if (writing) // the totals the window shows after a drop
        say(messages::batchRegistered(done.items, {}));
    return 0;
}
