#include "entry_dialog/entry_dialog.h"
#include "main_window/main_window.h"
#include "platform/system/codepage.h"
#include "platform/widgets/file_picker.h"
#include "platform/widgets/mci_control.h"
#include "platform/widgets/message_box.h"
#include "program_folder.h"
#include "file_support.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QAccessible>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QByteArray numbered(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("ゲーム%1,ROM,19%1,メーカー%1,%1円,説明%1,g%1,-cart g%1.mx1").arg(i);
    return cp932Lines(lines);
}

const QString WorkedLine = QStringLiteral(
    "Star Runner,ROM,1987年5月,Example Soft,5800円,Side-scrolling shooter.,starrun,-cart starrun.rom");

} // namespace

class TestEntryDialog : public QObject
{
    Q_OBJECT
private:
    QStringList messages_;
    std::optional<QString> pick_;
    bool answer_ = true; // what the user answers to a question
    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<MainWindow> form_;

    void open(const QByteArray &catalogue)
    {
        form_.reset();
        folder_ = std::make_unique<ProgramFolder>(catalogue);
        form_ = std::make_unique<MainWindow>(folder_->path());
        form_->show();
        QCoreApplication::processEvents();
    }
    template<typename T> T *main(const char *name) { return form_->findChild<T *>(QLatin1String(name)); }
    EntryDialog *dialog() { return form_->entryDialogIfLoaded(); }
    template<typename T> T *field(const char *name)
    {
        T *w = dialog() ? dialog()->findChild<T *>(QLatin1String(name)) : nullptr;
        if (!w)
            qFatal("no dialog control %s", name);
        return w;
    }
    QLineEdit *box(const char *name) { return field<QLineEdit>(name); }
    void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    void registerGame() { click(main<QPushButton>("Touroku_bot")); }
    void editGame(int row)
    {
        chooseRow(main<QListView>("List1"), row);
        click(main<QPushButton>("hensyu_bot"));
    }
    void save() { click(field<QPushButton>("Command1")); }
    void fillWorkedExample()
    {
        box("GameName")->setText(QStringLiteral("Star Runner"));
        box("media")->setText(QStringLiteral("ROM"));
        box("Hatubai")->setText(QStringLiteral("1987年5月"));
        box("Maker")->setText(QStringLiteral("Example Soft"));
        box("KaKaku")->setText(QStringLiteral("5800円"));
        field<QPlainTextEdit>("Kasetu")->setPlainText(QStringLiteral("Side-scrolling shooter."));
        box("GameFileName")->setText(QStringLiteral("starrun.rom"));
        field<QComboBox>("slot")->setCurrentIndex(0);
        writeFile(folder_->path() + QStringLiteral("/starrun.rom"), "rom");
    }
    QStringList mainEntries()
    {
        QStringList out;
        const QAbstractItemModel *list = main<QListView>("List1")->model();
        for (int i = 0; i < list->rowCount(); ++i)
            out << list->index(i, 0).data().toString();
        return out;
    }
    static void chooseRow(QListView *list, int row) { list->setCurrentIndex(list->model()->index(row, 0)); }

private slots:
    void initTestCase()
    {
        platform::MciControl::setAudible(false);
        platform::setMessageHandler([this](const QString &text) { messages_ << text; });
        platform::setQuestionHandler([this](const QString &text) {
            messages_ << QStringLiteral("question:") + text;
            return answer_;
        });
        platform::setFilePickerHandler([this](const QString &filter) {
            messages_ << QStringLiteral("picker:") + filter;
            return pick_;
        });
    }
    void init()
    {
        messages_.clear();
        pick_.reset();
        answer_ = true;
    }
    void cleanup()
    {
        form_.reset();
        folder_.reset();
    }

