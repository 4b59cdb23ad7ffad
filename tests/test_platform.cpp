#include "platform/widgets/file_picker.h"
#include "platform/system/launcher.h"
#include "platform/widgets/mci_control.h"
#include "platform/system/paths.h"
#include "platform/widgets/picture.h"
#include "platform/widgets/twips.h"

#include <QFile>
#include <QPainter>
#include <QTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void splitsLikeTheWindowsRuntime_data();
    void splitsLikeTheWindowsRuntime();
    void joinsWindowsStylePaths();
    void convertsTheFilterSyntax();
    void twipsToPixels();
    void refusesToStartWhatCannotRun();
    void notAPictureIsAFailure();
    void readsOnlyPlainWaveFiles();
    void backgroundTextureTilesToTheSamePixels();
};

void TestPlatform::splitsLikeTheWindowsRuntime_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("args");
    QTest::newRow("plain") << "MSX2J -cart GAME.rom" << QStringList{"MSX2J", "-cart", "GAME.rom"};
    QTest::newRow("fmpac") << "MSXJ -CART FMPAC.ROM -cass GAME.cas"
                           << QStringList{"MSXJ", "-CART", "FMPAC.ROM", "-cass", "GAME.cas"};
    QTest::newRow("trailing blank") << "MSX2J " << QStringList{"MSX2J"};
    QTest::newRow("double blanks and tabs") << "a  \t b" << QStringList{"a", "b"};
    QTest::newRow("quoted blank") << "-cart \"my game.rom\"" << QStringList{"-cart", "my game.rom"};
    QTest::newRow("quote inside") << "a\"b c\"d" << QStringList{"ab cd"};
    QTest::newRow("escaped quote") << "a\\\"b" << QStringList{"a\"b"};
    QTest::newRow("backslashes kept") << "C:\\games\\x.rom" << QStringList{"C:\\games\\x.rom"};
    QTest::newRow("even backslashes before quote") << "\"a\\\\\" b" << QStringList{"a\\", "b"};
    QTest::newRow("doubled quote inside quotes") << "\"a\"\"b\"" << QStringList{"a\"b"};
    QTest::newRow("empty quotes") << "x \"\" y" << QStringList{"x", "", "y"};
    QTest::newRow("nothing") << "" << QStringList{};
}

void TestPlatform::splitsLikeTheWindowsRuntime()
{
    QFETCH(QString, line);
    QFETCH(QStringList, args);
    QCOMPARE(platform::splitCommandLine(line), args);
}

void TestPlatform::joinsWindowsStylePaths()
{
#ifdef Q_OS_WIN
    QCOMPARE(platform::joinPath("C:/x", "\\tarumin\\list.csv"), QString("C:/x\\tarumin\\list.csv"));
#else
    QCOMPARE(platform::joinPath("/opt/my games", "\\tarumin\\list.csv"),
             QString("/opt/my games/tarumin/list.csv"));
    QCOMPARE(platform::joinPath("/x", "\\tarumin\\snap\\.gif"), QString("/x/tarumin/snap/.gif"));
#endif
}

void TestPlatform::convertsTheFilterSyntax()
{
    QCOMPARE(platform::toolkitFilter(QStringLiteral("ゲームイメージ　(*.*)|*.*")),
             QStringLiteral("ゲームイメージ　(*.*) (*)"));
    QCOMPARE(platform::toolkitFilter(QStringLiteral("ROM|*.rom;*.mx1|All|*.*")),
             QStringLiteral("ROM (*.rom *.mx1);;All (*)"));
}

void TestPlatform::twipsToPixels()
{
    QCOMPARE(platform::twips(4440, 165, 3900, 2940), QRect(296, 11, 260, 196));
}

void TestPlatform::refusesToStartWhatCannotRun()
{
    QCOMPARE(platform::startProgram(QStringLiteral("/nonexistent/mess.exe"), QString(), "/")->kind,
             platform::LaunchError::Kind::Missing);
    QCOMPARE(platform::startProgram(QStringLiteral("/"), QString(), "/")->kind,
             platform::LaunchError::Kind::IsAFolder);
}

void TestPlatform::notAPictureIsAFailure()
{
    QVERIFY(!platform::loadPicture(QStringLiteral(SOURCE_DIR "/CMakeLists.txt")));
    QVERIFY(!platform::loadPicture(QStringLiteral("/nonexistent.gif")));
    QVERIFY(platform::loadPicture(QStringLiteral(SOURCE_DIR "/sample/tarumin/snap/kinoko.gif")));
}

void TestPlatform::readsOnlyPlainWaveFiles()
{
    QFile f(QStringLiteral(SOURCE_DIR "/sample/tarumin/sound/doka.wav"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray wav = f.readAll();
    const auto sound = platform::parseWave(wav);
    QVERIFY(sound);
    QCOMPARE(sound->sampleRate, 22050);
    QCOMPARE(sound->channels, 1);
    QCOMPARE(sound->bitsPerSample, 16);
    QVERIFY(sound->samples.size() > 1000);
    QCOMPARE(sound->samples.size() % 2, 0);

    QVERIFY(!platform::parseWave(QByteArray()));
    QVERIFY(!platform::parseWave("RIFF broken"));
    QVERIFY(!platform::parseWave(wav.left(30)));     // cut inside the format chunk
    QByteArray compressed = wav;
    compressed[20] = 2;                              // not PCM
    QVERIFY(!platform::parseWave(compressed));
    const auto cut = platform::parseWave(wav.left(wav.size() - 101)); // data cut short
    QVERIFY(cut);
    QCOMPARE(cut->samples.size() % 2, 0);
    QByteArray huge = wav;                           // a data size larger than the file
    const qsizetype data = huge.indexOf("data");
    huge[data + 4] = char(0xff); huge[data + 5] = char(0xff); huge[data + 6] = char(0xff); huge[data + 7] = char(0x7f);
    QVERIFY(platform::parseWave(huge));
}

void TestPlatform::backgroundTextureTilesToTheSamePixels()
{
    auto tiled = [](const QPixmap &texture) {
        QImage out(566, 428, QImage::Format_RGB32);
        QPainter p(&out);
        p.drawTiledPixmap(out.rect(), texture);
        return out;
    };
    const QImage scanLines(QStringLiteral(SOURCE_DIR "/assets/background.gif"));
    const QPixmap compact = platform::backgroundTexture(scanLines);
    QCOMPARE(compact.size(), QSize(640, 3));
    QCOMPARE(tiled(compact), tiled(QPixmap::fromImage(scanLines)));
    QCOMPARE(tiled(compact).pixelColor(0, 0), QColor(89, 89, 89));
    QCOMPARE(tiled(compact).pixelColor(5, 301), QColor(64, 64, 64));

    // A picture that does not repeat is kept whole.
    const QImage snapshot(QStringLiteral(SOURCE_DIR "/sample/tarumin/snap/kinoko.gif"));
    QCOMPARE(platform::backgroundTexture(snapshot).size(), snapshot.size());
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
