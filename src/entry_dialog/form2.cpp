#include "form2.h"

#include "handoff/form3.h"
#include "platform/codepage.h"
#include "platform/controls.h"
#include "platform/file_picker.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using platform::twips;

namespace {

const QString ListPath = QStringLiteral("\\tarumin\\list.csv");
const QString PickerFilter = QStringLiteral("ゲームイメージ　(*.*)|*.*");

// The field names as the dialog's headings show them, for messages.
const QString NameGameName = QStringLiteral("ゲーム名");
const QString NameMedia = QStringLiteral("メディア");
const QString NameHatubai = QStringLiteral("発売年");
const QString NameMaker = QStringLiteral("メーカー");
const QString NameKaKaku = QStringLiteral("価格");
const QString NameKasetu = QStringLiteral("ゲーム解説文");
const QString NameGameFileName = QStringLiteral("ファイル名");

// The first character of the text that CP932 cannot hold, or an empty text.
QString firstUnwritable(const QString &text)
{
    if (platform::encodeCp932(text))
        return {};
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        if (!platform::encodeCp932(ch))
            return ch;
        i += len;
    }
    return QStringLiteral("?");
}

} // namespace

Form2::Form2(const QString &programFolder, Form3 *relay, QWidget *parent)
    : platform::Window(parent, Qt::Window), folder_(programFolder), relay_(relay)
{
    setAttribute(Qt::WA_DeleteOnClose);
    buildLayout();
    ReadList();
}

void Form2::buildLayout()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("リスト登録"));
    setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    setFixedSize(4680 / platform::TwipsPerPixel, 4125 / platform::TwipsPerPixel);
    setBackgroundPicture(QStringLiteral(":/assets/background.gif"));

    const QColor text = QApplication::palette().color(QPalette::HighlightedText);
    Label1 = platform::makeLabel(this, "Label1", QStringLiteral("ゲーム名"), twips(240, 120, 855, 255), text);
    GameName = platform::makeTextBox(this, "GameName", QString(), twips(240, 360, 4215, 270));
    Label2 = platform::makeLabel(this, "Label2", QStringLiteral("メディア"), twips(240, 840, 735, 255), text);
    media = platform::makeTextBox(this, "media", QString(), twips(960, 840, 1335, 270));
    Label3 = platform::makeLabel(this, "Label3", QStringLiteral("発売年"), twips(2400, 840, 735, 255), text);
    Hatubai = platform::makeTextBox(this, "Hatubai", QString(), twips(3000, 840, 1455, 270));
    Label4 = platform::makeLabel(this, "Label4", QStringLiteral("メーカー"), twips(240, 1200, 735, 255), text);
    Maker = platform::makeTextBox(this, "Maker", QString(), twips(960, 1200, 1335, 270));
    Label5 = platform::makeLabel(this, "Label5", QStringLiteral("価　格"), twips(2400, 1200, 615, 255), text);
    KaKaku = platform::makeTextBox(this, "KaKaku", QString(), twips(3000, 1200, 1455, 270));
    Label6 = platform::makeLabel(this, "Label6", QStringLiteral("ゲーム解説文"), twips(240, 1560, 1455, 255), text);

    Kasetu = new QPlainTextEdit(this);
    Kasetu->setObjectName(QStringLiteral("Kasetu"));
    Kasetu->setGeometry(twips(240, 1800, 4215, 735));
    Kasetu->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Kasetu->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Kasetu->setTabChangesFocus(true);

    Label8 = platform::makeLabel(this, "Label8", QStringLiteral("スロット"), twips(240, 2640, 975, 255), text);
    slot = new QComboBox(this);
    slot->setObjectName(QStringLiteral("slot"));
    slot->setEditable(false);
    slot->addItem(QStringLiteral("スロットＡ"), 0);
    slot->addItem(QStringLiteral("テープ"), 1);
    slot->addItem(QStringLiteral("ディスクＡ"), 2);
    slot->setCurrentIndex(-1);
    slot->setGeometry(twips(1215, 2640, 1335, 300));

    Label7 = platform::makeLabel(this, "Label7", QStringLiteral("ファイル名"), twips(240, 3000, 975, 255), text);
    GameFileName = platform::makeTextBox(this, "GameFileName", QString(), twips(1200, 3000, 2415, 270));
    Command3 = platform::makeButton(this, "Command3", QStringLiteral("参　照"), twips(3720, 3000, 735, 255));
    Command1 = platform::makeButton(this, "Command1", QStringLiteral("登　　　録"), twips(1080, 3600, 1095, 375));
    Command2 = platform::makeButton(this, "Command2", QStringLiteral("閉 じ る"), twips(2520, 3600, 1095, 375));

    QWidget *order[] = {GameName, Kasetu, Hatubai, Maker, KaKaku, GameFileName,
                        Command1, Command2, slot, Command3, media};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    GameName->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form2::onCommand1Clicked);
    connect(Command2, &QPushButton::clicked, this, &Form2::onCommand2Clicked);
    connect(Command3, &QPushButton::clicked, this, &Form2::onCommand3Clicked);
}

void Form2::ReadList()
{
    // A file that cannot be read is reported when the user saves; the dialog opens anyway.
    table_.load(platform::joinPath(folder_, ListPath));
}