    void layoutOfNewDialog()
    {
        open(numbered(3));
        registerGame();
        EntryDialog *d = dialog();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->windowTitle(), QStringLiteral("リスト登録"));
        QCOMPARE(d->size(), QSize(312, 275));
        QCOMPARE(box("GameName")->geometry(), QRect(16, 24, 281, 18));
        QCOMPARE(field<QPlainTextEdit>("Kasetu")->geometry(), QRect(16, 120, 281, 49));
        QCOMPARE(field<QPushButton>("Command1")->text(), QStringLiteral("登　　　録"));
        QCOMPARE(field<QPushButton>("Command1")->geometry(), QRect(72, 240, 73, 25));
        QCOMPARE(field<QPushButton>("Command2")->text(), QStringLiteral("閉 じ る"));
        QCOMPARE(field<QPushButton>("Command3")->text(), QStringLiteral("参　照"));
        QCOMPARE(field<QLabel>("Label5")->text(), QStringLiteral("価　格"));
        auto *slot = field<QComboBox>("slot");
        QVERIFY(!slot->isEditable());
        QCOMPARE(slot->currentIndex(), -1);
        QCOMPARE(slot->count(), 3);
        QCOMPARE(slot->itemText(2), QStringLiteral("ディスクＡ"));
        QCOMPARE(slot->itemData(2).toInt(), 2);
        QVERIFY(!d->texts().slot);
        // Each field is tied to its label, so that a screen reader names it.
        for (const auto &[box, heading] : {std::pair{"GameName", "ゲーム名"}, {"slot", "スロット"}, {"Kasetu", "ゲーム解説文"}}) {
            const auto relations = QAccessible::queryAccessibleInterface(field<QWidget>(box))->relations(QAccessible::Label);
            QVERIFY2(!relations.isEmpty() && relations.first().first->text(QAccessible::Name) == QString::fromUtf8(heading), box);
        }
        for (const char *name : {"GameName", "media", "Hatubai", "Maker", "KaKaku", "GameFileName"})
            QVERIFY(box(name)->text().isEmpty());
        QVERIFY(!form_->isEnabled());
        QCOMPARE(d->focusWidget(), box("GameName"));

