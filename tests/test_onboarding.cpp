// Identifying game files against software lists written for the tests, composing their lines,
// and settling a batch against the catalogue; the shipped lists; the import tool.
#include "catalogue/record.h"
#include "onboarding/batch.h"
#include "onboarding/registration.h"
#include "messages/messages.h"
#include "platform/system/codepage.h"
#include "platform/system/modules.h"
#include "file_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#endif

#include <zip.h>

using namespace onboarding;

namespace {

QByteArray sjis(const QString &text)
{
    return platform::encodeCp932(text).value();
}

// What the import tool printed: the locale's encoding on Linux, UTF-8 through a pipe on Windows.
QString toolText(const QByteArray &out)
{
#ifdef Q_OS_WIN
    return QString::fromUtf8(out);
#else
    return QString::fromLocal8Bit(out);
#endif
}

QByteArray sha1(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex();
}

// A software list of the MAME format, one single-image part a software.
struct Soft
{
    QString description, year, publisher, altTitle, interface;
    QByteArray image;
};
QByteArray listXml(const QString &name, const QList<Soft> &softs)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<!--\nlicense:CC0-1.0\n-->\n<softwarelist name=\"%1\">\n").arg(name);
    int n = 0;
    for (const Soft &s : softs) {
        xml += QStringLiteral("<software name=\"s%1\"><description>%2</description><year>%3</year>"
                              "<publisher>%4</publisher>")
                   .arg(n++).arg(s.description.toHtmlEscaped(), s.year, s.publisher.toHtmlEscaped());
        if (!s.altTitle.isEmpty())
            xml += QStringLiteral("<info name=\"alt_title\" value=\"%1\" />").arg(s.altTitle.toHtmlEscaped());
        xml += QStringLiteral("<part name=\"p\" interface=\"%1\"><dataarea name=\"rom\" size=\"%2\">"
                              "<rom name=\"x\" size=\"%2\" sha1=\"%3\" /></dataarea></part></software>\n")
                   .arg(s.interface).arg(s.image.size()).arg(QString::fromLatin1(sha1(s.image)));
    }
    return (xml + QStringLiteral("</softwarelist>\n")).toUtf8();
}

bool writeZip(const QString &path, const QList<QPair<QByteArray, QByteArray>> &entries)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto &[name, data] : entries) {
        zip_source_t *source = zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        if (!source || zip_file_add(archive, name.constData(), source, ZIP_FL_OVERWRITE) < 0)
            return false;
    }
    return zip_close(archive) == 0;
}

const QByteArray HiddenQuest(32 * 1024, 'h');
const QByteArray BigGame(128 * 1024, 'b');
const QByteArray Tape(5000, 't');

} // namespace

class TestOnboarding : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString folder_;
    SoftwareLists lists_;

    QString put(const QString &relative, const QByteArray &data)
    {
        const QString path = folder_ + u'/' + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeFile(path, data);
        return path;
    }
    BatchItem item(const QString &path) { return identify({path}, lists_, folder_).first(); }

