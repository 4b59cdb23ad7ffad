// The catalogue file as the one owner of list.csv: each change is a locked read-check-write
// against the file as it stands, so nothing another program wrote is lost and no change hits
// a line the user did not choose.
#include "catalogue/catalogue_file.h"
#include "file_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <functional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <utime.h>
#endif

using namespace catalogue;

namespace {

QByteArray lines(std::initializer_list<const char *> list)
{
    QByteArray data;
    for (const char *line : list)
        data += QByteArray(line) + "\r\n";
    return data;
}

} // namespace

class TestCatalogueFile : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("tarumin/list.csv")); }

private slots:
    void init()
    {
        QDir(dir_.filePath(QStringLiteral("tarumin"))).removeRecursively();
        QDir().mkpath(dir_.filePath(QStringLiteral("tarumin")));
    }

    void changesKeepWhatOthersWrote()
    {
        // The window read A B C; then an editor appended D and removed A.
        QVERIFY(writeFile(path(), lines({"A", "B", "C"})));
        const CatalogueFile file(path());
        LineTable shown;
        QVERIFY(file.load(shown).ok());
        QVERIFY(writeFile(path(), "B\r\nC\nD\r\n"));

        // Line 1 of what the window showed (B) is now line 0: the check refuses, nothing written.
        const auto moved = file.remove(1, shown.line(1));
        QVERIFY(moved);
        QCOMPARE(moved->kind, Error::Kind::LineChanged);
        QCOMPARE(readFile(path()), QByteArray("B\r\nC\nD\r\n"));
        const auto replaced = file.replace(0, shown.line(0), "X");
        QCOMPARE(replaced->kind, Error::Kind::LineChanged);

        // Chosen from the list as it now is, the same changes go through; D stays.
        QVERIFY(file.load(shown).ok());
        QVERIFY(!file.remove(0, shown.line(0)));
        QCOMPARE(readFile(path()), lines({"C", "D"}));
        QVERIFY(!file.replace(1, "D", "D2"));
        QVERIFY(!file.append({"E", "F"}));
        QCOMPARE(readFile(path()), lines({"C", "D2", "E", "F"}));
        // An index past the end is a changed line too.
        QCOMPARE(file.remove(9, "C")->kind, Error::Kind::LineChanged);
        QCOMPARE(file.remove(-1, "")->kind, Error::Kind::LineChanged);
        // No lock file is left behind (on Windows it stays: a file being deleted cannot be
        // opened by the next locker, and a lock file without a holder locks nothing).
#ifdef Q_OS_WIN
        const QStringList left{"list.csv", "list.csv.lock"};
#else
        const QStringList left{"list.csv"};
#endif
        QCOMPARE(QDir(dir_.filePath(QStringLiteral("tarumin"))).entryList(QDir::Files | QDir::Hidden), left);
    }

    void nothingToWriteLeavesTheFileAlone()
    {
        // A batch that adds nothing, and an edit saved as it was, rewrite nothing: the file
        // keeps its own line ends.
        QVERIFY(writeFile(path(), "A\nB\n"));
        const CatalogueFile file(path());
        QVERIFY(!file.appendChosen([](const LineTable &) { return QList<QByteArray>(); }));
        QVERIFY(!file.replace(1, "B", "B"));
        QCOMPARE(readFile(path()), QByteArray("A\nB\n"));
    }

    void lfEndsDoNotMergeLines()
    {
        QVERIFY(writeFile(path(), "A\r\nB\nC\r\n"));
        const CatalogueFile file(path());
        QVERIFY(!file.remove(1, "B"));
        QCOMPARE(readFile(path()), lines({"A", "C"}));
        QVERIFY(writeFile(path(), "only\n"));
        QVERIFY(!file.replace(0, "only", "only one"));
        QCOMPARE(readFile(path()), lines({"only one"}));
    }

    void appendIsAllOrNothing()
    {
        QByteArray data;
        for (int i = 0; i < 999; ++i)
            data += "g" + QByteArray::number(i) + "\r\n";
        QVERIFY(writeFile(path(), data));
        const CatalogueFile file(path());
        const auto full = file.append({"a", "b", "c"});
        QCOMPARE(full->kind, Error::Kind::Full);
        QCOMPARE(full->lineCount, qsizetype(999));
        QCOMPARE(readFile(path()), data);
        QVERIFY(!file.append({"a", "b"}));
        QCOMPARE(readFile(path()), data + "a\r\nb\r\n");

        // A file too long to hold is never written.
        QVERIFY(writeFile(path(), data + "a\r\nb\r\nc\r\n"));
        QCOMPARE(file.remove(0, "g0")->kind, Error::Kind::TooLong);
        QCOMPARE(readFile(path()), data + "a\r\nb\r\nc\r\n");
    }

    void missingFolderIsMadeAndMissingFileStartsEmpty()
    {
        QDir(dir_.filePath(QStringLiteral("tarumin"))).removeRecursively();
        const CatalogueFile file(path());
        QVERIFY(!file.append({"new"}));
        QCOMPARE(readFile(path()), lines({"new"}));
    }

    // A file saved by an editor in another encoding is named, shown as far as CP932 can show
    // it, and never changed; a stray mark before CP932 text is dropped, the lines kept.
    void otherEncodingsAreNamedNotMixed_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("refusedAs"); // an Error::Kind, or -1
        QTest::addColumn<QByteArray>("firstLine"); // as the table holds it
        const QByteArray bom("\xEF\xBB\xBF");
        const QString text = QStringLiteral("星風ランナー,ROM\r\n二,ROM\r\n");
        const QByteArray shown("\x90\xaf\x95\x97\x83\x89\x83\x93\x83\x69\x81\x5b,ROM");
        auto utf16 = [&](bool little, bool mark) {
            QByteArray out = mark ? QByteArray(little ? "\xFF\xFE" : "\xFE\xFF") : QByteArray();
            for (const QChar c : text) {
                const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
                out.append(little ? lo : hi).append(little ? hi : lo);
            }
            return out;
        };
        const int utf8 = int(Error::Kind::Utf8), utf16Kind = int(Error::Kind::Utf16);
        QTest::newRow("UTF-8 with its mark") << bom + text.toUtf8() << utf8 << shown;
        QTest::newRow("UTF-8 without a mark") << text.toUtf8() << utf8 << shown;
        QTest::newRow("UTF-16 LE with its mark") << utf16(true, true) << utf16Kind << shown;
        QTest::newRow("UTF-16 BE with its mark") << utf16(false, true) << utf16Kind << shown;
        QTest::newRow("UTF-16 LE without a mark") << utf16(true, false) << utf16Kind << shown;
        QTest::newRow("UTF-16 BE without a mark") << utf16(false, false) << utf16Kind << shown;
        QTest::newRow("CP932 with a stray mark") << bom + QByteArray("\x90\xaf,ROM\r\nB,ROM\r\n")
                                                 << -1 << QByteArray("\x90\xaf,ROM");
        QTest::newRow("ASCII with a mark") << bom + QByteArray("A,ROM\r\nB,ROM\r\n") << -1 << QByteArray("A,ROM");
        // "\xC3\xA9" is é in UTF-8 and ﾃｩ in CP932: read as CP932, as always.
        QTest::newRow("valid as both") << QByteArray("\xC3\xA9,ROM\r\nB,ROM\r\n") << -1 << QByteArray("\xC3\xA9,ROM");
    }
    void otherEncodingsAreNamedNotMixed()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, refusedAs);
        QFETCH(QByteArray, firstLine);
        QVERIFY(writeFile(path(), file));
        LineTable table;
        const LoadResult loaded = table.load(path());
        QCOMPARE(table.line(0), firstLine);
        QCOMPARE(table.size(), 2);
        QCOMPARE(loaded.error.has_value(), refusedAs >= 0);
        const auto removed = CatalogueFile(path()).remove(1, table.line(1));
        if (refusedAs >= 0) {
            QCOMPARE(int(loaded.error->kind), refusedAs);
            QVERIFY(removed && int(removed->kind) == refusedAs);
            QCOMPARE(readFile(path()), file);
        } else {
            QVERIFY(!removed);
            QCOMPARE(readFile(path()), firstLine + "\r\n");
        }
    }

    // Another program rewriting the file in place leaves its last line cut for a moment: a
    // change waits for the rest, or gives up without writing when it never comes.
    void halfWrittenFileIsWaitedFor()
    {
        QByteArray whole;
        for (int i = 0; i < 14; ++i)
            whole += "game" + QByteArray::number(i) + ",ROM,,,,,g,-cart g.rom\r\n";
        const QByteArray half = whole.left(whole.size() / 3 + 5);
        QVERIFY(!half.endsWith('\n'));
        const CatalogueFile file(path());
        int waits = 0;
        CatalogueFile patient(path());
        patient.setWaitHook([&](bool waiting) { waits += waiting; });

        QVERIFY(writeFile(path(), half));
        QThread *writer = QThread::create([&] {
            QThread::msleep(600);
            writeFile(path(), whole);
        });
        writer->start();
        QVERIFY(!patient.remove(0, "game0,ROM,,,,,g,-cart g.rom"));
        writer->wait();
        delete writer;
        QVERIFY(waits > 0);
        QCOMPARE(readFile(path()), whole.mid(whole.indexOf('\n') + 1));

        // Still being written, never finished within the wait: refused, the file as it was.
        std::atomic<bool> writing{true};
        QThread *slow = QThread::create([&] {
            QFile f(path()); // in place, as such a program writes: the same bytes again
            f.open(QIODevice::ReadWrite);
            while (writing) {
                f.seek(0);
                f.write(half);
                f.flush();
                QThread::msleep(100);
            }
        });
        QVERIFY(writeFile(path(), half));
        slow->start();
        const auto refused = file.remove(0, "game0,ROM,,,,,g,-cart g.rom");
        writing = false;
        slow->wait();
        delete slow;
        QVERIFY(refused && refused->kind == Error::Kind::BeingWritten);
        QCOMPARE(readFile(path()), half);
        // A last line without its end that nobody has touched for a while is a line.
#ifdef Q_OS_UNIX
        struct utimbuf old{time(nullptr) - 60, time(nullptr) - 60};
        QVERIFY(::utime(QFile::encodeName(path()).constData(), &old) == 0);
        QVERIFY(!file.remove(0, "game0,ROM,,,,,g,-cart g.rom"));
        QCOMPARE(readFile(path()), half.mid(half.indexOf('\n') + 1) + "\r\n");
#endif
    }

    // An editor that empties the file and writes it out again in place (all at once after a
    // moment, or a line at a time), or that leaves it shorter: a change made meanwhile waits
    // for it and keeps every line it wrote, or is refused and writes nothing. The window read
    // the whole file before; the import tool reads it only after the editor began.
    void rewriteInPlaceLosesNothing_data()
    {
        QTest::addColumn<int>("pauseMs");   // after emptying the file
        QTest::addColumn<int>("lineMs");    // between lines; -1: all at once
        QTest::addColumn<int>("linesLeft"); // what the editor writes of the 500
        QTest::addColumn<bool>("readFirst");
        QTest::newRow("whole, read before") << 400 << -1 << 500 << true;
        QTest::newRow("whole, read after") << 400 << -1 << 500 << false;
        QTest::newRow("line by line, read before") << 0 << 2 << 500 << true;
        QTest::newRow("line by line, read after") << 0 << 2 << 500 << false;
        QTest::newRow("left short") << 0 << 2 << 107 << true;
    }
    void rewriteInPlaceLosesNothing()
    {
        QFETCH(int, pauseMs);
        QFETCH(int, lineMs);
        QFETCH(int, linesLeft);
        QFETCH(bool, readFirst);
#ifdef Q_OS_WIN
        // Windows gives a file put in place by a rename the time the old one was made, so an
        // emptied file the program never saw whole cannot be told from one saved empty.
        if (!readFirst)
            QSKIP("needs the time a file was made");
#endif
        QList<QByteArray> all;
        for (int i = 0; i < 500; ++i)
            all << "game" + QByteArray::number(i) + ",ROM,1987,maker,,text,snap,-cart g" + QByteArray::number(i) + ".rom\r\n";
        const QByteArray edited = all.mid(0, linesLeft).join();
        const int rounds = qEnvironmentVariableIntValue("TARUMIN_REWRITES") > 0 ? qEnvironmentVariableIntValue("TARUMIN_REWRITES") : 2;
        int lost = 0;
        for (int round = 0; round < rounds; ++round) {
            QVERIFY(writeFile(path(), all.join()));
            const CatalogueFile file(path());
            LineTable table;
            if (readFirst)
                QVERIFY(file.load(table).ok());
            QThread *editor = QThread::create([&] {
                QThread::msleep(150); // the file was there for a moment before the editor saved
                QFile f(path());
                if (!f.open(QIODevice::WriteOnly)) // emptied, in place
                    return;
                QThread::msleep(pauseMs);
                if (lineMs < 0)
                    f.write(edited);
                for (int i = 0; lineMs >= 0 && i < linesLeft; ++i) {
                    f.write(all[i]);
                    f.flush();
                    QThread::msleep(lineMs);
                }
            });
            editor->start();
            QThread::msleep(170 + round * 37 % 250);
            if (!readFirst)
                file.load(table);
            const QByteArray ours = "ours" + QByteArray::number(round) + ",ROM,,,,,,-cart o.rom";
            const auto refused = file.append({ours});
            editor->wait();
            delete editor;
            const QByteArray now = readFile(path());
            const QByteArray expected = refused ? edited : edited + ours + "\r\n";
            if (refused)
                QCOMPARE(refused->kind, Error::Kind::BeingWritten);
            if (now != expected) {
                ++lost;
                qInfo("round %d: %d lines of %d", round, int(linesOf(now).size()), int(linesOf(expected).size()));
            }
        }
        QCOMPARE(lost, 0);
    }

    // A reader holding the catalogue open (on Windows, one that does not share its deletion,
    // as Qt and the C runtime open files) keeps a save waiting until it lets go; past the wait
    // the save is refused and the file left whole.
    void savedOnceAReaderLetsGo()
    {
        QVERIFY(writeFile(path(), lines({"A", "B"})));
        QFile reader(path());
        QVERIFY(reader.open(QIODevice::ReadOnly));
        QThread *closer = QThread::create([&] {
            QThread::msleep(500);
            reader.close();
        });
        closer->start();
        QVERIFY(!CatalogueFile(path()).remove(0, "A"));
        closer->wait();
        delete closer;
        QCOMPARE(readFile(path()), lines({"B"}));
#ifdef Q_OS_WIN
        QVERIFY(reader.open(QIODevice::ReadOnly));
        const auto refused = CatalogueFile(path()).remove(0, "B");
        reader.close();
        QVERIFY(refused && refused->kind == Error::Kind::HeldOpen);
        QCOMPARE(readFile(path()), lines({"B"}));
#endif
    }

    void waitsForAnotherCopysChangeThenGivesUp()
    {
        QVERIFY(writeFile(path(), lines({"A"})));
        // Another copy of the program is in the middle of a change.
        QProcess holder;
        holder.start(QStringLiteral(CHANGE_DRIVER), {path(), QStringLiteral("hold")});
        QVERIFY(holder.waitForReadyRead(10000));
        const CatalogueFile file(path());
        const auto busy = file.append({"B"});
        QVERIFY(busy);
        QCOMPARE(busy->kind, Error::Kind::Busy);
        QCOMPARE(readFile(path()), lines({"A"}));

        // When that program is killed, its lock is stale and the change goes through.
        holder.kill();
        holder.waitForFinished();
        QVERIFY(!file.append({"B"}));
        QCOMPARE(readFile(path()), lines({"A", "B"}));
    }

    void twoWritersAtOnceLoseNothing()
    {
        // Two processes, 500 random changes each, on the same catalogue at the same time.
        const int count = qEnvironmentVariableIntValue("TARUMIN_CHANGES") > 0
                              ? qEnvironmentVariableIntValue("TARUMIN_CHANGES") : 500;
        twoWriters(path(), path(), count);
    }

