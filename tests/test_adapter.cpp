// The openMSX adapter's choices, without running it: machine descriptions as openMSX ships
// them, the order in which machines serve a request, and the parts of a set.
#include "adapter/machine_world.h"
#include "adapter/machines.h"
#include "adapter/mame.h"
#include "adapter/media_sets.h"
#include "adapter/refusals.h"
#include "platform/system/emulator_control.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace adapter;

namespace {

Machine machine(const char *name, const char *generation, bool disk, bool tape, bool music)
{
    Machine m;
    m.name = QString::fromLatin1(name);
    m.generation = QString::fromLatin1(generation);
    m.japanese = true;
    m.disk = disk;
    m.tape = tape;
    m.music = music;
    m.roms.append(RomNeed{{QByteArray(name).toHex().leftJustified(40, '0').left(40)}, {}});
    return m;
}

RomIndex owning(const QList<Machine> &machines)
{
    RomIndex index;
    for (const Machine &m : machines)
        index.sha1s.insert(m.roms.first().sha1s.first());
    return index;
}

} // namespace

class TestAdapter : public QObject
{
    Q_OBJECT
private slots:
    // The machines cache is believed only when it is a plain file of the user's own: one
    // planted through a link is read past, and the descriptions read again.
    void cacheIsTheUsersOwn()
    {
        const QString original = QStringLiteral("/usr/share/openmsx/machines/Sony_HB-F1XD.xml");
        if (!QFile::exists(original))
            QSKIP("openMSX's machine descriptions are not installed");
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("machines")));
        QVERIFY(QFile::copy(original, dir.filePath(QStringLiteral("machines/Sony_HB-F1XD.xml"))));
        Places places;
        places.machineFolders = {dir.filePath(QStringLiteral("machines"))};
        places.cacheFile = dir.filePath(QStringLiteral("cache.json"));
        {
            MachineWorld world(places);
            world.load();
            world.save();
        }
        QFile cache(places.cacheFile);
        QVERIFY(cache.open(QIODevice::ReadOnly));
        // The same cache, but for one word: what a planted one would say.
        QJsonObject root = QJsonDocument::fromJson(cache.readAll()).object();
        cache.close();
        QJsonObject descriptions = root.value(QLatin1String("descriptions")).toObject();
        QCOMPARE(descriptions.size(), 1);
        QJsonObject entry = descriptions.begin()->toObject();
        QJsonObject described = entry.value(QLatin1String("machine")).toObject();
        QCOMPARE(described.value(QLatin1String("generation")).toString(), QStringLiteral("MSX2"));
        described.insert(QStringLiteral("generation"), QStringLiteral("Planted"));
        entry.insert(QStringLiteral("machine"), described);
        descriptions.insert(descriptions.begin().key(), entry);
        root.insert(QStringLiteral("descriptions"), descriptions);
        const QByteArray planted = QJsonDocument(root).toJson();
        const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.json"));
        QFile out(elsewhere);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(planted) == planted.size());
        out.close();
        QVERIFY(QFile::remove(places.cacheFile));
        QVERIFY(QFile::link(elsewhere, places.cacheFile));
        MachineWorld world(places);
        world.load();
        QCOMPARE(world.machines().size(), 1);
        QCOMPARE(world.machines().first().generation, QStringLiteral("MSX2"));
    }

    // A ROM replaced at its path (a bad dump swapped for a good one) is hashed again.
    void replacedRomIsHashedAgain()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("systemroms")));
        const QString rom = dir.filePath(QStringLiteral("systemroms/bios.rom"));
        Places places;
        places.romFolders = {dir.filePath(QStringLiteral("systemroms"))};
        places.cacheFile = dir.filePath(QStringLiteral("cache.json"));
        const auto sha1 = [](const QByteArray &data) { return QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex(); };
        const QByteArray bad(32768, 'b'), good(32768, 'g');
        for (const QByteArray &content : {bad, good}) {
            QFile file(rom);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
            file.close();
            // Another time than the last one, as a copy over it has.
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(content == bad ? -60 : 0), QFileDevice::FileModificationTime));
            file.close();
            MachineWorld world(places);
            world.load();
            world.save();
            QVERIFY(world.roms().sha1s.contains(sha1(content)));
            QCOMPARE(world.roms().sha1s.size(), 1);
        }
    }

    // What is read of openMSX's own descriptions, where they are installed.
    void descriptions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("generation");
        QTest::addColumn<bool>("disk");
        QTest::addColumn<bool>("tape");
        QTest::addColumn<bool>("music");
        QTest::newRow("MSX2 with a drive") << "Sony_HB-F1XD" << "MSX2" << true << true << false;
        QTest::newRow("MSX2+ with MSX-MUSIC") << "Panasonic_FS-A1WSX" << "MSX2+" << true << true << true;
        QTest::newRow("MSX1") << "Toshiba_HX-10D" << "MSX" << false << true << false;
        QTest::newRow("no cassette port") << "Pioneer_UC-V102" << "MSX2" << true << false << false;
        QTest::newRow("jp_ansi MSX2") << "Panasonic_FS-A1" << "MSX2" << false << true << false;
        QTest::newRow("jp_ansi MSX1") << "National_CF-2000" << "MSX" << false << true << false;
    }
    void descriptions()
    {
        QFETCH(QString, name);
        const QString file = QStringLiteral("/usr/share/openmsx/machines/") + name + QStringLiteral(".xml");
        if (!QFile::exists(file))
            QSKIP("openMSX's machine descriptions are not installed");
        const std::optional<Machine> m = readMachine(file);
        QVERIFY(m);
        QVERIFY(m->japanese);
        QTEST(m->generation, "generation");
        QTEST(m->disk, "disk");
        QTEST(m->tape, "tape");
        QTEST(m->music, "music");
        QVERIFY(!m->roms.isEmpty());
        for (const RomNeed &rom : m->roms)
            QVERIFY(!rom.sha1s.isEmpty() || !rom.fileName.isEmpty());
    }

    // Which owned machine serves a request, and what openMSX's answers change.
    void choice_data()
    {
        QTest::addColumn<int>("want");      // Want
        QTest::addColumn<int>("media");     // Media
        QTest::addColumn<bool>("fmpac");
        QTest::addColumn<bool>("fmpacRom");
        QTest::addColumn<QStringList>("owned");
        QTest::addColumn<QStringList>("refused"); // what -testconfig says no to
        QTest::addColumn<QString>("expected");    // "machine [ext] [!]" (! FM-PAC dropped), or empty
        const int j1 = int(Want::MSXJ), j2 = int(Want::MSX2J);
        const int cart = int(Media::Cartridge), tape = int(Media::Tape), disk = int(Media::Disk);
        QTest::newRow("disk: the only owned") << j2 << disk << false << false << QStringList{"Z_plus"} << QStringList{} << "Z_plus";
        QTest::newRow("disk: MSX2 before MSX2+") << j2 << disk << false << false << QStringList{"Z_plus", "Y_two"} << QStringList{} << "Y_two";
        QTest::newRow("disk needs a drive") << j2 << disk << false << false << QStringList{"X_nodrive"} << QStringList{} << "";
        QTest::newRow("refused passed over") << j2 << disk << false << false << QStringList{"Y_two", "Z_plus"} << QStringList{"Y_two"} << "Z_plus";
        QTest::newRow("tape on MSX1") << j1 << tape << false << false << QStringList{"A_one", "Y_two"} << QStringList{} << "A_one";
        QTest::newRow("tape needs a port") << j1 << tape << false << false << QStringList{"B_noport"} << QStringList{} << "";
        QTest::newRow("cartridge on owned") << j2 << cart << false << false << QStringList{"X_nodrive"} << QStringList{} << "X_nodrive";
        QTest::newRow("nothing owned") << j2 << cart << false << false << QStringList{} << QStringList{} << "";
        QTest::newRow("FM-PAC: MSX-MUSIC first") << j2 << cart << true << true << QStringList{"Y_two", "Z_plus"} << QStringList{} << "Z_plus";
        QTest::newRow("FM-PAC: the ROM there") << j2 << cart << true << true << QStringList{"Y_two"} << QStringList{} << "Y_two fmpac";
        QTest::newRow("FM-PAC: none to be had") << j2 << cart << true << false << QStringList{"Y_two"} << QStringList{} << "Y_two !";
        QTest::newRow("unknown is taken") << j2 << disk << false << false << QStringList{"Y_two"} << QStringList{"?Y_two"} << "Y_two";
    }
    void choice()
    {
        QFETCH(int, want);
        QFETCH(int, media);
        QFETCH(bool, fmpac);
        QFETCH(bool, fmpacRom);
        QFETCH(QStringList, owned);
        QFETCH(QStringList, refused);
        QFETCH(QString, expected);
        const QList<Machine> all{machine("A_one", "MSX", false, true, false), machine("B_noport", "MSX", false, false, false),
                                 machine("X_nodrive", "MSX2", false, true, false), machine("Y_two", "MSX2", true, true, false),
                                 machine("Z_plus", "MSX2+", true, true, true), machine("C-BIOS_MSX2_JP", "MSX2", true, false, false)};
        QList<Machine> mine;
        for (const Machine &m : all)
            if (owned.contains(m.name))
                mine.append(m);
        const Tester test = [&refused](const QString &name, const QString &) {
            return refused.contains(name) ? Verdict::DoesNotStart
                   : refused.contains(u'?' + name) ? Verdict::Unknown : Verdict::Starts;
        };
        const std::optional<Choice> c = choose(all, owning(mine), fmpacRom, Request{Want(want), Media(media), fmpac}, test);
        const QString got = c ? QStringList{c->machine, c->extension, c->withoutFmpac ? QStringLiteral("!") : QString()}
                                     .join(u' ').simplified()
                               : QString();
        QCOMPARE(got, expected);
    }

    // The parts of a set, by the number after disk/disc/side or the last one.
    void sets()
    {
        QTemporaryDir dir;
        const QStringList names{"Quest Disk1.dsk", "Quest Disk2.dsk", "Quest Disk10.dsk", "Quest Disk2.cas",
                                "Other Disk1.dsk", "game-side_1.dsk", "game-side_2.dsk", "alone.dsk", "x2 y1.dsk", "x2 y2.dsk",
                                "f1a-disk1.dsk", "f1a-disk2.dsk"}; // as the import copies an alt set
        for (const QString &name : names) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const auto set = [&dir](const char *name) {
            QStringList out;
            for (const QString &f : setOf(dir.filePath(QString::fromUtf8(name))))
                out << QFileInfo(f).fileName();
            return out.join(u'|');
        };
        QCOMPARE(set("Quest Disk2.dsk"), QStringLiteral("Quest Disk2.dsk|Quest Disk1.dsk|Quest Disk10.dsk"));
        QCOMPARE(set("game-side_1.dsk"), QStringLiteral("game-side_1.dsk|game-side_2.dsk"));
        QCOMPARE(set("alone.dsk"), QStringLiteral("alone.dsk"));
        QCOMPARE(set("Other Disk1.dsk"), QStringLiteral("Other Disk1.dsk"));
        QCOMPARE(set("x2 y1.dsk"), QStringLiteral("x2 y1.dsk|x2 y2.dsk"));
        QCOMPARE(set("f1a-disk1.dsk"), QStringLiteral("f1a-disk1.dsk|f1a-disk2.dsk"));

        // Parts the catalogue lists as games of their own stay out of the set.
        QFile list(dir.filePath(QStringLiteral("list.csv")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("Quest 10,,,,,,q,-flop \"Quest Disk10.dsk\"\r\nQuest 2,,,,,,q,-FLOP \"Quest Disk2.dsk\"\r\n"
                   "x,,,,,,x,-cass \"game-side_2.dsk\"\r\n");
        list.close();
        const QSet<QString> registered = registeredMediaFiles(list.fileName(), dir.path());
        const auto alone = [&](const char *name) {
            QStringList out;
            for (const QString &f : setOf(dir.filePath(QString::fromUtf8(name)), registered))
                out << QFileInfo(f).fileName();
            return out.join(u'|');
        };
        QCOMPARE(alone("Quest Disk2.dsk"), QStringLiteral("Quest Disk2.dsk|Quest Disk1.dsk"));
        QCOMPARE(alone("Quest Disk10.dsk"), QStringLiteral("Quest Disk10.dsk|Quest Disk1.dsk"));
        QCOMPARE(alone("game-side_1.dsk"), QStringLiteral("game-side_1.dsk"));
        QCOMPARE(registeredMediaFiles(dir.filePath(QStringLiteral("none.csv")), dir.path()).size(), 0);
    }

    // The file pool as openMSX writes it: only entries that hold system ROMs are looked in.
    void filePool_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("expected");
        QTest::newRow("openMSX's default") << "{-path systemroms -types system_rom} {-path software -types {rom disk tape}}"
                                           << "/s/systemroms";
        QTest::newRow("types first, as a dict") << "{-types {rom system_rom} -path /roms/sys}" << "/roms/sys";
        QTest::newRow("game pool only") << "{-path {/home/me/My Games} -types {rom disk tape}}" << "";
        QTest::newRow("no types: every kind") << "{-path ~/pool/}" << "~/pool";
        QTest::newRow("blank and quoted") << "{-path \"/a b/c\" -types system_rom} {-path /a\\ d -types system_rom}" << "/a b/c|/a d";
        QTest::newRow("damaged") << "{-path {/x -types" << "";
    }
    void filePool()
    {
        QFETCH(QString, setting);
        QFETCH(QString, expected);
        expected.replace(QStringLiteral("~"), QDir::homePath());
        QCOMPARE(filePoolRomFolders(setting, QStringLiteral("/s")).join(u'|'), expected);
    }

    // The parts staged for a run are found under a base named with a trailing slash too.
    void stagedPartsUnderAnyName()
    {
        QTemporaryDir dir;
        QFile part(dir.filePath(QStringLiteral("a1.dsk")));
        QVERIFY(part.open(QIODevice::WriteOnly));
        part.close();
        const std::optional<Staged> staged = stageFiles(dir.path() + u'/', {part.fileName()}, 4242);
        QVERIFY(staged);
        QCOMPARE(stagedParts(dir.path() + u'/', 4242), staged->parts);
        QCOMPARE(stagedParts(dir.path(), 4242), staged->parts);
    }

    // openMSX's and MAME's refusals in Japanese, their chatter kept back.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected"); // our sentences, "|" between; "-" nothing said
        QTest::newRow("disk image") << QStringList{"ALSA lib seq_hw.c:466: open /dev/snd/seq failed",
                                                   "Fatal error: Couldn't open disk image x.dsk: not a valid disk image"}
                                    << 1 << "ディスクのイメージを読めません（壊れているか、ディスクのイメージではありません）。";
        QTest::newRow("tape image") << QStringList{"Fatal error: Failed to insert WAV image: \"Read beyond end of wav file.\" and also failed to insert CAS image: \"bad.cas: not a valid CAS image\""}
                                    << 1 << "テープのイメージを読めません（壊れているか、テープのイメージではありません）。";
        QTest::newRow("system ROM") << QStringList{"Fatal error: Error in \"Sony_HB-F1XD\" machine: Couldn't find ROM file for \"MSX BIOS\" hb-f1xd.rom (sha1: 4ce4)."}
                                    << 1 << "機種の ROM が足りません。ROM を入れてください。";
        QTest::newRow("no drive") << QStringList{"Fatal error: No disk drive A present to put image 'bad.dsk' in."} << 1
                                  << "この機種にはディスクドライブがありません。";
        QTest::newRow("ROM type") << QStringList{"Fatal error: Unknown mapper type"} << 1 << "この ROM を知りません（ROM の種類がわかりません）。";
        QTest::newRow("no display") << QStringList{"Fatal error: Couldn't open X display"} << 1 << "画面を開けません。デスクトップの中で起動してください。";
        QTest::newRow("game file") << QStringList{"Fatal error: nothere.rom not found in this context"} << 1 << "ゲームのファイルを開けません。";
        QTest::newRow("MAME ROMs") << QStringList{"fsa1.ic3 NOT FOUND (tried in fsa1 fsa1a)", "Required files are missing, the machine cannot be run."}
                                   << 2 << "機種の ROM が足りません。ROM を入れてください。";
        QTest::newRow("MAME image") << QStringList{"Fatal error: Device floppydisk load (x.dsk) failed: Unable to identify the image format"}
                                    << 1 << "ディスクのイメージを読めません（壊れているか、ディスクのイメージではありません）。";
        QTest::newRow("refusal, status 0") << QStringList{"Fatal error: Only one machine option allowed"} << 0 << "エミュレータがゲームを起動できませんでした。";
        QTest::newRow("a good run") << QStringList{"ALSA lib: no sequencer", "warning: renderer"} << 0 << "-";
        QTest::newRow("crash, no words") << QStringList{"ALSA lib: no sequencer"} << 1 << "";
    }
    void refusals()
    {
        QFETCH(QStringList, output);
        QFETCH(int, status);
        QFETCH(QString, expected);
        OutputWatch watch;
        for (const QString &line : output)
            watch.take(line.toUtf8());
        const bool failed = status != 0 || expected != QLatin1String("-");
        const QList<OutputWatch::Line> report = watch.report(&status);
        QCOMPARE(status != 0, failed);
        QStringList ours, theirs;
        for (const OutputWatch::Line &line : report)
            (line.ours ? ours : theirs) << line.text;
        QCOMPARE(report.isEmpty() ? QStringLiteral("-") : ours.join(u'|'), expected);
        if (!report.isEmpty() && !ours.isEmpty()) // each sentence followed by the emulator's own line
            QVERIFY(!report.last().ours && output.contains(report.last().text));
        QVERIFY(!theirs.join(u'|').contains(QLatin1String("ALSA")) || ours.isEmpty());
    }

    // MAME's Japanese MSX systems as MAME 0.251 lists them, the one chosen for a request among
    // those whose ROMs MAME found, and the line in MAME's words.
    void mame_data()
    {
        QTest::addColumn<QString>("line");   // mess.exe's arguments after the machine
        QTest::addColumn<int>("want");
        QTest::addColumn<QStringList>("owned");
        QTest::addColumn<bool>("fmpacCart"); // the FM-PAC cartridge in the rompath
        QTest::addColumn<QString>("expected"); // MAME's arguments, or empty
        const int j1 = int(Want::MSXJ), j2 = int(Want::MSX2J);
        const QString tape = QStringLiteral("-cass g.cas -autoboot_delay 3 -autoboot_command RUN\"CAS:\"\\n");
        QTest::newRow("cartridge, FS-A1") << "-cart g.rom" << j2 << QStringList{"fsa1"} << false << "fsa1 -cart1 g.rom";
        QTest::newRow("disk needs a drive") << "-flop g.dsk" << j2 << QStringList{"fsa1"} << false << "";
        QTest::newRow("disk, HB-F1XD") << "-flop g.dsk" << j2 << QStringList{"fsa1", "hbf1xd"} << false << "hbf1xd -flop g.dsk";
        QTest::newRow("disk, flop1") << "-flop g.dsk" << j2 << QStringList{"hbf900"} << false << "hbf900 -flop1 g.dsk";
        QTest::newRow("MSX2 before MSX2+") << "-cart g.rom" << j2 << QStringList{"fsa1wsx", "hbf1xd"} << false << "hbf1xd -cart1 g.rom";
        QTest::newRow("tape on MSX1") << "-cass g.cas" << j1 << QStringList{"cf2000", "fsa1"} << false << "cf2000 " + tape;
        QTest::newRow("no MSX1 owned") << "-cass g.cas" << j1 << QStringList{"fsa1"} << false << "";
        QTest::newRow("FM-PAC: FM built in") << "-CART FMPAC.ROM -cart g.rom" << j2 << QStringList{"hbf1xd", "fsa1wsx"} << false
                                             << "fsa1wsx -cart1 g.rom";
        QTest::newRow("FM-PAC: the cartridge") << "-CART FMPAC.ROM -cart g.rom" << j2 << QStringList{"hbf1xd"} << true
                                               << "hbf1xd -cart1 g.rom -cart2 fmpac";
        QTest::newRow("FM-PAC: none") << "-CART FMPAC.ROM -cart g.rom" << j2 << QStringList{"hbf1xd"} << false << "hbf1xd -cart1 g.rom";
    }
    void mame()
    {
        QFETCH(QString, line);
        QFETCH(int, want);
        QFETCH(QStringList, owned);
        QFETCH(bool, fmpacCart);
        QFETCH(QString, expected);
        QFile data(QStringLiteral(TEST_DATA "/mame-0.251-msx-japan.xml"));
        QVERIFY(data.open(QIODevice::ReadOnly));
        const QList<Machine> systems = readMameSystems(data.readAll());
        QCOMPARE(systems.size(), 109);
        QFile names(QStringLiteral(TEST_DATA "/mame-0.251-msx-japan.listfull"));
        QVERIFY(names.open(QIODevice::ReadOnly));
        QCOMPARE(japaneseMsxNames(names.readAll()).size(), 109);
        QList<Machine> mine;
        for (const Machine &m : systems)
            if (owned.contains(m.name))
                mine.append(m);
        QCOMPARE(mine.size(), owned.size());
        const QStringList words = line.split(u' ');
        Request request{Want(want), std::nullopt, words.first() == QLatin1String("-CART")};
        const QString option = words.value(words.size() - 2);
        request.media = option == QLatin1String("-cart") ? Media::Cartridge : option == QLatin1String("-flop") ? Media::Disk : Media::Tape;
        const std::optional<Choice> c = choose(mine, RomIndex{}, fmpacCart, request, [](const QString &, const QString &) { return Verdict::Starts; });
        QString got;
        for (const Machine &m : mine)
            if (c && m.name == c->machine)
                got = mameArguments(m, request, words.last(), c->extension == QLatin1String("fmpac")).join(u' ');
        QCOMPARE(got, expected);
    }

    // What is read of MAME's answers.
    void mameAnswers()
    {
        QCOMPARE(verifiedSets("romset fsa1 [fsa1a] is good\nromset hbf1xd is best available\nromset \"cf2000\" not found!\n"
                              "romset hb10 is bad\n3 romsets found, 2 were OK.\n"),
                 (QSet<QString>{"fsa1", "hbf1xd"}));
        QCOMPARE(rompathOf("homepath                  .\nrompath                   $HOME/mame/roms;/usr/share/games/mame/roms\n"),
                 (QStringList{QDir::homePath() + "/mame/roms", "/usr/share/games/mame/roms"}));
        QCOMPARE(mameGeneration("FS-A1 / 1st released version (MSX2, Japan)"), QStringLiteral("MSX2"));
        QCOMPARE(mameGeneration("FS-A1GT (MSX Turbo-R, Japan)"), QStringLiteral("MSXturboR"));
        QCOMPARE(mameGeneration("HB-F700P (MSX2, UK)"), QString());
    }

    // A file name in a console command reaches openMSX's Tcl unchanged, whatever it holds.
    void tclQuoting_data()
    {
        QTest::addColumn<QString>("word");
        for (const char *word : {"plain", "a b", "{", "}x{", "back\\slash", "line\nbreak\\", "end\\\n", "tab\t$x[y];\"q\"",
                                 "", "日本語 ディスク\\", "\r\x7f"})
            QTest::newRow(word) << QString::fromUtf8(word);
    }
    void tclQuoting()
    {
        QFETCH(QString, word);
        const QString tclsh = QStandardPaths::findExecutable(QStringLiteral("tclsh"));
        if (tclsh.isEmpty())
            QSKIP("no tclsh here");
        QTemporaryDir dir;
        QFile script(dir.filePath(QStringLiteral("t.tcl")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("fconfigure stdout -translation binary -encoding utf-8\nproc take {w} {puts -nonewline $w}\ntake "
                     + platform::tclQuoted(word).toUtf8() + "\n");
        script.close();
        QProcess tcl;
        tcl.start(tclsh, {QStringLiteral("-encoding"), QStringLiteral("utf-8"), script.fileName()});
        QVERIFY(tcl.waitForFinished(10000));
        QCOMPARE(QString::fromUtf8(tcl.readAllStandardOutput()), word);
    }
};

QTEST_GUILESS_MAIN(TestAdapter)
#include "test_adapter.moc"