private slots:
    void initTestCase()
    {
        platform::setModuleFolders({QStringLiteral(MODULE_DIR)});
        // What is known of the catalogue's files is kept in a cache of the tests' own.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("cache"))));
    }

    void init()
    {
        folder_ = dir_.filePath(QStringLiteral("prog %1").arg(QTest::currentTestFunction()));
        QDir().mkpath(folder_ + QStringLiteral("/tarumin"));
        lists_ = SoftwareLists();
        QCOMPARE(lists_.loadList(listXml(QStringLiteral("msx1_cart"), {
            {QStringLiteral("Hidden Quest, The (Japan)"), QStringLiteral("1987"), QStringLiteral("Hidden Soft"),
             QStringLiteral("隠された,クエスト"), QStringLiteral("msx_cart"), HiddenQuest},
            {QStringLiteral("Café Story 😀"), QStringLiteral("198?"), QStringLiteral("Ümlaut Soft"),
             QString(), QStringLiteral("msx_cart"), QByteArray(1000, 'c')},
        })), 2);
        QCOMPARE(lists_.loadList(listXml(QStringLiteral("msx2_cart"), {
            {QStringLiteral("Big Game (Japan)"), QStringLiteral("1990"), QStringLiteral("Big"),
             QStringLiteral("ビッグゲーム"), QStringLiteral("msx_cart"), BigGame},
        })), 1);
        QCOMPARE(lists_.loadList(listXml(QStringLiteral("msx1_cass"), {
            {QStringLiteral("Tape Game"), QStringLiteral("1985"), QStringLiteral("T"),
             QString(), QStringLiteral("msx_cass"), Tape},
        })), 1);
    }

    // A read of the lists cut short (a registration cancelled) is never kept for the next
    // run: that one reads them whole.
    void cancelledListsAreNotKept()
    {
        put(QStringLiteral("hash/msx1_cart.xml"), listXml(QStringLiteral("msx1_cart"), {
            {QStringLiteral("Hidden Quest, The (Japan)"), QStringLiteral("1987"), QStringLiteral("Hidden Soft"),
             QString(), QStringLiteral("msx_cart"), HiddenQuest}}));
        const platform::ProgramFolder folder(folder_);
        std::atomic<bool> cancel{true};
        QVERIFY(!loadSoftwareLists(folder, &cancel).find(sha1(HiddenQuest)));
        QVERIFY(loadSoftwareLists(folder).find(sha1(HiddenQuest)));
    }

    void composesTheExactLines()
    {
        // Identified, in the program folder: the list's texts, commas made full-width.
        QCOMPARE(item(put(QStringLiteral("hq.rom"), HiddenQuest)).line,
                 sjis(QStringLiteral("隠された，クエスト,ROM,1987年,Hidden Soft,,Hidden Quest， The (Japan),hq,-cart hq.rom")));
        // Not identified: the file's name and the media of its extension.
        const BatchItem mystery = item(put(QStringLiteral("mystery.cas"), "??"));
        QCOMPARE(mystery.outcome, BatchItem::Outcome::NotIdentified);
        QCOMPARE(mystery.line, QByteArray("mystery,") + sjis(QStringLiteral("テープ")) + ",,,,,mystery,-cass mystery.cas");
        // An MSX2 list's cartridge over 64 KB, in a folder of its own with a blank in its name.
        const QString big = put(QStringLiteral("my games/big.mx2"), BigGame);
        QCOMPARE(item(big).line, sjis(QStringLiteral("ビッグゲーム,MSX2 メガROM,1990年,Big,,Big Game (Japan),big,-cart \"%1\"")
                                          .arg(QDir::toNativeSeparators(big))));
        // A tape named by its list, whatever its extension says.
        QVERIFY(item(put(QStringLiteral("tape.bin.rom"), Tape)).line.endsWith(",tape,-cass tape.bin.rom"));
        // What CP932 cannot hold becomes "？", and is reported; a year that is not four digits
        // stays as it is.
        const BatchItem cafe = item(put(QStringLiteral("cafe.rom"), QByteArray(1000, 'c')));
        QCOMPARE(cafe.line, sjis(QStringLiteral("Caf？ Story ？,ROM,198?,？mlaut Soft,,Caf？ Story ？,cafe,-cart cafe.rom")));
        QCOMPARE(cafe.replaced, (QStringList{QStringLiteral("é"), QStringLiteral("😀"), QStringLiteral("Ü")}));
        // Neither a known list image nor a known extension: not a game.
        QCOMPARE(item(put(QStringLiteral("notes.txt"), "x")).outcome, BatchItem::Outcome::NotAGame);
    }

    void zipsHoldingOneImage()
    {
        const QString one = folder_ + QStringLiteral("/hq.zip");
        QVERIFY(writeZip(one, {{"Hidden Quest (Japan).rom", HiddenQuest}}));
        QCOMPARE(item(one).line,
                 sjis(QStringLiteral("隠された，クエスト,ROM,1987年,Hidden Soft,,Hidden Quest， The (Japan),hq,-cart hq.zip")));
        const QString unknown = folder_ + QStringLiteral("/odd.zip");
        QVERIFY(writeZip(unknown, {{"inner.dsk", "disk"}}));
        QCOMPARE(item(unknown).line, QByteArray("odd,") + sjis(QStringLiteral("ディスク")) + ",,,,,odd,-flop odd.zip");
        const QString two = folder_ + QStringLiteral("/two.zip");
        QVERIFY(writeZip(two, {{"a.rom", "a"}, {"b.rom", "b"}}));
        QCOMPARE(item(two).outcome, BatchItem::Outcome::NotAGame);
        // A set's disks in one zip, as MAME's sets come (in any order): one line naming the zip.
        const QByteArray disk1(720, '1'), disk2(720, '2'), otherDisk(720, 'o');
        lists_.loadList((QStringLiteral("<softwarelist name=\"msx2_flop\"><software name=\"set\"><description>Set (Japan)</description>"
                                        "<year>1988</year><publisher>S</publisher>"
                                        "<part name=\"f1\" interface=\"floppy_3_5\"><dataarea name=\"flop\"><rom name=\"1\" sha1=\"%1\"/></dataarea></part>"
                                        "<part name=\"f2\" interface=\"floppy_3_5\"><dataarea name=\"flop\"><rom name=\"2\" sha1=\"%2\"/></dataarea></part>"
                                        "</software><software name=\"other\"><description>Other (Japan)</description>"
                                        "<part name=\"f1\" interface=\"floppy_3_5\"><dataarea name=\"flop\"><rom name=\"o\" sha1=\"%3\"/></dataarea></part>"
                                        "</software></softwarelist>").arg(QString::fromLatin1(sha1(disk1)), QString::fromLatin1(sha1(disk2)),
                                                                           QString::fromLatin1(sha1(otherDisk)))).toUtf8());
        const QString set = folder_ + QStringLiteral("/set.zip");
        QVERIFY(writeZip(set, {{"set (disk 2).dsk", disk2}, {"set (disk 1).dsk", disk1}}));
        QCOMPARE(item(set).line, sjis(QStringLiteral("Set (Japan),MSX2 ディスク2枚組,1988年,S,,Set (Japan),set,-flop set.zip")));
        // Disk 2 with a game of another list: no set.
        const QString mixed = folder_ + QStringLiteral("/mixed.zip");
        QVERIFY(writeZip(mixed, {{"set (disk 2).dsk", disk2}, {"hq.rom", HiddenQuest}}));
        QCOMPARE(item(mixed).fileProblem, GameFile::Problem::ZipNotSingle);
        // Disks of two games of one list: no set either.
        const QString twoGames = folder_ + QStringLiteral("/two games.zip");
        QVERIFY(writeZip(twoGames, {{"other.dsk", otherDisk}, {"set (disk 2).dsk", disk2}}));
        QCOMPARE(item(twoGames).fileProblem, GameFile::Problem::ZipNotSingle);
    }

    // A cartridge the list gives as several chips: the chips joined in the list's order, or
    // as the files of a zip.
    void cartridgesOfSeveralChips()
    {
        const QByteArray chip1(1000, 'p'), chip2(500, 'q');
        QVERIFY(lists_.loadList((QStringLiteral("<softwarelist name=\"msx1_cart\"><software name=\"rt\"><description>Chips (Japan)</description>"
                                                "<year>1988</year><publisher>I</publisher><part name=\"cart\" interface=\"msx_cart\">"
                                                "<feature name=\"slot\" value=\"rtype\"/><dataarea name=\"rom\" size=\"1500\">"
                                                "<rom name=\"a\" size=\"1000\" sha1=\"%1\"/><rom name=\"b\" size=\"500\" sha1=\"%2\" offset=\"1000\"/>"
                                                "<rom size=\"500\" offset=\"1500\" loadflag=\"reload\"/></dataarea></part></software></softwarelist>")
                                     .arg(QString::fromLatin1(sha1(chip1)), QString::fromLatin1(sha1(chip2)))).toUtf8()) > 0);
        const QByteArray expected = sjis(QStringLiteral("Chips (Japan),メガROM,1988年,I,,Chips (Japan),rt,-cart rt."));
        QVERIFY(item(put(QStringLiteral("rt.rom"), chip1 + chip2)).line.startsWith(expected));
        const QString zip = folder_ + QStringLiteral("/rt.zip");
        QVERIFY(writeZip(zip, {{"b", chip2}, {"a", chip1}}));
        QVERIFY(item(zip).line.startsWith(expected));
        // The same size, other bytes: not that cartridge.
        QCOMPARE(item(put(QStringLiteral("other.rom"), chip2 + chip1)).outcome, BatchItem::Outcome::NotIdentified);

        // A game's speech samples beside its program, and an extension of two chips: the program
        // is the game; the samples and the extension, however given, are no games.
        const QByteArray program(2000, 'g'), speech(700, 's'), dict1(800, 'd'), dict2(400, 'e');
        QVERIFY(lists_.loadList((QStringLiteral("<softwarelist name=\"msx1_cart\">"
            "<software name=\"pb\"><description>Ball (Japan)</description><year>1986</year><publisher>S</publisher>"
            "<part name=\"cart\" interface=\"msx_cart\"><dataarea name=\"rom\" size=\"2000\"><rom name=\"p\" size=\"2000\" sha1=\"%1\"/>"
            "</dataarea><dataarea name=\"upd7756\" size=\"700\"><rom name=\"s\" size=\"700\" sha1=\"%2\"/></dataarea></part></software>"
            "<software name=\"jisho\"><description>Dictionary (Japan)</description><year>1986</year><publisher>N</publisher>"
            "<part name=\"cart\" interface=\"msx_cart\"><feature name=\"slot\" value=\"fs_sr022\"/><dataarea name=\"rom\" size=\"1200\">"
            "<rom name=\"a\" size=\"800\" sha1=\"%3\"/><rom name=\"b\" size=\"400\" sha1=\"%4\" offset=\"800\"/></dataarea></part></software>"
            "</softwarelist>").arg(QString::fromLatin1(sha1(program)), QString::fromLatin1(sha1(speech)),
                                   QString::fromLatin1(sha1(dict1)), QString::fromLatin1(sha1(dict2)))).toUtf8()) > 0);
        QCOMPARE(item(put(QStringLiteral("ball.rom"), program)).outcome, BatchItem::Outcome::Identified);
        const BatchItem samples = item(put(QStringLiteral("speech.rom"), speech));
        QCOMPARE(samples.problem, BatchItem::Problem::DataRom);
        QVERIFY2(messages::importedItem(samples).contains(QStringLiteral("「Ball (Japan)」のカートリッジの中の、upd7756 のデータ")),
                 qPrintable(messages::importedItem(samples)));
        QCOMPARE(item(put(QStringLiteral("jisho.rom"), dict1 + dict2)).problem, BatchItem::Problem::Extension);
        QVERIFY(writeZip(folder_ + QStringLiteral("/jisho.zip"), {{"a", dict1}, {"b", dict2}}));
        QCOMPARE(item(folder_ + QStringLiteral("/jisho.zip")).problem, BatchItem::Problem::Extension);
    }

    void batchesSkipWhatIsThereAndWhatDoesNotFit()
    {
        const QString hq = put(QStringLiteral("hq.rom"), HiddenQuest);
        const QString outside = dir_.filePath(QStringLiteral("elsewhere/my tape.cas"));
        QDir().mkpath(QFileInfo(outside).absolutePath());
        writeFile(outside, Tape);
        const QString other = put(QStringLiteral("other.dsk"), "d");
        catalogue::LineTable table;
        // Lines naming hq.rom bare and the tape by its quoted full path.
        table.append("Hidden,ROM,,,,,hq,-cart hq.rom");
        table.append("Tape,,,,,,my tape,-cass \"" + QFile::encodeName(outside) + "\"");
        QList<BatchItem> items = identify({hq, outside, other, other}, lists_, folder_);
        const QList<QByteArray> lines = settle(items, table, folder_);
        QCOMPARE(items[0].outcome, BatchItem::Outcome::AlreadyThere);
        QCOMPARE(items[1].outcome, BatchItem::Outcome::AlreadyThere);
        QCOMPARE(items[2].outcome, BatchItem::Outcome::NotIdentified);
        QCOMPARE(items[3].outcome, BatchItem::Outcome::AlreadyThere); // given twice
        QCOMPARE(lines, QList<QByteArray>{items[2].line});

        // Past line 1001: not written, and reported.
        catalogue::LineTable nearlyFull;
        for (int i = 0; i < 1000; ++i)
            nearlyFull.append("g" + QByteArray::number(i));
        items = identify({hq, other, outside}, lists_, folder_);
        QCOMPARE(settle(items, nearlyFull, folder_).size(), 1);
        QCOMPARE(items[0].outcome, BatchItem::Outcome::Identified);
        QCOMPARE(items[1].outcome, BatchItem::Outcome::DoesNotFit);
        QCOMPARE(items[2].outcome, BatchItem::Outcome::DoesNotFit);
    }

    // What a registration says is what it did: a file without an extension named as it is
    // (and found again), a name's 〜 kept as CP932's ～, copies only for lines written, and the
    // later disk of a set whose first did not fit reported as not fitting.
    void registrationsKeepTheirWord()
    {
        const QByteArray disk1(720, '1'), disk2(720, '2'), chip(2000, 'x');
        auto rom = [](const char *interface, const QByteArray &data) {
            return QStringLiteral("<part name=\"p\" interface=\"%1\"><dataarea name=\"rom\"><rom name=\"x\" sha1=\"%2\"/>"
                                  "</dataarea></part>").arg(QLatin1String(interface), QString::fromLatin1(sha1(data)));
        };
        put(QStringLiteral("hash/test.xml"), (QStringLiteral("<softwarelist name=\"msx1_cart\">"
            "<software name=\"chip\"><description>Chip Game</description><year>1986</year><publisher>C</publisher>%1</software>"
            "<software name=\"two\"><description>Two Disks</description><year>1988</year><publisher>D</publisher>%2%3</software>"
            "</softwarelist>").arg(rom("msx_cart", chip), rom("floppy_3_5", disk1), rom("floppy_3_5", disk2))).toUtf8());
        const platform::ProgramFolder folder(folder_);
        const catalogue::CatalogueFile file(folder.catalogue());
        auto run = [&](const QStringList &paths, Copying::Mode mode = Copying::Mode::WhenNeeded) {
            return registerGameFiles(paths, folder, file, Writing::Write, {}, mode);
        };
        // No extension: the line names the file as it is, and a second run finds it there.
        const QString bare = put(QStringLiteral("lh231077"), chip);
        Registration done = run({bare});
        QCOMPARE(done.lines.size(), 1);
        QVERIFY2(done.lines[0].endsWith(",lh231077,-cart lh231077"), done.lines[0].constData());
        QCOMPARE(run({bare}).items[0].outcome, BatchItem::Outcome::AlreadyThere);

        // 〜 has a twin in CP932: the copy keeps it, only what has none becomes "_".
        const QString wave = dir_.filePath(QStringLiteral("elsewhere/ドラゴン〜伝説〜Ω😀.rom"));
        QDir().mkpath(QFileInfo(wave).absolutePath());
        writeFile(wave, "dragon");
        done = run({wave});
        QCOMPARE(done.items[0].copy, QDir::cleanPath(folder.copiedGames()) + QStringLiteral("/ドラゴン～伝説～Ω_.rom"));

        // At the cap: two lines fit; the third file gets neither a line nor a copy, and the
        // set whose first disk did not fit is said to have not fitted, disk 2 too.
        QByteArray full = readFile(folder.catalogue());
        for (int i = 3; i < 1000; ++i)
            full += "g" + QByteArray::number(i) + "\r\n";
        writeFile(folder.catalogue(), full);
        QStringList outside;
        for (const char *name : {"a.rom", "b.rom", "c.rom", "two1.dsk", "two2.dsk"}) {
            outside << dir_.filePath(QStringLiteral("far/") + QLatin1String(name));
            QDir().mkpath(QFileInfo(outside.last()).absolutePath());
        }
        writeFile(outside[0], "a");
        writeFile(outside[1], "b");
        writeFile(outside[2], "c");
        writeFile(outside[3], disk1);
        writeFile(outside[4], disk2);
        QDir(folder.copiedGames()).removeRecursively();
        done = run(outside, Copying::Mode::All);
        QCOMPARE(done.lines.size(), 2);
        using O = BatchItem::Outcome;
        QCOMPARE(done.items[2].outcome, O::DoesNotFit);
        QCOMPARE(done.items[3].outcome, O::DoesNotFit);
        QCOMPARE(done.items[4].outcome, O::DoesNotFit);
        QCOMPARE(countOf(done.items).copied, 2);
        QCOMPARE(countOf(done.items).copiedForTheName, 0); // copied as asked: their names were fine
        QCOMPARE(QDir(folder.copiedGames()).entryList(QDir::Files), (QStringList{"a.rom", "b.rom"}));
    }

    // A set registered with every file copied keeps the copies of all its disks: the later
    // disks' copies belong to the first disk's line.
    void copiedSetKeepsEveryDisk()
    {
        const QByteArray disk1(720, '1'), disk2(720, '2');
        put(QStringLiteral("hash/test.xml"), (QStringLiteral("<softwarelist name=\"msx2_flop\">"
            "<software name=\"two\"><description>Two Disks</description><year>1988</year><publisher>D</publisher>"
            "<part name=\"flop1\" interface=\"floppy_3_5\"><dataarea name=\"flop\"><rom name=\"a\" sha1=\"%1\"/></dataarea></part>"
            "<part name=\"flop2\" interface=\"floppy_3_5\"><dataarea name=\"flop\"><rom name=\"b\" sha1=\"%2\"/></dataarea></part>"
            "</software></softwarelist>").arg(QString::fromLatin1(sha1(disk1)), QString::fromLatin1(sha1(disk2)))).toUtf8());
        const platform::ProgramFolder folder(folder_);
        QStringList outside;
        for (const auto &[name, data] : {std::pair("two1.dsk", disk1), std::pair("two2.dsk", disk2)}) {
            outside << dir_.filePath(QStringLiteral("sets/") + QLatin1String(name));
            QDir().mkpath(QFileInfo(outside.last()).absolutePath());
            writeFile(outside.last(), data);
        }
        const Registration done = registerGameFiles(outside, folder, catalogue::CatalogueFile(folder.catalogue()),
                                                    Writing::Write, {}, Copying::Mode::All);
        QCOMPARE(done.lines.size(), 1);
        QCOMPARE(done.items[1].outcome, BatchItem::Outcome::PartOfGame);
        const QStringList copies = QDir(folder.copiedGames()).entryList(QDir::Files);
        QCOMPARE(copies.size(), 2);
        for (const QString &copy : copies) {
            const QByteArray data = readFile(QDir(folder.copiedGames()).filePath(copy));
            QVERIFY(data == disk1 || data == disk2);
        }
    }

    // The same games from other folders are found registered; a library moved elsewhere is
    // found again: its lines name the new places, nothing is added twice.
    void sameGamesElsewhereAndMovedLibraries()
    {
        const platform::ProgramFolder folder(folder_);
        const catalogue::CatalogueFile file(folder.catalogue());
        auto run = [&](const QString &from) { return registerGameFiles({from}, folder, file, Writing::Write); };
        auto library = [&](const QString &name) {
            const QString at = dir_.filePath(name);
            QDir().mkpath(at + QStringLiteral("/sub"));
            writeFile(at + QStringLiteral("/hq.rom"), HiddenQuest);
            writeFile(at + QStringLiteral("/sub/tape.cas"), Tape);
            writeFile(at + QStringLiteral("/mine.dsk"), "my own disk");
            return at;
        };
        QCOMPARE(run(library(QStringLiteral("first"))).lines.size(), 3);
        const QByteArray before = readFile(folder.catalogue());
        // The same files in another folder: one line each already.
        Registration again = run(library(QStringLiteral("second")));
        QCOMPARE(again.lines.size(), 0);
        QCOMPARE(countOf(again.items).alreadyThere, 3);
        QCOMPARE(again.items[0].detail, QDir(dir_.filePath(QStringLiteral("first"))).canonicalPath() + QStringLiteral("/hq.rom"));
        QCOMPARE(readFile(folder.catalogue()), before);
        // The first library moved: its three lines name the new places, nothing is added.
        QDir(dir_.path()).rename(QStringLiteral("first"), QStringLiteral("moved"));
        QDir(dir_.filePath(QStringLiteral("second"))).removeRecursively();
        writeFile(dir_.filePath(QStringLiteral("moved/new.rom")), "a game not registered yet");
        // Relinking only (tarumin-import --relink): the new game is left out.
        const Registration moved = registerGameFiles({dir_.filePath(QStringLiteral("moved"))}, folder, file, Writing::Write,
                                                     {}, Copying::Mode::WhenNeeded, Adding::RelinkOnly);
        QCOMPARE(moved.lines.size(), 0);
        QCOMPARE(countOf(moved.items).relinked, 3);
        QCOMPARE(countOf(moved.items).notAdded, 1);
        const QList<QByteArray> lines = readFile(folder.catalogue()).split('\n');
        QCOMPARE(lines.size(), 4); // three lines and the end
        for (qsizetype k = 0; k < 3; ++k) {
            QVERIFY2(lines[k].contains(QFile::encodeName(QDir::toNativeSeparators(QStringLiteral("/moved/")))), lines[k].constData());
            // Every field but the launch arguments kept, byte for byte.
            QCOMPARE(lines[k].left(lines[k].lastIndexOf(',')), before.split('\n')[k].left(before.split('\n')[k].lastIndexOf(',')));
        }
        QCOMPARE(run(dir_.filePath(QStringLiteral("moved"))).lines.size(), 1); // now the new game
#ifdef Q_OS_UNIX
        // Registered through a link; the library behind it moved and the link leads nowhere.
        QDir().mkpath(dir_.filePath(QStringLiteral("behind")));
        writeFile(dir_.filePath(QStringLiteral("behind/linked.rom")), "a game behind a link");
        QVERIFY(QFile::link(dir_.filePath(QStringLiteral("behind")), dir_.filePath(QStringLiteral("link"))));
        QCOMPARE(run(dir_.filePath(QStringLiteral("link/linked.rom"))).lines.size(), 1);
        QDir(dir_.path()).rename(QStringLiteral("behind"), QStringLiteral("behind2"));
        const Registration throughLink = registerGameFiles({dir_.filePath(QStringLiteral("behind2"))}, folder, file,
                                                           Writing::Write, {}, Copying::Mode::WhenNeeded, Adding::RelinkOnly);
        QCOMPARE(countOf(throughLink.items).relinked, 1);
#endif
    }

    // Disks and tapes in no list whose names differ only in their number are one game.
    void unknownSetsByTheirNames_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("media"); // of each line written, in order
        QTest::addColumn<QString>("title");     // of the first line
        QTest::newRow("_disk1, _disk2") << QStringList{"ゆめの冒険_disk1.dsk", "ゆめの冒険_disk2.dsk"} << QStringList{"ディスク2枚組"} << "ゆめの冒険";
        QTest::newRow("(Disk n of 3)") << QStringList{"Quest (Disk 1 of 3).dsk", "Quest (Disk 2 of 3).dsk", "Quest (Disk 3 of 3).DSK"}
                                       << QStringList{"ディスク3枚組"} << "Quest";
        QTest::newRow("_A, _B tapes") << QStringList{"umi_A.cas", "umi_B.cas"} << QStringList{"テープ2本組"} << "umi";
        QTest::newRow("-1, -2") << QStringList{"x-1.dsk", "x-2.dsk"} << QStringList{"ディスク2枚組"} << "x";
        QTest::newRow("a gap: two games") << QStringList{"gap_disk1.dsk", "gap_disk3.dsk"} << QStringList{"ディスク", "ディスク"} << "gap_disk1";
        QTest::newRow("cartridges are no set") << QStringList{"c_1.rom", "c_2.rom"} << QStringList{"ROM", "ROM"} << "c_1";
    }
    void unknownSetsByTheirNames()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, media);
        QStringList paths;
        for (const QString &f : files)
            paths << put(QStringLiteral("set/") + f, f.toUtf8());
        QList<BatchItem> items = identify(paths, lists_, folder_);
        const QList<QByteArray> lines = settle(items, catalogue::LineTable(), folder_);
        QStringList got;
        for (const QByteArray &line : lines)
            got << platform::decodeCp932(catalogue::splitRecord(line).fields[1]);
        QCOMPARE(got, media);
        QFETCH(QString, title);
        QCOMPARE(platform::decodeCp932(catalogue::splitRecord(lines.value(0)).fields[0]), title);
        QCOMPARE(countOf(items).partOfGame, files.size() - media.size());
    }

    // An alt set sharing its first disk with its parent: the alt's line when its own later disk
    // is given and the parent's is not; with both given, both games, the alt's naming copies of
    // the shared disk and of its own as one set in games/.
    void altSetsSharingTheirFirstDisk_data()
    {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("lines"); // the description of each line
        QTest::newRow("parent") << QStringList{"d1", "d2"} << QStringList{"F1 (Japan)"};
        QTest::newRow("alt") << QStringList{"d1", "d2alt"} << QStringList{"F1 (Japan， alt)"};
        QTest::newRow("both") << QStringList{"d1", "d2", "d2alt"} << QStringList{"F1 (Japan)", "F1 (Japan， alt)"};
    }
    void altSetsSharingTheirFirstDisk()
    {
        QFETCH(QStringList, given);
        QFETCH(QStringList, lines);
        const QHash<QString, QByteArray> disks{{"d1", QByteArray(720, '1')}, {"d2", QByteArray(720, '2')},
                                               {"d2alt", QByteArray(720, 'a')}};
        auto disk = [&](const char *name) {
            return QStringLiteral("<part name=\"%1\" interface=\"floppy_3_5\"><dataarea name=\"flop\"><rom name=\"x\" sha1=\"%2\"/>"
                                  "</dataarea></part>").arg(QLatin1String(name), QString::fromLatin1(sha1(disks.value(QLatin1String(name)))));
        };
        const QByteArray list = (QStringLiteral("<softwarelist name=\"msx2_flop\">"
            "<software name=\"f1\"><description>F1 (Japan)</description><year>1988</year><publisher>K</publisher>%1%2</software>"
            "<software name=\"f1a\" cloneof=\"f1\"><description>F1 (Japan, alt)</description><year>1988</year><publisher>K</publisher>%1%3</software>"
            "</softwarelist>").arg(disk("d1"), disk("d2"), disk("d2alt"))).toUtf8();
        QVERIFY(lists_.loadList(list) > 0);
        QStringList paths;
        for (const QString &name : given)
            paths << put(QStringLiteral("f1/") + name + QStringLiteral(".dsk"), disks.value(name));
        QList<BatchItem> items = identify(paths, lists_, folder_);
        const QList<QByteArray> settled = settle(items, catalogue::LineTable(), folder_);
        QStringList got;
        for (const QByteArray &line : settled) {
            got << platform::decodeCp932(catalogue::splitRecord(line).fields[5]);
            QVERIFY(platform::decodeCp932(catalogue::splitRecord(line).fields[1]).endsWith(QStringLiteral("ディスク2枚組")));
        }
        QCOMPARE(got, lines);
        QCOMPARE(int(std::count_if(items.cbegin(), items.cend(), [](const BatchItem &i) {
                     return i.problem == BatchItem::Problem::FirstPartMissing; })), 0);
        if (lines.size() < 2)
            return;
        // Written: the alt's set stands in games/ as one, and its line names its first disk.
        const platform::ProgramFolder folder(folder_);
        put(QStringLiteral("hash/msx2_flop.xml"), list);
        const Registration done = registerGameFiles(paths, folder, catalogue::CatalogueFile(folder.catalogue()), Writing::Write);
        QCOMPARE(done.lines.size(), 2);
        QVERIFY2(done.lines[1].endsWith(",-flop games/f1a-disk1.dsk"), done.lines[1].constData());
        QCOMPARE(readFile(folder.copiedGames() + QStringLiteral("/f1a-disk1.dsk")), disks.value("d1"));
        QCOMPARE(readFile(folder.copiedGames() + QStringLiteral("/f1a-disk2.dsk")), disks.value("d2alt"));
        // A second run adds nothing.
        QCOMPARE(registerGameFiles(paths, folder, catalogue::CatalogueFile(folder.catalogue()), Writing::Write).lines.size(), 0);
    }

    void alternateDumpsAreOneGame()
    {
        const QString db = put(QStringLiteral("db/softwaredb.xml"), QByteArray("<softwaredb><software><title>Nemesis 2</title>"
            "<system>MSX</system><dump><rom><hash>") + sha1("dump a") + "</hash></rom></dump><dump><rom><hash>"
            + sha1("dump b") + "</hash></rom></dump></software></softwaredb>");
        lists_.loadOpenMsxDatabase(db);
        QList<BatchItem> items = identify({put(QStringLiteral("a.rom"), "dump a"), put(QStringLiteral("b.rom"), "dump b")}, lists_, folder_);
        QCOMPARE(settle(items, catalogue::LineTable(), folder_).size(), 1);
        QCOMPARE(items[1].outcome, BatchItem::Outcome::OtherDump);
        QCOMPARE(items[1].detail, items[0].path);
    }

    void foldersInNameOrder()
    {
        put(QStringLiteral("games/b.rom"), "b");
        put(QStringLiteral("games/A.ROM"), "a");
        put(QStringLiteral("games/sub/c.cas"), "c");
        put(QStringLiteral("games/readme.txt"), "r");
        put(QStringLiteral("games/lh231077"), "no extension");
        const QString loose = put(QStringLiteral("z.dsk"), "z");
        const CollectedFiles collected = collectFiles({loose, folder_ + QStringLiteral("/games")});
        QStringList names;
        for (const QString &f : collected.files)
            names << QDir(folder_).relativeFilePath(f);
        QCOMPARE(names, (QStringList{"z.dsk", "games/A.ROM", "games/b.rom", "games/lh231077", "games/sub/c.cas"}));
        // Everything else a folder holds is named with its reason.
        using R = SkippedFile::Reason;
        QList<std::pair<QString, R>> expected{{"games/readme.txt", R::NotAGameName}};
#ifdef Q_OS_UNIX
        QVERIFY(QFile::link(QStringLiteral("nowhere.rom"), folder_ + QStringLiteral("/games/dangling.rom")));
        QVERIFY(::mkfifo(QFile::encodeName(folder_ + QStringLiteral("/games/pipe.rom")).constData(), 0600) == 0);
        expected = {{"games/dangling.rom", R::BrokenLink}, {"games/pipe.rom", R::NotPlain}, {"games/readme.txt", R::NotAGameName}};
#endif
        QList<std::pair<QString, R>> skipped;
        for (const SkippedFile &s : collectFiles({folder_ + QStringLiteral("/games")}).skipped)
            skipped.append({QDir(folder_).relativeFilePath(s.path), s.reason});
        QCOMPARE(skipped, expected);
        // A registration names them all: the totals add up to what the folder holds.
        const platform::ProgramFolder folder(folder_);
        const Registration done = registerGameFiles({folder_ + QStringLiteral("/games")}, folder,
                                                    catalogue::CatalogueFile(folder.catalogue()), Writing::DryRun);
        QCOMPARE(done.items.size(), 4 + expected.size());
        QCOMPARE(done.items.last().problem, BatchItem::Problem::Skipped);
    }

