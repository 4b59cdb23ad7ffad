#include "catalogue/launch_request.h"
#include "catalogue/line_table.h"
#include "catalogue/record.h"
#include "platform/system/codepage.h"
#include "platform/system/launcher.h"
#include "file_support.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <variant>


using namespace catalogue;

namespace {

QByteArray sjis(const QString &text)
{
    return platform::encodeCp932(text).value();
}

QByteArray numberedLines(int count)
{
    QByteArray data;
    for (int i = 0; i < count; ++i)
        data += "game" + QByteArray::number(i) + ",ROM,,,,,g" + QByteArray::number(i)
                + ",-cart g.rom\r\n";
    return data;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void launchRequestRoundTrip_data();
    void launchRequestRoundTrip();
    void launchRequestRefusals();
    void composesTheWorkedExample();
    void composeFileNameAndSlot_data();
    void composeFileNameAndSlot();
    void splitsIntoEightFields();
    void splitsShortAndLongRecords();
    void gameNameOfLine();
    void mediaFromNamesOptionsAndLists();
    void foldsLineBreaks();
    void untouchedEditGivesBackTheLine_data();
    void untouchedEditGivesBackTheLine();
    void editKeepsUntouchedFieldsAndRemakesFile();
    void checkedLineRefusesCommasAndUnwritableText();

    void cp932RoundTripsTrickyBytes();
    void cp932KeepsInvalidBytesAndMarksThem();
    void cp932RefusesCharactersItCannotHold();

    void readsLineEndings_data();
    void readsLineEndings();
    void loadThenSaveIsByteForByte();
    void emptyAndMissingFiles();
    void tableOfExactly1001And1002Lines();
    void shorterLoadAfterLongerOne();
    void deleteFirstLastOnlyAndOutside();
    void appendToFullTableRefused();
    void unreadableFileRefusesChanges();
    void failedSaveLeavesOldFileWhole();
    void saveCreatesMissingFolder();
    void saveKeepsLinkAndPermissions();
    void saveKeepsTheGroupWithoutRoot();
};

void TestCatalogue::composesTheWorkedExample()
{
    Entry e{QStringLiteral("Star Runner"), QStringLiteral("ROM"), QStringLiteral("1987年5月"),
            QStringLiteral("Example Soft"), QStringLiteral("5800円"),
            QStringLiteral("Side-scrolling shooter."), QStringLiteral("starrun"), Media::Cartridge};
    const QString expected = QStringLiteral("Star Runner,ROM,1987年5月,Example Soft,5800円,"
                                            "Side-scrolling shooter.,starrun,-cart starrun.rom");
    QCOMPARE(composeLine(e), expected);
    e.gameFileName = QStringLiteral("starrun.rom");
    QCOMPARE(composeLine(e), expected);

    // Byte for byte in CP932, and read back into its fields.
    const QByteArray bytes = sjis(expected);
    QVERIFY(bytes.contains("1987\x94\x4e" "5\x8c\x8e"));
    const Record r = splitRecord(bytes);
    QCOMPARE(r.cuts, 7);
    QCOMPARE(r.fields[SnapNameField], QByteArray("starrun"));
    QCOMPARE(r.fields[LaunchArgsField], QByteArray("-cart starrun.rom"));

    e.slot = Media::Disk;
    e.gameFileName = QStringLiteral("game.part1.dsk");
    const Record disk = splitRecord(sjis(composeLine(e)));
    QCOMPARE(disk.fields[SnapNameField], QByteArray("game"));
    QCOMPARE(disk.fields[LaunchArgsField], QByteArray("-flop game.part1.dsk"));
}

void TestCatalogue::composeFileNameAndSlot_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("snap");
    QTest::addColumn<QString>("args");
    QTest::newRow("tape, no dot") << "game" << 1 << "game" << "-cass game.cas";
    QTest::newRow("tape, with extension") << "game.cas" << 1 << "game" << "-cass game.cas";
    QTest::newRow("two dots") << "a.b.rom" << 0 << "a" << "-cart a.b.rom";
    QTest::newRow("leading dot") << ".rom" << 0 << "" << "-cart .rom";
    QTest::newRow("no slot") << "game" << -1 << "game" << "game";
    QTest::newRow("empty, disk") << "" << 2 << "" << "-flop .dsk";
    QTest::newRow("comma after dot") << "x.r,om" << 0 << "x" << "-cart x.r,om";
    // Names with folders: field 7 is the file's own name; blanks and quotes are quoted.
    QTest::newRow("folder") << "/home/u/roms/star.rom" << 0 << "star" << "-cart /home/u/roms/star.rom";
    QTest::newRow("blank in folder") << "/home/u/my roms/star.rom" << 0 << "star"
                                     << "-cart \"/home/u/my roms/star.rom\"";
    QTest::newRow("dot in folder only") << "/home/u/my.roms/star" << 1 << "star"
                                        << "-cass /home/u/my.roms/star.cas";
    QTest::newRow("windows folder") << "C:\\MSX\\My Games\\a.b.dsk" << 2 << "a"
                                    << "-flop \"C:\\MSX\\My Games\\a.b.dsk\"";
    QTest::newRow("blank, default extension") << "my game" << 0 << "my game" << "-cart \"my game.rom\"";
    QTest::newRow("quote in name") << "a\"b.rom" << 0 << "a\"b" << "-cart \"a\\\"b.rom\"";
}

