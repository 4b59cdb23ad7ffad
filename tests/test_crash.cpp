// Kills a program in the middle of saving the catalogue, again and again, and checks that the
// file on disk is always one whole version, the old or the new, never a mix and never empty.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "file_support.h"

#include <csignal>

QByteArray contentA();
QByteArray contentB();

class TestCrash : public QObject
{
    Q_OBJECT
private slots:
    void killedDuringSavesLeavesAWholeFile();
};

void TestCrash::killedDuringSavesLeavesAWholeFile()
{
    const QByteArray a = contentA();
    const QByteArray b = contentB();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    const int kills = killRounds(60);
    QRandomGenerator random(20261207);
    int sawA = 0, sawB = 0;
    for (int i = 0; i < kills; ++i) {
        QProcess driver;
        driver.start(QStringLiteral(SAVE_DRIVER), {path});
        QVERIFY(driver.waitForStarted());
        QVERIFY(driver.waitForReadyRead(5000)); // "ready": the first save is done
        QThread::usleep(random.bounded(0, 20000));
        ::kill(pid_t(driver.processId()), SIGKILL);
        QVERIFY(driver.waitForFinished(5000));
        QCOMPARE(driver.exitStatus(), QProcess::CrashExit);

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray now = f.readAll();
        if (now == a)
            ++sawA;
        else if (now == b)
            ++sawB;
        else
            QFAIL(qPrintable(QStringLiteral("after kill %1 the file holds %2 bytes, neither version")
                                 .arg(i).arg(now.size())));
        // A temporary file of a save cut short may be left beside it; the catalogue is whole.
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            if (name != QLatin1String("list.csv"))
                QFile::remove(dir.filePath(name));
    }
    qInfo("%d kills: the old version %d times, the new one %d times", kills, sawA, sawB);
    QVERIFY(sawA > 0 && sawB > 0);
}

QTEST_GUILESS_MAIN(TestCrash)
#include "test_crash.moc"
