#include "entry_dialog.h"

#include "messages/messages.h"
#include "onboarding/batch.h"
#include "platform/system/codepage.h"
#include "platform/system/file_read.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/file_picker.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/picture.h"
#include "platform/widgets/progress.h"
#include "platform/widgets/twips.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using platform::twips;


// The dialog's words, written in Japanese, in one translation context.
struct DialogTr
{
    Q_DECLARE_TR_FUNCTIONS(EntryDialog)
};

namespace {

// Game files first; every file as the second choice.
const QString PickerFilter = DialogTr::tr("ゲームのファイル|*.rom;*.mx1;*.mx2;*.dsk;*.cas;*.zip|すべてのファイル|*.*");

} // namespace

EntryDialog::EntryDialog(const platform::ProgramFolder &programFolder, const catalogue::CatalogueFile &file, QWidget *parent)
    : platform::Window(parent, Qt::Dialog), folder_(programFolder), file_(file)
{
    setAttribute(Qt::WA_DeleteOnClose);
    file_.setWaitHook(platform::keepPaintingWhileWaiting());
    buildLayout();
}

void EntryDialog::buildLayout()
{
    setUpForm("Form2", DialogTr::tr("リスト登録"),
              QSize(4680 / platform::TwipsPerPixel, 4125 / platform::TwipsPerPixel));

    const QColor text = QApplication::palette().color(QPalette::HighlightedText);
    Label1 = platform::makeLabel(this, "Label1", DialogTr::tr("ゲーム名"), twips(240, 120, 855, 255), text);
    GameName = platform::makeTextBox(this, "GameName", QString(), twips(240, 360, 4215, 270));
    Label2 = platform::makeLabel(this, "Label2", DialogTr::tr("メディア"), twips(240, 840, 735, 255), text);
    media = platform::makeTextBox(this, "media", QString(), twips(960, 840, 1335, 270));
    Label3 = platform::makeLabel(this, "Label3", DialogTr::tr("発売年"), twips(2400, 840, 735, 255), text);
    Hatubai = platform::makeTextBox(this, "Hatubai", QString(), twips(3000, 840, 1455, 270));
    Label4 = platform::makeLabel(this, "Label4", DialogTr::tr("メーカー"), twips(240, 1200, 735, 255), text);
    Maker = platform::makeTextBox(this, "Maker", QString(), twips(960, 1200, 1335, 270));
    Label5 = platform::makeLabel(this, "Label5", DialogTr::tr("価　格"), twips(2400, 1200, 615, 255), text);
    KaKaku = platform::makeTextBox(this, "KaKaku", QString(), twips(3000, 1200, 1455, 270));
    Label6 = platform::makeLabel(this, "Label6", DialogTr::tr("ゲーム解説文"), twips(240, 1560, 1455, 255), text);

    Kasetu = new QPlainTextEdit(this);
    Kasetu->setObjectName(QStringLiteral("Kasetu"));
    Kasetu->setGeometry(twips(240, 1800, 4215, 735));
    Kasetu->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Kasetu->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Kasetu->setTabChangesFocus(true);

    Label8 = platform::makeLabel(this, "Label8", DialogTr::tr("スロット"), twips(240, 2640, 975, 255), text);
    slot = new QComboBox(this);
    slot->setObjectName(QStringLiteral("slot"));
    slot->setEditable(false);
    for (const catalogue::MediaKind &kind : catalogue::mediaKinds())
        slot->addItem(kind.slotName.toString(), int(kind.media));
    slot->setCurrentIndex(-1);
    slot->setGeometry(twips(1215, 2640, 1335, 300));

    Label7 = platform::makeLabel(this, "Label7", DialogTr::tr("ファイル名"), twips(240, 3000, 975, 255), text);
    GameFileName = platform::makeTextBox(this, "GameFileName", QString(), twips(1200, 3000, 2415, 270));
    Command3 = platform::makeButton(this, "Command3", DialogTr::tr("参　照"), twips(3720, 3000, 735, 255));
    Command1 = platform::makeButton(this, "Command1", DialogTr::tr("登　　　録"), twips(1080, 3600, 1095, 375));
    Command2 = platform::makeButton(this, "Command2", DialogTr::tr("閉 じ る"), twips(2520, 3600, 1095, 375));

    setFocusOrder({GameName, Kasetu, Hatubai, Maker, KaKaku, GameFileName, Command1, Command2,
                   slot, Command3, media});
    GameName->setFocus();

    // What a screen reader says for each control.
    platform::setAccessibleNames({
        {GameName, DialogTr::tr("ゲーム名")},
        {media, DialogTr::tr("メディア")},
        {Hatubai, DialogTr::tr("発売年")},
        {Maker, DialogTr::tr("メーカー")},
        {KaKaku, DialogTr::tr("価格")},
        {Kasetu, DialogTr::tr("ゲーム解説文")},
        {slot, DialogTr::tr("スロット（メディアの種類）")},
        {GameFileName, DialogTr::tr("ゲームのファイル名")},
        {Command3, DialogTr::tr("ゲームのファイルを選ぶ")},
        {Command1, DialogTr::tr("入力した内容をリストに保存する")},
        {Command2, DialogTr::tr("保存せずに閉じる")},
    });

    platform::setBuddies({{Label1, GameName}, {Label2, media}, {Label3, Hatubai}, {Label4, Maker},
                          {Label5, KaKaku}, {Label6, Kasetu}, {Label8, slot}, {Label7, GameFileName}});

    connect(Command1, &QPushButton::clicked, this, &EntryDialog::onCommand1Clicked);
    connect(Command2, &QPushButton::clicked, this, &EntryDialog::onCommand2Clicked);
    connect(Command3, &QPushButton::clicked, this, &EntryDialog::onCommand3Clicked);
}