bool Form2::SaveList(const catalogue::LineTable &table, QString *error) const
{
    const auto failure = table.save(platform::joinPath(folder_, QStringLiteral("\\") + QStringLiteral("tarumin\\list.csv")));
    if (failure && error)
        *error = *failure;
    return !failure;
}

void Form2::fillForEdit(const catalogue::Entry &texts)
{
    GameName->setText(texts.gameName);
    media->setText(texts.media);
    Hatubai->setText(texts.hatubai);
    Maker->setText(texts.maker);
    KaKaku->setText(texts.kakaku);
    Kasetu->setPlainText(texts.kasetu);
    GameFileName->setText(texts.gameFileName);
}

catalogue::Entry Form2::texts() const
{
    catalogue::Entry e;
    e.gameName = GameName->text();
    e.media = media->text();
    e.hatubai = Hatubai->text();
    e.maker = Maker->text();
    e.kakaku = KaKaku->text();
    e.kasetu = Kasetu->toPlainText();
    e.gameFileName = GameFileName->text();
    e.slot = slot->currentIndex() < 0 ? -1 : slot->currentData().toInt();
    return e;
}

QString Form2::checkTexts(const catalogue::Entry &e) const
{
    const std::pair<const QString *, const QString *> fields[] = {
        {&e.gameName, &NameGameName}, {&e.media, &NameMedia},   {&e.hatubai, &NameHatubai},
        {&e.maker, &NameMaker},       {&e.kakaku, &NameKaKaku}, {&e.kasetu, &NameKasetu},
    };
    for (const auto &[text, name] : fields) {
        if (text->contains(u','))
            return QStringLiteral("「%1」に半角のカンマ（,）は使えません。").arg(*name);
    }
    if (catalogue::snapNameFor(e.gameFileName).contains(u','))
        return QStringLiteral("「%1」の最初の「.」より前に半角のカンマ（,）は使えません。")
            .arg(NameGameFileName);
    for (const auto &[text, name] : fields) {
        const QString bad = firstUnwritable(*text);
        if (!bad.isEmpty())
            return QStringLiteral("「%1」にリストファイルに書けない文字「%2」があります。").arg(*name, bad);
    }
    const QString bad = firstUnwritable(e.gameFileName);
    if (!bad.isEmpty())
        return QStringLiteral("「%1」にリストファイルに書けない文字「%2」があります。")
            .arg(NameGameFileName, bad);
    return {};
}

void Form2::onCommand1Clicked()
{
    const bool registering = relay_->entryModeText().toInt() == 1;

    // The main window may have rewritten the file since this dialog read it (a delete while
    // the dialog was hidden): start from the file as it stands, so that nothing deleted comes
    // back and the edited index means what the main list shows.
    catalogue::LineTable table;
    table.load(platform::joinPath(folder_, ListPath));
    if (const auto refusal = table.refusal()) {
        platform::showMessage(this, *refusal);
        return;
    }

    catalogue::Entry entry = texts();
    for (QString *text : {&entry.gameName, &entry.media, &entry.hatubai, &entry.maker,
                          &entry.kakaku, &entry.kasetu, &entry.gameFileName})
        *text = catalogue::foldLineBreaks(*text);
    const QString problem = checkTexts(entry);
    if (!problem.isEmpty()) {
        platform::showMessage(this, problem);
        return;
    }
    const auto line = platform::encodeCp932(catalogue::composeLine(entry));
    if (!line) {
        platform::showMessage(this, QStringLiteral("リストファイルに書けない文字があります。"));
        return;
    }

    if (registering) {
        if (!table.append(*line)) {
            platform::showMessage(this, QStringLiteral("リストは 1001 件で一杯です。これ以上登録できません。"));
            return;
        }
    } else {
        bool number = false;
        const int index = relay_->entryIndexText().toInt(&number);
        if (!number || !table.replace(index, *line)) {
            platform::showMessage(this, QStringLiteral("編集するゲームがリストにありません。"
                                                       "メインの画面でゲームを選び直してください。"));
            return;
        }
    }

    QString error;
    if (!SaveList(table, &error)) {
        table_ = catalogue::LineTable();
        table_.load(platform::joinPath(folder_, ListPath));
        platform::showMessage(this, QStringLiteral("リストファイルを保存できませんでした（%1）。"
                                                   "入力した内容はそのまま残っています。")
                                        .arg(error));
        return;
    }
    table_ = table;

    platform::showMessage(this, registering ? QStringLiteral("リストを登録したブリ。マジで。")
                                            : QStringLiteral("リストを編集したブリ。マジで。"));
    emit returnedToMainWindow();
    hide();
}

void Form2::onCommand2Clicked()
{
    close();
}

void Form2::closeEvent(QCloseEvent *event)
{
    // However the dialog is closed, the main window is given back; nothing is saved.
    event->accept();
    emit returnedToMainWindow();
}

void Form2::onCommand3Clicked()
{
    const auto picked = platform::pickFileToOpen(this, PickerFilter, folder_);
    if (!picked)
        return;
    const QFileInfo file(*picked);
    // The emulator runs in the program's folder: a file there needs no folder in its name.
    const bool inProgramFolder =
        QDir(file.absolutePath()).canonicalPath() == QDir(folder_).canonicalPath();
    GameFileName->setText(inProgramFolder ? file.fileName()
                                          : QDir::toNativeSeparators(file.absoluteFilePath()));
}
