// mess.exe for openMSX and MAME: takes the command line Tarumin gives MESS and starts openMSX
// (or, where there is no openMSX, MAME) instead, as its child, on a machine this user has the
// ROMs of; what the emulator says is kept back, and a refusal is said in Japanese.
//
//   mess.exe MSX2J|MSXJ [-CART FMPAC.ROM] [-cart FILE | -cass FILE | -flop FILE]
//   mess.exe --machines      what each request would start, and why one cannot be served
//
// Exit status when nothing is started: 2 a command line this adapter does not understand,
// 3 a game file that is not there, 4 media no machine here can load.
#include "adapter/machine_world.h"
#include "adapter/machines.h"
#include "adapter/mame.h"
#include "adapter/media_sets.h"
#include "adapter/refusals.h"
#include "catalogue/launch_request.h"
#include "platform/system/console.h"
#include "platform/system/file_names.h"
#include "platform/system/handover.h"
#include "platform/system/translations.h"
#include "platform/system/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdlib>

using namespace adapter;


namespace {
// The adapter's words, written in Japanese.
struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(Adapter)
};
} // namespace

namespace {

void say(const QString &text)
{
    platform::writeLine(platform::Stream::Err, QStringLiteral("mess.exe (openMSX): ") + text);
}

int refuse(int status, const QString &text)
{
    say(text);
    return status;
}

QString whereRoms()
{
    return Tr::tr("openMSX は ROM を %1/systemroms と /usr/share/openmsx/systemroms で探します").arg(openMsxUserShare());
}

QString wantName(Want want)
{
    return want == Want::MSXJ ? QStringLiteral("MSXJ") : QStringLiteral("MSX2J");
}

QString overrideVariable(Want want)
{
    return QStringLiteral("TARUMIN_%1_MACHINE").arg(wantName(want));
}

QString freeMachine(Want want)
{
    return want == Want::MSXJ ? QStringLiteral("C-BIOS_MSX1_JP") : QStringLiteral("C-BIOS_MSX2_JP");
}

QString fmpacMachine()
{
    return qEnvironmentVariable("TARUMIN_FMPAC_MACHINE", QStringLiteral("C-BIOS_MSX2+_JP"));
}

Tester testerOf(MachineWorld &world)
{
    return [&world](const QString &machine, const QString &extension) { return world.test(machine, extension); };
}

// The free MSX-MUSIC of C-BIOS in a cartridge slot, for an MSX1 asked for with FM-PAC.
void writeMusicExtension()
{
    const QString file = openMsxUserShare() + QStringLiteral("/extensions/tarumin_msx_music.xml");
    if (QFileInfo::exists(file))
        return;
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (!out.open(QIODevice::NewOnly | QIODevice::WriteOnly))
        return;
    out.write(R"(<?xml version="1.0" ?>
<!DOCTYPE msxconfig SYSTEM 'msxconfig2.dtd'>
<msxconfig>
  <info>
    <name>MSX-MUSIC (C-BIOS)</name>
    <description>The free C-BIOS MSX-MUSIC ROM in a cartridge slot, in place of an FM-PAC.</description>
    <type>external MSX-MUSIC</type>
  </info>
  <devices>
    <primary slot="any">
      <secondary slot="any">
        <MSX-MUSIC id="MSX-MUSIC">
          <mem base="0x4000" size="0x4000"/>
          <io base="0x7C" num="2" type="O"/>
          <rom>
            <sha1>5c5eb001e6a1fe29edb7abd428a3967bb388e5db</sha1>
            <filename>cbios_music.rom</filename>
          </rom>
          <sound><volume>9000</volume></sound>
        </MSX-MUSIC>
      </secondary>
    </primary>
  </devices>
</msxconfig>
)");
}

// The emulator behind mess.exe: TARUMIN_EMULATOR, else the word in tarumin-emulator.txt beside
// this program ("openmsx" or "mame"), else openMSX where it is found, else MAME where it is.
enum class Route { OpenMsx, Mame };

QString mameProgram()
{
    const QString set = qEnvironmentVariable("TARUMIN_MAME");
    return !set.isEmpty() ? set : platform::emulatorPlaces(QStringLiteral("mame"), QStringLiteral("MAME")).value(0);
}

std::optional<Route> routeAskedFor(QString *word)
{
    QString asked = qEnvironmentVariable("TARUMIN_EMULATOR").trimmed().toLower();
    if (asked.isEmpty()) {
        QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/tarumin-emulator.txt"));
        if (file.open(QIODevice::ReadOnly))
            asked = QString::fromUtf8(file.readLine(256)).trimmed().toLower();
    }
    *word = asked;
    if (asked == QLatin1String("openmsx"))
        return Route::OpenMsx;
    if (asked == QLatin1String("mame"))
        return Route::Mame;
    return std::nullopt;
}

Route chosenRoute()
{
    QString word;
    if (const std::optional<Route> asked = routeAskedFor(&word))
        return *asked;
    if (!word.isEmpty())
        say(Tr::tr("エミュレータ「%1」はわかりません（openmsx か mame）。見つかったものを使います。").arg(word));
    const QString openmsx = Places::standard().openmsx;
    const bool openmsxThere = QFileInfo(openmsx).isAbsolute() ? QFileInfo(openmsx).isFile()
                                                               : !QStandardPaths::findExecutable(openmsx).isEmpty();
    return !openmsxThere && !mameProgram().isEmpty() ? Route::Mame : Route::OpenMsx;
}

QString mameCache()
{
    return platform::perUserCacheFolder(QStringLiteral("tarumin")) + QStringLiteral("/mame-systems.json");
}

QString mameRomsWhere(const MameWorld &world)
{
    return Tr::tr("MAME は ROM を %1 で探します").arg(QDir::toNativeSeparators(world.rompath().join(Tr::tr("、"))));
}

// MAME: the line in MAME's words, on a Japanese system whose ROMs MAME finds.
int runMame(const QString &program, Want want, std::optional<Media> media, const QString &file, bool fmpac)
{
    const auto sayMame = [](const QString &text) { platform::writeLine(platform::Stream::Err, QStringLiteral("mess.exe (MAME): ") + text); };
    MameWorld world(program, mameCache());
    world.load();
    const Request request{want, media, fmpac};
    const Tester starts = [](const QString &, const QString &) { return Verdict::Starts; };
    const std::optional<Choice> choice = choose(world.owned(), RomIndex{}, world.fmpacThere(), request, starts);
    if (!choice) {
        const QString what = media == Media::Disk ? Tr::tr("ディスクドライブのある")
                             : media == Media::Tape ? Tr::tr("カセットのつなげる")
                                                    : QString();
        sayMame(Tr::tr("%1%2 の日本の機種の ROM がありません（MAME の %3 などの機種）。%4。")
                    .arg(what, wantName(want), want == Want::MSXJ ? Tr::tr("cf2000、hb10") : Tr::tr("fsa1、hbf1xd"),
                         mameRomsWhere(world)));
        return 4;
    }
    Machine system;
    for (const Machine &m : world.owned())
        if (m.name == choice->machine)
            system = m;
    const bool cartridge = choice->extension == QLatin1String("fmpac") && system.cartOption == QLatin1String("-cart1");
    if (fmpac && !system.music && !cartridge)
        sayMame(Tr::tr("FM-PAC: MAME の ROM の場所に msx1_cart の fmpac がないため、FM-PAC なしで %1 を起動します。").arg(system.name));
    const QString path = !media ? QString() : QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    OutputWatch output;
    int status = platform::runWatched(program, mameArguments(system, request, path, cartridge),
                                      [&output](const QByteArray &line) { output.take(line); });
    if (status == 127) {
        sayMame(Tr::tr("MAME（%1）を起動できません。").arg(program));
        return 127;
    }
    for (const OutputWatch::Line &line : output.report(&status))
        platform::writeLine(platform::Stream::Err, (line.ours ? QStringLiteral("mess.exe (MAME): ") : QStringLiteral("MAME: ")) + line.text);
    return status;
}

void listMameMachines()
{
    const QString program = mameProgram();
    if (program.isEmpty())
        return;
    MameWorld world(program, mameCache());
    world.load();
    const auto out = [](const QString &line) { platform::writeLine(platform::Stream::Out, line); };
    out(QString());
    out(Tr::tr("MAME（%1）の日本の MSX %2 機種のうち、ROM のあるもの: %3 機種")
            .arg(QDir::toNativeSeparators(program)).arg(world.systems().size()).arg(world.owned().size()));
    for (const Machine &m : world.owned())
        out(Tr::tr("  %1（%2%3%4%5）")
                .arg(m.name, m.generation, m.disk ? Tr::tr("、ディスク") : QString(),
                     m.tape ? Tr::tr("、テープ") : QString(), m.music ? Tr::tr("、FM 音源") : QString()));
}

int listMachines()
{
    MachineWorld world(Places::standard());
    world.load();
    const Tester test = testerOf(world);
    QStringList usable;
    int japanese = 0;
    for (const Machine &m : world.machines()) {
        if (candidates({m}, Request{m.generation == QLatin1String("MSX") ? Want::MSXJ : Want::MSX2J, std::nullopt, false}).isEmpty())
            continue;
        ++japanese;
        if (!world.roms().firstMissing(m.roms).isEmpty() || test(m.name, QString()) == Verdict::DoesNotStart)
            continue;
        usable.append(Tr::tr("  %1（%2%3%4%5）")
                          .arg(m.name, m.generation, m.disk ? Tr::tr("、ディスク") : QString(),
                               m.tape ? Tr::tr("、テープ") : QString(),
                               m.music ? Tr::tr("、MSX-MUSIC") : QString()));
    }
    const auto out = [](const QString &line) { platform::writeLine(platform::Stream::Out, line); };
    out(Tr::tr("openMSX の日本の機種 %1 台のうち、起動できるもの: %2 台").arg(japanese).arg(usable.size()));
    for (const QString &line : usable)
        out(line);
    out(QString());
    for (Want want : {Want::MSXJ, Want::MSX2J}) {
        for (Media media : {Media::Cartridge, Media::Tape, Media::Disk}) {
            for (bool fmpac : {false, true}) {
                const QString what = media == Media::Cartridge ? Tr::tr("カートリッジ")
                                     : media == Media::Tape    ? Tr::tr("テープ")
                                                               : Tr::tr("ディスク");
                const QString label = wantName(want) + u' ' + what + (fmpac ? Tr::tr("＋FM-PAC") : QString());
                const QString override = qEnvironmentVariable(overrideVariable(want).toLatin1().constData());
                const Request request{want, media, fmpac};
                if (!override.isEmpty()) {
                    out(Tr::tr("%1: %2（環境変数 %3）").arg(label, override, overrideVariable(want)));
                } else if (const std::optional<Choice> c = choose(world.machines(), world.roms(), world.fmpacRomThere(), request, test)) {
                    out(label + QStringLiteral(": ") + c->machine
                        + (c->extension.isEmpty() ? QString() : QStringLiteral(" -ext ") + c->extension));
                } else if (media == Media::Cartridge) {
                    const QString free = fmpac && want == Want::MSX2J ? fmpacMachine() : freeMachine(want);
                    out(Tr::tr("%1: %2（無料の C-BIOS）").arg(label, free));
                } else {
                    const QList<Machine> list = candidates(world.machines(), request);
                    if (list.isEmpty()) {
                        out(label + Tr::tr(": 起動できません。この条件に合う日本の機種の設定が openMSX にありません。"));
                        continue;
                    }
                    const Machine &first = list.first();
                    QString why = world.roms().firstMissing(first.roms);
                    if (why.isEmpty())
                        world.test(first.name, QString(), &why);
                    out(Tr::tr("%1: 起動できません。いちばん先に選ぶ機種 %2 の ROM がありません%3。%4。")
                            .arg(label, first.name, why.isEmpty() ? QString() : Tr::tr("（") + why + Tr::tr("）"),
                                 whereRoms()));
                }
            }
        }
    }
    world.save();
    listMameMachines();
    return 0;
}

} // namespace