void EntryDialog::beginRegister()
{
    // A registration starts from nothing, whatever the dialog showed before.
    pendingCopy_.reset();
    editing_ = false;
    editIndex_ = -1;
    editBase_ = {};
    for (QLineEdit *box : {GameName, media, Hatubai, Maker, KaKaku, GameFileName})
        box->clear();
    Kasetu->clear();
    showSlot(std::nullopt);
    GameName->setFocus();
}

void EntryDialog::beginEdit(int index, const QByteArray &line)
{
    pendingCopy_.reset();
    const catalogue::Entry entry = catalogue::entryFromLine(line).asShown();
    GameName->setText(entry.gameName);
    media->setText(entry.media);
    Hatubai->setText(entry.releaseDate);
    Maker->setText(entry.maker);
    KaKaku->setText(entry.price);
    Kasetu->setPlainText(entry.description);
    GameFileName->setText(entry.gameFileName);
    showSlot(entry.slot);
    editing_ = true;
    editIndex_ = index;
    // As the boxes hold them, which is what an untouched save reads back.
    editBase_ = {line, texts()};
}

catalogue::Entry EntryDialog::texts() const
{
    catalogue::Entry e;
    e.gameName = GameName->text();
    e.media = media->text();
    e.releaseDate = Hatubai->text();
    e.maker = Maker->text();
    e.price = KaKaku->text();
    e.description = Kasetu->toPlainText();
    e.gameFileName = GameFileName->text();
    if (slot->currentIndex() >= 0)
        e.slot = catalogue::Media(slot->currentData().toInt());
    return e;
}

QWidget *EntryDialog::boxOf(catalogue::Field field) const
{
    switch (field) {
    case catalogue::Field::GameName: return GameName;
    case catalogue::Field::Media: return media;
    case catalogue::Field::ReleaseDate: return Hatubai;
    case catalogue::Field::Maker: return Maker;
    case catalogue::Field::Price: return KaKaku;
    case catalogue::Field::Description: return Kasetu;
    case catalogue::Field::GameFileName: return GameFileName;
    }
    return GameName;
}

void EntryDialog::refuse(const QString &text, QWidget *fault)
{
    platform::showMessage(this, text);
    fault->setFocus();
}