#ifdef Q_OS_UNIX
    // Names that are not UTF-8: a Shift-JIS name as a Windows zip leaves it, and a name cut in
    // the middle of a character. Found in a folder, read, shown and copied under a name the
    // catalogue can hold (the CP932 read where it is CP932).
    void namesThatAreNotUtf8()
    {
        const QByteArray raw = QFile::encodeName(folder_) + "/raw";
        QVERIFY(::mkdir(raw.constData(), 0700) == 0);
        for (const QByteArray &name : {QByteArray("\x83\x51\x81\x5b\x83\x80.rom"), QByteArray("cut\x83.rom")}) {
            QFile file;
            const int fd = ::open((raw + '/' + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
            QVERIFY(fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
            file.write("game " + name);
        }
        const platform::ProgramFolder folder(folder_);
        // Given as the import tool is, relative to the current folder.
        const QString before = QDir::currentPath();
        QDir::setCurrent(folder_);
        const Registration done = registerGameFiles({QStringLiteral("raw")}, folder,
                                                    catalogue::CatalogueFile(folder.catalogue()), Writing::Write);
        QDir::setCurrent(before);
        QCOMPARE(done.lines.size(), 2);
        QVERIFY(done.lines[0].endsWith("-cart games/cut_x83.rom"));
        QVERIFY(done.lines[1].endsWith(sjis(QStringLiteral("-cart games/ゲーム.rom"))));
        QCOMPARE(readFile(folder.copiedGames() + QStringLiteral("/ゲーム.rom")), QByteArray("game \x83\x51\x81\x5b\x83\x80.rom"));
        QVERIFY(messages::importedItem(done.items[0]).contains(QStringLiteral("raw/cut\\x83.rom")));
        QVERIFY(messages::importedItem(done.items[1]).contains(QStringLiteral("raw/ゲーム.rom")));
    }

    // Lists that are not files, or nested deeper than any list, are passed over at once and
    // reported; the good list beside them is read.
    void hostileListsArePassedOver()
    {
        const QString hash = folder_ + QStringLiteral("/hash");
        QDir().mkpath(hash);
        writeFile(hash + QStringLiteral("/good.xml"), listXml(QStringLiteral("msx1_cart"), {
            {QStringLiteral("Good"), QStringLiteral("1987"), QStringLiteral("G"), QString(), QStringLiteral("msx_cart"), "good"}}));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), hash + QStringLiteral("/zero.xml")));
        QVERIFY(::mkfifo(QFile::encodeName(hash + QStringLiteral("/fifo.xml")).constData(), 0600) == 0);
        writeFile(hash + QStringLiteral("/deep.xml"), QByteArray("<softwarelist>") + QByteArray("<a>").repeated(2000000));
        QElapsedTimer clock;
        clock.start();
        SoftwareLists lists;
        QCOMPARE(lists.loadFolder(hash), 1);
        qInfo("hostile lists passed over in %lld ms", static_cast<long long>(clock.elapsed()));
        QVERIFY(clock.elapsed() < 2000);
        QMap<QString, ListProblem::Kind> problems;
        for (const ListProblem &p : lists.problems())
            problems.insert(QFileInfo(p.path).fileName(), p.kind);
        QCOMPARE(problems, (QMap<QString, ListProblem::Kind>{{"zero.xml", ListProblem::Kind::NotAFile},
                                                             {"fifo.xml", ListProblem::Kind::NotAFile},
                                                             {"deep.xml", ListProblem::Kind::TooDeep}}));
    }

    // Lists at their edges: nested exactly as deep as allowed and one deeper; openMSX's
    // database typing plain and mega ROMs; two lists with sets of one name.
    void listsAtTheirEdges()
    {
        for (const int depth : {SoftwareLists::MaxDepth, SoftwareLists::MaxDepth + 1}) {
            QByteArray xml = listXml(QStringLiteral("msx1_cart"), {{QStringLiteral("Deep"), QStringLiteral("1987"),
                QStringLiteral("D"), QString(), QStringLiteral("msx_cart"), "deep"}});
            const QByteArray nest = QByteArray("<x>").repeated(depth - 1) + QByteArray("</x>").repeated(depth - 1);
            xml.insert(xml.lastIndexOf("</softwarelist>"), nest);
            SoftwareLists lists;
            QCOMPARE(lists.loadList(xml), depth <= SoftwareLists::MaxDepth ? 1 : 0);
        }

        const QByteArray plain(16 * 1024, 'n'), mega(32 * 1024, 'a');
        auto entry = [](const char *title, const char *type, const QByteArray &data) {
            return QByteArray("<software><title>") + title + "</title><system>MSX</system><dump><rom><type>" + type
                   + "</type><hash>" + sha1(data) + "</hash></rom></dump></software>";
        };
        SoftwareLists db;
        QCOMPARE(db.loadOpenMsxDatabase(put(QStringLiteral("db/softwaredb.xml"),
                     "<softwaredb>" + entry("Plain", "Normal", plain) + entry("Mega", "ASCII8", mega) + "</softwaredb>")), 2);
        QVERIFY(!db.find(sha1(plain))->mapper);
        QVERIFY(db.find(sha1(mega))->mapper);
        QCOMPARE(identify({put(QStringLiteral("mega.rom"), mega)}, db, folder_).first().line.split(',').value(1),
                 sjis(QStringLiteral("メガROM")));

        // Disk 2 of one list's "game" and disk 1 of another's: no game of two disks.
        auto set = [](const char *list, const QByteArray &first, const QByteArray &second) {
            QString parts;
            for (const QByteArray &disk : {first, second})
                parts += QStringLiteral("<part name=\"p\" interface=\"floppy_3_5\"><dataarea name=\"flop\">"
                                        "<rom name=\"x\" sha1=\"%1\"/></dataarea></part>").arg(QString::fromLatin1(sha1(disk)));
            return QStringLiteral("<softwarelist name=\"%1\"><software name=\"game\"><description>Game of %1</description>"
                                  "<year>1988</year><publisher>P</publisher>%2</software></softwarelist>")
                .arg(QLatin1String(list), parts).toUtf8();
        };
        const QByteArray a1(720, 'A'), a2(720, 'B'), b1(720, 'C'), b2(720, 'D');
        QVERIFY(lists_.loadList(set("msx2_flop", a1, a2)) == 2 && lists_.loadList(set("msx1_flop", b1, b2)) == 2);
        const QList<BatchItem> items = identify({put(QStringLiteral("a2.dsk"), a2), put(QStringLiteral("b1.dsk"), b1)}, lists_, folder_);
        QCOMPARE(items[0].problem, BatchItem::Problem::FirstPartMissing);
        QCOMPARE(items[1].outcome, BatchItem::Outcome::Identified);
    }

    // A file swapped for a pipe while the files are read never holds the reading up.
    void swappedForAPipeNeverBlocks()
    {
        const QString name = put(QStringLiteral("swap.rom"), HiddenQuest);
        const QString file = put(QStringLiteral("file.rom"), HiddenQuest);
        const QString pipe = folder_ + QStringLiteral("/pipe");
        std::atomic<bool> stop{false};
        QThread *swapper = QThread::create([&] {
            for (bool toPipe = true; !stop; toPipe = !toPipe) {
                if (toPipe)
                    ::mkfifo(QFile::encodeName(pipe).constData(), 0600);
                else
                    writeFile(file, HiddenQuest);
                ::rename(QFile::encodeName(toPipe ? pipe : file).constData(), QFile::encodeName(name).constData());
            }
        });
        swapper->start();
        int read = 0;
        for (int i = 0; i < 200; ++i)
            read += item(name).outcome == BatchItem::Outcome::Identified;
        stop = true;
        swapper->wait();
        delete swapper;
        qInfo("%d of 200 reads found the file, the others a pipe", read);
    }
