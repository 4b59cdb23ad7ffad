#include "main_window/main_window.h"
#include "main_window/game_list_model.h"
#include "platform/system/codepage.h"
#include "platform/system/handover.h"
#include "platform/system/paths.h"
#include "platform/system/modules.h"
#include "platform/widgets/mci_control.h"
#include "platform/widgets/file_picker.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/picture.h"
#include "program_folder.h"
#include "file_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QProcess>
#include <QAccessible>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QMenu>
#include <QScreen>

#include <csignal>
#include <QTimer>
#ifdef STAND_IN_OPENMSX
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <memory>

namespace {

const QStringList SampleLines = {
    QStringLiteral("星風ランナー,ROM,1986年4月,ほしかぜソフト,4800円,宇宙を駆ける。,hoshikaze,-cart hoshikaze.rom"),
    QStringLiteral("同じ名前,テープ,1985,A社,1000円,一本目,nosnap,-cass same1.cas"),
    QStringLiteral("同じ名前,ディスク,1986,B社,2000円,二本目,kinoko,-flop same2.dsk"),
    QStringLiteral("   ,  ,   ,    , , ,kinoko,-cart blank.rom"),
    QStringLiteral("多すぎ,ROM,1,2,3,4,kinoko,-cart a.rom,extra,commas"),
    QStringLiteral("少ない,ROM,1987"),
    QStringLiteral("空の８番,ROM,1988,C社,0円,説明,kinoko,"),
};

QByteArray numbered(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("ゲーム%1,ROM,,,,,g%1,-cart g%1.rom").arg(i);
    return cp932Lines(lines);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    QStringList messages_;
    QStringList questions_;
    bool answer_ = true; // what the user answers to a question
    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<MainWindow> form_;

    MainWindow *open(const QByteArray &catalogue, bool withEmulator = true)
    {
        form_.reset();
        folder_ = std::make_unique<ProgramFolder>(catalogue, withEmulator);
        form_ = std::make_unique<MainWindow>(folder_->path());
        form_->show();
        QCoreApplication::processEvents();
        return form_.get();
    }
    template<typename T> T *child(const char *name)
    {
        T *w = form_->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QListView *list() { return child<QListView>("List1"); }
    int rowCount() { return list()->model()->rowCount(); }
    QString rowText(int row) { return list()->model()->index(row, 0).data().toString(); }
    QRect rowRect(int row) { return list()->visualRect(list()->model()->index(row, 0)); }
    int currentRow() { return list()->currentIndex().row(); }
    // The row chosen (selected), -1 when none is.
    int chosenRow()
    {
        const QModelIndexList rows = list()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    QString label(const char *name) { return child<QLabel>(name)->text(); }
    void select(int row) { list()->setCurrentIndex(list()->model()->index(row, 0)); }
    void clickSwitch() { QTest::mouseClick(child<QWidget>("Image1"), Qt::LeftButton); }
    QStringList listEntries()
    {
        QStringList out;
        for (int i = 0; i < rowCount(); ++i)
            out << rowText(i);
        return out;
    }
    QImage picture()
    {
        return child<platform::PictureBox>("Picture1")->currentImage().convertToFormat(QImage::Format_RGB32);
    }
    static QImage fileImage(const QString &path)
    {
        return QImage(path).convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void initTestCase()
    {
        platform::MciControl::setAudible(false);
        platform::setMessageHandler([this](const QString &text) { messages_ << text; });
        platform::setQuestionHandler([this](const QString &text) {
            questions_ << text;
            return answer_;
        });
    }
    void init()
    {
        messages_.clear();
        questions_.clear();
        answer_ = true;
    }
    void cleanup()
    {
        form_.reset();
        folder_.reset();
    }

    void layoutAtStart()
    {
        MainWindow *form = open(cp932Lines(SampleLines));
        QCOMPARE(form->windowTitle(), QStringLiteral("Tarumin（Ｖｅｒ0.9）"));
        QCOMPARE(form->size(), QSize(566, 428));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(child<QPushButton>("Touroku_bot")->text(), QStringLiteral("登　録"));
        QCOMPARE(child<QPushButton>("Touroku_bot")->geometry(), QRect(16, 8, 49, 17));
        QVERIFY(child<QPushButton>("Touroku_bot")->isEnabled());
        QVERIFY(!child<QPushButton>("hensyu_bot")->isEnabled());
        QVERIFY(!child<QPushButton>("Sakujyo_bot")->isEnabled());
        QCOMPARE(child<QPushButton>("Sakujyo_bot")->geometry(), QRect(128, 8, 49, 17));
        QCOMPARE(label("Label8"), QStringLiteral("■□■□■　ゲ　ー　ム　名　■□■□■"));
        // Windows' gothic, or the face that stands in for it on this system.
        const QString heading = child<QLabel>("Label8")->font().family();
        QVERIFY2(heading == QStringLiteral("ＭＳ ゴシック")
                     || QFont::substitutes(QStringLiteral("ＭＳ ゴシック")).contains(heading, Qt::CaseInsensitive),
                 qPrintable(heading));
        QCOMPARE(child<QLabel>("Label8")->font().pointSize(), 9);
        QCOMPARE(list()->geometry(), QRect(16, 48, 225, 244));
        QCOMPARE(list()->palette().color(QPalette::Base), QColor(96, 96, 96));
        QCOMPARE(list()->palette().color(QPalette::Text), QColor(224, 224, 224));
        QCOMPARE(label("Label2"), QStringLiteral("発 売 年"));
        QCOMPARE(label("Label4"), QStringLiteral("価　　格"));
        QCOMPARE(label("Label6"), QStringLiteral("FM-PACKの使用"));
        QCOMPARE(child<QLabel>("Label1")->palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY(label("Kaisetu_L").startsWith(QStringLiteral("選択したゲームの説明が入ります。")));
        QCOMPARE(child<QLabel>("Kaisetu_L")->geometry(), QRect(256, 344, 297, 65));
        QVERIFY(child<QLabel>("Kaisetu_L")->wordWrap());
        QCOMPARE(child<QComboBox>("Combo1")->currentText(), QStringLiteral("MSX2J"));
        QCOMPARE(child<QComboBox>("Combo1")->count(), 2);
        QCOMPARE(child<QComboBox>("Combo1")->itemText(1), QStringLiteral("MSXJ"));
        QCOMPARE(child<QWidget>("Picture1")->geometry(), QRect(296, 11, 260, 196));
        QCOMPARE(picture().size(), QSize(256, 192));
        QCOMPARE(child<QWidget>("Image1")->geometry(), QRect(17, 384, 84, 30));
        QCOMPARE(child<QWidget>("Image2")->geometry(), QRect(112, 364, 130, 52));
        QVERIFY(child<QLineEdit>("Text1")->text().isEmpty());
        QVERIFY(!child<QCheckBox>("Check2")->isChecked());
        QCOMPARE(form->state().request.machine, QStringLiteral("MSX2J"));
        QVERIFY(!form->state().request.fmpac);

        // Focus order from the list on.
        QWidget *w = list();
        QStringList order;
        for (int i = 0; i < 8; ++i) {
            order << w->objectName();
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty() || !w->isVisible())
                w = w->nextInFocusChain();
        }
        QCOMPARE(order, (QStringList{"List1", "Picture1", "Touroku_bot", "Sakujyo_bot", "Text1",
                                     "Check2", "hensyu_bot", "Combo1"}));
    }

    void startUpListsEachLineOnce()
    {
        open(cp932Lines(SampleLines + QStringList{QStringLiteral(",先頭がカンマ,,,,,,"),
                                                  QStringLiteral("カンマなし"), QString()}));
        QCOMPARE(listEntries(), (QStringList{"星風ランナー", "同じ名前", "同じ名前", "   ", "多すぎ",
                                             "少ない", "空の８番", "", "カンマなし", ""}));
        QVERIFY((chosenRow() < 0));
        QCOMPARE(form_->table().lastIndex(), int(9));
        QVERIFY(messages_.isEmpty());
    }

    void emptyAndMissingCatalogue()
    {
        open(QByteArray());
        QCOMPARE(rowCount(), 0);
        QCOMPARE(form_->table().lastIndex(), int(-1));
        QFile::remove(folder_->listPath());
        form_->activate();
        QCOMPARE(rowCount(), 0);
        QVERIFY(messages_.isEmpty());
    }

    void activationRebuildsFromFileAndKeepsDetails()
    {
        open(cp932Lines(SampleLines));
        select(0);
        QCOMPARE(label("Media_L"), QStringLiteral("ROM"));
        folder_->setCatalogue(cp932Lines({QStringLiteral("新しい,DISK,,,,,x,-flop x.dsk")}));
        form_->activate();
        QCOMPARE(listEntries(), QStringList{"新しい"});
        QVERIFY((chosenRow() < 0));
        // The game shown is gone: nothing is chosen, as at start.
        QCOMPARE(label("Media_L"), QString());
        QVERIFY(form_->state().launchArgs.isEmpty());
        QVERIFY(!child<QPushButton>("hensyu_bot")->isEnabled());
    }

    void selectionShowsTheRecord()
    {
        open(cp932Lines(SampleLines));
        select(0);
        QCOMPARE(form_->state().selectedIndex, int(0));
        QCOMPARE(rowText(0), QStringLiteral("星風ランナー"));
        QCOMPARE(label("Media_L"), QStringLiteral("ROM"));
        QCOMPARE(label("Hatubai_L"), QStringLiteral("1986年4月"));
        QCOMPARE(label("Maker_L"), QStringLiteral("ほしかぜソフト"));
        QCOMPARE(label("Nedan_L"), QStringLiteral("4800円"));
        QCOMPARE(label("Kaisetu_L"), QStringLiteral("宇宙を駆ける。"));
        QCOMPARE(child<QLineEdit>("Text1")->text(), QStringLiteral("-cart hoshikaze.rom"));
        QVERIFY(child<QPushButton>("hensyu_bot")->isEnabled());
        QVERIFY(child<QPushButton>("Sakujyo_bot")->isEnabled());
        QCOMPARE(picture(), fileImage(folder_->path() + "/tarumin/snap/hoshikaze.gif"));

        // Equal names: each entry shows its own line; a missing snapshot shows the stand-by.
        select(1);
        QCOMPARE(label("Kaisetu_L"), QStringLiteral("一本目"));
        QCOMPARE(picture(), fileImage(folder_->path() + "/tarumin/image/notimage.jpg"));
        select(2);
        QCOMPARE(label("Kaisetu_L"), QStringLiteral("二本目"));
        QCOMPARE(picture(), fileImage(folder_->path() + "/tarumin/snap/kinoko.gif"));

        // Blanks are shown as stored.
        select(3);
        QCOMPARE(rowText(3), QStringLiteral("   "));
        QCOMPARE(label("Media_L"), QStringLiteral("  "));

        // Extra commas go to the launch arguments.
        select(4);
        QCOMPARE(child<QLineEdit>("Text1")->text(), QStringLiteral("-cart a.rom,extra,commas"));

        // Too few commas: what is there is shown, the rest is empty; nothing of the last record stays.
        select(5);
        QCOMPARE(rowText(5), QStringLiteral("少ない"));
        QCOMPARE(label("Hatubai_L"), QStringLiteral("1987"));
        QVERIFY(label("Maker_L").isEmpty());
        QVERIFY(label("Kaisetu_L").isEmpty());
        QVERIFY(form_->state().snapName.isEmpty());
        QVERIFY(form_->state().launchArgs.isEmpty());
        QVERIFY(child<QLineEdit>("Text1")->text().isEmpty());
        QCOMPARE(picture(), fileImage(folder_->path() + "/tarumin/image/notimage.jpg"));

        select(6);
        QVERIFY(form_->state().launchArgs.isEmpty());
        QCOMPARE(label("Nedan_L"), QStringLiteral("0円"));

        // By keyboard too.
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Up);
        QCOMPARE(form_->state().selectedIndex, int(5));
    }

    void snapshotFallbacks()
    {
        open(cp932Lines({QStringLiteral("壊れた,ROM,,,,,broken,-cart b.rom"),
                         QStringLiteral("大きい,ROM,,,,,big,-cart big.rom"),
                         QStringLiteral("小さい,ROM,,,,,small,-cart s.rom"),
                         QStringLiteral("動く,ROM,,,,,tsuki,-cart t.rom")}));
        const QString snap = folder_->path() + "/tarumin/snap/";
        QFile f(snap + "broken.gif");
        f.open(QIODevice::WriteOnly);
        f.write("this is not a picture");
        f.close();
        QImage(512, 512, QImage::Format_RGB32).save(snap + "big.png", "PNG");
        QFile::rename(snap + "big.png", snap + "big.gif");
        QImage(40, 30, QImage::Format_RGB32).save(snap + "small.png", "PNG");
        QFile::rename(snap + "small.png", snap + "small.gif");

        select(0);
        QCOMPARE(picture(), fileImage(folder_->path() + "/tarumin/image/notimage.jpg"));
        select(1);
        QVERIFY(!child<platform::PictureBox>("Picture1")->shownPicture().isNull());
        QCOMPARE(child<platform::PictureBox>("Picture1")->shownPicture().size(), QSize(192, 192));
        select(2);
        QCOMPARE(child<platform::PictureBox>("Picture1")->shownPicture().size(), QSize(40, 30));
        select(3);
        QVERIFY(child<platform::PictureBox>("Picture1")->isAnimated());
        QCOMPARE(child<QWidget>("Picture1")->geometry(), QRect(296, 11, 260, 196));

        // Without the stand-by picture the built-in one is shown.
        QFile::remove(folder_->path() + "/tarumin/image/notimage.jpg");
        select(0);
        QCOMPARE(picture().size(), QSize(256, 192));
        QVERIFY(messages_.isEmpty());
    }

    void launchCommandLines_data()
    {
        QTest::addColumn<int>("machine");   // -1: not chosen
        QTest::addColumn<bool>("fmpac");
        QTest::addColumn<int>("row");       // -1: no game shown
        QTest::addColumn<QStringList>("args");
        QTest::newRow("MSX2J cartridge") << -1 << false << 0
                                         << QStringList{"MSX2J", "-cart", "hoshikaze.rom"};
        QTest::newRow("MSXJ FM-PAC tape") << 1 << true << 1
                                          << QStringList{"MSXJ", "-CART", "FMPAC.ROM", "-cass", "same1.cas"};
        QTest::newRow("no game shown") << -1 << false << -1 << QStringList{"MSX2J"};
        QTest::newRow("no game, FM-PAC") << 0 << true << -1 << QStringList{"MSX2J", "-CART", "FMPAC.ROM"};
    }

    void launchCommandLines()
    {
        QFETCH(int, machine);
        QFETCH(bool, fmpac);
        QFETCH(int, row);
        QFETCH(QStringList, args);
        open(cp932Lines(SampleLines));
        auto *combo = child<QComboBox>("Combo1");
        if (machine >= 0) {
            combo->setCurrentIndex(machine);
            emit combo->activated(machine);
        }
        if (fmpac)
            QTest::mouseClick(child<QCheckBox>("Check2"), Qt::LeftButton);
        if (row >= 0)
            select(row);
        clickSwitch();
        QStringList launch = folder_->waitForLaunch();
        QVERIFY(!launch.isEmpty());
        QCOMPARE(QDir(launch.takeFirst()).canonicalPath(), QDir(folder_->path()).canonicalPath());
        QCOMPARE(launch, args);
        QVERIFY(messages_.isEmpty());
    }

    void machineBoxAndFmpacOptions()
    {
        open(cp932Lines(SampleLines));
        auto *combo = child<QComboBox>("Combo1");
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), "MSXJ");
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(form_->state().request.machine, QStringLiteral("MSX2J"));
        QCOMPARE(combo->count(), 2);

        auto *check = child<QCheckBox>("Check2");
        QTest::mouseClick(check, Qt::LeftButton);
        QVERIFY(form_->state().request.fmpac);
        QTest::mouseClick(check, Qt::LeftButton);
        QVERIFY(!form_->state().request.fmpac);
        select(0);
        clickSwitch();
        QStringList launch = folder_->waitForLaunch();
        launch.removeFirst();
        QCOMPARE(launch, (QStringList{"MSX2J", "-cart", "hoshikaze.rom"}));

        // A choice from the drop-down list does count.
        combo->showPopup();
        QTest::keyClick(combo->view(), Qt::Key_End);
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QCOMPARE(form_->state().request.machine, QStringLiteral("MSXJ"));
        combo->showPopup();
        QTest::keyClick(combo->view(), Qt::Key_Home);
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QCOMPARE(form_->state().request.machine, QStringLiteral("MSX2J"));
    }

    void powerSwitchFlipsAndStartsEachTime()
    {
        open(cp932Lines(SampleLines));
        auto *image = child<platform::ImageControl>("Image1");
        const QImage builtIn = image->shownPicture();
        QVERIFY(!builtIn.isNull()); // the layout's own picture until the first click
        QCOMPARE(form_->state().switchOn, false);
        clickSwitch();
        QCOMPARE(form_->state().switchOn, true);
        QCOMPARE(image->shownPicture().convertToFormat(QImage::Format_RGB32),
                 fileImage(folder_->path() + "/tarumin/image/swhich2.gif"));
        clickSwitch();
        QCOMPARE(form_->state().switchOn, false);
        QCOMPARE(image->shownPicture().convertToFormat(QImage::Format_RGB32),
                 fileImage(folder_->path() + "/tarumin/image/swhich.gif"));
        QVERIFY(!folder_->waitForLaunch(2).isEmpty());

        // A missing switch picture leaves the shown one; the switch still works.
        QFile::remove(folder_->path() + "/tarumin/image/swhich2.gif");
        clickSwitch();
        QCOMPARE(form_->state().switchOn, true);
        QCOMPARE(image->shownPicture().convertToFormat(QImage::Format_RGB32),
                 fileImage(folder_->path() + "/tarumin/image/swhich.gif"));
        QVERIFY(!folder_->waitForLaunch(3).isEmpty());
    }

    void keyboardAndDoubleClicksLaunchOnce()
    {
        open(cp932Lines(SampleLines));
        // Enter with nothing selected starts nothing.
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Return);
        select(0);
        QTest::keyClick(list(), Qt::Key_Return);
        QStringList first = folder_->waitForLaunch(1);
        QCOMPARE(first.mid(1), (QStringList{"MSX2J", "-cart", "hoshikaze.rom"}));
        QCOMPARE(form_->state().switchOn, true);

        // A double-click on an entry starts that game.
        const QRect second = rowRect(1);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(folder_->waitForLaunch(2).mid(1), (QStringList{"MSX2J", "-cass", "same1.cas"}));

        // A double-click on the power switch is one click: one more start, not two.
        // As the system delivers it: press, release, press, double-click, release.
        auto *image = child<QWidget>("Image1");
        const QPoint at = image->rect().center();
        QTest::mouseClick(image, Qt::LeftButton, {}, at);
        QTest::mousePress(image, Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, image->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image, &dbl);
        QTest::mouseRelease(image, Qt::LeftButton, {}, at);
        QVERIFY(!folder_->waitForLaunch(3).isEmpty());
        QTest::qWait(500);
        QFile f(folder_->path() + "/launches.txt");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("--\n"), 3);
    }

    // Enter held down starts the game once; a new press starts it again.
    void heldEnterStartsOnce()
    {
        open(cp932Lines(SampleLines));
        select(0);
        list()->setFocus();
        for (int i = 0; i < 6; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), i > 0);
            QApplication::sendEvent(list(), &press);
        }
        QVERIFY(!folder_->waitForLaunch(1).isEmpty());
        QTest::keyClick(list(), Qt::Key_Return);
        QVERIFY(!folder_->waitForLaunch(2).isEmpty());
        QTest::qWait(300);
        QCOMPARE(folder_->waitForLaunch(3), QStringList());
    }

    // A game whose file is missing is marked once the window is up, says so in its details
    // and is not started; a folder whose games are all gone is said once.
    void missingFilesAreMarked()
    {
        QStringList lines = SampleLines;
        QTemporaryDir mountPoint; // empty: its drive is not mounted
        const QString away = mountPoint.filePath(QStringLiteral("drive"));
        lines << QStringLiteral("遠く1,ROM,,,,,far1,-cart \"%1/games/far1.rom\"").arg(away)
              << QStringLiteral("遠く2,ROM,,,,,far2,-cart \"%1/games/far2.rom\"").arg(away);
        answer_ = false; // the folder is not looked for here
        open(cp932Lines(lines));
        QFile::remove(folder_->path() + "/same1.cas");
        form_->activate();
        QTRY_VERIFY(form_->fileMissing(1));
        QVERIFY(!form_->fileMissing(0) && form_->fileMissing(7) && form_->fileMissing(8));
        QVERIFY(!form_->fileMissing(6)); // names no file
        QTRY_COMPARE(questions_.size(), 1);
        QCOMPARE(questions_[0], QStringLiteral("%1 の中のファイルが１つも見つかりません（2 本）。ドライブがつながっていないか、"
                                              "フォルダーが移されたのかもしれません。").arg(QDir::toNativeSeparators(away)));
        select(1);
        QVERIFY(label("Kaisetu_L").startsWith(QStringLiteral("ファイルがありません: ")
                                              + QDir::toNativeSeparators(folder_->path() + "/same1.cas")));
        clickSwitch();
        QVERIFY(messages_.last().startsWith(QStringLiteral("ゲームのファイル ")));
        QCOMPARE(questions_.size(), 1);
        QVERIFY(!form_->state().switchOn);
        // Said once a run; a file put back is unmarked at the next look.
        QVERIFY(writeFile(folder_->path() + "/same1.cas", "tape"));
        form_->activate();
        QTRY_VERIFY(!form_->fileMissing(1));
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(questions_.size(), 1);
    }

    // A folder whose games are all gone: 「場所を探す…」 asks where they went and makes their
    // lines name them there, as tarumin-import --relink --write does; nothing else changes.
    void movedFolderIsFoundAgain()
    {
        QTemporaryDir cache, drive;
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
        open(cp932Lines(SampleLines));
        const QString library = drive.filePath("library"), moved = folder_->path() + "/moved";
        QDir().mkpath(library);
        QVERIFY(writeFile(library + "/a.rom", "game a") && writeFile(library + "/b.cas", "game b"));
        form_->registerFiles({library});
        const QByteArray registered = folder_->catalogue();
        QCOMPARE(linesOf(registered).size(), SampleLines.size() + 2);
        QVERIFY(QDir().rename(library, moved));
        platform::setFilePickerHandler([&](const QString &filter) -> std::optional<QString> {
            return filter == QLatin1String("<folder>") ? std::optional(moved) : std::nullopt;
        });
        messages_.clear();
        form_->activate();
        QTRY_COMPARE(questions_.size(), 1);
        QVERIFY(questions_[0].contains(QDir::toNativeSeparators(library)));
        QTRY_COMPARE(messages_.size(), 1);
        platform::setFilePickerHandler({});
        qunsetenv("XDG_CACHE_HOME");
        QVERIFY2(messages_[0].contains(QStringLiteral("ファイルの場所を更新したもの（移されたゲーム）: 2 本")), qPrintable(messages_[0]));
        const QList<QByteArray> before = linesOf(registered), after = linesOf(folder_->catalogue());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.mid(0, SampleLines.size()), before.mid(0, SampleLines.size()));
        for (qsizetype k = SampleLines.size(); k < after.size(); ++k)
            QVERIFY2(after[k].contains(QFile::encodeName(QDir::toNativeSeparators(moved))), after[k].constData());
    }

    // Typing finds a game by its title or description, folded: hiragana finds katakana,
    // full width finds half width, a romanised title finds the Japanese one.
    void findByTyping_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("row");
        QTest::newRow("hiragana for katakana") << "ぐらでぃ" << 1;
        QTest::newRow("romanised") << "gradius" << 1;
        QTest::newRow("any case") << "HOSHI" << 0;
        QTest::newRow("full width for ascii") << "ｓｔａｒ" << 2;
        QTest::newRow("half-width kana") << "ﾊﾟﾁﾝｺ" << 3;
        QTest::newRow("kana for half-width") << "ぱちんこ" << 3;
        QTest::newRow("nothing matches") << "qx" << -1;
        QTest::newRow("a letter more, still matching, stays") << "ぐら" << 1;
    }
    void findByTyping()
    {
        QFETCH(QString, typed);
        QFETCH(int, row);
        open(cp932Lines({QStringLiteral("星風ランナー,ROM,,,,Hoshikaze Runner,a,-cart a.rom"),
                         QStringLiteral("グラディウス,ROM,,,,Gradius (Japan),b,-cart b.rom"),
                         QStringLiteral("STAR FORCE,ROM,,,,,c,-cart c.rom"),
                         QStringLiteral("ﾊﾟﾁﾝｺ,ROM,,,,,d,-cart d.rom"),
                         QStringLiteral("グラフィック,ROM,,,,,e,-cart e.rom")}));
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_F, Qt::ControlModifier);
        auto *search = child<QLineEdit>("Search");
        QVERIFY(search->isVisible() && search->hasFocus());
        for (const QChar c : typed) { // as an input method delivers it: text, no key
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(search, &key);
        }
        QCOMPARE(search->text(), typed);
        QCOMPARE(chosenRow(), row);
        QTest::keyClick(search, Qt::Key_Escape);
        QVERIFY(!search->isVisible());
        QVERIFY(list()->hasFocus());
        // A letter typed on the list opens the field with it; Enter starts the game found.
        QTest::keyClick(list(), Qt::Key_G);
        QCOMPARE(search->text(), QStringLiteral("g"));
        QCOMPARE(currentRow(), 1);
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(folder_->waitForLaunch().mid(1), (QStringList{"MSX2J", "-cart", "b.rom"}));
    }

    // A disk that never answers (a hung network drive) holds neither the window nor its end:
    // the switch goes by the last look at the files and asks again; closing the window does
    // not wait for the look that is stuck.
    void stuckDiskHoldsNothing()
    {
        open(cp932Lines(SampleLines));
        QSignalSpy looked(form_.get(), &MainWindow::gameFilesChecked);
        form_->activate();
        QTRY_COMPARE(looked.size(), 1); // the files were there
        QVERIFY(!form_->fileMissing(0));
        static QSemaphore stuck; // lives as long as the abandoned look may
        static std::atomic<int> looks{0};
        form_->setFileChecker([](const QStringList &) {
            ++looks;
            stuck.acquire();
            return FileCheck{};
        });
        QFile::remove(folder_->path() + "/hoshikaze.rom"); // gone since the last look
        select(0);
        QElapsedTimer clock;
        clock.start();
        clickSwitch();
        QCOMPARE(folder_->waitForLaunch().mid(1), (QStringList{"MSX2J", "-cart", "hoshikaze.rom"}));
        QTRY_COMPARE(looks.load(), 1); // asked again, and stuck
        form_.reset();
        QVERIFY(clock.elapsed() < 5000);
        stuck.release(looks);
    }

    // A look at the files that ends after the list was read again is not applied: its marks
    // were for the lines as they were.
    void staleLookIsDropped()
    {
        open(cp932Lines(SampleLines));
        QSignalSpy looked(form_.get(), &MainWindow::gameFilesChecked);
        QTRY_VERIFY(!looked.isEmpty());
        looked.clear();
        static QSemaphore slow;
        static std::atomic<int> calls{0}, ended{0};
        calls = 0;
        ended = 0;
        form_->setFileChecker([](const QStringList &files) {
            FileCheck check;
            check.missing = QList<bool>(files.size(), false);
            if (++calls == 1) { // the first look: slow, and every file missing
                slow.acquire();
                check.missing.fill(true);
            }
            ++ended;
            return check;
        });
        form_->activate();
        QTRY_COMPARE(calls.load(), 1);
        form_->activate(); // read again: the look of the list as it is now
        QTRY_COMPARE(looked.size(), 1);
        slow.release();
        QTRY_COMPARE(ended.load(), 2);
        QTest::qWait(100); // the first look's answer comes to the window, and goes
        QCOMPARE(looked.size(), 1);
        QVERIFY(!form_->fileMissing(0));
        QVERIFY(!list()->model()->index(0, 0).data(GameListModel::MissingRole).toBool());
    }

    // Down past the last match and Up before the first go round; a name nothing matches is
    // said in the field and leaves the choice as it was; the game found is never under the field.
    void searchGoesRoundAndSaysWhenNothingMatches()
    {
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines << QStringLiteral("%1 %2,ROM,,,,,s%2,-cart g.rom").arg(i == 0 || i == 5 ? "Alpha" : i == 39 ? "Omega" : "Game").arg(i);
        open(cp932Lines(lines));
        auto *search = child<QLineEdit>("Search");
        auto type = [&](const QString &text) {
            for (const QChar c : text) {
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(search->isVisible() ? static_cast<QWidget *>(search) : list(), &key);
            }
        };
        list()->setFocus();
        type(QStringLiteral("alpha"));
        QCOMPARE(currentRow(), 0);
        const int steps[][2] = {{Qt::Key_Down, 5}, {Qt::Key_Down, 0}, {Qt::Key_Up, 5}, {Qt::Key_Up, 0}};
        for (const auto &[key, row] : steps) {
            QTest::keyClick(search, Qt::Key(key));
            QCOMPARE(currentRow(), row);
        }
        auto *miss = child<QLabel>("SearchMiss");
        QVERIFY(!miss->isVisible());
        type(QStringLiteral("zzz"));
        QVERIFY(miss->isVisible());
        QCOMPARE(currentRow(), 0);
        QTest::keyClick(search, Qt::Key_Escape);
        type(QStringLiteral("omega"));
        QCOMPARE(currentRow(), 39);
        QVERIFY(!miss->isVisible());
        const QRect row = rowRect(39);
        QVERIFY(row.isValid() && list()->viewport()->mapTo(form_.get(), row.bottomLeft()).y() < search->y());
    }

    // A writer that never rests (every 150 ms, below the settle time) is followed all the same.
    void busyFileIsFollowed()
    {
        open(numbered(1));
        QTest::qWait(50); // the watcher starts once the window is up
        int written = 1;
        QTimer writer;
        connect(&writer, &QTimer::timeout, this, [&] { folder_->setCatalogue(numbered(++written)); });
        writer.start(150);
        QTRY_VERIFY_WITH_TIMEOUT(rowCount() > 1, 5000);
        QVERIFY(writer.isActive() && written < 30);
    }

    void controlsShowWhatTheLayoutAsks()
    {
        open(cp932Lines({QStringLiteral("長い,ROM,,,,,g,-cart ") + QString(300, u'x') + QStringLiteral(".rom")}));
        select(0);
        QCOMPARE(child<QLineEdit>("Text1")->cursorPosition(), 0);
        // The FM-PAC box's grey, as painted.
        const QImage check = child<QCheckBox>("Check2")->grab().toImage();
        QCOMPARE(check.pixelColor(0, 0), QColor(180, 180, 180));
        // Every control says what it does to a screen reader.
        for (const char *name : {"Touroku_bot", "hensyu_bot", "Sakujyo_bot", "List1", "Check2",
                                 "Combo1", "Text1", "Image1", "Image2", "Picture1"})
            QVERIFY2(!child<QWidget>(name)->accessibleName().isEmpty(), name);
        QCOMPARE(child<QWidget>("Image1")->accessibleName(), QStringLiteral("電源スイッチ。押すとゲームを起動する"));
    }

    void emulatorFailureIsShown()
    {
        open(cp932Lines(SampleLines));
#ifdef RECORD_LAUNCH
        QVERIFY(writeFile(folder_->path() + "/refuse.txt", "ALSA lib pcm.c:2666:(snd_pcm_open_noupdate) Unknown PCM default\n"
                                                           "tarumin adapter: C-BIOS has no BASIC, so tapes cannot run\n"));
#else
        QFile script(folder_->path() + "/mess.exe");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho 'ALSA lib pcm.c:2666:(snd_pcm_open_noupdate) Unknown PCM default' >&2\n"
                     "echo 'tarumin adapter: C-BIOS has no BASIC, so tapes cannot run' >&2\nexit 4\n");
        script.close();
