// Faults of the file system and the disk, produced for real: each must end with a clear
// message, the catalogue file as it was, and the window's table equal to the file.
#include "platform/system/codepage.h"
#include "file_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Catalogue = QByteArray("game one,ROM,,,,,one,-cart one.rom\r\n")
                             + "game two,ROM,,,,,two,-cart two.rom\r\n"
                             + "game three,DISK,,,,,three,-flop three.dsk\r\n";

struct Run
{
    QStringList messages;
    QByteArray table;
    QStringList other;
};

// Runs the driver; as an unprivileged user when asked and when we are root (root ignores
// file permissions).
Run drive(const QString &folder, const QStringList &args, const QString &failIo = QString(),
          bool unprivileged = false)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!failIo.isEmpty()) {
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAIL_IO_SHIM));
        env.insert(QStringLiteral("FAIL_IO"), failIo);
    }
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QDir::tempPath());
    p.setProcessEnvironment(env);
    QStringList command = QStringList{QStringLiteral(FAULT_DRIVER), folder} + args;
    if (unprivileged && geteuid() == 0)
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                              QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                              QStringLiteral("--")} + command;
    p.start(command.takeFirst(), command);
    p.waitForFinished(30000);
    Run run;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        if (line.startsWith("MESSAGE "))
            run.messages << QString::fromUtf8(line.mid(8));
        else if (line.startsWith("TABLE "))
            run.table = QByteArray::fromHex(line.mid(6));
        else if (!line.isEmpty())
            run.other << QString::fromUtf8(line);
    }
    if (p.exitCode() != 0)
        run.other << QStringLiteral("exit %1: %2").arg(p.exitCode()).arg(QString::fromLocal8Bit(p.readAllStandardError()));
    return run;
}

