#include "platform/widgets/file_picker.h"
#include "platform/system/launcher.h"
#include "platform/widgets/mci_control.h"
#include "platform/system/modules.h"
#include "platform/system/paths.h"
#include "platform/system/program_folder.h"
#include "file_support.h"
#include "platform/system/file_lock.h"
#include "platform/system/new_file.h"

#include <functional>
#include <memory>
#include <utility>

#ifdef Q_OS_UNIX
#include <dlfcn.h>
#endif
#include "platform/widgets/picture.h"
#include "platform/widgets/twips.h"
#include "platform/system/file_read.h"
#include "platform/system/file_names.h"
#include "platform/system/translations.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QThreadPool>
#include <QTest>
#include <QUrl>
#include <QFileInfo>
#include <cstdio>
#include <QThread>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void splitsLikeTheWindowsRuntime_data();
    void splitsLikeTheWindowsRuntime();
    void joinsWindowsStylePaths();
    void snapshotsStayInTheirFolder();
    void convertsTheFilterSyntax();
    void twipsToPixels();
    void refusesToStartWhatCannotRun();
    void notAPictureIsAFailure();
    void readsOnlyPlainWaveFiles();
    void backgroundTextureTilesToTheSamePixels();
    void builtInPicturesAreSharpAboveOneHundredPercent();
    void readsOnlyPlainFilesAndNoFurtherThanAllowed();
    void speaksJapanese();
    void reportsAnEarlyFailureOnly();
    void loadsTheSoundStackAtTheFirstSound();
    void choosesTheProgramFolder();
    void seedingIsAllOrNothing();
    void lockLetGoBetweenOpenAndLock();
    void newFilesNeverReplace();
    void aDiskThatDoesNotAnswerIsSaidSo();
    void droppedNamesAreKeptByTheirBytes();
};

// A file dropped on the window comes as a URL of the name's bytes: a name that is not UTF-8
// (Shift-JIS, from a Windows disk) still names the file, and one that is names it as text.
void TestPlatform::droppedNamesAreKeptByTheirBytes()
{
#ifdef Q_OS_WIN
    QSKIP("Windows names files in UTF-16");
#else
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QList<QByteArray> names{QByteArray("\x83\x51\x81\x5b\x83\x80.rom"), // ゲーム.rom in Shift-JIS
                                  QStringLiteral("ゲーム.rom").toUtf8(), QByteArray("plain name.rom")};
    for (const QByteArray &name : names) {
        const QByteArray path = folder + '/' + name;
        FILE *f = std::fopen(path.constData(), "w");
        QVERIFY(f);
        std::fclose(f);
        const QUrl url = QUrl::fromEncoded("file://" + path.toPercentEncoding("/"));
        const QString local = platform::localFileOf(url);
        QCOMPARE(platform::nameForSystem(local), path); // the file's own bytes, as the program opens it
    }
#endif
}

// Whether a file is there, asked off the caller's thread: an answer, or none when the disk
// does not give one in time (both looking threads stuck, as on a hung network drive).
void TestPlatform::aDiskThatDoesNotAnswerIsSaidSo()
{
    QTemporaryDir dir;
    const QString there = dir.filePath(QStringLiteral("there"));
    QVERIFY(writeFile(there, "x"));
    QCOMPARE(platform::existsWithin(there, 5000), std::optional(true));
    QCOMPARE(platform::existsWithin(dir.filePath(QStringLiteral("gone")), 5000), std::optional(false));
    static QSemaphore stuck;
    for (int i = 0; i < platform::diskLookThreads()->maxThreadCount(); ++i)
        platform::diskLookThreads()->start([] { stuck.acquire(); });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(platform::existsWithin(there, 300), std::optional<bool>());
    QVERIFY(clock.elapsed() < 3000);
    stuck.release(platform::diskLookThreads()->maxThreadCount());
}

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