void TestCatalogue::composeFileNameAndSlot()
{
    QFETCH(QString, file);
    QFETCH(int, slot);
    QFETCH(QString, snap);
    QFETCH(QString, args);
    QCOMPARE(snapNameFor(file), snap);
    const std::optional<Media> media = slot < 0 ? std::nullopt : std::optional(Media(slot));
    QCOMPARE(launchArgsFor(file, media), args);
    Entry e;
    e.gameFileName = file;
    e.slot = media;
    const Record r = splitRecord(composeLine(e).toUtf8());
    QCOMPARE(QString::fromUtf8(r.fields[SnapNameField]), snap);
    QCOMPARE(QString::fromUtf8(r.fields[LaunchArgsField]), args);
}

void TestCatalogue::splitsIntoEightFields()
{
    const Record r = splitRecord(" a ,  ,b,c,d,e,f,-cart x,y.rom");
    QCOMPARE(r.cuts, 7);
    QCOMPARE(r.fields[0], QByteArray(" a "));
    QCOMPARE(r.fields[1], QByteArray("  "));
    QCOMPARE(r.fields[LaunchArgsField], QByteArray("-cart x,y.rom"));

    const Record letter = splitRecord("A,,,,,,,");
    QCOMPARE(letter.cuts, 7);
    QCOMPARE(letter.fields[0], QByteArray("A"));
    for (int i = 1; i < FieldCount; ++i)
        QVERIFY(letter.fields[i].isEmpty());

    // A second byte that looks like a backslash or a tilde is not a separator.
    const QByteArray line = sjis(QStringLiteral("表ソ～,ソフト,,,,,表,-cart 表.rom"));
    const Record j = splitRecord(line);
    QCOMPARE(platform::decodeCp932(j.fields[0]), QStringLiteral("表ソ～"));
    QCOMPARE(platform::decodeCp932(j.fields[LaunchArgsField]), QStringLiteral("-cart 表.rom"));
}

void TestCatalogue::splitsShortAndLongRecords()
{
    const Record shortOne = splitRecord("name,media,1990");
    QCOMPARE(shortOne.cuts, 2);
    QCOMPARE(shortOne.fields[2], QByteArray("1990"));
    for (int i = 3; i < FieldCount; ++i)
        QVERIFY(shortOne.fields[i].isEmpty());

    const Record none = splitRecord("no comma here");
    QCOMPARE(none.cuts, 0);
    QCOMPARE(none.fields[0], QByteArray("no comma here"));

    const Record extra = splitRecord("a,b,c,d,e,f,g,h,i,j");
    QCOMPARE(extra.fields[LaunchArgsField], QByteArray("h,i,j"));

    // A comma typed into the price moves every later field one place on.
    const Record shifted = splitRecord("n,m,y,k,4,800円,desc,snap,-cart snap.rom");
    QCOMPARE(shifted.fields[4], QByteArray("4"));
    QCOMPARE(shifted.fields[LaunchArgsField], QByteArray("snap,-cart snap.rom"));
}