void report(const char *fault, const Run &run)
{
    for (const QString &m : run.messages)
        qInfo("%s: %s", fault, qPrintable(m));
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString folder_;
    QString data_;
    QString list_;

    void giveToNobody()
    {
        if (geteuid() != 0)
            return;
        for (const QString &p : {dir_.path(), folder_, data_, list_})
            QVERIFY(::chown(QFile::encodeName(p).constData(), 65534, 65534) == 0);
    }

private slots:
    void initTestCase()
    {
        if (geteuid() == 0 && QProcess::execute(QStringLiteral("setpriv"), {"--reuid=65534", "true"}) != 0)
            QSKIP("cannot run as an unprivileged user here");
    }
    void init()
    {
        folder_ = dir_.filePath(QStringLiteral("prog %1").arg(QTest::currentTestFunction()));
        data_ = folder_ + QStringLiteral("/tarumin");
        list_ = data_ + QStringLiteral("/list.csv");
        QVERIFY(QDir().mkpath(data_));
        QVERIFY(writeFile(list_, Catalogue));
        QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                               | QFileDevice::ReadOther | QFileDevice::ExeOther);
    }

    void readOnlyFile()
    {
        giveToNobody();
        QFile::setPermissions(list_, QFileDevice::ReadOwner | QFileDevice::ReadOther);
        for (const QStringList &args : {QStringList{"delete", "1"}, QStringList{"register", "新作"}}) {
            const Run run = drive(folder_, args, QString(), true);
            report("read-only file", run);
            QVERIFY2(run.other.filter("exit").isEmpty(), qPrintable(run.other.join('\n')));
            QCOMPARE(run.messages.size(), 1);
            QVERIFY(run.messages[0].contains(QStringLiteral("保存できませんでした")) || run.messages[0].contains(QStringLiteral("削除しませんでした")));
            QCOMPARE(readFile(list_), Catalogue);
            QCOMPARE(run.table, Catalogue);
        }
    }

    void readOnlyFolder()
    {
        giveToNobody();
        QFile::setPermissions(data_, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther);
        const Run run = drive(folder_, {"delete", "0"}, QString(), true);
        report("read-only folder", run);
        QFile::setPermissions(data_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(run.messages.size(), 1);
        QVERIFY(run.messages[0].contains(QStringLiteral("削除しませんでした")));
        QCOMPARE(readFile(list_), Catalogue);
        QCOMPARE(run.table, Catalogue);
        const Run reg = drive(folder_, {"register", "新作"}, QString(), true);
        QCOMPARE(reg.other.filter("DIALOG").value(0), QStringLiteral("DIALOG hidden"));
    }

    void unreadableFile()
    {
        giveToNobody();
        QFile::setPermissions(list_, QFileDevice::WriteOwner);
        const Run run = drive(folder_, {"register", "新作"}, QString(), true);
        report("unreadable file", run);
        QFile::setPermissions(list_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        // Told that the file cannot be read, then the registration is refused.
        QCOMPARE(run.messages.size(), 2);
        QVERIFY(run.messages[0].contains(QStringLiteral("読み込めませんでした")));
        QVERIFY(run.messages[1].contains(QStringLiteral("変更できません")));
        QCOMPARE(run.other.filter("DIALOG").value(0), QStringLiteral("DIALOG open"));
        QCOMPARE(readFile(list_), Catalogue);
        QVERIFY(run.table.isEmpty());
    }

    void folderInTheFilesPlace()
    {
        QFile::remove(list_);
        QVERIFY(QDir().mkpath(list_));
        const Run run = drive(folder_, {"register", "新作"});
        report("folder in the file's place", run);
        QVERIFY(!run.messages.isEmpty());
        QVERIFY(run.messages.join('\n').contains(QStringLiteral("フォルダー")));
        QVERIFY(QFileInfo(list_).isDir());
        QCOMPARE(run.other.filter("DIALOG").value(0), QStringLiteral("DIALOG open"));
        QCOMPARE(run.other.filter("MAIN").value(0), QStringLiteral("MAIN disabled"));
    }

    void missingDataFolder()
    {
        QDir(data_).removeRecursively();
        const Run run = drive(folder_, {"register", "新作"});
        report("missing data folder", run);
        QCOMPARE(run.messages, QStringList{QStringLiteral("リストを登録したブリ。マジで。")});
        const QByteArray line = platform::encodeCp932(QStringLiteral("新作,,,,,,newgame,-cart newgame.rom\r\n")).value();
        QCOMPARE(readFile(list_), line);
        QCOMPARE(run.table, line);
    }

    // The disk fails at each step of the catalogue's own save (the lock is spared): each
    // message says which step failed and why, in the program's own words, and the file and
    // its folder are left as they were.
    void saveFailsAtEachStep_data()
    {
        QTest::addColumn<QString>("failIo");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full") << "write" << "ディスクに書き込めません" << "ディスクの空きがありません";
        QTest::newRow("flush fails") << "fsync" << "ディスクへ書き出せません" << "ディスクの読み書きに失敗しました";
        QTest::newRow("replace fails") << "rename" << "置き換えられません" << "ディスクの読み書きに失敗しました";
    }
    void saveFailsAtEachStep()
    {
        QFETCH(QString, failIo);
        QFETCH(QString, step);
        QFETCH(QString, reason);
        for (const QStringList &args : {QStringList{"delete", "2"}, QStringList{"register", "新作"}}) {
            const Run run = drive(folder_, args, failIo);
            report(qPrintable(failIo), run);
            QCOMPARE(run.messages.size(), 1);
            QVERIFY2(run.messages[0].contains(step) && run.messages[0].contains(reason),
                     qPrintable(run.messages[0]));
            QCOMPARE(readFile(list_), Catalogue);
            QCOMPARE(run.table, Catalogue);
        }
        QCOMPARE(QDir(data_).entryList(QDir::Files | QDir::Hidden), QStringList{"list.csv"});
    }

    // A change made as root (sudo) on a user's catalogue gives the file back to its owner,
    // with its mode: the user can read and change it afterwards.
    void rootKeepsTheOwner()
    {
        if (geteuid() != 0)
            QSKIP("needs root");
        giveToNobody();
        QVERIFY(QFile::setPermissions(list_, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                 | QFileDevice::ReadGroup));
        const Run asRoot = drive(folder_, {"register", "新作"});
        QCOMPARE(asRoot.messages, QStringList{QStringLiteral("リストを登録したブリ。マジで。")});
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(list_).constData(), &st) == 0);
        QCOMPARE(int(st.st_uid), 65534);
        QCOMPARE(int(st.st_gid), 65534);
        QCOMPARE(int(st.st_mode & 0777), 0640);
        const Run asUser = drive(folder_, {"delete", "0"}, QString(), true);
        QCOMPARE(asUser.messages, QStringList{QStringLiteral("リストを１つ削除しました。本気で。")});
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "test_faults.moc"