void TestPlatform::snapshotsStayInTheirFolder()
{
    const platform::ProgramFolder folder(QStringLiteral("/opt/my games"));
    const QString snap = QStringLiteral("/opt/my games/tarumin/snap/");
    const std::pair<QString, QStringList> cases[] = {
        {QStringLiteral("hoshikaze"), {snap + "hoshikaze.gif", snap + "hoshikaze.png"}},
        {QStringLiteral("a/../b"), {snap + "b.gif", snap + "b.png"}},
        {QString(), {snap + ".gif", snap + ".png"}},
        {QStringLiteral("../../x"), {}},
        {QStringLiteral("../snap2/x"), {}},
        {QString(2000, u'a'), {}},
    };
    for (const auto &[name, files] : cases)
        QCOMPARE(folder.snapshotCandidates(name), files);
    QCOMPARE(folder.catalogue(), platform::joinPath(QStringLiteral("/opt/my games"), QStringLiteral("\\tarumin\\list.csv")));
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

void TestPlatform::builtInPicturesAreSharpAboveOneHundredPercent()
{
    const QString plate = QStringLiteral(SOURCE_DIR "/assets/nameplate.gif");
    const struct { qreal scale; QSize pixels; qreal ratio; } cases[] = {
        {1.0, {130, 52}, 1.0}, {1.25, {260, 104}, 2.0}, {2.0, {260, 104}, 2.0}};
    for (const auto &c : cases) {
        const QImage image = platform::builtInPicture(plate, "GIF", c.scale);
        QCOMPARE(image.size(), c.pixels);
        QCOMPARE(image.devicePixelRatio(), c.ratio);
    }
    // A picture without a sharper copy is read as it is.
    QCOMPARE(platform::builtInPicture(QStringLiteral(SOURCE_DIR "/assets/background.gif"), "GIF", 2.0)
                 .devicePixelRatio(), 1.0);
    // In the snapshot's box the sharper stand-by picture takes the room of the plain one.
    platform::PictureBox box;
    box.resize(260, 196);
    box.setPicture(platform::builtInPicture(QStringLiteral(SOURCE_DIR "/assets/notimage.gif"), "GIF", 2.0));
    QCOMPARE(box.shownPicture().size(), QSize(512, 384));
    QCOMPARE(box.shownPicture().deviceIndependentSize().toSize(), QSize(256, 192));

    // Kept as a palette only when that gives back the very same pixels, and drawn as before.
    QImage many(300, 1, QImage::Format_RGB32);
    for (int x = 0; x < many.width(); ++x)
        many.setPixel(x, 0, qRgb(x % 256, x / 256, 7));
    QImage clear(2, 2, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const QImage standBy(QStringLiteral(SOURCE_DIR "/assets/notimage.gif"));
    const struct { QImage image; QImage::Format kept; } pictures[] = {
        {standBy, QImage::Format_Indexed8}, {many, QImage::Format_RGB32}, {clear, QImage::Format_ARGB32}};
    for (const auto &p : pictures) {
        const QImage kept = platform::paletted(p.image);
        QCOMPARE(kept.format(), p.kept);
        QCOMPARE(kept.convertToFormat(p.image.format()), p.image);
    }
    platform::PictureBox shown;
    shown.resize(260, 196);
    shown.setPicture(platform::paletted(standBy));
    QImage drawn(shown.size(), QImage::Format_RGB32);
    shown.render(&drawn);
    QCOMPARE(drawn.copy(2, 2, 256, 192), standBy.convertToFormat(QImage::Format_RGB32));
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"

void TestPlatform::readsOnlyPlainFilesAndNoFurtherThanAllowed()
{
    using Problem = platform::FileRead::Problem;
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QFile f(plain);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(200000, 'a'));
    f.close();
    QCOMPARE(platform::readPlainFile(plain, 200000).data.size(), 200000);
    QCOMPARE(platform::readPlainFile(plain, 199999).problem, Problem::TooLarge);
    QCOMPARE(platform::readPlainFile(dir.filePath(QStringLiteral("none")), 10).problem, Problem::Missing);
    QCOMPARE(platform::readPlainFile(dir.path(), 10).problem, Problem::Folder);
#ifdef Q_OS_UNIX
    // A pipe nobody writes to, and a link to an endless device: refused at once.
    const QString fifo = dir.filePath(QStringLiteral("fifo.gif"));
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    const QString zero = dir.filePath(QStringLiteral("zero.wav"));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(platform::readPlainFile(fifo, 100).problem, Problem::NotAFile);
    QCOMPARE(platform::readPlainFile(zero, 100).problem, Problem::NotAFile);
    QVERIFY(!platform::loadPicture(fifo));
    platform::PictureBox box;
    QVERIFY(!box.setPictureFile(fifo));
    QVERIFY(clock.elapsed() < 5000);
#endif
}

void TestPlatform::speaksJapanese()
{
    QVERIFY(platform::installJapaneseTranslations(*QCoreApplication::instance()));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("開く"));
}

void TestPlatform::reportsAnEarlyFailureOnly()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    auto script = [&](const QString &name, const QByteArray &body) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n" + body);
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return path;
    };
    QObject context;
    QList<platform::EarlyExit> exits;
    auto record = [&](const platform::EarlyExit &e) { exits << e; };

    // A refusal: status 4 and the last lines of what it said.
    const QString refuses = script(QStringLiteral("refuses"),
                                   "for i in 1 2 3 4 5 6 7 8; do echo \"line $i\" >&2; done\n"
                                   "echo \"tape needs BASIC: $1\" >&2; exit 4\n");
    QVERIFY(!platform::startProgram(refuses, QStringLiteral("\"my game.cas\""), dir.path(), &context, record));
    QTRY_COMPARE(exits.size(), 1);
    QCOMPARE(exits[0].status, 4);
    QVERIFY(!exits[0].crashed);
    QVERIFY2(exits[0].errorTail.endsWith(QStringLiteral("line 8\ntape needs BASIC: my game.cas")),
             qPrintable(exits[0].errorTail));
    QVERIFY(!exits[0].errorTail.contains(QStringLiteral("line 1\n")));

    // Without a temporary folder for its words (TMPDIR gone), it still starts and its
    // refusal is still reported, without them.
    {
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(dir.filePath(QStringLiteral("gone"))));
        const auto started = platform::startProgram(refuses, QString(), dir.path(), &context, record);
        qputenv("TMPDIR", oldTmp);
        if (oldTmp.isNull())
            qunsetenv("TMPDIR");
        QVERIFY(!started);
        QTRY_COMPARE(exits.size(), 2);
        QCOMPARE(exits[1].status, 4);
        QVERIFY(exits[1].errorTail.isEmpty());
        exits.removeLast();
    }

    // A clean end, and a program that keeps running, are not failures; the runner is not
    // waited for, and it outlives the one who started it.
    const QString fine = script(QStringLiteral("fine"), "exit 0\n");
    const QString runs = script(QStringLiteral("runs"), "echo $$ > \"$(dirname \"$0\")/pid\"; exec sleep 30\n");
    auto *watcher = new QObject;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!platform::startProgram(fine, QString(), dir.path(), &context, record));
    QVERIFY(!platform::startProgram(runs, QString(), dir.path(), watcher, record));
    QVERIFY(clock.elapsed() < 2000);
    QTest::qWait(800);
    QCOMPARE(exits.size(), 1);
    delete watcher;
    QFile pidFile(dir.filePath(QStringLiteral("pid")));
    QTRY_VERIFY(pidFile.exists() && pidFile.size() > 0);
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const qint64 pid = pidFile.readAll().trimmed().toLongLong();
    QVERIFY(pid > 0);
    QCOMPARE(::kill(pid_t(pid), 0), 0);
    ::kill(pid_t(pid), SIGTERM);

    // Ended by a signal.
    const QString crashes = script(QStringLiteral("crashes"), "kill -SEGV $$\n");
    QVERIFY(!platform::startProgram(crashes, QString(), dir.path(), &context, record));
    QTRY_COMPARE(exits.size(), 2);
    QVERIFY(exits[1].crashed);
    QCOMPARE(exits[1].status, 11);

    // A program that cannot be started says why.
    const QString noInterpreter = dir.filePath(QStringLiteral("nointerp"));
    {
        QFile f(noInterpreter);
        f.open(QIODevice::WriteOnly);
        f.write("#!/nonexistent/interpreter\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    const auto failed = platform::startProgram(noInterpreter, QString(), dir.path(), &context, record);
    QVERIFY(failed);
    QCOMPARE(failed->kind, platform::LaunchError::Kind::StartFailed);
    QCOMPARE(failed->system.kind, platform::SystemError::Kind::NotFound);
#endif
}

void TestPlatform::loadsTheSoundStackAtTheFirstSound()
{
    auto audioLoaded = [] {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
    };
#ifdef Q_OS_LINUX
    if (!QFile::exists(QStringLiteral("/proc/self/maps")))
#endif
        QSKIP("needs Linux's /proc");
    platform::setModuleFolders({QStringLiteral("/nonexistent"), QStringLiteral(SOUND_MODULE_DIR)});
    platform::MciControl mci;
    mci.setFileName(QStringLiteral(SOURCE_DIR "/sample/tarumin/sound/doka.wav"));
    mci.setCommand(QStringLiteral("Open"));
    QVERIFY(!audioLoaded());
    QVERIFY(!mci.soundLoaded());
    mci.setCommand(QStringLiteral("Sound"));
    QVERIFY(mci.soundLoaded());
    QVERIFY(audioLoaded());
    mci.setCommand(QStringLiteral("Close"));

    // Without the module the program plays nothing, and goes on.
    platform::setModuleFolders({QStringLiteral("/nonexistent")});
    platform::MciControl silent;
    silent.setFileName(QStringLiteral(SOURCE_DIR "/sample/tarumin/sound/doka.wav"));
    silent.setCommand(QStringLiteral("Open"));
    silent.setCommand(QStringLiteral("Sound"));
    QVERIFY(!silent.soundLoaded());
    platform::setModuleFolders({});
}

void TestPlatform::choosesTheProgramFolder()
{
    using Kind = platform::ProgramFolderChoice::Kind;
    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("bin"));
    const QString share = dir.filePath(QStringLiteral("share/tarumin"));
    const QString adapter = dir.filePath(QStringLiteral("libexec/tarumin/openmsx-adapter"));
    const QString home = dir.filePath(QStringLiteral("home/.local/share/tarumin"));
    QDir().mkpath(exe);
    QDir().mkpath(share + QStringLiteral("/tarumin/snap"));
    QDir().mkpath(share + QStringLiteral("/hash"));
    QDir().mkpath(QFileInfo(adapter).absolutePath());
    QVERIFY(writeFile(share + QStringLiteral("/tarumin/list.csv"), "a,,,,,,a,-cart a.rom\r\n"));
    QVERIFY(writeFile(share + QStringLiteral("/tarumin/snap/a.gif"), "GIF"));
    QVERIFY(writeFile(share + QStringLiteral("/hash/msx1_cart.xml"), "<softwarelist/>"));
    QVERIFY(writeFile(share + QStringLiteral("/a.rom"), "ROM"));
    QVERIFY(writeFile(adapter, "#!/bin/sh\n"));
    QFile::setPermissions(share + QStringLiteral("/tarumin/list.csv"), QFileDevice::ReadOwner);
    const platform::InstalledParts parts{home, share, adapter};

    // Installed: the user's own folder, seeded from the template at the first start.
    auto choice = platform::chooseProgramFolder(exe, parts);
    QCOMPARE(choice.kind, Kind::PerUser);
    QCOMPARE(choice.folder, QDir::cleanPath(home));
    QCOMPARE(readFile(home + QStringLiteral("/tarumin/list.csv")), QByteArray("a,,,,,,a,-cart a.rom\r\n"));
    QVERIFY(QFileInfo(home + QStringLiteral("/tarumin/list.csv")).isWritable());
    QVERIFY(QFile::exists(home + QStringLiteral("/tarumin/snap/a.gif")));
    QVERIFY(!QFile::exists(home + QStringLiteral("/hash"))); // read where installed
    QVERIFY(QFile::exists(home + QStringLiteral("/a.rom")));
#ifdef Q_OS_UNIX
    QCOMPARE(QFileInfo(home + QStringLiteral("/mess.exe")).symLinkTarget(), QFileInfo(adapter).absoluteFilePath());
#endif

    // Seeded once: what the user changed or removed stays so.
    QVERIFY(writeFile(home + QStringLiteral("/tarumin/list.csv"), "mine\r\n"));
    QFile::remove(home + QStringLiteral("/a.rom"));
    QFile::remove(home + QStringLiteral("/mess.exe"));
    choice = platform::chooseProgramFolder(exe, parts);
    QCOMPARE(choice.kind, Kind::PerUser);
    QCOMPARE(readFile(home + QStringLiteral("/tarumin/list.csv")), QByteArray("mine\r\n"));
    QVERIFY(!QFile::exists(home + QStringLiteral("/a.rom")));
    QVERIFY(!QFileInfo(home + QStringLiteral("/mess.exe")).isSymLink());

    // A folder already there, empty or holding only the user's games/, is completed; what it
    // holds stays.
    for (const bool withGames : {false, true}) {
        const QString there = dir.filePath(withGames ? QStringLiteral("games only/tarumin") : QStringLiteral("empty/tarumin"));
        QDir().mkpath(there);
        if (withGames) {
            QDir().mkpath(there + QStringLiteral("/games"));
            QVERIFY(writeFile(there + QStringLiteral("/games/mine.rom"), "mine"));
        }
        choice = platform::chooseProgramFolder(exe, {there, share, adapter});
        QCOMPARE(choice.kind, Kind::PerUser);
        QCOMPARE(readFile(there + QStringLiteral("/tarumin/list.csv")), QByteArray("a,,,,,,a,-cart a.rom\r\n"));
        QVERIFY(QFile::exists(there + QStringLiteral("/a.rom")));
        QCOMPARE(readFile(there + QStringLiteral("/games/mine.rom")), withGames ? QByteArray("mine") : QByteArray("<unreadable>"));
    }

    // Portable: a data folder beside the program wins.
    QDir().mkpath(exe + QStringLiteral("/tarumin"));
    choice = platform::chooseProgramFolder(exe, parts);
    QCOMPARE(choice.kind, Kind::Portable);
    QCOMPARE(choice.folder, exe);

    // A folder whose name is not text is never guessed at.
    QCOMPARE(platform::chooseProgramFolder(std::nullopt, parts).kind, Kind::Unnameable);
#ifdef Q_OS_LINUX
    QVERIFY(!platform::folderName(QByteArray("/home/u/\x83\x51\x81\x5B\x83\x80"))); // ゲーム in Shift-JIS
    QCOMPARE(platform::folderName(QByteArray("/home/u/\xe3\x82\xb2\xe3\x83\xbc\xe3\x83\xa0")).value(),
             QStringLiteral("/home/u/ゲーム"));
#endif

    // A user folder that cannot be made.
    QVERIFY(writeFile(dir.filePath(QStringLiteral("file")), "x"));
    choice = platform::chooseProgramFolder(dir.filePath(QStringLiteral("elsewhere")),
                                           {dir.filePath(QStringLiteral("file/tarumin")), share, adapter});
    QCOMPARE(choice.kind, Kind::CannotCreate);
}