namespace {

// openMSX: on a machine this user owns (or C-BIOS for a cartridge), the set staged, openMSX
// run and watched.
int runOpenMsx(Want want, std::optional<Media> media, const QString &file, bool fmpac)
{
    const QString machineName = wantName(want);
    QString machine, extension;
    const QString override = qEnvironmentVariable(overrideVariable(want).toLatin1().constData());
    if (!override.isEmpty()) {
        machine = override;
        if (fmpac && !machine.startsWith(QLatin1String("C-BIOS")))
            extension = QStringLiteral("fmpac");
    } else {
        MachineWorld world(Places::standard());
        world.load();
        const std::optional<Choice> choice =
            choose(world.machines(), world.roms(), world.fmpacRomThere(), Request{want, media, fmpac}, testerOf(world));
        world.save();
        if (choice) {
            machine = choice->machine;
            extension = choice->extension;
            if (choice->withoutFmpac)
                say(Tr::tr("FM-PAC の ROM がないため、FM-PAC なしで %1 を起動します。").arg(machine));
        } else {
            machine = freeMachine(want);
            const QString check = Tr::tr("どの機種が使えるかは「mess.exe --machines」で確かめられます。");
            if (media == Media::Disk)
                return refuse(4, Tr::tr("ディスク「%1」を読める %2 の機種がありません（無料の C-BIOS にはディスクの ROM がありません）。ディスクドライブのある日本の機種の ROM を入れてください。%3。%4")
                                     .arg(file, machineName, whereRoms(), check));
            if (media == Media::Tape)
                return refuse(4, Tr::tr("テープ「%1」を読める %2 の機種がありません（無料の C-BIOS には BASIC がありません）。日本の機種の ROM を入れてください。%3。%4")
                                     .arg(file, machineName, whereRoms(), check));
        }
    }

    if (fmpac && machine.startsWith(QLatin1String("C-BIOS"))) {
        if (want == Want::MSX2J) {
            machine = fmpacMachine();
            say(Tr::tr("FM-PAC: FM-PAC の ROM がないため、代わりに %1 の無料の MSX-MUSIC を使います。").arg(machine));
        } else {
            extension = QStringLiteral("tarumin_msx_music");
            writeMusicExtension();
            say(Tr::tr("FM-PAC: FM-PAC の ROM がないため、代わりに無料の C-BIOS の MSX-MUSIC を %1 に挿します。").arg(machine));
        }
    }

    QStringList openmsx{QStringLiteral("-machine"), machine};
    if (!extension.isEmpty())
        openmsx << QStringLiteral("-ext") << extension;

    // A game of several disks or tapes: staged as a set, the file asked for inserted first.
    std::optional<Staged> staged;
    if (media == Media::Disk || media == Media::Tape) {
        const QString base = platform::privateBase();
        const qint64 pid = QCoreApplication::applicationPid();
        if (QFileInfo(file).suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0) {
            const QList<ZipMember> members = zipParts(file, *media);
            if (members.size() >= 2 || (media == Media::Tape && members.size() == 1))
                staged = stageZip(base, file, members, pid);
        } else {
            // Parts that the catalogue has lines of their own for are games of their own.
            const QString catalogue = QDir::currentPath() + QStringLiteral("/tarumin/list.csv");
            const QStringList set = setOf(file, registeredMediaFiles(catalogue, QDir::currentPath()));
            if (set.size() >= 2)
                staged = stageFiles(base, set, pid);
        }
    }
    const QString first = staged ? staged->parts.first() : QFileInfo(file).absoluteFilePath();
    if (media)
    switch (*media) {
    case Media::Cartridge:
        openmsx << QStringLiteral("-cart") << file;
        break;
    case Media::Tape:
        // The tape loads by itself: the setting first, then the tape (its name from the
        // environment, so that no character of it means anything to openMSX's commands).
        qputenv("TARUMIN_TAPE", platform::nameForSystem(first));
        openmsx << QStringLiteral("-command") << QStringLiteral("set autoruncassettes on") << QStringLiteral("-command")
                << QStringLiteral("cassetteplayer insert $::env(TARUMIN_TAPE)");
        if (staged && staged->parts.size() >= 2)
            say(Tr::tr("テープ %1 本の組です。").arg(staged->parts.size()));
        break;
    case Media::Disk:
        if (staged) {
            const QString words = Tr::tr("ディスク %1 枚の組です。ALT+F9 で次のディスクに入れ替えられます。").arg(staged->parts.size());
            say(words);
            openmsx << QStringLiteral("-diska") << first << QStringLiteral("-command")
                    << QStringLiteral("after time 3 {message {%1}}").arg(words);
        } else {
            openmsx << QStringLiteral("-diska") << file;
        }
        break;
    }
    const QString program = Places::standard().openmsx;
    // openMSX runs as our child: what it says is kept back, and a refusal is said in Japanese.
    OutputWatch output;
    int status = platform::runWatched(program, openmsx, [&output](const QByteArray &line) { output.take(line); });
    if (staged)
        QDir(staged->folder).removeRecursively(); // openMSX has ended, or never started
    if (status == 127)
        return refuse(127, Tr::tr("openMSX（%1）を起動できません。openMSX を入れてください。").arg(program));
    for (const OutputWatch::Line &line : output.report(&status))
        platform::writeLine(platform::Stream::Err, (line.ours ? QStringLiteral("mess.exe (openMSX): ") : QStringLiteral("openMSX: ")) + line.text);
    return status;
}

// openMSX from a saved state: the machine, its media and where the game was, all in the state.
int runOpenMsxFromState(const QString &state)
{
    if (!QFileInfo(state).isFile())
        return refuse(3, Tr::tr("保存した状態のファイル「%1」がありません。").arg(QDir::toNativeSeparators(state)));
    const QString program = Places::standard().openmsx;
    OutputWatch output;
    int status = platform::runWatched(program, {QStringLiteral("-savestate"), state},
                                      [&output](const QByteArray &line) { output.take(line); });
    if (status == 127)
        return refuse(127, Tr::tr("openMSX（%1）を起動できません。openMSX を入れてください。").arg(program));
    for (const OutputWatch::Line &line : output.report(&status))
        platform::writeLine(platform::Stream::Err, (line.ours ? QStringLiteral("mess.exe (openMSX): ") : QStringLiteral("openMSX: ")) + line.text);
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Tarumin tells its emulator the language it speaks (TARUMIN_LANG); run alone, the system's.
    platform::installProgramTranslations(app, platform::chosenLanguage());
    const QStringList arguments = platform::commandLineArguments(argc, argv).mid(1);
    if (arguments.value(0) == QLatin1String("--machines"))
        return listMachines();

    const auto parsed = catalogue::LaunchRequest::parse(arguments);
    if (const auto *problem = std::get_if<catalogue::LaunchRequest::Problem>(&parsed)) {
        using Kind = catalogue::LaunchRequest::Problem::Kind;
        const QStringList &w = problem->words;
        switch (problem->kind) {
        case Kind::NoMachine: return refuse(2, Tr::tr("機種が指定されていません（MSX2J か MSXJ）。"));
        case Kind::UnknownMachine: return refuse(2, Tr::tr("機種「%1」はわかりません（MSX2J か MSXJ）。").arg(w.value(0)));
        case Kind::OptionWithoutFile: return refuse(2, Tr::tr("オプション「%1」にファイルがありません。").arg(w.value(0)));
        case Kind::UnknownOption: return refuse(2, Tr::tr("オプション「%1」はわかりません。").arg(w.value(0)));
        case Kind::TwoGames:
            return refuse(2, Tr::tr("ゲームが２つ指定されています（「%1 %2」と「%3 %4」）。").arg(w.value(0), w.value(1), w.value(2), w.value(3)));
        }
    }
    const catalogue::LaunchRequest &request = std::get<catalogue::LaunchRequest>(parsed);
    const QString machineName = request.machine;
    const Want want = machineName == QLatin1String("MSXJ") ? Want::MSXJ : Want::MSX2J;
    const bool fmpac = request.fmpac;
    const QString file = request.file();
    const std::optional<Media> media = request.media();
    if (media && !QFileInfo(file).isFile())
        return refuse(3, Tr::tr("ゲームのファイル「%1」が %2 にありません。").arg(file, QDir::toNativeSeparators(QDir::currentPath())));

    if (!request.state.isEmpty()) {
        if (chosenRoute() != Route::Mame)
            return runOpenMsxFromState(request.state);
        say(Tr::tr("MAME では openMSX で保存した状態から始められません。最初から始めます。"));
    }
    if (chosenRoute() == Route::Mame)
        return runMame(mameProgram(), want, media, file, fmpac);
    return runOpenMsx(want, media, file, fmpac);
}