std::optional<catalogue::Media> EntryDialog::mediaOfGameFile(const QString &fileName) const
{
    if (const auto media = catalogue::mediaOfFileName(fileName))
        return media;
    if (!catalogue::isZipFileName(fileName))
        return std::nullopt;
    // A zip: the media of the one image it holds.
    QString path = QDir::fromNativeSeparators(fileName);
    if (QDir::isRelativePath(path))
        path = folder_.root() + u'/' + path;
    const onboarding::GameFile game = onboarding::readGameFile(path);
    if (game.problem != onboarding::GameFile::Problem::None)
        return std::nullopt;
    return catalogue::mediaOfFileName(game.imageName);
}

void EntryDialog::onCommand1Clicked()
{
    catalogue::Entry entry = texts();
    const bool fileTyped = !entry.gameFileName.trimmed().isEmpty()
                           && (!editing_ || entry.gameFileName != editBase_.shown.gameFileName);
    // A file without a slot would start without its media option: the slot follows the file.
    if (fileTyped && !entry.slot) {
        entry.slot = mediaOfGameFile(entry.gameFileName.trimmed());
        if (!entry.slot) {
            refuse(messages::chooseSlot(entry.gameFileName.trimmed()), slot);
            return;
        }
        showSlot(entry.slot);
    }
    const auto composed = catalogue::checkedLine(entry, editing_ ? &editBase_ : nullptr);
    if (const auto *problem = std::get_if<catalogue::EntryProblem>(&composed)) {
        refuse(messages::entryProblem(*problem), boxOf(problem->field));
        return;
    }
    QByteArray line = std::get<QByteArray>(composed);
    // A browsed file the catalogue cannot name is copied now, under the name it was given or,
    // when another copy took that meanwhile, the next free one.
    QString madeCopy;
    if (pendingCopy_ && entry.gameFileName == pendingCopy_->name) {
        const onboarding::Placement placed = onboarding::placeFile(pendingCopy_->game, folder_, {});
        if (placed.name.isEmpty()) {
            refuse(messages::cannotCopy(pendingCopy_->game.path, placed), GameFileName);
            return;
        }
        if (placed.newCopy)
            madeCopy = placed.copy;
        if (placed.name != entry.gameFileName) {
            entry.gameFileName = placed.name;
            GameFileName->setText(placed.name);
            const auto renamed = catalogue::checkedLine(entry, editing_ ? &editBase_ : nullptr);
            if (const auto *problem = std::get_if<catalogue::EntryProblem>(&renamed)) {
                if (!madeCopy.isEmpty())
                    QFile::remove(madeCopy);
                refuse(messages::entryProblem(*problem), GameFileName);
                return;
            }
            line = std::get<QByteArray>(renamed);
        }
    }
    // A file that is not there is saved only when the user says so.
    if (fileTyped && madeCopy.isEmpty()) {
        // Looked at off the window's thread: a drive that does not answer is said as such.
        const QString file = onboarding::pathAsRegistered(line, folder_);
        const std::optional<bool> there = file.isEmpty() ? std::optional(true) : platform::existsWithin(file, 3000);
        if (!there.value_or(false)
            && !platform::askYesNo(this, there ? messages::gameFileMissing(file) : messages::gameFileNotAnswering(file))) {
            GameFileName->setFocus();
            return;
        }
    }
    const auto change = editing_ ? messages::Change::Edit : messages::Change::Register;
    const auto error = editing_ ? file_.replace(editIndex_, editBase_.line, line)
                                : file_.append({line});
    if (error) {
        if (!madeCopy.isEmpty())
            QFile::remove(madeCopy); // named by no line
        if (error->kind == catalogue::Error::Kind::LineChanged)
            emit catalogueChangedElsewhere();
        platform::showMessage(this, messages::changeFailed(change, *error));
        return;
    }
    if (editing_)
        editBase_ = {line, texts()};
    pendingCopy_.reset();

    platform::showMessage(this, messages::saved(change));
    emit returnedToMainWindow();
    hide();
}

void EntryDialog::showSlot(std::optional<catalogue::Media> media)
{
    slot->setCurrentIndex(media ? slot->findData(int(*media)) : -1);
}