void TestCatalogue::gameNameOfLine()
{
    QCOMPARE(gameNameOf("Name,rest"), QByteArrayView("Name"));
    QCOMPARE(gameNameOf(",rest"), QByteArrayView(""));
    QCOMPARE(gameNameOf("whole line"), QByteArrayView("whole line"));
    QCOMPARE(gameNameOf(""), QByteArrayView(""));
}

void TestCatalogue::mediaFromNamesOptionsAndLists()
{
    using M = std::optional<Media>;
    const std::pair<QString, M> files[] = {
        {"a.ROM", Media::Cartridge}, {"a.mx2", Media::Cartridge}, {"a.b.cas", Media::Tape},
        {"x.Dsk", Media::Disk}, {"a.zip", {}}, {"games.rom/a", {}}, {"rom", {}}};
    for (const auto &[name, media] : files)
        QCOMPARE(mediaOfFileName(name), media);
    QVERIFY(isGameFileName(u"A.ZIP") && !isGameFileName(u"readme.txt"));
    QCOMPARE(mediaOfInterface(u"floppy_3_5"), M(Media::Disk));
    QCOMPARE(mediaOfInterface(u"msx_cass"), M(Media::Tape));
    QCOMPARE(mediaOfInterface(u"coleco_cart"), M());
    for (const MediaKind &kind : mediaKinds()) {
        QCOMPARE(mediaOfLaunchArgs(kind.option.toString() + "x"), M(kind.media));
        QCOMPARE(mediaOfFileName(QStringLiteral("x") + kind.defaultExtension.toString()), M(kind.media));
    }
    QCOMPARE(mediaOfLaunchArgs(u"-cartx"), M());
}

void TestCatalogue::foldsLineBreaks()
{
    QCOMPARE(foldLineBreaks(QStringLiteral("a\r\nb\nc\rd\u2028e")), QStringLiteral("a b c d e"));
    QCOMPARE(foldLineBreaks(QStringLiteral("\n\n")), QStringLiteral("  "));
}

void TestCatalogue::untouchedEditGivesBackTheLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("cartridge, other extension") << QByteArray("hyou,ROM,,,,,hyou,-cart hyou.mx1");
    QTest::newRow("two dots") << QByteArray("a,ROM,,,,,a,-cart a.b.rom");
    QTest::newRow("tape") << QByteArray("t,TAPE,,,,,t,-cass t.cas");
    QTest::newRow("quotes and more commas") << QByteArray("q,,,,,,q,-cart \"my q.rom\" -x,y");
    QTest::newRow("unknown option") << QByteArray("u,,,,,,u,-hard u.img");
    QTest::newRow("short line") << QByteArray("only,two");
    QTest::newRow("no comma") << QByteArray("no comma");
    QTest::newRow("invalid bytes") << QByteArray("ok\x85\x40,\xa0,,,,,s,-cart s.rom");
    QTest::newRow("tricky bytes") << sjis(QStringLiteral("表ソ～,①,,,,,hyou,-cart 表.rom"));
}

void TestCatalogue::untouchedEditGivesBackTheLine()
{
    QFETCH(QByteArray, line);
    const Entry shown = entryFromLine(line).asShown();
    const EditBase base{line, shown};
    const auto result = checkedLine(shown, &base);
    QCOMPARE(std::get<QByteArray>(result), line);
}