        // Enter in the description starts a new line; Enter in a box presses nothing; Esc
        // closes the dialog as 閉じる does.
        auto *kasetu = field<QPlainTextEdit>("Kasetu");
        kasetu->setFocus();
        QTest::keyClicks(kasetu, "ab");
        QTest::keyClick(kasetu, Qt::Key_Return);
        QTest::keyClicks(kasetu, "cd");
        QCOMPARE(kasetu->toPlainText(), QStringLiteral("ab\ncd"));
        QTest::keyClick(box("GameName"), Qt::Key_Return);
        QVERIFY(d->isVisible());
        QVERIFY(messages_.isEmpty());
        QTest::keyClick(box("GameName"), Qt::Key_Escape);
        QTRY_VERIFY(!dialog());
        QVERIFY(form_->isEnabled());
    }

    void registerTheWorkedExample()
    {
        const QByteArray before = numbered(5);
        open(before);
        registerGame();
        fillWorkedExample();
        save();
        QCOMPARE(messages_, QStringList{"リストを登録したブリ。マジで。"});
        QCOMPARE(folder_->catalogue(), before + platform::encodeCp932(WorkedLine).value() + "\r\n");
        QVERIFY(form_->isEnabled());
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(mainEntries().size(), 6);
        QCOMPARE(mainEntries().last(), QStringLiteral("Star Runner"));
        QVERIFY(main<QListView>("List1")->selectionModel()->selectedRows().isEmpty());

        // Shown again, the dialog starts empty: 登録 at once adds nothing.
        registerGame();
        for (const char *name : {"GameName", "media", "Hatubai", "Maker", "KaKaku", "GameFileName"})
            QVERIFY(box(name)->text().isEmpty());
        QCOMPARE(field<QComboBox>("slot")->currentIndex(), -1);
        messages_.clear();
        save();
        QCOMPARE(messages_, QStringList{"ゲーム名を入力してください。"});
        QCOMPARE(linesOf(folder_->catalogue()).size(), 6);
    }

    // A save refuses or asks where a launch would fail, and the focus goes to the field at
    // fault: no name, no slot the file can tell, a file that is not there.
    void saveChecksWhatALaunchNeeds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("said");   // the message or question, or nothing
        QTest::addColumn<QString>("saved");  // the new line's end, or nothing saved
        QTest::addColumn<QString>("focus");  // the field at fault
        QTest::newRow("blank name") << "　 " << "" << false << true << "ゲーム名を入力してください。" << "" << "GameName";
        QTest::newRow("slot from .dsk") << "A" << "a.DSK" << true << true << "リストを登録したブリ。マジで。" << ",a,-flop a.DSK" << "";
        QTest::newRow("slot from .cas") << "B" << "b.cas" << true << true << "リストを登録したブリ。マジで。" << ",b,-cass b.cas" << "";
        QTest::newRow("no slot to tell") << "C" << "c.bin" << true << true
                                         << "「c.bin」がどのメディアのファイルかわかりません。スロットを選んでください。" << "" << "slot";
        QTest::newRow("missing, no") << "D" << "gone.rom" << false << false << "question:" << "" << "GameFileName";
        QTest::newRow("missing, yes") << "E" << "gone.rom" << false << true << "question:" << ",gone,-cart gone.rom" << "";
    }
    void saveChecksWhatALaunchNeeds()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QFETCH(bool, fileThere);
        QFETCH(bool, answer);
        QFETCH(QString, said);
        QFETCH(QString, saved);
        QFETCH(QString, focus);
        const QByteArray before = numbered(2);
        open(before);
        registerGame();
        if (fileThere)
            QVERIFY(writeFile(folder_->path() + u'/' + file, "game"));
        box("GameName")->setText(name);
        box("GameFileName")->setText(file);
        answer_ = answer;
        field<QPushButton>("Command1")->setFocus();
        save();
        if (said.startsWith(QStringLiteral("question:")))
            QVERIFY2(messages_.value(0) == said + QDir::toNativeSeparators(folder_->path() + u'/' + file)
                                                    + QStringLiteral(" が見つかりません。このまま登録しますか？"),
                     qPrintable(messages_.value(0)));
        else
            QCOMPARE(messages_.value(0), said);
        if (saved.isEmpty()) {
            QCOMPARE(folder_->catalogue(), before);
            QVERIFY(dialog()->isVisible());
            QCOMPARE(dialog()->focusWidget()->objectName(), focus);
        } else {
            QVERIFY2(linesOf(folder_->catalogue()).last().endsWith((saved + u'\r').toUtf8()),
                     linesOf(folder_->catalogue()).last().constData());
        }
    }

    void registerIntoEmptyCatalogue()
    {
        open(QByteArray());
        QFile::remove(folder_->listPath());
        registerGame();
        fillWorkedExample();
        save();
        QCOMPARE(folder_->catalogue(), platform::encodeCp932(WorkedLine).value() + "\r\n");
    }

    void editEntryTwelve()
    {
        const QByteArray before = numbered(15);
        open(before);
        editGame(12);
        QVERIFY(!form_->isEnabled());
        QCOMPARE(box("GameName")->text(), QStringLiteral("ゲーム12"));
        QCOMPARE(box("media")->text(), QStringLiteral("ROM"));
        QCOMPARE(box("Hatubai")->text(), QStringLiteral("1912"));
        QCOMPARE(box("Maker")->text(), QStringLiteral("メーカー12"));
        QCOMPARE(box("KaKaku")->text(), QStringLiteral("12円"));
        QCOMPARE(field<QPlainTextEdit>("Kasetu")->toPlainText(), QStringLiteral("説明12"));
        QCOMPARE(box("GameFileName")->text(), QStringLiteral("g12"));
        // The slot shows the record's own media.
        QCOMPARE(field<QComboBox>("slot")->currentIndex(), 0);

        // Only the maker changed: fields 7 and 8 stay as they were (not "-cart g12.rom").
        box("Maker")->setText(QStringLiteral("新メーカー"));
        save();
        QCOMPARE(messages_, QStringList{"リストを編集したブリ。マジで。"});
        QList<QByteArray> expected = linesOf(before);
        expected[12] = platform::encodeCp932(QStringLiteral(
            "ゲーム12,ROM,1912,新メーカー,12円,説明12,g12,-cart g12.mx1\r")).value();
        QCOMPARE(linesOf(folder_->catalogue()), expected);
        QVERIFY(form_->isEnabled());

        // A changed slot changes only the media option: the file stays as written.
        messages_.clear();
        editGame(12);
        field<QComboBox>("slot")->setCurrentIndex(2);
        save();
        expected[12] = platform::encodeCp932(QStringLiteral(
            "ゲーム12,ROM,1912,新メーカー,12円,説明12,g12,-flop g12.mx1\r")).value();
        QCOMPARE(linesOf(folder_->catalogue()), expected);

        // Register after edit opens empty, adds a line and leaves the edited one alone.
        registerGame();
        QVERIFY(box("GameName")->text().isEmpty() && box("GameFileName")->text().isEmpty());
        QCOMPARE(field<QComboBox>("slot")->currentIndex(), -1);
        fillWorkedExample();
        save();
        QCOMPARE(linesOf(folder_->catalogue()).size(), 16);
        QCOMPARE(linesOf(folder_->catalogue())[12], expected[12]);
    }

    void untouchedEditWritesTheSameLine()
    {
        const QByteArray odd = QByteArray("hyou,ROM,,,,,hyou,-cart hyou.rom\r\n")
                               + "a.b,ROM,,,,,a,-cart a.b.rom\r\n"
                               + "q,,,,,,q,-cart \"my q.rom\" -x,y\r\n"
                               + platform::encodeCp932(QStringLiteral("表ソ～,テープ,,,,,t,-cass t.cas\r\n")).value();
        open(odd);
        // A tape registered first leaves the dialog on the tape slot, as the old dialog did.
        registerGame();
        fillWorkedExample();
        field<QComboBox>("slot")->setCurrentIndex(1);
        save();
        const QByteArray withTape = folder_->catalogue();
        for (int row = 0; row < 4; ++row) {
            editGame(row);
            save();
            QCOMPARE(folder_->catalogue(), withTape);
        }
        QCOMPARE(messages_.count(QStringLiteral("リストを編集したブリ。マジで。")), 4);

        // Only the price of the tape game: it stays a tape game with the same bytes elsewhere.
        editGame(3);
        box("KaKaku")->setText(QStringLiteral("1200円"));
        save();
        QCOMPARE(linesOf(folder_->catalogue())[3],
                 platform::encodeCp932(QStringLiteral("表ソ～,テープ,,,1200円,,t,-cass t.cas\r")).value());
    }

    void editOfALineChangedElsewhereIsRefused()
    {
        open(numbered(5));
        editGame(3);
        box("Maker")->setText(QStringLiteral("新しいメーカー"));
        // Another program removes an earlier line: line 3 is now another game.
        const QByteArray now = cp932Lines({QStringLiteral("ゲーム0,ROM,1900,メーカー0,0円,説明0,g0,-cart g0.mx1")})
                               + linesOf(numbered(5)).mid(2).join('\n') + '\n';
        folder_->setCatalogue(now);
        save();
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(QStringLiteral("ほかのプログラム")), qPrintable(messages_[0]));
        QCOMPARE(folder_->catalogue(), now);
        // The typed texts stay, and the main list shows the file as it is.
        QVERIFY(dialog()->isVisible());
        QCOMPARE(box("Maker")->text(), QStringLiteral("新しいメーカー"));
        QCOMPARE(mainEntries().size(), 4);
    }

    void twoCopiesLoseNothing()
    {
        open(numbered(3));
        // A second copy of the program on the same folder.
        MainWindow other(folder_->path());
        other.show();
        QCoreApplication::processEvents();

        registerGame();
        fillWorkedExample();
        save();
        QCOMPARE(linesOf(folder_->catalogue()).size(), 4);

        // The other copy, still showing three games, deletes its first.
        chooseRow(other.findChild<QListView *>(QStringLiteral("List1")), 0);
        QTest::mouseClick(other.findChild<QPushButton *>(QStringLiteral("Sakujyo_bot")), Qt::LeftButton);
        const QList<QByteArray> lines = linesOf(folder_->catalogue());
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.last().startsWith("Star Runner,"));
        QCOMPARE(other.findChild<QListView *>(QStringLiteral("List1"))->model()->rowCount(), 3);
    }

    void longTextsAreNotCut()
    {
        const QString longName = QString(40000, u'ア');
        open(cp932Lines({longName + QStringLiteral(",ROM,,,,,g,-cart g.rom")}));
        editGame(0);
        QCOMPARE(box("GameName")->text().size(), 40000);
        box("Maker")->setText(QStringLiteral("メーカー"));
        save();
        QCOMPARE(folder_->catalogue(),
                 cp932Lines({longName + QStringLiteral(",ROM,,メーカー,,,g,-cart g.rom")}));
    }

    void pickedFileOutsideTheFolderIsQuoted()
    {
        open(numbered(1));
        registerGame();
        fillWorkedExample();
        pick_ = QDir::rootPath() + QStringLiteral("home/u/my roms/star.rom"); // absolute here, a drive on Windows
        click(field<QPushButton>("Command3"));
        save();
        QVERIFY(linesOf(folder_->catalogue()).last().endsWith(
            QDir::toNativeSeparators(",star,-cart \"" + *pick_ + "\"\r").toUtf8()));
    }

    void editWithoutSelectionIsRefused()
    {
        const QByteArray before = numbered(3);
        open(before);
        editGame(1);
        click(field<QPushButton>("Command2"));
        QTRY_VERIFY(!dialog());
        // The game is still there, so it stays chosen; once its line is gone nothing is.
        QVERIFY(main<QPushButton>("hensyu_bot")->isEnabled());
        folder_->setCatalogue(numbered(1));
        form_->activate();
        QVERIFY(!main<QPushButton>("hensyu_bot")->isEnabled());
        click(main<QPushButton>("hensyu_bot"));
        QVERIFY(messages_.isEmpty());
        QVERIFY(!dialog());
        QVERIFY(form_->isEnabled());
        QCOMPARE(folder_->catalogue(), numbered(1));
    }

    void closeDiscardsAndNextOpenReadsAgain()
    {
        open(numbered(3));
        registerGame();
        box("GameName")->setText(QStringLiteral("typed"));
        click(field<QPushButton>("Command2"));
        QVERIFY(form_->isEnabled());
        QTRY_VERIFY(!dialog());
        QCOMPARE(folder_->catalogue(), numbered(3));

        folder_->setCatalogue(numbered(4));
        registerGame();
        QVERIFY(box("GameName")->text().isEmpty());

        // Closing from the window frame gives the main window back as well.
        dialog()->close();
        QVERIFY(form_->isEnabled());
        QTRY_VERIFY(!dialog());
        QCOMPARE(mainEntries().size(), 4);
    }

    void deletedRecordIsNotResurrected()
    {
        open(numbered(4));
        registerGame();
        fillWorkedExample();
        save();
        QCOMPARE(linesOf(folder_->catalogue()).size(), 5);
        // Delete in the main window while the dialog is hidden with its old table.
        chooseRow(main<QListView>("List1"), 0);
        click(main<QPushButton>("Sakujyo_bot"));
        QCOMPARE(linesOf(folder_->catalogue()).size(), 4);
        registerGame();
        box("GameName")->setText(QStringLiteral("Second"));
        save();
        const QList<QByteArray> lines = linesOf(folder_->catalogue());
        QCOMPARE(lines.size(), 5);
        QVERIFY(!lines.contains(linesOf(numbered(1)).first()));
        QCOMPARE(mainEntries().first(), QStringLiteral("ゲーム1"));
        QCOMPARE(mainEntries().last(), QStringLiteral("Second"));
    }

    void refusedTextsKeepFileAndDialog_data()
    {
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fieldName");
        QTest::newRow("comma in name") << QByteArray("GameName") << "A,B" << "ゲーム名";
        QTest::newRow("comma in media") << QByteArray("media") << "R,OM" << "メディア";
        QTest::newRow("comma in year") << QByteArray("Hatubai") << "1,987" << "発売年";
        QTest::newRow("comma in maker") << QByteArray("Maker") << "X,Y" << "メーカー";
        QTest::newRow("comma in price") << QByteArray("KaKaku") << "4,800円" << "価格";
        QTest::newRow("comma in description") << QByteArray("Kasetu") << "a,b" << "ゲーム解説文";
        QTest::newRow("comma before the dot") << QByteArray("GameFileName") << "a,b.rom" << "ファイル名";
        QTest::newRow("not in CP932") << QByteArray("Maker") << "Café" << "メーカー";
        QTest::newRow("emoji in description") << QByteArray("Kasetu") << "楽しい😀" << "ゲーム解説文";
        QTest::newRow("hangul in file name") << QByteArray("GameFileName") << "게임.rom" << "ファイル名";
    }

    void refusedTextsKeepFileAndDialog()
    {
        QFETCH(QByteArray, control);
        QFETCH(QString, text);
        QFETCH(QString, fieldName);
        const QByteArray before = numbered(3);
        open(before);
        registerGame();
        fillWorkedExample();
        if (control == "Kasetu")
            field<QPlainTextEdit>("Kasetu")->setPlainText(text);
        else
            box(control.constData())->setText(text);
        save();
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(fieldName), qPrintable(messages_[0]));
        QCOMPARE(folder_->catalogue(), before);
        QVERIFY(dialog()->isVisible());
        QVERIFY(!form_->isEnabled());
        // Nothing typed is lost.
        QCOMPARE(dialog()->texts().gameName, control == "GameName" ? text : QStringLiteral("Star Runner"));
    }

    void commaAfterTheDotIsKept()
    {
        open(numbered(1));
        registerGame();
        fillWorkedExample();
        box("GameFileName")->setText(QStringLiteral("x.r,om"));
        save();
        QVERIFY(linesOf(folder_->catalogue()).last().endsWith(",x,-cart x.r,om\r"));
    }

    void lineBreaksBecomeBlanks()
    {
        open(numbered(1));
        registerGame();
        fillWorkedExample();
        field<QPlainTextEdit>("Kasetu")->setPlainText(QStringLiteral("一行目\n二行目\n\n"));
        save();
        const QByteArray data = folder_->catalogue();
        QCOMPARE(linesOf(data).size(), 2);
        QVERIFY(data.contains(platform::encodeCp932(QStringLiteral(",一行目 二行目  ,")).value()));
    }

    void fullTableAndBadIndexChangeNothing()
    {
        const QByteArray full = numbered(1001);
        open(full);
        registerGame();
        fillWorkedExample();
        save();
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].contains(QStringLiteral("1001")));
        QCOMPARE(folder_->catalogue(), full);
        QVERIFY(dialog()->isVisible());

        // An edit whose line has gone: a file shortened behind the program's back.
        click(field<QPushButton>("Command2"));
        editGame(1000);
        folder_->setCatalogue(numbered(10));
        messages_.clear();
        save();
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(QStringLiteral("ほかのプログラム")), qPrintable(messages_[0]));
        QCOMPARE(folder_->catalogue(), numbered(10));
        QVERIFY(dialog()->isVisible());
        QVERIFY(!form_->isEnabled());
    }

    void failedWriteKeepsEverything()
    {
#ifndef Q_OS_UNIX
        QSKIP("a file-size limit is a Unix matter");
#else
        const QByteArray before = numbered(3);
        open(before);
        registerGame();
        fillWorkedExample();
        // The disk refuses the catalogue's own write (the read and the lock go through).
        {
            const FileSizeLimit full(8);
            save();
        }
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(QStringLiteral("ディスクに書き込めません")), qPrintable(messages_[0]));
        QVERIFY(messages_[0].contains(QStringLiteral("入力した内容はそのまま残っています")));
        QVERIFY(dialog()->isVisible());
        QVERIFY(!form_->isEnabled());
        QCOMPARE(box("GameName")->text(), QStringLiteral("Star Runner"));
        QCOMPARE(folder_->catalogue(), before);
        // Once the file is back, the same texts save.
        messages_.clear();
        save();
        QCOMPARE(messages_, QStringList{"リストを登録したブリ。マジで。"});
        QCOMPARE(linesOf(folder_->catalogue()).size(), 4);