void EntryDialog::onCommand2Clicked()
{
    close();
}

void EntryDialog::keyPressEvent(QKeyEvent *event)
{
    // Esc closes the dialog as 閉じる does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    platform::Window::keyPressEvent(event);
}

void EntryDialog::closeEvent(QCloseEvent *event)
{
    // However the dialog is closed, the main window is given back; nothing is saved.
    event->accept();
    closed_ = true; // deleted at the next turn of the event loop
    emit returnedToMainWindow();
}

void EntryDialog::onCommand3Clicked()
{
    const auto picked = platform::pickFileToOpen(this, PickerFilter, folder_.root());
    if (!picked)
        return;
    // The emulator runs in the program's folder: a file there needs no folder in its name. A
    // file whose name the catalogue cannot hold is copied into the folder's games/.
    // Read once: a copy is checked against what was read, and the lists are searched with it.
    // The copy is only planned here, and made when the dialog saves.
    const QString path = QFileInfo(*picked).absoluteFilePath();
    // A file the catalogue already names is registered again only when the user says so.
    if (const auto line = lineNaming(path)) {
        if (!platform::askYesNo(this, messages::alreadyRegistered(path, line->first + 1, line->second)))
            return;
    }
    onboarding::GameFile game = onboarding::readGameFile(path);
    game.path = path;
    const onboarding::Placement placed = onboarding::placeFile(game, folder_, {onboarding::Copying::Mode::WhenNeeded, false});
    if (placed.name.isEmpty()) {
        platform::showMessage(this, messages::cannotCopy(path, placed));
        return;
    }
    pendingCopy_.reset();
    if (!placed.copy.isEmpty() && placed.newCopy)
        pendingCopy_ = PendingCopy{game, placed.name};
    GameFileName->setText(placed.name);
    fillFromSoftwareLists(game);
}

std::optional<std::pair<int, QString>> EntryDialog::lineNaming(const QString &path) const
{
    const auto table = std::make_unique<catalogue::LineTable>();
    if (!table->load(file_.path()).ok())
        return std::nullopt;
    const QString given = QDir::cleanPath(path), resolved = QFileInfo(path).canonicalFilePath();
    for (int k = 0; k < table->size(); ++k) {
        if (editing_ && k == editIndex_)
            continue;
        const QString named = onboarding::pathAsRegistered(table->line(k), folder_);
        if (!named.isEmpty() && (named == given || named == resolved))
            return std::pair(k, platform::decodeCp932(catalogue::gameNameOf(table->line(k))));
    }
    return std::nullopt;
}

void EntryDialog::fillFromSoftwareLists(const onboarding::GameFile &game)
{
    // The lists are read at the first browse, not before.
    if (!lists_)
        lists_ = std::make_unique<onboarding::SoftwareLists>(onboarding::loadSoftwareLists(folder_));
    const onboarding::KnownImage *known =
        game.problem == onboarding::GameFile::Problem::None ? onboarding::knownFile(game, *lists_) : nullptr;
    const onboarding::BatchItem item =
        onboarding::composeItem(game, known, folder_, {onboarding::Copying::Mode::WhenNeeded, false});
    if (item.line.isEmpty())
        return;
    // The slot follows the file's media; the texts of a match go into the boxes still empty,
    // so nothing the user typed is overwritten.
    const catalogue::Entry found = catalogue::entryFromLine(item.line).texts;
    showSlot(found.slot);
    // A file no list knows is titled by its name, as the import tool titles it.
    if (!known) {
        if (GameName->text().isEmpty())
            GameName->setText(found.text(catalogue::Field::GameName));
        return;
    }
    const std::pair<QLineEdit *, catalogue::Field> boxes[] = {
        {GameName, catalogue::Field::GameName}, {media, catalogue::Field::Media},
        {Hatubai, catalogue::Field::ReleaseDate}, {Maker, catalogue::Field::Maker}};
    for (const auto &[box, field] : boxes) {
        if (box->text().isEmpty())
            box->setText(found.text(field));
    }
    if (Kasetu->toPlainText().isEmpty())
        Kasetu->setPlainText(found.description);
}