void TestCatalogue::editKeepsUntouchedFieldsAndRemakesFile()
{
    const QByteArray line = QByteArray("n\xa0,ROM,1987,m,,d,hyou,-cart hyou.mx1");
    const Entry shown = entryFromLine(line).asShown();
    QCOMPARE(shown.slot, Media::Cartridge);
    QCOMPARE(shown.gameFileName, QStringLiteral("hyou"));
    const EditBase base{line, shown};

    // Only the price: every other byte stays, the stray byte in the name included.
    Entry typed = shown;
    typed.price = QStringLiteral("4800円");
    QCOMPARE(std::get<QByteArray>(checkedLine(typed, &base)),
             QByteArray("n\xa0,ROM,1987,m,") + sjis(QStringLiteral("4800円")) + ",d,hyou,-cart hyou.mx1");

    // A changed slot alone changes only the media option; the file stays as written.
    typed.slot = Media::Tape;
    QVERIFY(std::get<QByteArray>(checkedLine(typed, &base)).endsWith(",hyou,-cass hyou.mx1"));
    const QByteArray far = "far,ROM,,,,,star,-cart \"/home/u/my roms/star.rom\"";
    Entry farShown = entryFromLine(far).asShown();
    const EditBase farBase{far, farShown};
    farShown.slot = Media::Disk;
    QCOMPARE(std::get<QByteArray>(checkedLine(farShown, &farBase)),
             QByteArray("far,ROM,,,,,star,-flop \"/home/u/my roms/star.rom\""));
    // A file name typed anew remakes fields 7 and 8 as a registration does.
    typed.slot = Media::Cartridge;
    typed.gameFileName = QStringLiteral("/home/u/my roms/star.rom");
    QVERIFY(std::get<QByteArray>(checkedLine(typed, &base)).endsWith(",star,-cart \"/home/u/my roms/star.rom\""));
    typed.gameFileName = QStringLiteral("newname");
    QVERIFY(std::get<QByteArray>(checkedLine(typed, &base)).endsWith(",newname,-cart newname.rom"));

    // A field changed and changed back counts as untouched.
    typed = shown;
    typed.maker = QStringLiteral("x");
    typed.maker = shown.maker;
    QCOMPARE(std::get<QByteArray>(checkedLine(typed, &base)), line);
}

void TestCatalogue::checkedLineRefusesCommasAndUnwritableText()
{
    Entry e{QStringLiteral("名前"), {}, {}, {}, QStringLiteral("4,800円"), {}, QStringLiteral("g"), Media::Cartridge};
    auto problem = std::get<EntryProblem>(checkedLine(e));
    QCOMPARE(problem.kind, EntryProblem::Kind::Comma);
    QCOMPARE(problem.field, Field::Price);

    e.price.clear();
    e.gameFileName = QStringLiteral("/roms,old/a,b.rom"); // the comma before the dot counts
    problem = std::get<EntryProblem>(checkedLine(e));
    QCOMPARE(problem.field, Field::GameFileName);
    e.gameFileName = QStringLiteral("/roms,old/ab.r,om"); // folders and after the dot: field 8
    QVERIFY(std::get<QByteArray>(checkedLine(e)).endsWith(",ab,-cart /roms,old/ab.r,om"));

    // What an input method on Linux types is written as the full-width twin a Windows one
    // types, and reads back as it; a character CP932 has no code for is refused by name.
    const std::pair<QString, QByteArray> twins[] = {
        {"ドラゴン〜伝説〜", sjis(QStringLiteral("ドラゴン～伝説～"))}, {"−1", "\x81\x7c" "1"},
        {"‖", "\x81\x61"}, {"—", "\x81\x5c"}, {"¢£¬", "\x81\x91\x81\x92\x81\xca"},
        {"¥500", "\x81\x8f" "500"}, {"a‾b", "a\x81\x50" "b"}};
    for (const auto &[typed, bytes] : twins) {
        e.maker = typed;
        QCOMPARE(splitRecord(std::get<QByteArray>(checkedLine(e))).fields[3], bytes);
        QCOMPARE(platform::decodeCp932(bytes), platform::withWindowsTwins(typed));
    }
    e.maker = QStringLiteral("Café");
    problem = std::get<EntryProblem>(checkedLine(e));
    QCOMPARE(problem.kind, EntryProblem::Kind::Unwritable);
    QCOMPARE(problem.field, Field::Maker);
    QCOMPARE(problem.character, QStringLiteral("é"));
    // A file's name is written exactly or not at all: its twin would name another file.
    e.maker.clear();
    e.gameFileName = QStringLiteral("wave〜dash.rom");
    problem = std::get<EntryProblem>(checkedLine(e));
    QCOMPARE(problem.field, Field::GameFileName);
    QCOMPARE(problem.character, QStringLiteral("〜"));
    e.gameFileName = QStringLiteral("g");

    // Line breaks become blanks; a very long text is kept whole.
    e.maker = QStringLiteral("a\nb");
    e.description = QString(40000, u'あ');
    const QByteArray line = std::get<QByteArray>(checkedLine(e));
    const Record r = splitRecord(line);
    QCOMPARE(r.fields[3], QByteArray("a b"));
    QCOMPARE(r.fields[5].size(), 80000);
}