#endif
        select(1);
        clickSwitch();
        QTRY_COMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(QStringLiteral("終了コード 4")), qPrintable(messages_[0]));
        QVERIFY(messages_[0].contains(QStringLiteral("C-BIOS has no BASIC, so tapes cannot run")));
        QVERIFY2(!messages_[0].contains(QStringLiteral("ALSA")), qPrintable(messages_[0])); // the adapter's words only
    }

    void hostileFilesNeverBlockOrLeak()
    {
#ifdef Q_OS_UNIX
        // A 10 MB line: shown cut to what the labels hold, launched whole.
        const QByteArray longArgs = "-cart " + QByteArray(5 * 1024 * 1024, 'r') + ".rom";
        const QByteArray huge = "huge,ROM,,," + QByteArray(5 * 1024 * 1024, 'p') + ",desc,../image/swhich," + longArgs;
        open(cp932Lines(SampleLines) + huge + "\r\n");
        select(7);
        QVERIFY(label("Nedan_L").size() < 3000);
        QVERIFY(label("Nedan_L").startsWith(QStringLiteral("ppp")));
        QCOMPARE(form_->state().launchArgs.size(), longArgs.size());
        // The snapshot name leads out of the snapshot folder: the stand-by picture.
        QCOMPARE(picture(), fileImage(folder_->path() + "/tarumin/image/notimage.jpg"));

        // Pipes where the pictures and sounds should be, and a sound that links to /dev/zero.
        const QString data = folder_->path() + "/tarumin/";
        QFile::remove(data + "snap/hoshikaze.gif");
        QFile::remove(data + "image/swhich2.gif");
        QFile::remove(data + "sound/swich.wav");
        QFile::remove(data + "sound/doka.wav");
        for (const QString &fifo : {data + "snap/hoshikaze.gif", data + "image/swhich2.gif", data + "sound/swich.wav"})
            QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), data + "sound/doka.wav"));
        platform::MciControl::setAudible(true);
        QElapsedTimer clock;
        clock.start();
        select(0);
        QCOMPARE(picture(), fileImage(data + "image/notimage.jpg"));
        clickSwitch();
        QTest::mouseClick(child<QWidget>("Image2"), Qt::LeftButton);
        platform::MciControl::setAudible(false);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!folder_->waitForLaunch().isEmpty());

        // A pipe named like the catalogue: the window opens and says so; nothing is changed.
        form_.reset();
        QFile::remove(folder_->listPath());
        QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {folder_->listPath()}), 0);
        messages_.clear();
        form_ = std::make_unique<MainWindow>(folder_->path());
        form_->show();
        QTRY_COMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(QStringLiteral("普通のファイルではありません")), qPrintable(messages_[0]));
        QCOMPARE(rowCount(), 0);