#endif

#ifdef Q_OS_UNIX
    // A cache that is a pipe or a link to an endless device is neither waited on nor read
    // past its bound: it is passed over and made again as a file.
    void cachesThatAreNoFilesAreMadeAgain_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pipe");
        for (const char *name : {"known-files", "lists-index"}) {
            QTest::addRow("%s, a pipe", name) << QString::fromLatin1(name) << true;
            QTest::addRow("%s, a link to /dev/zero", name) << QString::fromLatin1(name) << false;
        }
    }
    void cachesThatAreNoFilesAreMadeAgain()
    {
        QFETCH(QString, name);
        QFETCH(bool, pipe);
        const QString cache = dir_.filePath(QStringLiteral("cache/tarumin/") + name);
        QDir().mkpath(QFileInfo(cache).absolutePath());
        QFile::remove(cache);
        QVERIFY(pipe ? ::mkfifo(QFile::encodeName(cache).constData(), 0600) == 0 : QFile::link(QStringLiteral("/dev/zero"), cache));
        const platform::ProgramFolder folder(folder_);
        QFile::remove(folder.catalogue()); // each row from an empty catalogue
        const catalogue::CatalogueFile file(folder.catalogue());
        const QString game = put(QStringLiteral("games/hq.rom"), HiddenQuest);
        Registration done;
        QThread *run = QThread::create([&] { done = registerGameFiles({game}, folder, file, Writing::Write); });
        run->start();
        const bool ended = run->wait(30000);
        if (!ended && pipe) { // let it go before failing
            QFile writer(cache);
            writer.open(QIODevice::WriteOnly);
            run->wait();
        }
        delete run;
        QVERIFY(ended);
        QCOMPARE(done.lines.size(), 1);
        const QFileInfo made(cache);
        QVERIFY(made.isFile() && !made.isSymLink() && made.size() > 0);
    }