void TestCatalogue::cp932RoundTripsTrickyBytes()
{
    const struct { const char *bytes; const char16_t *text; } cases[] = {
        {"\x95\x5c", u"表"},   {"\x83\x5c", u"ソ"}, {"\x87\x40", u"①"},
        {"\x81\x60", u"～"},   {"\xb1", u"ｱ"},     {"\x81\x40", u"\u3000"},
        {"a\\b~", u"a\\b~"},   {"\x01\x7f", u"\x01\x7f"},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        QCOMPARE(platform::decodeCp932(c.bytes), text);
        QCOMPARE(platform::encodeCp932(text).value(), QByteArray(c.bytes));
    }
}

void TestCatalogue::cp932KeepsInvalidBytesAndMarksThem()
{
    // 0x85 0x40 is an unassigned pair, 0xA0 and 0xFD are never characters, 0x81 at the end
    // is a lead byte cut short.
    const QByteArray line = QByteArray("ok\x85\x40,\xa0x,\xfd,") + "\x95\x5c" + "\x81";
    const QString shown = platform::decodeCp932(line);
    QVERIFY(shown.startsWith(QStringLiteral("ok\uFFFD")));
    QVERIFY(shown.contains(QStringLiteral("\uFFFDx,\uFFFD,表\uFFFD")));

    // The table keeps such a line byte for byte through a load and a save.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    const QByteArray data = line + "\r\nnext,,,,,,,\r\n";
    QVERIFY(writeFile(path, data));
    LineTable table;
    QVERIFY(table.load(path).ok());
    QCOMPARE(table.line(0), line);
    QVERIFY(!table.save(path));
    QCOMPARE(readFile(path), data);
}

void TestCatalogue::cp932RefusesCharactersItCannotHold()
{
    QVERIFY(!platform::encodeCp932(QStringLiteral("é")));
    QVERIFY(!platform::encodeCp932(QStringLiteral("ゲーム😀")));
    QVERIFY(!platform::encodeCp932(QStringLiteral("한국")));
    QVERIFY(platform::encodeCp932(QString()).value().isEmpty());
}

void TestCatalogue::readsLineEndings_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
    QTest::newRow("lone cr") << QByteArray("a\rb\r") << QList<QByteArray>{"a", "b"};
    QTest::newRow("lone lf") << QByteArray("a\nb\n") << QList<QByteArray>{"a", "b"};
    QTest::newRow("mixed ends") << QByteArray("A\r\nB\nC\r\n") << QList<QByteArray>{"A", "B", "C"};
    QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << QList<QByteArray>{"a", "", "b"};
    QTest::newRow("unterminated last") << QByteArray("a\r\nb") << QList<QByteArray>{"a", "b"};
    QTest::newRow("blank lines kept") << QByteArray("\r\n\r\nx\r\n")
                                      << QList<QByteArray>{"", "", "x"};
    QTest::newRow("cr cr lf") << QByteArray("a\r\r\n") << QList<QByteArray>{"a", ""};
}