void TestPlatform::seedingIsAllOrNothing()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString share = dir.filePath(QStringLiteral("share"));
    const QString adapter = dir.filePath(QStringLiteral("adapter"));
    const QString home = dir.filePath(QStringLiteral("home/tarumin"));
    QStringList files;
    for (int i = 0; i < 60; ++i)
        files << QStringLiteral("tarumin/snap/g%1.gif").arg(i) << QStringLiteral("g%1.rom").arg(i);
    files << QStringLiteral("tarumin/list.csv");
    for (const QString &f : files) {
        QDir().mkpath(QFileInfo(share + u'/' + f).absolutePath());
        QVERIFY(writeFile(share + u'/' + f, QByteArray(4096, 'x')));
    }
    QVERIFY(writeFile(adapter, "#!/bin/sh\n"));
    const QStringList args{dir.filePath(QStringLiteral("bin")), home, share, adapter};
    auto complete = [&] {
        for (const QString &f : files) {
            if (readFile(home + u'/' + f) != QByteArray(4096, 'x'))
                return false;
        }
        return QFileInfo(home + QStringLiteral("/mess.exe")).symLinkTarget() == adapter;
    };
    // How long a whole seeding takes here; kills fall anywhere in it.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(QProcess::execute(QStringLiteral(SEED_DRIVER), args), 0);
    const int span = int(qMax<qint64>(clock.elapsed(), 5));
    QVERIFY(complete());
    QRandomGenerator random(7);
    int interrupted = 0;
    const int rounds = killRounds(15);
    for (int round = 0; round < rounds; ++round) {
        QDir(home).removeRecursively();
        QProcess start;
        start.start(QStringLiteral(SEED_DRIVER), args);
        QVERIFY(start.waitForStarted());
        QThread::usleep(random.bounded(span * 1000));
        start.kill();
        start.waitForFinished();
        interrupted += start.exitStatus() == QProcess::CrashExit;
        // Whatever the kill left, the next start finds the folder complete or completes it.
        QCOMPARE(QProcess::execute(QStringLiteral(SEED_DRIVER), args), 0);
        QVERIFY2(complete(), qPrintable(QStringLiteral("round %1").arg(round)));
    }
    qInfo("seeding takes %d ms; %d of %d starts killed before they ended", span, interrupted, rounds);
    // Killed after the folder was in place, before its lock went: the next start clears up.
    QVERIFY(writeFile(dir.filePath(QStringLiteral("home/.tarumin.seeding.lock")), ""));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("home/.tarumin.seeding/tarumin"))));
    QCOMPARE(QProcess::execute(QStringLiteral(SEED_DRIVER), args), 0);
    QVERIFY(QDir(dir.filePath(QStringLiteral("home"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
            == QStringList{QStringLiteral("tarumin")});

    // A relative XDG_DATA_HOME is ignored, as the XDG rules say.
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "relative/data");
    QCOMPARE(platform::perUserFolder(QStringLiteral("tarumin")), QDir::homePath() + QStringLiteral("/.local/share/tarumin"));
    qputenv("XDG_DATA_HOME", "/abs/data");
    QCOMPARE(platform::perUserFolder(QStringLiteral("tarumin")), QStringLiteral("/abs/data/tarumin"));
    qputenv("XDG_DATA_HOME", old);
#endif
}

#ifdef Q_OS_UNIX
// Between a locker's open and its flock, the holder lets go (removing the lock file): the
// locker must notice that what it locked is no longer the file at the path. Run through the
// C library's flock, which the test program puts itself in front of.
namespace {
std::function<void()> beforeNextFlock;
}

extern "C" int flock(int fd, int operation)
{
    static int (*real)(int, int) = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "flock"));
    if (auto hook = std::exchange(beforeNextFlock, nullptr))
        hook();
    return real(fd, operation);
}
#endif