#endif

    // A zip whose directory lists more entries than a game could hold is refused from its end
    // record, before the directory is read.
    void zipWithTooManyEntriesIsRefused()
    {
        QByteArray end("PK\x05\x06", 4);
        end += QByteArray(4, '\0');                      // disk numbers
        end += QByteArray("\xff\xff\xff\xff", 4);        // entries here and in all: 65535
        end += QByteArray(10, '\0');                     // directory size, offset, comment length
        const BatchItem zip = item(put(QStringLiteral("many.zip"), end));
        QCOMPARE(zip.outcome, BatchItem::Outcome::NotAGame);
        QCOMPARE(zip.fileProblem, GameFile::Problem::ZipTooManyEntries);
    }

    // A real collection: games of several disks, clones, other systems, hardware, unreadable
    // titles, mappers, and file names the catalogue cannot hold.
    void registersACollectionAsItsOwnerWould()
    {
        const QByteArray disk1(720, '1'), disk2(720, '2'), disk3(720, '3'), korean(500, 'k'),
            mapper(32 * 1024, 'm'), controller(16 * 1024, 'f'), coleco(100, 'c');
        auto rom = [](const char *interface, const QByteArray &data, const char *slot = nullptr) {
            return QStringLiteral("<part name=\"p\" interface=\"%1\">%2<dataarea name=\"rom\">"
                                  "<rom name=\"x\" sha1=\"%3\"/></dataarea></part>")
                .arg(QLatin1String(interface),
                     slot ? QStringLiteral("<feature name=\"slot\" value=\"%1\"/>").arg(QLatin1String(slot)) : QString(),
                     QString::fromLatin1(sha1(data)));
        };
        // The clone comes first in its list: the parent wins all the same.
        QVERIFY(lists_.loadList((QStringLiteral("<softwarelist name=\"msx2_flop\">"
            "<software name=\"snatcheralt\" cloneof=\"snatcher\"><description>Snatcher (Japan, alt disk 1)</description><year>1988</year><publisher>Konami</publisher>%1</software>"
            "<software name=\"snatcher\"><description>Snatcher (Japan)</description><year>1988</year><publisher>Konami</publisher>"
            "<info name=\"alt_title\" value=\"スナッチャー\"/>%2%3%4</software></softwarelist>")
            .arg(rom("floppy_3_5", disk1), rom("floppy_3_5", disk1), rom("floppy_3_5", disk2), rom("floppy_3_5", disk3))).toUtf8()) > 0);
        QVERIFY(lists_.loadList((QStringLiteral("<softwarelist name=\"msx1_cart\">"
            "<software name=\"kor\"><description>Korean Game</description><year>1990</year><publisher>K</publisher>"
            "<info name=\"alt_title\" value=\"한국 게임\"/>%1</software>"
            "<software name=\"mapped\"><description>Mapped</description><year>1987</year><publisher>M</publisher>%2</software>"
            "<software name=\"fd\"><description>Floppy controller</description><year>1985</year><publisher>F</publisher>%3</software>"
            "</softwarelist>").arg(rom("msx_cart", korean), rom("msx_cart", mapper, "ascii8"), rom("msx_cart", controller, "disk_hbd50"))).toUtf8()) > 0);
        const QString db = put(QStringLiteral("db/softwaredb.xml"), QByteArray("<softwaredb><software><title>Coleco Game</title>"
            "<system>COLECOVISION</system><dump><rom><hash>") + sha1(coleco) + "</hash></rom></dump></software></softwaredb>");
        QCOMPARE(lists_.loadOpenMsxDatabase(db), 0);
        QCOMPARE(lists_.otherSystem(sha1(coleco)), QStringLiteral("COLECOVISION"));
        lists_.loadOpenMsxDatabase(put(QStringLiteral("db/other.xml"), "<catalog><software/></catalog>"));
        QCOMPARE(lists_.problems().size(), 1);
        QCOMPARE(lists_.problems()[0].kind, ListProblem::Kind::NotUnderstood);

        using O = BatchItem::Outcome;
        using P = BatchItem::Problem;
        const struct
        {
            QString file;
            QByteArray data;
            O outcome;
            P problem;
            QString line; // its end, for the registered ones
        } cases[] = {
            {"snatcher1.dsk", disk1, O::Identified, P::None,
             "スナッチャー,MSX2 ディスク3枚組,1988年,Konami,,Snatcher (Japan),snatcher1,-flop snatcher1.dsk"},
            {"snatcher2.dsk", disk2, O::PartOfGame, P::None, {}},
            {"snatcher3.dsk", disk3, O::PartOfGame, P::None, {}},
            {"korean.rom", korean, O::Identified, P::None, "Korean Game,ROM,1990年,K,,Korean Game,korean,-cart korean.rom"},
            {"mapped.rom", mapper, O::Identified, P::None, "Mapped,メガROM,1987年,M,,Mapped,mapped,-cart mapped.rom"},
            {"fd.rom", controller, O::NotAGame, P::Extension, {}},
            {"coleco.rom", coleco, O::NotAGame, P::OtherSystem, {}},
            {"black onyx, the (japan).rom", "onyx", O::NotIdentified, P::None,
             "black onyx， the (japan),ROM,,,,,black onyx， the (japan),-cart \"games/black onyx， the (japan).rom\""},
            {"Märchen.rom", "maerchen", O::NotIdentified, P::None, "M_rchen,ROM,,,,,M_rchen,-cart games/M_rchen.rom"},
            {"two\nlines.cas", "tape", O::NotIdentified, P::None, "two_lines,テープ,,,,,two_lines,-cass games/two_lines.cas"},
            {"back\\slash.dsk", "disk", O::NotIdentified, P::None, "back_slash,ディスク,,,,,back_slash,-flop games/back_slash.dsk"},
        };
        QStringList files;
        QList<int> used; // the cases whose names this system can hold
        for (int i = 0; i < int(std::size(cases)); ++i) {
#ifdef Q_OS_WIN
            if (cases[i].file.contains(QLatin1Char('\n')) || cases[i].file.contains(QLatin1Char('\\')))
                continue;
#endif
            files << put(cases[i].file, cases[i].data);
            used << i;
        }
        const auto registered = std::count_if(used.begin(), used.end(), [&](int i) { return !cases[i].line.isEmpty(); });
        for (int round = 0; round < 2; ++round) {
            QList<BatchItem> items = identify(files, lists_, folder_);
            catalogue::LineTable table;
            QVERIFY(table.load(folder_ + QStringLiteral("/tarumin/list.csv")).error == std::nullopt);
            const QList<QByteArray> lines = settle(items, table, folder_);
            for (qsizetype i = 0; i < items.size(); ++i) {
                const auto &c = cases[used[i]];
                const O expected = round == 1 && !c.line.isEmpty() ? O::AlreadyThere : c.outcome;
                QVERIFY2(items[i].outcome == expected && items[i].problem == c.problem, qPrintable(c.file));
                if (round == 0 && !c.line.isEmpty())
                    QCOMPARE(platform::decodeCp932(items[i].line), c.line);
            }
            // The second time, the copies are found and nothing is added.
            QCOMPARE(lines.size(), round == 0 ? registered : 0);
            for (const QByteArray &line : lines)
                table.append(line);
            QVERIFY(!table.save(folder_ + QStringLiteral("/tarumin/list.csv")));
        }
        QCOMPARE(countOf(identify(files, lists_, folder_)).copied, registered - 3);
        QCOMPARE(readFile(folder_ + QStringLiteral("/games/black onyx， the (japan).rom")), QByteArray("onyx"));
        QVERIFY(QFile::exists(files.last())); // the originals stay
        // Disk 2 alone is not registered, and says whose it is.
        QCOMPARE(identify({files[1]}, lists_, folder_).first().problem, P::FirstPartMissing);
        // A different file of the same fitted name gets a numbered copy.
        const QString other = put(QStringLiteral("elsewhere/Märchen.rom"), "another");
        QVERIFY(identify({other}, lists_, folder_).first().line.endsWith("-cart \"games/M_rchen (2).rom\""));
    }

    void shippedListsNameTheirGames()
    {
        SoftwareLists shipped;
        QElapsedTimer clock;
        clock.start();
        const int count = shipped.loadFolder(QStringLiteral(SOURCE_DIR "/sample/hash"));
        qInfo("shipped lists: %d images read in %lld ms", count, static_cast<long long>(clock.elapsed()));
        QVERIFY(count > 4000);
        // Hydlide (msx1_cart), by the SHA-1 the list gives it: its Japanese title survives CP932.
        const KnownImage *hydlide = shipped.find("9dcb43b654a08de2c52147f4a2e628b5fe3761c8");
        QVERIFY(hydlide);
        QCOMPARE(hydlide->altTitle, QStringLiteral("ハイドライド"));
        QCOMPARE(platform::decodeCp932(sjis(hydlide->altTitle)), QStringLiteral("ハイドライド"));
        // The sample cartridges are named by the project's own list.
        for (const char *game : {"hoshikaze", "hanno"}) {
            const GameFile file = readGameFile(QStringLiteral(SOURCE_DIR "/sample/%1.rom").arg(QLatin1String(game)));
            const KnownImage *known = shipped.find(file.sha1);
            QVERIFY2(known, game);
            QCOMPARE(known->listName, QStringLiteral("tarumin_cart"));
        }
    }

    void importTool()
    {
        QDir().mkpath(folder_ + QStringLiteral("/hash"));
        writeFile(folder_ + QStringLiteral("/hash/test.xml"), listXml(QStringLiteral("msx1_cart"), {
            {QStringLiteral("Hidden Quest, The (Japan)"), QStringLiteral("1987"), QStringLiteral("Hidden Soft"),
             QStringLiteral("隠された,クエスト"), QStringLiteral("msx_cart"), HiddenQuest}}));
        put(QStringLiteral("hq.rom"), HiddenQuest);
        put(QStringLiteral("mystery.cas"), "?");
        const QString list = folder_ + QStringLiteral("/tarumin/list.csv");
        writeFile(list, "old,,,,,,old,-cart old.rom\r\n");
        auto run = [&](const QStringList &args) {
            QProcess p;
            p.setWorkingDirectory(folder_);
            p.start(QStringLiteral(IMPORT_TOOL), args);
            p.waitForFinished(120000); // Wine can be slow to start a program
            return std::make_pair(p.exitCode(), toolText(p.readAllStandardOutput() + p.readAllStandardError()));
        };
        // Without --write it only says what it would add.
        auto [status, out] = run({QStringLiteral("--folder"), folder_, QStringLiteral("hq.rom"), QStringLiteral("mystery.cas")});
        QCOMPARE(status, 0);
        QVERIFY2(out.contains(QStringLiteral("隠された，クエスト,ROM,1987年")), qPrintable(out));
        QCOMPARE(readFile(list), QByteArray("old,,,,,,old,-cart old.rom\r\n"));
        // With it, one append; a second run finds both there.
        std::tie(status, out) = run({QStringLiteral("--write"), QStringLiteral("--folder"), folder_, folder_});
        QCOMPARE(status, 0);
        QCOMPARE(readFile(list), QByteArray("old,,,,,,old,-cart old.rom\r\n")
                                     + sjis(QStringLiteral("隠された，クエスト,ROM,1987年,Hidden Soft,,Hidden Quest， The (Japan),hq,-cart hq.rom\r\n"))
                                     + "mystery," + sjis(QStringLiteral("テープ")) + ",,,,,mystery,-cass mystery.cas\r\n");
        std::tie(status, out) = run({QStringLiteral("--write"), QStringLiteral("--folder"), folder_, folder_});
        QCOMPARE(status, 0);
        QCOMPARE(out.count(QStringLiteral("登録済みです")), 2);
        // --copy: every file into games/, the copy registered; the original stays where it is.
        const QString outside = dir_.filePath(QStringLiteral("outside/solo.rom"));
        QDir().mkpath(QFileInfo(outside).absolutePath());
        writeFile(outside, "solo");
        std::tie(status, out) = run({QStringLiteral("--write"), QStringLiteral("--copy"), QStringLiteral("--folder"), folder_, outside});
        QCOMPARE(status, 0);
        QVERIFY2(out.contains(QStringLiteral("コピーしたもの: 1")), qPrintable(out));
        QVERIFY(readFile(list).endsWith("solo,ROM,,,,,solo,-cart games/solo.rom\r\n"));
        QCOMPARE(readFile(folder_ + QStringLiteral("/games/solo.rom")), QByteArray("solo"));
        QVERIFY(QFile::exists(outside));
        // Bad arguments, and a catalogue it may not change.
        QCOMPARE(run({QStringLiteral("--folder"), folder_}).first, 2);
        std::tie(status, out) = run({QStringLiteral("--bogus")});
        QCOMPARE(status, 1);
        QVERIFY2(out.startsWith(QStringLiteral("tarumin-import: Unknown option")), qPrintable(out));
        // The help laid out by the parser, within 80 columns, naming the tool however started.
        std::tie(status, out) = run({QStringLiteral("--help")});
        QVERIFY2(out.startsWith(QStringLiteral("Usage: tarumin-import [options] PATH...")), qPrintable(out));
        const QStringList helpLines = out.split(u'\n');
        QVERIFY(std::all_of(helpLines.begin(), helpLines.end(), [](const QString &l) { return l.trimmed().size() < 80; }));
        QFile::remove(list);
        QDir().mkpath(list);
        std::tie(status, out) = run({QStringLiteral("--write"), QStringLiteral("--folder"), folder_, folder_});
        QVERIFY(status != 0);
        QVERIFY2(out.contains(QStringLiteral("変更できません")), qPrintable(out));
    }

    // A copy is exactly the file that was identified, under a name no other file has: a
    // file grown since it was read is not copied, a link at the name is never written
    // through, an identical file there is the copy.
    void copiesAreWhatWasIdentified()
    {
        const QString source = dir_.filePath(QStringLiteral("outside copies/grows.rom"));
        QDir().mkpath(QFileInfo(source).absolutePath());
        QVERIFY(writeFile(source, QByteArray(16 * 1024, 'g')));
        const GameFile read = readGameFile(source);
        {
            QFile more(source);
            QVERIFY(more.open(QIODevice::Append));
            more.write(QByteArray(1024 * 1024, 'm'));
        }
        const Copying all{Copying::Mode::All, true};
        const Placement grown = placeFile(read, folder_, all);
        QCOMPARE(grown.problem, Placement::Problem::Changed);
        QVERIFY(grown.name.isEmpty());
        // Changed in place, its size the same: not the file that was identified either.
        QVERIFY(writeFile(source, QByteArray(16 * 1024, 'G')));
        QCOMPARE(placeFile(read, folder_, all).problem, Placement::Problem::Changed);
        const QString games = folder_ + QStringLiteral("/games");
        QCOMPARE(QDir(games).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());

        // A dangling link at the name: passed over, its target never made.
        const QString solo = dir_.filePath(QStringLiteral("outside copies/solo.rom"));
        QVERIFY(writeFile(solo, "solo"));
        const QString never = dir_.filePath(QStringLiteral("never made"));
        QVERIFY(QFile::link(never, games + QStringLiteral("/solo.rom")));
        const Placement placed = placeFile(readGameFile(solo), folder_, all);
        QCOMPARE(placed.name, QStringLiteral("games/solo (2).rom"));
        QVERIFY(!QFileInfo::exists(never));
        QCOMPARE(readFile(games + QStringLiteral("/solo (2).rom")), QByteArray("solo"));
        // The same file again: the copy there is reused.
        const Placement again = placeFile(readGameFile(solo), folder_, all);
        QCOMPARE(again.name, QStringLiteral("games/solo (2).rom"));
        QVERIFY(!again.newCopy);
    }