void TestCatalogue::readsLineEndings()
{
    QFETCH(QByteArray, data);
    QFETCH(QList<QByteArray>, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    QVERIFY(writeFile(path, data));
    LineTable table;
    QVERIFY(table.load(path).ok());
    QCOMPARE(table.size(), lines.size());
    QByteArray expected;
    for (int i = 0; i < lines.size(); ++i) {
        QCOMPARE(table.line(i), lines[i]);
        expected += lines[i] + "\r\n";
    }
    QVERIFY(!table.save(path));
    QCOMPARE(readFile(path), expected);
}

void TestCatalogue::loadThenSaveIsByteForByte()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    const QByteArray data = sjis(QStringLiteral("表示,ソフト,１９８７,ﾊﾝｶｸ,①,説明　文,hyo,-cart hyo.rom\r\n"
                                                "ﾃｽﾄ,,,,,,,\r\n,,,,,,,\r\nno comma\r\n"));
    QVERIFY(writeFile(path, data));
    LineTable table;
    QVERIFY(table.load(path).ok());
    QCOMPARE(table.lastIndex(), int(3));
    QVERIFY(!table.save(path));
    QCOMPARE(readFile(path), data);
}

void TestCatalogue::emptyAndMissingFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarumin/list.csv"));
    LineTable table;
    const LoadResult missing = table.load(path);
    QVERIFY(missing.missing);
    QVERIFY(missing.ok());
    QCOMPARE(table.lastIndex(), int(-1));
    QVERIFY(!table.refusal());

    QVERIFY(!table.save(path)); // creates the folder and an empty file
    QCOMPARE(readFile(path), QByteArray());
    const LoadResult empty = table.load(path);
    QVERIFY(empty.ok() && !empty.missing);
    QCOMPARE(table.lastIndex(), int(-1));
}

void TestCatalogue::tableOfExactly1001And1002Lines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    QVERIFY(writeFile(path, numberedLines(1001)));
    LineTable table;
    QVERIFY(table.load(path).ok());
    QCOMPARE(table.lastIndex(), int(1000));
    QVERIFY(!table.refusal());
    QVERIFY(table.remove(1000));
    QVERIFY(table.append("new"));
    QVERIFY(!table.append("one too many"));
    QCOMPARE(table.line(1000), QByteArray("new"));

    const QByteArray tooLong = numberedLines(1002);
    QVERIFY(writeFile(path, tooLong));
    const LoadResult r = table.load(path);
    QCOMPARE(r.error->kind, Error::Kind::TooLong);
    QCOMPARE(r.lineCount, qsizetype(1002));
    QCOMPARE(r.error->lineCount, qsizetype(1002));
    QCOMPARE(table.lastIndex(), int(1000));
    QCOMPARE(table.line(1000), QByteArray("game1000,ROM,,,,,g1000,-cart g.rom"));
    QVERIFY(table.refusal());
    QCOMPARE(readFile(path), tooLong);
}

void TestCatalogue::shorterLoadAfterLongerOne()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    QVERIFY(writeFile(path, numberedLines(5)));
    LineTable table;
    table.load(path);
    QVERIFY(writeFile(path, numberedLines(2)));
    table.load(path);
    QCOMPARE(table.lastIndex(), int(1));
    QVERIFY(table.line(2).isEmpty());
    QVERIFY(!table.save(path));
    QCOMPARE(readFile(path), numberedLines(2));
}

void TestCatalogue::deleteFirstLastOnlyAndOutside()
{
    LineTable table;
    table.parse("a\r\nb\r\nc\r\n");
    QVERIFY(!table.remove(-1));
    QVERIFY(!table.remove(3));
    QVERIFY(!table.replace(3, "x"));
    QCOMPARE(table.size(), 3);
    QVERIFY(table.remove(0));
    QCOMPARE(table.serialise(), QByteArray("b\r\nc\r\n"));
    QVERIFY(table.remove(table.lastIndex()));
    QCOMPARE(table.serialise(), QByteArray("b\r\n"));
    QVERIFY(table.remove(0));
    QCOMPARE(table.lastIndex(), int(-1));
    QCOMPARE(table.serialise(), QByteArray());
    QVERIFY(table.line(0).isEmpty());
}