#ifdef Q_OS_UNIX
    // A lock path that is not a plain file is told at once, naming it, and never waited on.
    void lockThatIsNotAFileIsToldAtOnce()
    {
        QVERIFY(writeFile(path(), lines({"A"})));
        const QString lock = path() + QStringLiteral(".lock");
        const std::function<bool()> makers[] = {
            [&] { return ::mkfifo(QFile::encodeName(lock).constData(), 0600) == 0; },
            [&] { return QDir().mkdir(lock); },
            [&] { // a dangling link, a day old
                if (!QFile::link(dir_.filePath(QStringLiteral("gone")), lock))
                    return false;
                const struct timeval old[2] = {{time(nullptr) - 86400, 0}, {time(nullptr) - 86400, 0}};
                return ::lutimes(QFile::encodeName(lock).constData(), old) == 0;
            },
            [&] { return writeFile(path() + ".real", "") && QFile::link(path() + ".real", lock); },
        };
        for (const auto &make : makers) {
            QVERIFY(make());
            QElapsedTimer clock;
            clock.start();
            const auto refused = CatalogueFile(path()).append({"B"});
            QVERIFY(clock.elapsed() < CatalogueFile::LockWaitMs);
            QVERIFY(refused);
            QCOMPARE(refused->kind, Error::Kind::LockNotAFile);
            QCOMPARE(refused->path, QFileInfo(path()).canonicalFilePath() + QStringLiteral(".lock"));
            QCOMPARE(readFile(path()), lines({"A"}));
            QVERIFY(QFile::remove(lock) || QDir().rmdir(lock));
        }
        QVERIFY(!CatalogueFile(path()).append({"B"}));
    }

    // Two program folders whose catalogues are links to one file take one lock: two copies
    // changing it at once through the two links lose nothing.
    void linkedCataloguesShareOneLock()
    {
        QVERIFY(writeFile(path(), ""));
        QStringList links;
        for (const char *name : {"one", "two"}) {
            const QString link = dir_.filePath(QStringLiteral("%1/tarumin/list.csv").arg(QLatin1String(name)));
            QVERIFY(QDir().mkpath(QFileInfo(link).absolutePath()));
            QFile::remove(link);
            QVERIFY(QFile::link(path(), link));
            links << link;
        }
        twoWriters(links[0], links[1], 100);
        QVERIFY(QFileInfo(links[0]).isSymLink() && QFileInfo(links[1]).isSymLink());
    }