#ifdef FAIL_IO_SHIM
    // The import tool on a disk that fails while it copies: a full disk and a size limit are
    // named as such, a copy killed half way leaves a file that the next run removes.
    void copiesOnAFailingDisk_data()
    {
        QTest::addColumn<QString>("failIo");
        QTest::addColumn<int>("sizeLimitKb");
        QTest::addColumn<QString>("said");
        QTest::newRow("full disk") << "tmpfile,write" << 0 << QStringLiteral("ディスクの空きがありません");
        QTest::newRow("size limit") << "" << 16 << QStringLiteral("ファイルの大きさの上限を超えます");
        QTest::newRow("killed, no unnamed files") << "tmpfile,killcopy" << 0 << QString();
    }
    void copiesOnAFailingDisk()
    {
        QFETCH(QString, failIo);
        QFETCH(int, sizeLimitKb);
        QFETCH(QString, said);
        folder_ += u' ' + QString::fromUtf8(QTest::currentDataTag());
        QDir().mkpath(folder_ + QStringLiteral("/tarumin"));
        const QString source = dir_.filePath(QStringLiteral("outside %1/big.rom").arg(QTest::currentDataTag()));
        QDir().mkpath(QFileInfo(source).absolutePath());
        QVERIFY(writeFile(source, QByteArray(256 * 1024, 'x')));
        const QString list = folder_ + QStringLiteral("/tarumin/list.csv");
        QVERIFY(writeFile(list, "old,,,,,,old,-cart old.rom\r\n"));
        auto run = [&](bool failing) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            if (failing && !failIo.isEmpty()) {
                env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAIL_IO_SHIM));
                env.insert(QStringLiteral("FAIL_IO"), failIo);
            }
            p.setProcessEnvironment(env);
            QStringList args{QStringLiteral(IMPORT_TOOL), QStringLiteral("--write"), QStringLiteral("--copy"),
                             QStringLiteral("--folder"), folder_, source};
            if (failing && sizeLimitKb > 0)
                args = QStringList{QStringLiteral("prlimit"), QStringLiteral("--fsize=%1").arg(sizeLimitKb * 1024),
                                   QStringLiteral("--")} + args;
            p.start(args.takeFirst(), args);
            p.waitForFinished(120000); // Wine can be slow to start a program
            return std::make_pair(p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                                  toolText(p.readAllStandardOutput() + p.readAllStandardError()));
        };
        const QString games = folder_ + QStringLiteral("/games");
        const auto [status, out] = run(true);
        QCOMPARE(readFile(list), QByteArray("old,,,,,,old,-cart old.rom\r\n"));
        QCOMPARE(QDir(games).entryList(QDir::Files), QStringList());
        if (said.isEmpty()) {
            QCOMPARE(status, -1); // killed
            QCOMPARE(QDir(games).entryList(QDir::Files | QDir::Hidden).size(), 1);
        } else {
            QCOMPARE(status, 0);
            QVERIFY2(out.contains(QStringLiteral("コピーしようとしましたが")) && out.contains(said), qPrintable(out));
        }
        // The next run removes what was left, and copies.
        QCOMPARE(run(false).first, 0);
        QCOMPARE(QDir(games).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("big.rom")});
        QVERIFY(readFile(list).endsWith("big,ROM,,,,,big,-cart games/big.rom\r\n"));
    }
