// tarumin-import: identifies game files against the MSX software lists and registers them in
// the catalogue in one locked append.
//
//   tarumin-import [--write] [--folder PROGRAM_FOLDER] PATH...
#include "batch.h"
#include "snapshots.h"
#include "installed_layout.h"
#include "main_window/messages.h"
#include "platform/system/codepage.h"
#include "platform/system/modules.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QDir>

#include <cstdio>

namespace {

void say(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

int refuse(const QString &text)
{
    std::fprintf(stderr, "tarumin-import: %s\n", text.toLocal8Bit().constData());
    return 2;
}

QString report(const onboarding::BatchItem &item)
{
    using Outcome = onboarding::BatchItem::Outcome;
    const QString path = QDir::toNativeSeparators(item.path);
    switch (item.outcome) {
    case Outcome::Identified:
        return QStringLiteral("識別しました     %1 — %2（%3）")
            .arg(path, item.known->description, item.known->listName);
    case Outcome::NotIdentified: return QStringLiteral("識別できません   %1").arg(path);
    case Outcome::AlreadyThere: return QStringLiteral("登録済みです     %1").arg(path);
    case Outcome::DoesNotFit: return QStringLiteral("1001 件に入りません %1").arg(path);
    case Outcome::NotAGame: return QStringLiteral("登録できません   %1: %2").arg(path, item.why);
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    // Snapshots are cropped and saved as pictures, which needs the picture code of a GUI
    // program, though no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarumin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARUMIN_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Identifies MSX game files (.rom .mx1 .mx2 .cas .dsk, or a .zip holding one) by their SHA-1\n"
        "against the software lists in the program folder's hash/ and registers them in its\n"
        "catalogue. Without --write it only says what it would add."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption write(QStringLiteral("write"), QStringLiteral("Add the lines to the catalogue."));
    const QCommandLineOption folderOption(QStringLiteral("folder"),
                                          QStringLiteral("The program folder (default: Tarumin's own)."),
                                          QStringLiteral("PROGRAM_FOLDER"));
    const QCommandLineOption snapshots(QStringLiteral("snapshots"),
                                       QStringLiteral("With --write: photograph each newly registered cartridge in openMSX\n"
                                                      "(on this display, or a virtual one) where it has no snapshot yet."));
    parser.addOption(write);
    parser.addOption(folderOption);
    parser.addOption(snapshots);
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("Game files or folders."),
                                 QStringLiteral("PATH..."));
    parser.process(app);
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return refuse(QStringLiteral("登録するファイルかフォルダーを指定してください（--help で使い方）。"));

    QString folder;
    if (parser.isSet(folderOption)) {
        folder = QDir(parser.value(folderOption)).absolutePath();
        if (!QFileInfo(folder).isDir())
            return refuse(QStringLiteral("プログラムフォルダー %1 がありません。").arg(folder));
    } else {
        const std::optional<QString> executable = platform::executableFolder();
        const platform::ProgramFolderChoice choice =
            platform::chooseProgramFolder(executable, installedParts(executable));
        if (const QString problem = messages::programFolderProblem(choice); !problem.isEmpty())
            return refuse(problem);
        folder = choice.folder;
    }
    const std::optional<QString> executable = platform::executableFolder();
    platform::setModuleFolders({executable.value_or(QString()), installedModuleFolder(executable)});
    const QString listPath = folder + QStringLiteral("/tarumin/list.csv");

    const onboarding::SoftwareLists lists = onboarding::loadSoftwareLists(folder);
    QList<onboarding::BatchItem> items =
        onboarding::identify(onboarding::collectGameFiles(paths), lists, folder);

    const catalogue::CatalogueFile file(listPath);
    QList<QByteArray> lines;
    if (parser.isSet(write)) {
        const auto error = file.appendChosen([&](const catalogue::LineTable &table) {
            lines = onboarding::settle(items, table, folder);
            return lines;
        });
        if (error) {
            for (const auto &item : items)
                say(report(item));
            return refuse(messages::changeFailed(messages::Change::Register, *error));
        }
    } else {
        catalogue::LineTable table;
        if (const catalogue::LoadResult loaded = file.load(table); loaded.error)
            return refuse(messages::loadProblem(loaded));
        lines = onboarding::settle(items, table, folder);
    }

    for (const auto &item : items) {
        say(report(item));
        if (!item.replaced.isEmpty())
            say(QStringLiteral("    リストファイルに書けない文字を「？」にしました: %1").arg(item.replaced.join(u' ')));
    }
    if (parser.isSet(snapshots) && parser.isSet(write)) {
        // The machine the adapter starts for MSX2J.
        const QString machine = qEnvironmentVariable("TARUMIN_MSX2J_MACHINE", QStringLiteral("C-BIOS_MSX2_JP"));
        const QString snapFolder = folder + QStringLiteral("/tarumin/snap");
        for (const QByteArray &line : lines) {
            const catalogue::Entry entry = catalogue::entryFromLine(line);
            if (entry.slot != 0)
                continue; // only cartridges start on their own
            const QString name = entry.gameFileName;
            if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\')
                || QFile::exists(snapFolder + u'/' + name + QStringLiteral(".gif"))
                || QFile::exists(snapFolder + u'/' + name + QStringLiteral(".png")))
                continue;
            const QString file = onboarding::fileNamedBy(line, folder);
            const QString why = onboarding::takeSnapshot(file, machine, snapFolder, name);
            say(why.isEmpty() ? QStringLiteral("画面写真を撮りました %1.png").arg(name)
                              : QStringLiteral("画面写真を撮れません %1: %2").arg(name, why));
        }
    }
    say(parser.isSet(write) ? QStringLiteral("追加した行（%1）:").arg(lines.size())
                            : QStringLiteral("追加する行（%1、--write で追加します）:").arg(lines.size()));
    for (const QByteArray &line : lines)
        say(platform::decodeCp932(line));
    return 0;
}