void TestCatalogue::appendToFullTableRefused()
{
    LineTable table;
    table.parse(numberedLines(1001));
    const QByteArray before = table.serialise();
    QVERIFY(!table.append("x"));
    QCOMPARE(table.serialise(), before);
    QVERIFY(table.remove(500));
    QCOMPARE(table.size(), 1000);
    QCOMPARE(table.line(500), QByteArray("game501,ROM,,,,,g501,-cart g.rom"));
    QCOMPARE(table.line(999), QByteArray("game1000,ROM,,,,,g1000,-cart g.rom"));
}

void TestCatalogue::unreadableFileRefusesChanges()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    QVERIFY(QDir().mkpath(path)); // a folder where the file should be
    LineTable table;
    const LoadResult r = table.load(path);
    QCOMPARE(r.error->kind, Error::Kind::FolderInPlace);
    QVERIFY(table.refusal());
    QCOMPARE(table.save(path)->kind, Error::Kind::FolderInPlace); // never replaced by a file

    if (permissionsApply()) {
        const QString locked = dir.filePath(QStringLiteral("locked.csv"));
        QVERIFY(writeFile(locked, "a,,,,,,,\r\n"));
        QFile::setPermissions(locked, QFileDevice::WriteOwner);
        const LoadResult denied = table.load(locked);
        QCOMPARE(denied.error->kind, Error::Kind::Unreadable);
        QCOMPARE(denied.error->system.kind, platform::SystemError::Kind::AccessDenied);
    }

    // A later successful load lifts the refusal.
    const QString good = dir.filePath(QStringLiteral("good.csv"));
    QVERIFY(writeFile(good, "a,,,,,,,\r\n"));
    QVERIFY(table.load(good).ok());
    QVERIFY(!table.refusal());
}

void TestCatalogue::failedSaveLeavesOldFileWhole()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("tarumin"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/list.csv");
    const QByteArray old = numberedLines(3);
    QVERIFY(writeFile(path, old));
    LineTable table;
    table.load(path);
    table.remove(0);

    // Root may write anywhere; a read-only folder stops everyone else.
    if (permissionsApply()) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const auto error = table.save(path);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner);
        QVERIFY(error);
        QCOMPARE(readFile(path), old);
    }
    // A file under a path whose "folder" is a file cannot be written at all.
    const QString blocked = path + QStringLiteral("/list.csv");
    const auto error = table.save(blocked);
    QVERIFY(error);
    QCOMPARE(error->kind, Error::Kind::CannotCreateFolder);
    QCOMPARE(readFile(path), old);
    // No temporary files are left beside the catalogue.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"list.csv"});
}

void TestCatalogue::saveCreatesMissingFolder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarumin/list.csv"));
    LineTable table;
    table.append("a,,,,,,,");
    QVERIFY(!table.save(path));
    QCOMPARE(readFile(path), QByteArray("a,,,,,,,\r\n"));
}

void TestCatalogue::saveKeepsLinkAndPermissions()
{
    if (QSysInfo::productType() == QLatin1String("windows"))
        QSKIP("file links and modes are Unix matters");
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("elsewhere.csv"));
    const QString link = dir.filePath(QStringLiteral("list.csv"));
    QVERIFY(writeFile(real, numberedLines(3)));
    QVERIFY(QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    QVERIFY(QFile::link(real, link));
    LineTable table;
    QVERIFY(table.load(link).ok());
    QVERIFY(table.remove(0));
    QVERIFY(!table.save(link));
    // The catalogue behind a link is rewritten in place of its target; the link stays a link,
    // and the file keeps its permissions.
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readFile(real), numberedLines(3).mid(numberedLines(3).indexOf('\n') + 1));
    QCOMPARE(QFile::permissions(real) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
}

void TestCatalogue::saveKeepsTheGroupWithoutRoot()
{
#ifdef Q_OS_UNIX
    // The file belongs to us with a group of ours that is not the one a new file gets: the
    // save must give the new file that group (any user may, for a group of theirs).
    gid_t other = gid_t(-1);
    if (geteuid() == 0) {
        other = getegid() == 65534 ? 0 : 65534;
    } else {
        gid_t groups[256];
        const int n = getgroups(256, groups);
        for (int i = 0; i < n && other == gid_t(-1); ++i) {
            if (groups[i] != getegid())
                other = groups[i];
        }
    }
    if (other == gid_t(-1))
        QSKIP("this user has only one group");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    QVERIFY(writeFile(path, numberedLines(2)));
    QVERIFY(::chown(QFile::encodeName(path).constData(), geteuid(), other) == 0);
    LineTable table;
    QVERIFY(table.load(path).ok());
    QVERIFY(table.remove(0));
    QVERIFY(!table.save(path));
    struct stat st;
    QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
    QCOMPARE(st.st_gid, other);
    QCOMPARE(st.st_uid, geteuid());
#endif
}