#endif

    // Two imports at once whose files take the same name in games/: each line names a copy
    // holding its own game.
    void importsRacingForOneCopyName()
    {
        const int rounds = killRounds(8);
        for (int round = 0; round < rounds; ++round) {
            const QString program = dir_.filePath(QStringLiteral("race/%1").arg(round));
            QDir().mkpath(program + QStringLiteral("/tarumin"));
            QList<QByteArray> games;
            QList<QProcess *> imports;
            for (int i = 0; i < 2; ++i) {
                const QString source = dir_.filePath(QStringLiteral("race/from%1/same.rom").arg(i));
                QDir().mkpath(QFileInfo(source).absolutePath());
                games << QByteArray(200 * 1024, char('a' + i)) + QByteArray::number(round);
                QVERIFY(writeFile(source, games.last()));
                auto *p = new QProcess(this);
                p->start(QStringLiteral(IMPORT_TOOL), {QStringLiteral("--write"), QStringLiteral("--copy"),
                                                       QStringLiteral("--folder"), program, source});
                imports << p;
            }
            for (QProcess *p : imports) {
                // Generous: under Wine a program's start alone can take seconds on a busy machine.
                QVERIFY2(ended(*p, 120000), qPrintable(p->errorString()));
                const QString out = toolText(p->readAllStandardOutput());
                QVERIFY2(p->error() == QProcess::UnknownError && p->exitStatus() == QProcess::NormalExit
                             && p->exitCode() == 0 && !out.contains(QStringLiteral("登録済みです")),
                         qPrintable(p->errorString() + QLatin1Char('\n') + out + toolText(p->readAllStandardError())));
                delete p;
            }
            const QList<QByteArray> lines = linesOf(readFile(program + QStringLiteral("/tarumin/list.csv")));
            QCOMPARE(lines.size(), 2);
            QList<QByteArray> copied;
            for (const QByteArray &line : lines) {
                const QString copy = fileNamedBy(line.trimmed(), platform::ProgramFolder(program));
                copied << readFile(copy);
            }
            QVERIFY2(copied.contains(games[0]) && copied.contains(games[1]), qPrintable(QString::number(round)));
        }
    }