#endif

private:
    void twoWriters(const QString &pathA, const QString &pathB, int count)
    {
        QByteArray data;
        QSet<QByteArray> expected;
        for (int i = 0; i < 100; ++i) {
            const QByteArray name = "init" + QByteArray::number(i);
            data += name + ",ROM,,,,,s,-cart s.rom\r\n";
            expected << name;
        }
        QVERIFY(writeFile(path(), data));
        QProcess a, b;
        a.start(QStringLiteral(CHANGE_DRIVER), {pathA, "A", QString::number(count), "1"});
        b.start(QStringLiteral(CHANGE_DRIVER), {pathB, "B", QString::number(count), "2"});
        QVERIFY2(ended(a, 120000) && ended(b, 120000), qPrintable(a.errorString() + QLatin1Char(' ') + b.errorString()));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);

        QMap<QByteArray, int> refused;
        int done = 0;
        QSet<QByteArray> refusedNames;
        QList<QByteArray> deleted;
        for (QProcess *p : {&a, &b}) {
            for (const QByteArray &line : p->readAllStandardOutput().split('\n')) {
                const QList<QByteArray> words = line.trimmed().split(' '); // CR LF on Windows
                if (words[0] == "ADD") {
                    QVERIFY2(!expected.contains(words[1]), words[1].constData());
                    expected << words[1];
                } else if (words[0] == "DEL") {
                    deleted << words[1];
                } else if (words[0] == "DONE") {
                    ++done;
                } else if (words[0] == "REFUSED") {
                    ++refused[words[1]];
                    refusedNames << words[2];
                }
            }
        }
        // The two reports interleave in time: take every addition first, then every removal.
        // A line is removed at most once, and only one that was there.
        for (const QByteArray &name : deleted)
            QVERIFY2(expected.remove(name), name.constData());
        // Every change reported done is in the file, no refused one is, and no line is torn,
        // doubled or lost.
        LineTable table;
        QVERIFY(table.load(path()).ok());
        QSet<QByteArray> found;
        for (int k = 0; k < table.size(); ++k) {
            const QByteArray line = table.line(k);
            const QByteArray name = line.left(line.indexOf(','));
            QVERIFY2(!found.contains(name), name.constData());
            QVERIFY2(line.startsWith("init") ? line.endsWith(",s,-cart s.rom")
                                             : line == name + ",ROM,1987,maker,,a description with, a comma in field 8?,snap,-cart " + name + ".rom",
                     line.constData());
            found << name;
        }
        QCOMPARE(found, expected);
        QVERIFY(!found.intersects(refusedNames));
        QVERIFY(readFile(path()).endsWith("\r\n"));
        QString why;
        for (auto it = refused.cbegin(); it != refused.cend(); ++it)
            why += QStringLiteral(" %1 %2").arg(QString::fromLatin1(it.key())).arg(it.value());
        qInfo("%d changes made, %d refused:%s; %lld lines at the end", done,
              2 * count - done, qPrintable(why), static_cast<long long>(table.size()));
        QVERIFY(!refused.contains("failed"));
    }
};

QTEST_GUILESS_MAIN(TestCatalogueFile)
#include "test_catalogue_file.moc"