#endif
    }

    void browsePutsTheName()
    {
        open(numbered(1));
        registerGame();
        box("GameFileName")->setText(QStringLiteral("old"));
        pick_ = folder_->path() + QStringLiteral("/inside.rom");
        click(field<QPushButton>("Command3"));
        QCOMPARE(messages_.last(), QStringLiteral("picker:ゲームのファイル|*.rom;*.mx1;*.mx2;*.dsk;*.cas;*.zip|すべてのファイル|*.*"));
        QCOMPARE(box("GameFileName")->text(), QStringLiteral("inside.rom"));
        const QString outside = QDir::rootPath() + QStringLiteral("elsewhere/games/outside.dsk");
        pick_ = outside;
        click(field<QPushButton>("Command3"));
        QCOMPARE(box("GameFileName")->text(), QDir::toNativeSeparators(outside));
        pick_.reset();
        click(field<QPushButton>("Command3"));
        QCOMPARE(box("GameFileName")->text(), QDir::toNativeSeparators(outside));
        QVERIFY(box("GameName")->text().isEmpty());
    }

    // A browsed file whose name the catalogue cannot hold goes into games/ only when the
    // dialog saves: closing leaves nothing behind.
    void browsedCopyWaitsForTheSave()
    {
        open(numbered(1));
        const QString odd = folder_->path() + QStringLiteral("/a,b.rom"); // a comma: copied
        QVERIFY(writeFile(odd, "cart"));
        const QString copy = folder_->path() + QStringLiteral("/games/a，b.rom");
        registerGame();
        pick_ = odd;
        click(field<QPushButton>("Command3"));
        QCOMPARE(box("GameFileName")->text(), QStringLiteral("games/a，b.rom"));
        QVERIFY(!QFile::exists(copy));
        click(field<QPushButton>("Command2"));
        QTRY_VERIFY(!dialog());
        QVERIFY(!QFile::exists(copy));
        registerGame();
        click(field<QPushButton>("Command3"));
        box("GameName")->setText(QStringLiteral("AB"));
        save();
        QCOMPARE(readFile(copy), QByteArray("cart"));
        QVERIFY(linesOf(folder_->catalogue()).last().endsWith(platform::encodeCp932(QStringLiteral(",-cart games/a，b.rom\r")).value()));
        QVERIFY(messages_.filter(QStringLiteral("question:")).isEmpty());
    }

    void browseFillsWhatIsEmptyFromTheLists()
    {
        open(numbered(1));
        QDir().mkpath(folder_->path() + "/hash");
        QFile::copy(QStringLiteral(SOURCE_DIR "/sample/hash/tarumin_cart.xml"), folder_->path() + "/hash/tarumin_cart.xml");
        QFile::copy(QStringLiteral(SOURCE_DIR "/sample/hanno.rom"), folder_->path() + "/hanno.rom");
        registerGame();
        box("Maker")->setText(QStringLiteral("自分で書いた"));
        pick_ = folder_->path() + QStringLiteral("/hanno.rom");
        click(field<QPushButton>("Command3"));
        QCOMPARE(box("GameFileName")->text(), QStringLiteral("hanno.rom"));
        QCOMPARE(box("GameName")->text(), QStringLiteral("反応テスト"));
        QCOMPARE(box("media")->text(), QStringLiteral("ROM"));
        QCOMPARE(box("Hatubai")->text(), QStringLiteral("2026年"));
        QCOMPARE(box("Maker")->text(), QStringLiteral("自分で書いた")); // typed: kept
        QVERIFY(box("KaKaku")->text().isEmpty());
        QCOMPARE(field<QPlainTextEdit>("Kasetu")->toPlainText(), QStringLiteral("Hanno Test (Tarumin sample)"));
        QCOMPARE(field<QComboBox>("slot")->currentIndex(), 0);

        // An unknown tape: the slot follows it, and it is titled by its name.
        QVERIFY(writeFile(folder_->path() + "/odd.cas", "tape"));
        box("GameName")->clear();
        pick_ = folder_->path() + QStringLiteral("/odd.cas");
        click(field<QPushButton>("Command3"));
        QCOMPARE(field<QComboBox>("slot")->currentIndex(), 1);
        QCOMPARE(box("GameName")->text(), QStringLiteral("odd"));
    }

    // A file the catalogue already names: the user is asked, naming the line, and decides.
    void browsedFileAlreadyRegisteredIsAskedAbout()
    {
        open(numbered(2));
        registerGame();
        pick_ = folder_->path() + QStringLiteral("/g1.mx1");
        answer_ = false;
        click(field<QPushButton>("Command3"));
        QCOMPARE(messages_.filter(QStringLiteral("question:")),
                 QStringList{QStringLiteral("question:%1 は、リストの 2 行目「ゲーム1」としてもう登録されています。もう一度登録しますか？")
                                 .arg(QDir::toNativeSeparators(*pick_))});
        QVERIFY(box("GameFileName")->text().isEmpty());
        answer_ = true;
        click(field<QPushButton>("Command3"));
        QCOMPARE(box("GameFileName")->text(), QStringLiteral("g1.mx1"));
    }

    void realMessageBoxWaitsForTheUser()
    {
        platform::setMessageHandler({});
        open(numbered(2));
        registerGame();
        fillWorkedExample();
        QString seen;
        bool mainEnabledWhileShown = true;
        QTimer::singleShot(100, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = box->windowTitle() + u'|' + box->text();
            mainEnabledWhileShown = form_->isEnabled();
            QCOMPARE(linesOf(folder_->catalogue()).size(), 3); // written before the message
            box->accept();
        });
        save();
        platform::setMessageHandler([this](const QString &text) { messages_ << text; });
        QCOMPARE(seen, QStringLiteral("tarumin|リストを登録したブリ。マジで。"));
        QVERIFY(!mainEnabledWhileShown);
        QVERIFY(form_->isEnabled());
    }

    void mainWindowCloseKeepsAShownDialog()
    {
        open(numbered(2));
        registerGame();
        box("GameName")->setText(QStringLiteral("入力中"));
        QPointer<EntryDialog> d = dialog();
        // While the dialog is shown, closing the main window ends nothing.
        QVERIFY(!form_->close());
        QVERIFY(d && d->isVisible());
        QCOMPARE(box("GameName")->text(), QStringLiteral("入力中"));
        // Once it is hidden after a save, the main window closes, and the dialog with it.
        box("GameFileName")->setText(QStringLiteral("new.rom"));
        save();
        QVERIFY(!d->isVisible());
        QVERIFY(form_->close());
        QVERIFY(!d);
    }
};

QTEST_MAIN(TestEntryDialog)
#include "test_entry_dialog.moc"