#ifdef Q_OS_UNIX
    // As root (sudo) on a user's folder the tool acts as that user: nothing is written through
    // the user's links into root's places, nothing root-only is read, and what it makes is
    // the user's.
    void rootRunActsAsTheFolderOwner()
    {
        if (geteuid() != 0)
            QSKIP("needs root");
        constexpr uid_t User = 65534;
        const QString base = dir_.filePath(QStringLiteral("root run"));
        const QString user = base + QStringLiteral("/prog");
        const QString rootOnly = base + QStringLiteral("/root only");
        QDir().mkpath(user + QStringLiteral("/tarumin"));
        QDir().mkpath(user + QStringLiteral("/src"));
        QDir().mkpath(rootOnly + QStringLiteral("/folder"));
        const QString list = user + QStringLiteral("/tarumin/list.csv");
        const QString secret = rootOnly + QStringLiteral("/secret");
        QVERIFY(writeFile(list, "old,,,,,,old,-cart old.rom\r\n"));
        QVERIFY(writeFile(user + QStringLiteral("/src/game.rom"), QByteArray(64 * 1024, 'u')));
        QVERIFY(writeFile(secret, "root's own\n"));
        ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
        ::chmod(QFile::encodeName(base).constData(), 0755);
        ::chmod(QFile::encodeName(rootOnly).constData(), 0700);
        ::chmod(QFile::encodeName(secret).constData(), 0600);
        for (const QString &p : {user, user + QStringLiteral("/tarumin"), user + QStringLiteral("/src"), list,
                                 user + QStringLiteral("/src/game.rom")})
            QVERIFY(::chown(QFile::encodeName(p).constData(), User, User) == 0);
        auto run = [&](const QStringList &extra) {
            QProcess p;
            p.start(QStringLiteral(IMPORT_TOOL), QStringList{QStringLiteral("--write"), QStringLiteral("--folder"), user}
                                                     + extra + QStringList{user + QStringLiteral("/src/game.rom")});
            p.waitForFinished(120000); // Wine can be slow to start a program
            return std::make_pair(p.exitCode(), toolText(p.readAllStandardOutput() + p.readAllStandardError()));
        };
        auto owner = [](const QString &path) {
            struct stat st;
            return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_uid : uid_t(-1);
        };
        auto linkAs = [&](const QString &target, const QString &link) {
            QFile::remove(link);
            QVERIFY(QFile::link(target, link));
            QVERIFY(::lchown(QFile::encodeName(link).constData(), User, User) == 0);
        };
        const QString games = user + QStringLiteral("/games");

        // games/ a link to a folder of root's: nothing copied there, nothing registered.
        linkAs(rootOnly + QStringLiteral("/folder"), games);
        auto [status, out] = run({QStringLiteral("--copy")});
        QCOMPARE(QDir(rootOnly + QStringLiteral("/folder")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QVERIFY2(out.contains(QStringLiteral("コピーしようとしましたが")), qPrintable(out));
        QCOMPARE(readFile(list), QByteArray("old,,,,,,old,-cart old.rom\r\n"));
        QFile::remove(games);

        // list.csv a link to a file of root's, or to a missing one in root's folder: refused,
        // neither written nor made.
        const QString made = rootOnly + QStringLiteral("/made");
        for (const QString &target : {secret, made}) {
            linkAs(target, list);
            std::tie(status, out) = run({});
            QVERIFY2(status != 0, qPrintable(out));
            QCOMPARE(readFile(secret), QByteArray("root's own\n"));
            QVERIFY(!QFileInfo::exists(made));
        }
        QFile::remove(list);
        QVERIFY(writeFile(list, "old,,,,,,old,-cart old.rom\r\n"));
        QVERIFY(::chown(QFile::encodeName(list).constData(), User, User) == 0);

        // The copy's name raced by a link to root's file: root's file stays as it was, and
        // what is made is the user's.
        std::atomic<bool> racing{true};
        QThread *racer = QThread::create([&] {
            const QByteArray target = QFile::encodeName(secret);
            const QByteArray at = QFile::encodeName(games + QStringLiteral("/game.rom"));
            while (racing) {
                if (::symlink(target.constData(), at.constData()) == 0) {
                    QThread::usleep(200);
                    ::unlink(at.constData());
                }
                QThread::usleep(100);
            }
        });
        racer->start();
        for (int round = 0; round < killRounds(5); ++round) {
            std::tie(status, out) = run({QStringLiteral("--copy")});
            QVERIFY2(status == 0, qPrintable(out));
        }
        racing = false;
        racer->wait();
        delete racer;
        QCOMPARE(readFile(secret), QByteArray("root's own\n"));
        QCOMPARE(owner(games), User);
        QCOMPARE(owner(list), User);
        const QStringList copies = QDir(games).entryList(QDir::Files | QDir::NoSymLinks);
        QVERIFY(!copies.isEmpty());
        for (const QString &copy : copies) {
            QCOMPARE(owner(games + u'/' + copy), User);
            QCOMPARE(readFile(games + u'/' + copy), QByteArray(64 * 1024, 'u'));
        }
    }
#endif

#ifdef Q_OS_UNIX
    // What a root run starts for a user's folder (openMSX for the snapshots) gets that user's
    // environment, not root's: a user the system does not name gets the folder as home.
    void rootRunHandsOnTheOwnersEnvironment()
    {
        if (geteuid() != 0)
            QSKIP("needs root");
        uid_t user = 54321;
        while (::getpwuid(user))
            ++user;
        const QString base = dir_.filePath(QStringLiteral("root env"));
        const QString prog = base + QStringLiteral("/prog");
        QDir().mkpath(prog + QStringLiteral("/tarumin"));
        const QString fake = base + QStringLiteral("/fake-openmsx");
        QVERIFY(writeFile(fake, "#!/bin/sh\nenv > \"$TARUMIN_TEST_ENV\"\n"));
        ::chmod(QFile::encodeName(fake).constData(), 0755);
        QVERIFY(writeFile(prog + QStringLiteral("/hq.rom"), HiddenQuest));
        for (const QString &p : {dir_.path(), base})
            ::chmod(QFile::encodeName(p).constData(), 0755);
        for (const QString &p : {prog, prog + QStringLiteral("/tarumin"), prog + QStringLiteral("/hq.rom")})
            QVERIFY(::chown(QFile::encodeName(p).constData(), user, user) == 0);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TARUMIN_OPENMSX"), fake);
        env.insert(QStringLiteral("TARUMIN_TEST_ENV"), prog + QStringLiteral("/emulator-env"));
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
        env.insert(QStringLiteral("HOME"), QStringLiteral("/root"));
        env.insert(QStringLiteral("USER"), QStringLiteral("root"));
        env.insert(QStringLiteral("LOGNAME"), QStringLiteral("root"));
        for (const char *xdg : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
            env.insert(QString::fromLatin1(xdg), QStringLiteral("/root/.") + QString::fromLatin1(xdg));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("/run/user/0"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(IMPORT_TOOL), {QStringLiteral("--write"), QStringLiteral("--snapshots"),
                                              QStringLiteral("--folder"), prog, prog + QStringLiteral("/hq.rom")});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray seen = "\n" + readFile(prog + QStringLiteral("/emulator-env"));
        QVERIFY2(seen.contains("\nHOME=" + QFile::encodeName(prog) + '\n'), seen.constData());
        for (const char *rootOnly : {"USER=root", "LOGNAME=root", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME",
                                     "XDG_RUNTIME_DIR=/run/user/0"})
            QVERIFY2(!seen.contains(QByteArray("\n") + rootOnly), rootOnly);
    }
#endif

    void snapshotsOfNewCartridges()
    {
#ifdef Q_OS_WIN
        QSKIP("the stand-in openMSX is a shell script");
#endif
        // A stand-in openMSX: saves a 320 x 240 screen (blue inside a red border) where asked.
        const QString screen = dir_.filePath(QStringLiteral("screen.png"));
        QImage raw(320, 240, QImage::Format_RGB32);
        raw.fill(Qt::red);
        for (int y = 24; y < 24 + 192; ++y)
            for (int x = 32; x < 32 + 256; ++x)
                raw.setPixelColor(x, y, Qt::blue);
        QVERIFY(raw.save(screen));
        const QString fake = dir_.filePath(QStringLiteral("fake-openmsx"));
        writeFile(fake, "#!/bin/sh\n"
                        "echo \"$@\" > \"$(dirname \"$0\")/openmsx-args\"\n"
                        "for a; do case \"$a\" in *screenshot*) p=${a#*-raw \\{}; p=${p%%\\}*}; cp '"
                            + QFile::encodeName(screen) + "' \"$p\";; esac; done\n");
        QFile::setPermissions(fake, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        put(QStringLiteral("hq.rom"), HiddenQuest);
        put(QStringLiteral("tape.cas"), "tape");
        put(QStringLiteral("tarumin/snap/old.gif"), "GIF");
        put(QStringLiteral("old.rom"), "old");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TARUMIN_OPENMSX"), fake);
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(IMPORT_TOOL), {QStringLiteral("--write"), QStringLiteral("--snapshots"),
                                              QStringLiteral("--folder"), folder_, folder_});
        QVERIFY(p.waitForFinished(60000));
        const QString out = toolText(p.readAll());
        QCOMPARE(p.exitCode(), 0);
        // The new cartridge gets its picture; a tape does not start alone; a game with a
        // snapshot keeps it.
        const QImage snap(folder_ + QStringLiteral("/tarumin/snap/hq.png"));
        QCOMPARE(snap.size(), QSize(256, 192));
        QCOMPARE(snap.pixelColor(0, 0), QColor(Qt::blue));
        QVERIFY2(out.contains(QStringLiteral("画面写真を撮りました hq.png")), qPrintable(out));
        QVERIFY(!QFile::exists(folder_ + QStringLiteral("/tarumin/snap/tape.png")));
        QVERIFY(!QFile::exists(folder_ + QStringLiteral("/tarumin/snap/old.png")));
        QVERIFY(readFile(dir_.filePath(QStringLiteral("openmsx-args"))).startsWith("-machine C-BIOS_MSX2_JP -cart "));
    }
};

QTEST_GUILESS_MAIN(TestOnboarding)
#include "test_onboarding.moc"