void TestPlatform::lockLetGoBetweenOpenAndLock()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv.lock"));
    auto holder = std::make_unique<platform::FileLock>(path);
    QCOMPARE(holder->lock(0), platform::FileLock::Result::Locked);
    platform::FileLock second(path);
    beforeNextFlock = [&] { holder.reset(); };
    QCOMPARE(second.lock(1000), platform::FileLock::Result::Locked);
    // The second holds the lock on the file now at the path: a third is kept out.
    platform::FileLock third(path);
    QCOMPARE(third.lock(0), platform::FileLock::Result::Busy);
#endif
}

// A new file takes a name only where no file is; one never named leaves nothing; what a killed
// copy left is removed, a file still being written is not.
void TestPlatform::newFilesNeverReplace()
{
    QTemporaryDir dir;
    auto make = [&](const QByteArray &data) {
        auto file = std::make_unique<platform::NewFile>(dir.path());
        file->write(data.constData(), data.size());
        return file;
    };
    QCOMPARE(make("first")->name(QStringLiteral("x.rom")), platform::NewFile::Naming::Named);
    auto second = make("second");
    QCOMPARE(second->name(QStringLiteral("x.rom")), platform::NewFile::Naming::Taken);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("x.rom"))), QByteArray("first"));
    QCOMPARE(second->name(QStringLiteral("y.rom")), platform::NewFile::Naming::Named);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("y.rom"))), QByteArray("second"));
    make("never named");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"x.rom", "y.rom"}));

    const QString leftover = dir.filePath(QLatin1String(platform::NewFile::LeftoverPrefix) + QStringLiteral("killed"));
    QVERIFY(writeFile(leftover, "half"));
    auto writing = make("being written");
    QCOMPARE(platform::removeLeftovers(dir.path()), 1);
    QVERIFY(!QFile::exists(leftover));
    QCOMPARE(writing->name(QStringLiteral("z.rom")), platform::NewFile::Naming::Named);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("z.rom"))), QByteArray("being written"));
}