#endif
    }

    void droppedFilesAreRegisteredInOneGo()
    {
        open(cp932Lines(SampleLines));
        // The sample cartridges, named by the shipped list, an unknown tape, one already there.
        const QString games = folder_->path() + "/my collection";
        QDir().mkpath(games + "/sub");
        QDir().mkpath(folder_->path() + "/hash");
        QFile::copy(QStringLiteral(SOURCE_DIR "/sample/hash/tarumin_cart.xml"), folder_->path() + "/hash/tarumin_cart.xml");
        QFile::copy(QStringLiteral(SOURCE_DIR "/sample/hoshikaze.rom"), games + "/hoshikaze.rom");
        QFile::copy(QStringLiteral(SOURCE_DIR "/sample/hanno.rom"), games + "/sub/hanno.rom");
        QVERIFY(writeFile(games + "/mystery.cas", "tape"));
        QVERIFY(writeFile(folder_->path() + "/hoshikaze.rom", "in the catalogue as -cart hoshikaze.rom"));
        QVERIFY(writeFile(folder_->path() + "/notes.txt", "not a game"));
        form_->registerFiles({games, folder_->path() + "/hoshikaze.rom", folder_->path() + "/notes.txt"});
        QCOMPARE(messages_.size(), 1);
        // Each file not registered is named with its reason, below the counts.
        QVERIFY2(messages_[0].contains(QStringLiteral("登録できなかったもの: 1 本"))
                     && messages_[0].contains(QStringLiteral("登録できません: %1（カートリッジ・テープ・ディスクのどれかわかりません")
                                                  .arg(QDir::toNativeSeparators(folder_->path() + "/notes.txt"))),
                 qPrintable(messages_[0]));
        QVERIFY2(messages_[0].startsWith(QStringLiteral("3 本のゲームを登録しました（リストで識別 2 本、識別できず 1 本）。")),
                 qPrintable(messages_[0]));
        QVERIFY(messages_[0].contains(QStringLiteral("登録済みのため飛ばしたもの: 1 本")));
        const QList<QByteArray> lines = linesOf(folder_->catalogue());
        QCOMPARE(lines.size(), SampleLines.size() + 3);
        QVERIFY(lines[SampleLines.size()].startsWith(platform::encodeCp932(QStringLiteral("星風ランナー,ROM,2026年,たるみんソフト,,")).value()));
        // In name order within the folder; a path with a blank is quoted.
        QVERIFY(lines[SampleLines.size() + 1].endsWith(
            ",mystery,-cass \"" + QFile::encodeName(QDir::toNativeSeparators(games + "/mystery.cas")) + "\"\r"));
        // The list shows them.
        QCOMPARE(rowCount(), SampleLines.size() + 3);
        QCOMPARE(rowText(SampleLines.size() + 2), QStringLiteral("反応テスト"));
    }

    // The keyboard and a screen reader reach everything: the first key down chooses the first
    // game, and each value is heard with its heading.
    void keyboardAndScreenReader()
    {
        open(cp932Lines(SampleLines));
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(chosenRow(), 0);
        // From then on the keys move as a list's do.
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(chosenRow(), 1);
        QTest::keyClick(list(), Qt::Key_Up);
        QCOMPARE(chosenRow(), 0);
        const std::pair<const char *, QString> heard[] = {
            {"Media_L", "メディア: ROM"}, {"Hatubai_L", "発売年: 1986年4月"}, {"Kaisetu_L", "ゲーム説明: 宇宙を駆ける。"}};
        for (const auto &[name, text] : heard)
            QCOMPARE(QAccessible::queryAccessibleInterface(child<QLabel>(name))->text(QAccessible::Name), text);
        // A field is named by its label (on Linux a combo box's name is its value).
        const std::pair<const char *, QString> labelled[] = {{"Check2", "FM-PACKの使用"}, {"Combo1", "エミュレーターの機種"}};
        for (const auto &[name, text] : labelled) {
            const auto relations = QAccessible::queryAccessibleInterface(child<QWidget>(name))->relations(QAccessible::Label);
            QVERIFY2(!relations.isEmpty() && relations.first().first->text(QAccessible::Name) == text, name);
        }
        // Headings in plain words; the snapshot says whose it is; the machine's edit field named.
        const std::pair<const char *, QString> named[] = {
            {"Label8", "ゲーム名"}, {"Label4", "価格"}, {"Label5", "ゲーム説明"}, {"Picture1", "「星風ランナー」の画面写真"}};
        for (const auto &[name, text] : named)
            QCOMPARE(child<QWidget>(name)->accessibleName(), text);
        QVERIFY(!child<QComboBox>("Combo1")->lineEdit()->accessibleName().isEmpty());
        // The FM-PAC label ticks its box.
        QTest::mouseClick(child<QLabel>("Label6"), Qt::LeftButton);
        QVERIFY(child<QCheckBox>("Check2")->isChecked());
        QVERIFY(form_->state().request.fmpac);
        QTest::mouseClick(child<QLabel>("Label6"), Qt::LeftButton);
        QVERIFY(!form_->state().request.fmpac);
        // The power switch is a tab stop, pressed by Space, and by a screen reader's press.
        auto *power = child<QWidget>("Image1");
        QCOMPARE(power->focusPolicy(), Qt::StrongFocus);
        form_->activateWindow();
        child<QWidget>("Combo1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), power);
        QTest::keyClick(power, Qt::Key_Space);
        QVERIFY(!folder_->waitForLaunch(1).isEmpty());
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(power);
        QCOMPARE(button->role(), QAccessible::Button);
        QVERIFY(button->actionInterface());
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(!folder_->waitForLaunch(2).isEmpty());
    }

    // A change another program makes to the catalogue shows within a second, the chosen game
    // staying chosen.
    void listFollowsTheFile()
    {
        const QByteArray data = cp932Lines(SampleLines);
        open(data);
        select(2);
        QTest::qWait(50); // the watcher starts once the window is up
        folder_->setCatalogue(cp932Lines({QStringLiteral("新しい,ROM,,,,,new,-cart new.rom")}) + data);
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(), SampleLines.size() + 1, 1000);
        QCOMPARE(chosenRow(), 3);
        QCOMPARE(rowText(0), QStringLiteral("新しい"));
        // Lines removed above it: it is found higher up.
        folder_->setCatalogue(data.mid(data.indexOf('\n') + 1));
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(), SampleLines.size() - 1, 1000);
        QCOMPARE(chosenRow(), 1);
    }

    // Closing the window while a drop is being registered stops it before anything is written,
    // then closes the window.
    void closingDuringADropWritesNothing()
    {
        const QByteArray data = cp932Lines(SampleLines);
        open(data);
        const QString games = folder_->path() + "/many";
        QDir().mkpath(games);
        for (int i = 0; i < 2000; ++i)
            QVERIFY(writeFile(games + QStringLiteral("/g%1.rom").arg(i, 4, 10, QChar(u'0')), QByteArray(16384, char(i))));
        QTimer::singleShot(0, form_.get(), [this] { form_->close(); });
        form_->registerFiles({games});
        QCOMPARE(folder_->catalogue(), data);
        QTRY_VERIFY(!form_->isVisible());
        QVERIFY(messages_.isEmpty());
    }

    // The running game within reach: the snapshot's menu talks to the openMSX this window
    // started (through the adapter, which stages the disk set), takes its screen as the
    // game's snapshot and changes its disks; greyed when no such openMSX answers.
    void runningGameMenu()
    {
#ifndef STAND_IN_OPENMSX
        QSKIP("no stand-in openMSX with a control socket here");
#else
        QTemporaryDir scratch;
        const QString runtime = scratch.filePath(QStringLiteral("run")), temporary = scratch.filePath(QStringLiteral("tmp"));
        QDir().mkpath(runtime);
        QDir().mkpath(temporary);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString record = scratch.filePath(QStringLiteral("record")), screen = scratch.filePath(QStringLiteral("screen.png"));
        QImage raw(320, 240, QImage::Format_RGB32);
        raw.fill(Qt::blue);
        raw.setPixel(32, 24, qRgb(255, 0, 0)); // the picture's first pixel, inside the border
        QVERIFY(raw.save(screen));
        const QList<std::pair<const char *, QString>> environment{
            {"XDG_RUNTIME_DIR", runtime}, {"TMPDIR", temporary}, {"RECORD", record}, {"STAND_IN_SCREEN", screen},
            {"TARUMIN_OPENMSX", QStringLiteral(STAND_IN_OPENMSX)}, {"TARUMIN_MSX2J_MACHINE", QStringLiteral("Sony_HB-F1XD")}};
        for (const auto &[name, value] : environment)
            qputenv(name, value.toUtf8());
        // Whatever this test started ends with it, passed or not (the adapter takes its
        // openMSX with it).
        const auto ending = qScopeGuard([] {
            for (const qint64 child : platform::childProcesses(QCoreApplication::applicationPid()))
                ::kill(pid_t(child), SIGKILL);
        });
        platform::setModuleFolders({QStringLiteral(MODULE_DIR)});
        open(cp932Lines({QStringLiteral("冒険,DISK,,,,,quest,-flop quest1.dsk")}));
        folder_->setCatalogue(cp932Lines({QStringLiteral("冒険,DISK,,,,,quest,-flop quest1.dsk")}));
        // Two disks, the second named by a list of the folder's.
        QByteArray list = "<?xml version=\"1.0\"?>\n<softwarelist name=\"msx2_flop\" description=\"t\">"
                          "<software name=\"quest\"><description>Quest</description><year>1987</year><publisher>T</publisher>";
        for (const char *n : {"1", "2"}) {
            const QByteArray content = QByteArray("disk ") + n;
            QFile disk(folder_->path() + QStringLiteral("/quest%1.dsk").arg(QLatin1String(n)));
            QVERIFY(disk.open(QIODevice::WriteOnly) && disk.write(content) == content.size());
            list += QByteArray("<part name=\"flop") + n + "\" interface=\"floppy_3_5\"><feature name=\"part_id\" value=\"Game Disk " + n
                    + "\"/><dataarea name=\"flop\" size=\"6\"><rom name=\"q.dsk\" size=\"6\" sha1=\""
                    + QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex() + "\"/></dataarea></part>";
        }
        QDir().mkpath(folder_->path() + QStringLiteral("/hash"));
        QFile lists(folder_->path() + QStringLiteral("/hash/quest_flop.xml"));
        QVERIFY(lists.open(QIODevice::WriteOnly) && lists.write(list + "</software></softwarelist>\n") > 0);
        lists.close();
        QFile::remove(folder_->path() + QStringLiteral("/mess.exe"));
        QVERIFY(QFile::link(QStringLiteral(OPENMSX_ADAPTER), folder_->path() + QStringLiteral("/mess.exe")));
        form_->activate();
        select(0);

        const auto menuItems = [this] {
            std::unique_ptr<QMenu> menu(form_->makePictureMenu());
            QMenu *parts = menu->findChild<QMenu *>(QStringLiteral("ChangePart"));
            return std::make_pair(menu->findChild<QAction *>(QStringLiteral("TakeSnapshot"))->isEnabled(),
                                  parts->isEnabled() ? parts->actions().size() : 0);
        };
        QCOMPARE(menuItems(), std::make_pair(false, qsizetype(0))); // nothing running yet
        clickSwitch();
        QTRY_COMPARE_WITH_TIMEOUT(menuItems(), std::make_pair(true, qsizetype(2)), 10000);
        {
            std::unique_ptr<QMenu> menu(form_->makePictureMenu());
            const QList<QAction *> parts = menu->findChild<QMenu *>(QStringLiteral("ChangePart"))->actions();
            QCOMPARE(parts.at(1)->text(), QStringLiteral("&2 枚目（Game Disk 2）"));
        }

        // The screen, cropped to the picture, is the game's snapshot and is shown at once.
        {
            std::unique_ptr<QMenu> menu(form_->makePictureMenu());
            menu->findChild<QAction *>(QStringLiteral("TakeSnapshot"))->trigger();
        }
        const QString snap = folder_->path() + QStringLiteral("/tarumin/snap/quest.png");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(snap), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(picture().pixel(0, 0), qRgb(255, 0, 0), 10000);
        const QImage saved(snap);
        QCOMPARE(saved.size(), QSize(256, 192));
        QCOMPARE(saved.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(picture().pixel(0, 0), qRgb(255, 0, 0));
        // The second disk goes into drive A.
        {
            std::unique_ptr<QMenu> menu(form_->makePictureMenu());
            menu->findChild<QMenu *>(QStringLiteral("ChangePart"))->actions().at(1)->trigger();
        }
        QFile commands(record + QStringLiteral(".commands"));
        const auto sentCommands = [&commands] {
            commands.close();
            return commands.open(QIODevice::ReadOnly) ? QString::fromUtf8(commands.readAll()).split(u'\n', Qt::SkipEmptyParts) : QStringList();
        };
        // (The window may be asking whether the game still answers meanwhile: those commands
        // come in between.)
        const auto diskCommands = [&sentCommands] { return sentCommands().filter(QRegularExpression(QStringLiteral("^diska "))); };
        QTRY_VERIFY2_WITH_TIMEOUT(!diskCommands().isEmpty(), qPrintable(sentCommands().join(u'|') + u'#' + messages_.join(u'|')), 15000);
        QVERIFY(messages_.isEmpty());
        const QStringList sent = diskCommands();
        QVERIFY2(sent.last().startsWith(QStringLiteral("diska {")) && sent.last().endsWith(QStringLiteral("/disk2.dsk}")),
                 qPrintable(sent.join(u'|')));
        const QString staged = sent.last().mid(7).chopped(1);
        QCOMPARE(QFileInfo(staged).symLinkTarget(), QFileInfo(folder_->path() + QStringLiteral("/quest2.dsk")).absoluteFilePath());

        // When that openMSX has ended, the items are greyed.
        const QString staging = QFileInfo(staged).absolutePath();
        QFile pid(staging + QStringLiteral("/pid"));
        QVERIFY(pid.open(QIODevice::ReadOnly));
        ::kill(pid_t(pid.readAll().trimmed().toLongLong()), SIGKILL);
        QTRY_COMPARE(menuItems(), std::make_pair(false, qsizetype(0)));
        QTRY_VERIFY((menuItems(), !QFileInfo::exists(staging))); // and its staged set goes
        for (const auto &[name, value] : environment)
            qunsetenv(name);
#endif
    }

    // An emulator whose socket takes the connection and never answers: the menu is there at
    // once, its items greyed, and stays so.
    // With two games running, the running game's menu talks to the one started last.
    void lastStartedGameAnswers()
    {
#ifndef STAND_IN_OPENMSX
        QSKIP("no stand-in openMSX with a control socket here");
#else
        QTemporaryDir scratch;
        const QString runtime = scratch.filePath(QStringLiteral("run"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QList<std::pair<const char *, QString>> environment{
            {"XDG_RUNTIME_DIR", runtime}, {"TMPDIR", scratch.path()}, {"RECORD", scratch.filePath(QStringLiteral("record"))}};
        QList<std::pair<const char *, QByteArray>> before;
        for (const auto &[name, value] : environment) {
            before.append({name, qgetenv(name)});
            qputenv(name, value.toUtf8());
        }
        const auto restoring = qScopeGuard([&before] {
            for (const auto &[name, value] : before)
                value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
        });
        QProcess older, newer;
        for (QProcess *p : {&older, &newer}) {
            p->start(QStringLiteral(STAND_IN_OPENMSX), {});
            QVERIFY(p->waitForStarted());
        }
        const auto ending = qScopeGuard([&] {
            for (QProcess *p : {&older, &newer}) {
                p->kill();
                p->waitForFinished();
            }
        });
        const QString sockets = scratch.filePath(QStringLiteral("openmsx-") + QString::fromLocal8Bit(getpwuid(geteuid())->pw_name));
        for (const QProcess *p : {&older, &newer})
            QTRY_VERIFY(QFile::exists(sockets + QStringLiteral("/socket.%1").arg(p->processId())));
        RunningGames games({});
        games.started(older.processId(), QStringLiteral("older"), catalogue::Media::Cartridge);
        games.started(newer.processId(), QStringLiteral("newer"), catalogue::Media::Cartridge);
        QSignalSpy answered(&games, &RunningGames::answered);
        games.ask();
        QTRY_COMPARE(answered.size(), 1);
        QVERIFY(games.answering());
        QCOMPARE(games.answering()->snapName, QStringLiteral("newer"));
#endif
    }

    void silentEmulatorNeverHoldsTheWindow()
    {
#ifndef STAND_IN_OPENMSX
        QSKIP("no control sockets here");
#else
        QTemporaryDir scratch;
        qputenv("TMPDIR", scratch.path().toUtf8());
        const QString pidFile = scratch.filePath(QStringLiteral("pid"));
        open(cp932Lines(SampleLines));
        QFile script(folder_->path() + QStringLiteral("/mess.exe"));
        QFile::remove(script.fileName());
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho $$ > '" + pidFile.toUtf8() + "'\nexec sleep 30\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        select(0);
        clickSwitch();
        QTRY_VERIFY(QFileInfo(pidFile).size() > 0);
        QFile id(pidFile);
        QVERIFY(id.open(QIODevice::ReadOnly));
        const pid_t pid = pid_t(id.readAll().trimmed().toLongLong());
        const QString folder = scratch.filePath(QStringLiteral("openmsx-") + QString::fromLocal8Bit(getpwuid(geteuid())->pw_name));
        QVERIFY(QDir().mkpath(folder));
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QByteArray path = (folder + QStringLiteral("/socket.") + QString::number(pid)).toUtf8();
        const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        memcpy(address.sun_path, path.constData(), size_t(path.size()));
        QVERIFY(::bind(server, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 && ::listen(server, 4) == 0);
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer clock;
            clock.start();
            std::unique_ptr<QMenu> menu(form_->makePictureMenu());
            QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
            QVERIFY(!menu->findChild<QAction *>(QStringLiteral("TakeSnapshot"))->isEnabled());
            QTest::qWait(400);
        }
        ::kill(pid, SIGKILL);
        ::close(server);
        qunsetenv("TMPDIR");
#endif
    }

    void missingEmulatorIsReported()
    {
        open(cp932Lines(SampleLines), false);
        select(0);
        clickSwitch();
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].contains(QStringLiteral("mess.exe")));
        QVERIFY(messages_[0].contains(QStringLiteral("起動できませんでした")));
        // The window goes on working.
        select(1);
        QCOMPARE(label("Kaisetu_L"), QStringLiteral("一本目"));

        // Present but not executable.
        QFile f(folder_->path() + "/mess.exe");
        f.open(QIODevice::WriteOnly);
        f.write("not a program");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        clickSwitch();
        QCOMPARE(messages_.size(), 2);
    }

    void soundSequences()
    {
        open(cp932Lines(SampleLines));
        const QString sound = platform::joinPath(folder_->path(), QStringLiteral("\\tarumin\\sound\\"));
        clickSwitch();
        QStringList expected{"FileName=" + sound + "swich.wav", "Notify=false", "Wait=true",
                             "Shareable=false", "Command=Open", "Command=Sound"};
        QCOMPARE(form_->mci()->trace(), expected);
        QVERIFY(form_->mci()->deviceType().isEmpty()); // no device type before the nameplate

        QTest::mouseClick(child<QWidget>("Image2"), Qt::LeftButton);
        expected << "DeviceType=WaveAudio" << "FileName=" + sound + "doka.wav" << "Notify=false"
                 << "Wait=true" << "Shareable=false" << "Command=Open" << "Command=Sound";
        QCOMPARE(form_->mci()->trace(), expected);
        QVERIFY(folder_->waitForLaunch().size() > 0);

        // After the nameplate the switch sound plays on the device type it left.
        clickSwitch();
        expected << "FileName=" + sound + "swich.wav" << "Notify=false" << "Wait=true"
                 << "Shareable=false" << "Command=Open" << "Command=Sound";
        QCOMPARE(form_->mci()->trace(), expected);
        QCOMPARE(form_->mci()->deviceType(), QStringLiteral("WaveAudio"));
        QVERIFY(folder_->waitForLaunch(2).size() > 0);

        // "Close" at unload, even with nothing played.
        open(cp932Lines(SampleLines));
        platform::MciControl *mci = form_->mci();
        form_->close();
        QCOMPARE(mci->trace(), QStringList{"Command=Close"});
    }

    void realSoundDoesNotBlock()
    {
        // With sound on and no audio device, or a broken file, clicks return at once.
        platform::MciControl::setAudible(true);
        open(cp932Lines(SampleLines));
        QFile f(folder_->path() + "/tarumin/sound/doka.wav");
        f.open(QIODevice::WriteOnly);
        f.write("RIFF broken");
        f.close();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(child<QWidget>("Image2"), Qt::LeftButton);
        clickSwitch();
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(!folder_->waitForLaunch().isEmpty());
        form_->close();
        platform::MciControl::setAudible(false);
        QVERIFY(messages_.isEmpty());
    }

private:
    // The window as the program starts it again on the same folder.
    void reopen()
    {
        form_.reset();
        form_ = std::make_unique<MainWindow>(folder_->path());
        QSignalSpy checked(form_.get(), &MainWindow::gameFilesChecked);
        form_->show();
        QTRY_VERIFY(!checked.isEmpty());
    }
    QAction *listAction(const char *name)
    {
        std::unique_ptr<QMenu> menu(form_->makeListMenu());
        QList<QAction *> actions = menu->actions();
        for (const QMenu *sub : menu->findChildren<QMenu *>())
            actions += sub->actions();
        for (QAction *a : actions)
            if (a->objectName() == QLatin1String(name) || a->text() == QString::fromUtf8(name))
                return a;
        qFatal("no menu item %s", name);
    }

private slots:
    // Each game comes back with the machine and FM-PAC it was last started with, its favourite
    // mark and its plays, after a restart too; a game with nothing remembered leaves the boxes.
    void eachGameIsRemembered()
    {
        open(cp932Lines(SampleLines));
        for (const char *name : {"hoshikaze.rom", "same1.cas"}) {
            QFile game(folder_->path() + u'/' + QLatin1String(name));
            QVERIFY(game.open(QIODevice::WriteOnly) && game.write(name) > 0);
        }
        reopen();
        auto *combo = child<QComboBox>("Combo1");
        auto *fmpac = child<QCheckBox>("Check2");
        const auto boxes = [this] { return std::pair(child<QComboBox>("Combo1")->currentText(), child<QCheckBox>("Check2")->isChecked()); };
        select(0);
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QTest::mouseClick(fmpac, Qt::LeftButton);
        clickSwitch();
        QCOMPARE(folder_->waitForLaunch(1).mid(1), (QStringList{"MSXJ", "-CART", "FMPAC.ROM", "-cart", "hoshikaze.rom"}));
        select(1);
        QCOMPARE(boxes(), std::pair(QStringLiteral("MSXJ"), true));
        combo->setCurrentIndex(0);
        emit combo->activated(0);
        QTest::mouseClick(fmpac, Qt::LeftButton);
        clickSwitch();
        QCOMPARE(folder_->waitForLaunch(2).mid(1), (QStringList{"MSX2J", "-cass", "same1.cas"}));
        select(0);
        QCOMPARE(boxes(), std::pair(QStringLiteral("MSXJ"), true));
        listAction("Favourite")->trigger();
        QTRY_VERIFY(list()->model()->index(0, 0).data(GameListModel::FavouriteRole).toBool());
        QCOMPARE(list()->model()->index(0, 0).data(Qt::AccessibleTextRole).toString(), QStringLiteral("星風ランナー、お気に入り"));
        QVERIFY2(label("PlayHistory").startsWith(QStringLiteral("遊んだ回数 1 回・合計 1 分未満・最後に遊んだ日 ")), qPrintable(label("PlayHistory")));

        reopen();
        select(1);
        QCOMPARE(boxes(), std::pair(QStringLiteral("MSX2J"), false));
        select(0);
        QCOMPARE(boxes(), std::pair(QStringLiteral("MSXJ"), true));
        QVERIFY(listAction("Favourite")->isChecked());
        clickSwitch();
        QCOMPARE(folder_->waitForLaunch(3).mid(1), (QStringList{"MSXJ", "-CART", "FMPAC.ROM", "-cart", "hoshikaze.rom"}));
        QTRY_VERIFY(label("PlayHistory").startsWith(QStringLiteral("遊んだ回数 2 回")));
        // Forgotten: choosing it leaves the boxes as the last game set them.
        listAction("ForgetMachine")->trigger();
        select(1);
        select(0);
        QCOMPARE(boxes(), std::pair(QStringLiteral("MSX2J"), false));
        QVERIFY(!listAction("ForgetMachine")->isEnabled());
        QVERIFY(!listAction("Resume")->isEnabled());
        // A saved state: Ctrl+Enter plays on from it, after the list was read again too.
        const QString state = form_->playerData()->stateFileFor(0);
        QVERIFY(QDir().mkpath(QFileInfo(state).absolutePath()));
        QFile(state).open(QIODevice::WriteOnly);
        form_->playerData()->stateSaved(0, state);
        QSignalSpy checked(form_.get(), &MainWindow::gameFilesChecked);
        form_->activate();
        QTRY_VERIFY(!checked.isEmpty());
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(folder_->waitForLaunch(4).mid(1), (QStringList{"MSX2J", "-cart", "hoshikaze.rom", "-state", state}));
        listAction("RemoveState")->trigger();
        QVERIFY(!QFile::exists(state));
        QVERIFY(!listAction("Resume")->isEnabled());
        QVERIFY(messages_.isEmpty());
    }

    // What cannot be remembered is said, once a run; the program goes on.
    void playerDataThatCannotBeWrittenIsSaid()
    {
        open(cp932Lines(SampleLines));
        QVERIFY(QDir().mkpath(folder_->path() + QStringLiteral("/tarumin/player.json.lock"))); // no lock can be taken
        QTRY_VERIFY(!form_->playerData()->fileOf(0).isEmpty()); // the files were looked at
        select(0);
        listAction("Favourite")->trigger();
        listAction("Favourite")->trigger();
        form_->playerData()->store().flush();
        QTRY_COMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].startsWith(QStringLiteral("遊んだ記録とお気に入りを保存できませんでした（")), qPrintable(messages_[0]));
        QVERIFY(!QFile::exists(folder_->path() + QStringLiteral("/tarumin/player.json")));
        QTest::qWait(50);
        QCOMPARE(messages_.size(), 1);
    }

    // The window comes back where it was, when that is still on a screen.
    void windowPlaceIsRemembered()
    {
        open(cp932Lines(SampleLines));
        const QRect screen = form_->screen()->availableGeometry();
        const QList<std::pair<QPoint, QPoint>> places{
            {screen.topLeft() + QPoint(30, 20), screen.topLeft() + QPoint(30, 20)},
            {screen.bottomRight() + QPoint(50, 50), QPoint()}, // off every screen: placed as at a first start
        };
        const QPoint first = form_->pos();
        for (const auto &[left, back] : places) {
            form_->move(left);
            form_->close();
            form_->playerData()->store().flush();
            reopen();
            QCOMPARE(form_->pos(), back.isNull() ? first : back);
        }
    }

    // The order shown is remembered and never changes which line an edit or a delete touches.
    void listOrderIsTheUsersOwn()
    {
        const QByteArray data = cp932Lines(SampleLines);
        open(data);
        const QStringList fileOrder = listEntries();
        listAction("名前順")->trigger();
        const QStringList sorted = listEntries();
        QVERIFY(sorted != fileOrder);
        reopen();
        QCOMPARE(listEntries(), sorted);
        QVERIFY(listAction("名前順")->isChecked());
        const int row = int(sorted.indexOf(QStringLiteral("少ない")));
        QVERIFY(row != 5);
        select(row);
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QList<QByteArray> lines = linesOf(data);
        lines.removeAt(5);
        QCOMPARE(linesOf(folder_->catalogue()), lines);
        // Filtered: only what passes is shown, the file untouched.
        listAction("テープ")->trigger();
        QCOMPARE(listEntries(), QStringList{"同じ名前"});
        QCOMPARE(linesOf(folder_->catalogue()), lines);
    }

    void deleteFirstLastAndOnly()
    {
        const QByteArray data = cp932Lines(SampleLines);
        const QList<QByteArray> lines = linesOf(data);
        open(data);
        select(0);
        // The user is asked first; いいえ keeps the line.
        answer_ = false;
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QCOMPARE(questions_, QStringList{"「星風ランナー」を削除しますか？"});
        QCOMPARE(folder_->catalogue(), data);
        answer_ = true;
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QCOMPARE(messages_, QStringList{"リストを１つ削除しました。本気で。"});
        QCOMPARE(linesOf(folder_->catalogue()), lines.mid(1));
        QCOMPARE(rowText(0), QStringLiteral("同じ名前"));
        QVERIFY((chosenRow() < 0));
        // No ghost: nothing is chosen, and the switch starts no deleted game.
        QVERIFY(form_->state().snapName.isEmpty());
        QCOMPARE(label("Media_L"), QString());
        QVERIFY(!child<QPushButton>("Sakujyo_bot")->isEnabled());
        clickSwitch();
        QCOMPARE(folder_->waitForLaunch().mid(1), QStringList{"MSX2J"});
        // Delete on the list asks as well.
        select(0);
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(questions_.last(), QStringLiteral("「同じ名前」を削除しますか？"));
        QCOMPARE(linesOf(folder_->catalogue()), lines.mid(2));

        select(rowCount() - 1);
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QCOMPARE(linesOf(folder_->catalogue()), lines.mid(2, lines.size() - 3));

        open(cp932Lines({QStringLiteral("ひとつ,ROM,,,,,a,-cart a.rom")}));
        select(0);
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QCOMPARE(folder_->catalogue(), QByteArray());
        QCOMPARE(rowCount(), 0);
        QCOMPARE(form_->table().lastIndex(), int(-1));
    }

    void deleteFromFullTable()
    {
        const QByteArray data = numbered(1001);
        open(data);
        select(1000);
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QCOMPARE(rowCount(), 1000);
        QCOMPARE(linesOf(folder_->catalogue()), linesOf(data).mid(0, 1000));
        select(500);
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QList<QByteArray> expected = linesOf(data).mid(0, 1000);
        expected.removeAt(500);
        QCOMPARE(linesOf(folder_->catalogue()), expected);
    }

    void deleteWithoutSelectionChangesNothing()
    {
        const QByteArray data = cp932Lines(SampleLines);
        open(data);
        select(2);
        form_->activate(); // as after the entry dialog: the game is still there, still chosen
        QCOMPARE(currentRow(), 2);
        // Its line changed by another program: nothing chosen, nothing to delete.
        QByteArray changed = data;
        changed.replace(platform::encodeCp932(QStringLiteral("二本目")).value(), platform::encodeCp932(QStringLiteral("２本目")).value());
        folder_->setCatalogue(changed);
        form_->activate();
        QVERIFY((chosenRow() < 0));
        QVERIFY(!child<QPushButton>("Sakujyo_bot")->isEnabled());
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Delete);
        QVERIFY(messages_.isEmpty() && questions_.isEmpty());
        QCOMPARE(folder_->catalogue(), changed);
    }

    void deleteWorksOnTheFileAsItIsNow()
    {
        const QByteArray data = numbered(4);
        open(data);
        // An editor appends a line after the list was shown: the delete keeps it.
        folder_->setCatalogue(data + "appended,,,,,,a,-cart a.rom\r\n");
        select(1);
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QCOMPARE(messages_, QStringList{"リストを１つ削除しました。本気で。"});
        QList<QByteArray> expected = linesOf(data);
        expected.removeAt(1);
        expected << "appended,,,,,,a,-cart a.rom\r";
        QCOMPARE(linesOf(folder_->catalogue()), expected);
        QCOMPARE(rowCount(), 4);

        // Another copy deletes the first game; this one still shows it and deletes the one
        // it shows second. The line there now is another game: nothing is written, the user
        // is told, and the list is shown as it is.
        messages_.clear();
        const QByteArray before = folder_->catalogue();
        folder_->setCatalogue(before.mid(before.indexOf('\n') + 1));
        select(1);
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(QStringLiteral("ほかのプログラム")), qPrintable(messages_[0]));
        QCOMPARE(folder_->catalogue(), before.mid(before.indexOf('\n') + 1));
        QCOMPARE(rowCount(), 3);
        QCOMPARE(rowText(0), QStringLiteral("ゲーム2"));
    }

    void linesEndedByLfAreGamesOfTheirOwn()
    {
        open("A,ROM,,,,,a,-cart a.rom\r\nB,ROM,,,,,b,-cart b.rom\nC,ROM,,,,,c,-cart c.rom\r\n");
        QCOMPARE(listEntries(), (QStringList{"A", "B", "C"}));
        select(1);
        QCOMPARE(label("Media_L"), QStringLiteral("ROM"));
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QCOMPARE(folder_->catalogue(), QByteArray("A,ROM,,,,,a,-cart a.rom\r\nC,ROM,,,,,c,-cart c.rom\r\n"));
    }

    void failedDeleteSaveKeepsTheRecord()
    {
#ifndef Q_OS_UNIX
        QSKIP("a file-size limit is a Unix matter");
#else
        const QByteArray data = cp932Lines(SampleLines);
        open(data);
        select(1);
        // The disk refuses the catalogue's own write (the read and the lock go through).
        {
            const FileSizeLimit full(8);
            QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        }
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(QStringLiteral("削除しませんでした"))
                     && messages_[0].contains(QStringLiteral("ディスクに書き込めません")),
                 qPrintable(messages_[0]));
        QCOMPARE(folder_->catalogue(), data);
        form_->activate();
        QCOMPARE(rowCount(), SampleLines.size());
#endif
    }

    void unreadableCatalogueIsReportedAndProtected()
    {
        open(QByteArray());
        const QString list = folder_->listPath();
        QFile::remove(list);
        QDir().mkpath(list);
        form_.reset();
        form_ = std::make_unique<MainWindow>(folder_->path());
        form_->show();
        QTRY_COMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].contains(QStringLiteral("読み込めませんでした")));
        form_->activate();
        QCoreApplication::processEvents();
        QCOMPARE(messages_.size(), 1); // told once, not at every rebuild
        QCOMPARE(this->rowCount(), 0);
        QVERIFY(QFileInfo(list).isDir());
    }

    void overlongCatalogueIsShownButNeverCut()
    {
        const QByteArray data = numbered(1005);
        open(data);
        QTRY_COMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].contains(QStringLiteral("1005")));
        QCOMPARE(rowCount(), 1001);
        form_->activate();
        QCoreApplication::processEvents();
        QCOMPARE(messages_.size(), 1);
        select(3);
        QTest::mouseClick(child<QPushButton>("Sakujyo_bot"), Qt::LeftButton);
        QCOMPARE(messages_.size(), 2);
        QCOMPARE(folder_->catalogue(), data);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