// What the window asks for is what the adapter reads, for every machine, media and option, with
// file names that need quoting.
void TestCatalogue::launchRequestRoundTrip_data()
{
    QTest::addColumn<QString>("machine");
    QTest::addColumn<bool>("fmpac");
    QTest::addColumn<QString>("launchArgs");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("state");
    for (const char *machine : {"MSX2J", "MSXJ"})
        for (bool fmpac : {false, true})
            for (const QString &file : {QStringLiteral("game.rom"), QStringLiteral("my game.cas"), QStringLiteral("日本\\\"q\".dsk")})
                for (const catalogue::MediaKind &kind : catalogue::mediaKinds()) {
                    const QString args = catalogue::launchArgsFor(file, kind.media, true);
                    const QString line = QString::fromLatin1(machine) + (fmpac ? QStringLiteral(" -CART FMPAC.ROM ") : QStringLiteral(" ")) + args;
                    QTest::addRow("%s %d %s", machine, fmpac, qPrintable(args)) << machine << fmpac << args << line << QString();
                }
    QTest::newRow("no game") << "MSX2J" << true << "" << "MSX2J -CART FMPAC.ROM " << QString();
    QTest::newRow("from a state") << "MSXJ" << false << "-cart a.rom" << "MSXJ -cart a.rom -state \"my s.oms\"" << "my s.oms";
}

void TestCatalogue::launchRequestRoundTrip()
{
    QFETCH(QString, machine);
    QFETCH(bool, fmpac);
    QFETCH(QString, launchArgs);
    QFETCH(QString, commandLine);
    QFETCH(QString, state);
    const catalogue::LaunchRequest request{machine, fmpac, launchArgs, state};
    QCOMPARE(request.toCommandLine(), commandLine);
    const auto parsed = catalogue::LaunchRequest::parse(platform::splitCommandLine(commandLine));
    QVERIFY(std::holds_alternative<catalogue::LaunchRequest>(parsed));
    QCOMPARE(std::get<catalogue::LaunchRequest>(parsed), request);
    QCOMPARE(request.media(), catalogue::mediaOfLaunchArgs(launchArgs));
}

void TestCatalogue::launchRequestRefusals()
{
    using Kind = catalogue::LaunchRequest::Problem::Kind;
    const QList<std::pair<QStringList, Kind>> cases{
        {{}, Kind::NoMachine},
        {{"MSX3", "-cart", "a.rom"}, Kind::UnknownMachine},
        {{"MSX2J", "-cart"}, Kind::OptionWithoutFile},
        {{"MSX2J", "-rom", "a.rom"}, Kind::UnknownOption},
        {{"MSX2J", "-cart", "a.rom", "-flop", "b.dsk"}, Kind::TwoGames},
    };
    for (const auto &[arguments, kind] : cases) {
        const auto parsed = catalogue::LaunchRequest::parse(arguments);
        QVERIFY2(std::holds_alternative<catalogue::LaunchRequest::Problem>(parsed), qPrintable(arguments.join(u' ')));
        QCOMPARE(int(std::get<catalogue::LaunchRequest::Problem>(parsed).kind), int(kind));
    }
    // Case as Tarumin's own lines have it, and as users typed it.
    const auto mixed = catalogue::LaunchRequest::parse({"msxj", "-cart", "fmpac.rom", "-CASS", "t.cas"});
    QCOMPARE(std::get<catalogue::LaunchRequest>(mixed), (catalogue::LaunchRequest{"MSXJ", true, "-cass t.cas", {}}));
}

QTEST_APPLESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
