#include "main_window.h"
#include "main_window/window_tr.h"
#include "details_pane.h"
#include "list_menu.h"
#include "list_search.h"
#include "file_registration.h"
#include "game_row_delegate.h"
#include "running_game_menu.h"

#include "catalogue/launch_request.h"
#include "catalogue/record.h"
#include "entry_dialog/entry_dialog.h"
#include "messages/messages.h"
#include "onboarding/batch.h"
#include "onboarding/registration.h"
#include "platform/system/codepage.h"
#include "platform/system/file_names.h"
#include "platform/system/fonts.h"
#include "platform/system/handover.h"
#include "platform/system/launcher.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/file_picker.h"
#include "platform/widgets/mci_control.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/picture.h"
#include "platform/widgets/progress.h"
#include "platform/widgets/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QFileInfo>
#include <QWindow>
#include <QGuiApplication>
#include <QScreen>

using platform::twips;

namespace {

using Picture = platform::ProgramFolder::Picture;
using Sound = platform::ProgramFolder::Sound;

// The list's colours: light text on the layout's grey, darkened so that the text reads
// (#E0E0E0 on #606060 is 4.8:1).
const QColor ListBase(96, 96, 96);
const QColor ListText(224, 224, 224);

const QColor White(255, 255, 255);

QFont gothic9()
{
    return platform::gothicFont(9);
}

} // namespace

// The pictures of the layouts live in the program itself.
static void loadAssets()
{
    static bool done = false;
    if (!done) {
        Q_INIT_RESOURCE(assets);
        platform::installFontSubstitutes();
        done = true;
    }
}

MainWindow::MainWindow(const platform::ProgramFolder &programFolder, QWidget *parent)
    : platform::Window(parent), folder_(programFolder), file_(folder_.catalogue())
{
    file_.setWaitHook(platform::keepPaintingWhileWaiting());
    loadAssets();
    player_ = new PlayerData(QFileInfo(file_.path()).absolutePath(), this);
    look_ = new GameFilesLook(folder_, this);
    connect(look_, &GameFilesLook::looked, this, &MainWindow::takeLook);
    if (const std::optional<QString> aside = player_->store().load()) {
        const QString text = messages::playerDataSetAside(QFileInfo(file_.path()).absolutePath(), *aside);
        QTimer::singleShot(0, this, [this, text] { platform::showMessage(this, text); });
    }
    setUpForm("Form1", WindowTr::tr("Tarumin（Ｖｅｒ0.9）"), QSize(566, 428));
    buildCommands();
    buildGameList();
    buildMachineOptions();
    buildPowerSwitch();
    buildDetails();
    describeForKeyboardAndScreenReaders();
    connectEvents();
    listMenu_ = new GameListMenu(gameList, games_, player_,
                                 {[this] { return currentListIndex(); }, [this](const QString &state) { launch(state); },
                                  [this] { onEditClicked(); }, [this] { onDeleteClicked(); },
                                  [this](const std::function<void()> &rearrange) { keepingChoice(rearrange); }});
    connect(player_, &PlayerData::changed, this, &MainWindow::refreshPlayerMarks);
    // Said once a run: a folder that cannot be written to would say it at every launch.
    connect(player_, &PlayerData::notWritten, this, [this](const QString &why) {
        if (!std::exchange(playerProblemShown_, true))
            QTimer::singleShot(0, this, [this, why] { platform::showMessage(this, messages::playerDataNotWritten(why)); });
    });
    loadList();
    state_.request = catalogue::LaunchRequest{};
    // The place the window had, when it is still on a screen.
    if (const std::optional<QPoint> at = player_->windowPlace()) {
        for (const QScreen *screen : QGuiApplication::screens())
            if (screen->availableGeometry().contains(QRect(*at, frameGeometry().size()))) {
                move(*at);
                break;
            }
    }
}

MainWindow::~MainWindow()
{
    delete dialog_;
}

void MainWindow::buildCommands()
{
    registerButton = platform::makeButton(this, "Touroku_bot", WindowTr::tr("登　録"),
                                       twips(240, 120, 735, 255));
    editButton = platform::makeButton(this, "hensyu_bot", WindowTr::tr("編　集"),
                                      twips(1080, 120, 735, 255));
    editButton->setEnabled(false);
    deleteButton = platform::makeButton(this, "Sakujyo_bot", WindowTr::tr("削　除"),
                                       twips(1920, 120, 735, 255));
    deleteButton->setEnabled(false);
}

void MainWindow::buildGameList()
{
    listHeading = platform::makeLabel(this, "Label8",
                                 WindowTr::tr("■□■□■　ゲ　ー　ム　名　■□■□■"),
                                 twips(240, 480, 3495, 255), White);
    listHeading->setFont(gothic9());

    games_ = new GameListModel(this);
    gameList = new QListView(this);
    gameList->setObjectName(QStringLiteral("List1"));
    gameList->setModel(games_);
    gameList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gameList->setGeometry(twips(240, 720, 3375, 3660));
    gameList->setSelectionMode(QAbstractItemView::SingleSelection);
    gameList->setUniformItemSizes(true);
    gameList->setItemDelegate(new GameRowDelegate(gameList));
    {
        QPalette pal = gameList->palette();
        pal.setColor(QPalette::Base, ListBase);
        pal.setColor(QPalette::Text, ListText);
        gameList->setPalette(pal);
    }

    // Typing a name finds the game.
    search_ = new ListSearch(gameList, games_,
                             {[this](int line) {
                                  const catalogue::Record record = catalogue::splitRecord(table_.line(line));
                                  return std::pair(shownText(record.fields[0]), shownText(record.fields[5]));
                              },
                              [this] { return currentListIndex(); }, [this](int line) { chooseLine(line); },
                              [this] { startChosenGame(); }});
}

void MainWindow::buildMachineOptions()
{
    fmpacBox = new QCheckBox(this);
    fmpacBox->setObjectName(QStringLiteral("Check2"));
    fmpacBox->setGeometry(twips(255, 4635, 255, 255));
    fmpacBox->setAutoFillBackground(true);
    {
        // The active window border colour of the usual Windows scheme. A check box fills its
        // background with the Button role.
        QPalette pal = fmpacBox->palette();
        pal.setColor(QPalette::Window, QColor(180, 180, 180));
        pal.setColor(QPalette::Button, QColor(180, 180, 180));
        fmpacBox->setPalette(pal);
    }
    fmpacLabel = platform::makeLabel(this, "Label6", WindowTr::tr("FM-PACKの使用"),
                                 twips(600, 4680, 1335, 255), White);

    machineBox = new QComboBox(this);
    machineBox->setObjectName(QStringLiteral("Combo1"));
    // Made editable by giving it its field: setEditable(true) would also build the box's
    // drop-down list at once, which waits until it is first opened.
    machineBox->setLineEdit(new QLineEdit(machineBox));
    machineBox->setInsertPolicy(QComboBox::NoInsert);
    machineBox->setCompleter(nullptr);
    // Only a choice from the list picks the machine: a name typed into the edit field and
    // confirmed must not count as a choice, so the box's own matching of typed text is cut off.
    disconnect(machineBox->lineEdit(), &QLineEdit::editingFinished, machineBox, nullptr);
    machineBox->addItem(QStringLiteral("MSX2J"));
    machineBox->addItem(QStringLiteral("MSXJ"));
    machineBox->setEditText(QStringLiteral("MSX2J"));
    machineBox->setGeometry(twips(2160, 4605, 1455, 300));

    noteField = platform::makeTextBox(this, "Text1", QString(), twips(240, 5010, 3375, 270));
}

void MainWindow::buildPowerSwitch()
{
    powerLabel = platform::makeLabel(this, "Label7", WindowTr::tr("電　源"),
                                 twips(600, 5520, 735, 255), White);
    powerLabel->setFont(gothic9());

    powerSwitch = new platform::ImageControl(this);
    powerSwitch->setObjectName(QStringLiteral("Image1"));
    powerSwitch->setGeometry(twips(255, 5760, 1260, 450));

    nameplate = new platform::ImageControl(this);
    nameplate->setObjectName(QStringLiteral("Image2"));
    nameplate->setGeometry(twips(1680, 5460, 1950, 780));
    showBuiltInPictures();

    soundPlayer = new platform::MciControl(this);
    soundPlayer->setObjectName(QStringLiteral("MMControl1"));
}

void MainWindow::showBuiltInPictures()
{
    const qreal scale = devicePixelRatioF();
    if (!state_.switchOn && !switchToggled_)
        powerSwitch->setPicture(
            platform::paletted(platform::builtInPicture(QStringLiteral(":/assets/switch-off.gif"), "GIF", scale)));
    nameplate->setPicture(platform::paletted(platform::builtInPicture(QStringLiteral(":/assets/nameplate.gif"), "GIF", scale)));
}

void MainWindow::screenChanged()
{
    showBuiltInPictures();
    details_->screenScaleChanged();
}

void MainWindow::buildDetails()
{
    details_ = new DetailsPane(this, folder_);
    snapshotPicture = details_->snapshot();
}

void MainWindow::describeForKeyboardAndScreenReaders()
{
    // Keyboard focus order; labels and the nameplate take no focus, the power switch does
    // (Space or Enter presses it).
    nameplate->setFocusPolicy(Qt::NoFocus);
    powerSwitch->setFocusPolicy(Qt::StrongFocus);
    setFocusOrder({gameList, snapshotPicture, registerButton, deleteButton, noteField, fmpacBox, editButton, machineBox, powerSwitch});
    gameList->setFocus();

    // What a screen reader says for each control.
    platform::setAccessibleNames({
        {registerButton, WindowTr::tr("ゲームを登録する")},
        {editButton, WindowTr::tr("選んだゲームを編集する")},
        {deleteButton, WindowTr::tr("選んだゲームを削除する")},
        {gameList, WindowTr::tr("ゲームの一覧。Enter キーかダブルクリックでゲームを起動する")},
        {fmpacBox, WindowTr::tr("FM-PAC を使う")},
        {machineBox, WindowTr::tr("エミュレーターの機種")},
        {noteField, WindowTr::tr("起動するゲームの引数")},
        {powerSwitch, WindowTr::tr("電源スイッチ。押すとゲームを起動する")},
        {nameplate, WindowTr::tr("ネームプレート。押すと効果音が鳴る")},
        // The headings as words, without the layout's ornaments and spacing.
        {listHeading, WindowTr::tr("ゲーム名")},
        {powerLabel, WindowTr::tr("電源")},
    });
    for (const auto &[heading, name] : details_->headingNames())
        heading->setAccessibleName(name);
    machineBox->lineEdit()->setAccessibleName(WindowTr::tr("エミュレーターの機種"));
    platform::setBuddies({{fmpacLabel, fmpacBox}});
    // The FM-PAC label ticks its box, as a check box's own text would.
    fmpacLabel->installEventFilter(this);
    // The machine box has no heading on screen; on Linux a screen reader names a combo box by
    // its label, so it gets one that is never shown.
    auto *machineHeading = new QLabel(WindowTr::tr("エミュレーターの機種"), this);
    machineHeading->setObjectName(QStringLiteral("Combo1_heading"));
    machineHeading->setGeometry(machineBox->geometry().topLeft().x(), machineBox->geometry().top(), 0, 0);
    machineHeading->hide();
    platform::setBuddies({{machineHeading, machineBox}});
}

void MainWindow::connectEvents()
{
    // Game files and folders dropped on the window are registered.
    setAcceptDrops(true);

    // Enter on the list, and a double-click on an entry, act as the power switch.
    gameList->installEventFilter(this);
    connect(gameList, &QListView::doubleClicked, this, &MainWindow::onPowerSwitchClicked);

    connect(gameList->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MainWindow::onGameChosen);
    connect(machineBox, &QComboBox::activated, this, &MainWindow::onMachineChosen);
    connect(fmpacBox, &QCheckBox::clicked, this, &MainWindow::onFmpacClicked);
    connect(powerSwitch, &platform::ImageControl::clicked, this, &MainWindow::onPowerSwitchClicked);
    connect(nameplate, &platform::ImageControl::clicked, this, &MainWindow::onNameplateClicked);
    // The running game's menu on the snapshot: a right click, the menu key or Shift+F10.
    runningMenu_ = new RunningGameMenu(snapshotPicture, folder_, player_);
    connect(runningMenu_, &RunningGameMenu::snapshotSaved, this, [this](const QString &snapName) {
        if (table_.contains(state_.selectedIndex) && state_.snapName == snapName)
            showDetails();
    });
    connect(registerButton, &QPushButton::clicked, this, &MainWindow::onRegisterClicked);
    connect(editButton, &QPushButton::clicked, this, &MainWindow::onEditClicked);
    connect(deleteButton, &QPushButton::clicked, this, &MainWindow::onDeleteClicked);
}

// ---- start-up and the game list

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!activatedOnce_ && !event->spontaneous()) {
        // The list was read as the window was made: what went wrong with it is said now.
        activatedOnce_ = true;
        reportLoad(firstLoad_);
    }
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    platform::Window::paintEvent(event);
    if (activatedOnce_ && !lookedOnce_) {
        // Once the window is on the screen, not before: the look at the game files, and
        // changes other programs make to the catalogue.
        lookedOnce_ = true;
        // Moved to a screen of another scale, the built-in pictures are read again at it.
        connect(windowHandle(), &QWindow::screenChanged, this, &MainWindow::screenChanged);
        QTimer::singleShot(0, this, [this] {
            startFileCheck();
            watchCatalogue();
            emit firstPainted();
        });
    }
}

void MainWindow::watchCatalogue()
{
    watcher_ = new CatalogueWatcher(file_.path(), this);
    connect(watcher_, &CatalogueWatcher::settled, this, &MainWindow::catalogueChangedOnDisk);
}

void MainWindow::catalogueChangedOnDisk()
{
    // While the entry dialog is open the list stays as it is; it is rebuilt when the dialog
    // closes, as always.
    if (dialog_ && dialog_->isVisible())
        return;
    activate();
}

void MainWindow::activate()
{
    const int chosen = currentListIndex();
    const QByteArray line = chosen >= 0 ? table_.line(chosen) : QByteArray();
    loadList();
    // The game shown stays chosen when its line is still there, byte for byte; when it is
    // gone (deleted, edited, removed by another program) nothing is chosen, as at start.
    int again = chosen >= 0 && table_.line(chosen) == line ? chosen : -1;
    for (int k = 0; chosen >= 0 && again < 0 && k < table_.size(); ++k) {
        if (table_.line(k) == line)
            again = k;
    }
    if (again >= 0)
        chooseLine(again);
    else
        clearChoice();
    if (lookedOnce_)
        startFileCheck();
}

void MainWindow::loadList()
{
    const catalogue::LoadResult result = file_.load(table_);
    if (!activatedOnce_)
        firstLoad_ = result;
    QList<GameListModel::Game> games;
    games.reserve(table_.size());
    for (int i = 0; i < table_.size(); ++i) {
        const catalogue::Record record = catalogue::splitRecord(table_.line(i));
        GameListModel::Game game;
        game.title = shownText(record.fields[0]);
        game.year = GameListModel::yearOf(shownText(record.fields[2]));
        game.media = catalogue::mediaOfLaunchArgs(platform::decodeCp932(record.fields[catalogue::LaunchArgsField]));
        games.append(game);
    }
    // What is remembered of each game: at once for the lines seen before, the others with the
    // look at the files.
    QList<QByteArray> lines;
    lines.reserve(table_.size());
    for (int i = 0; i < table_.size(); ++i)
        lines << table_.line(i);
    player_->takeLines(lines);
    games_->setGames(std::move(games));
    games_->setMarks(player_->marks());
    search_->forgetRows(); // the texts are folded for searching at the first keystroke
    missing_.clear();
    reportLoad(result);
}

void MainWindow::reportLoad(const catalogue::LoadResult &result)
{
    if (result.ok()) {
        loadProblemShown_ = false;
        return;
    }
    // Tell the user once, not at every rebuild; a file that does not fit is told once a run.
    bool &shown = result.error->kind == catalogue::Error::Kind::TooLong ? tooLongShown_
                                                                        : loadProblemShown_;
    if (shown || !activatedOnce_)
        return;
    shown = true;
    const QString text = messages::loadProblem(result);
    // Not from inside the event that rebuilt the list: the window is shown first.
    QTimer::singleShot(0, this, [this, text] { platform::showMessage(this, text); });
}

void MainWindow::chooseLine(int line)
{
    gameList->setCurrentIndex(games_->index(games_->rowOf(line)));
}

int MainWindow::currentRow() const
{
    const int line = currentListIndex();
    return line < 0 ? -1 : games_->rowOf(line);
}

void MainWindow::keepingChoice(const std::function<void()> &rearrange)
{
    const int line = currentListIndex();
    rearrange();
    search_->forgetRows();
    if (line >= 0 && games_->rowOf(line) >= 0)
        chooseLine(line);
    else if (line >= 0)
        clearChoice(); // filtered out
    if (line >= 0 && games_->rowOf(line) >= 0)
        gameList->scrollTo(games_->index(games_->rowOf(line)));
}

int MainWindow::currentListIndex() const
{
    const QModelIndexList rows = gameList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : games_->lineAt(rows.first().row());
}

// ---- selection and details

void MainWindow::onGameChosen()
{
    const int index = currentListIndex();
    if (index < 0) {
        clearChoice();
        return;
    }
    state_.selectedIndex = index;
    editButton->setEnabled(true);
    deleteButton->setEnabled(true);
    showDetails();
    followChosenGamesMachine();
    updateListActions();
}

void MainWindow::followChosenGamesMachine()
{
    // The machine and FM-PAC a game was last started with come back when it is chosen; a game
    // with nothing remembered leaves the boxes as they are. Chosen again (the list rebuilt or
    // sorted), the boxes stay as the user may have set them since.
    const QString file = player_->fileOf(state_.selectedIndex);
    if (file.isEmpty() || file == followedFile_)
        return;
    followedFile_ = file;
    const player::GameRecord *record = player_->record(state_.selectedIndex);
    if (!record || record->machine.isEmpty())
        return;
    const int item = machineBox->findText(record->machine);
    if (item < 0)
        return;
    machineBox->setCurrentIndex(item);
    machineBox->setEditText(record->machine);
    state_.request.machine = record->machine;
    fmpacBox->setChecked(record->fmpac);
    state_.request.fmpac = record->fmpac;
}

void MainWindow::showPlayHistory()
{
    details_->showPlays(player_->record(state_.selectedIndex));
}

void MainWindow::showDetails()
{
    if (!table_.contains(state_.selectedIndex))
        return;
    const QByteArray line = table_.line(state_.selectedIndex);
    const catalogue::Record record = catalogue::splitRecord(line);
    state_.snapName = platform::decodeCp932(record.fields[catalogue::SnapNameField]);
    state_.launchArgs = platform::decodeCp932(record.fields[catalogue::LaunchArgsField]);
    noteField->setText(shownText(record.fields[catalogue::LaunchArgsField]));
    noteField->setCursorPosition(0); // the media option first, however long the text
    details_->show(record,
                   fileMissing(state_.selectedIndex) ? messages::noGameFile(onboarding::pathAsRegistered(line, folder_)) : QString(),
                   player_->record(state_.selectedIndex));
}

void MainWindow::clearChoice()
{
    // Nothing chosen: the details as at a fresh start, and nothing for the switch to start.
    state_.selectedIndex = -1;
    state_.snapName.clear();
    state_.launchArgs.clear();
    editButton->setEnabled(false);
    deleteButton->setEnabled(false);
    details_->clear();
    updateListActions();
    noteField->clear();
}

void MainWindow::startFileCheck()
{
    // Off the window's thread, from a copy of the lines: the window never waits for a disk.
    QList<QByteArray> lines;
    lines.reserve(table_.size());
    for (int k = 0; k < table_.size(); ++k)
        lines << table_.line(k);
    look_->start(lines, player_->store().games());
}

void MainWindow::takeLook(const GameFilesLook::Result &look)
{
    player_->setLook(look.lines, look.files, look.keys);
    applyFileCheck(look.check);
    followChosenGamesMachine();
    updateListActions();
}

void MainWindow::applyFileCheck(const FileCheck &check)
{
    missing_ = check.missing;
    keepingChoice([this] {
        games_->setMissing(missing_);
        games_->setMarks(player_->marks());
    });
    showPlayHistory();
    if (fileMissing(currentListIndex()))
        showDetails();
    // A folder whose games are all gone is said once a run, as such.
    QStringList said;
    for (const FileCheck::AbsentFolder &absent : check.absentFolders) {
        if (!absentFoldersShown_.contains(absent.folder)) {
            absentFoldersShown_.insert(absent.folder);
            said << messages::folderMissing(absent.folder, absent.games);
        }
    }
    if (!said.isEmpty())
        QTimer::singleShot(0, this, [this, said] { offerToFindMovedGames(said.join(u'\n')); });
    emit gameFilesChecked();
}

void MainWindow::offerToFindMovedGames(const QString &text)
{
    // The user may show where the games went: the lines of the games found there are made to
    // name their new places (tarumin-import --relink --write), nothing else changes.
    if (!platform::offerAction(this, text, WindowTr::tr("場所を探す…")))
        return;
    const auto chosen = platform::pickFolder(this, WindowTr::tr("ゲームを移した先のフォルダー"), folder_.root());
    if (chosen)
        registerFiles({*chosen}, onboarding::Adding::RelinkOnly);
}

// ---- machine options, power switch and sounds

void MainWindow::onMachineChosen(int index)
{
    state_.request.machine = machineBox->itemText(index);
}

void MainWindow::onFmpacClicked()
{
    state_.request.fmpac = fmpacBox->checkState() != Qt::Unchecked;
}

void MainWindow::playSound(Sound sound, bool setDeviceType)
{
    if (setDeviceType)
        soundPlayer->setDeviceType(QStringLiteral("WaveAudio"));
    soundPlayer->setFileName(folder_.sound(sound));
    soundPlayer->setNotify(false);
    soundPlayer->setWait(true);
    soundPlayer->setShareable(false);
    soundPlayer->setCommand(QStringLiteral("Open"));
    soundPlayer->setCommand(QStringLiteral("Sound"));
}

void MainWindow::onPowerSwitchClicked()
{
    launch();
}

void MainWindow::launch(const QString &state)
{
    // A game whose file was not there at the last look is not started: the user is told which
    // file is missing. The window never looks at a disk itself (a hung network drive would
    // freeze it): it takes the last answer of the file check and asks it again.
    const int chosen = currentListIndex();
    if (chosen >= 0 && activatedOnce_)
        startFileCheck();
    if (fileMissing(chosen)) {
        platform::showMessage(this, messages::cannotStartMissing(onboarding::pathAsRegistered(table_.line(chosen), folder_)));
        return;
    }
    // A picture that cannot be read leaves the one shown; the switch works all the same.
    state_.switchOn = !state_.switchOn;
    switchToggled_ = true;
    powerSwitch->setPictureFile(folder_.picture(state_.switchOn ? Picture::SwitchOn : Picture::SwitchOff));
    playSound(Sound::Switch, false);

    catalogue::LaunchRequest request = state_.request;
    request.launchArgs = state_.launchArgs;
    request.state = state;
    const QString arguments = request.toCommandLine();
    QString program = folder_.emulator();
    // A folder without a mess.exe of its own plays through the adapter that came with the program.
    if (const QString bundled = platform::bundledAdapter(); !bundled.isEmpty() && !QFileInfo::exists(program))
        program = bundled;
    qint64 pid = 0;
    // Play time runs from the emulator's start to its end.
    const player::GameKey game = player_->keyOf(chosen);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const auto error = platform::startProgram(
        program, arguments, folder_.root(), this, [this](const platform::EarlyExit &exit) {
            platform::showMessage(this, messages::emulatorFailed(exit));
        }, &pid, [this, game, clock] { player_->played(game, clock->elapsed() / 1000); });
    if (error) {
        platform::showMessage(this, messages::launchFailed(program, *error));
        return;
    }
    if (chosen >= 0)
        player_->launched(chosen, request.machine, request.fmpac);
    runningMenu_->games()->started(pid, state_.snapName, request.media(), player_->fileOf(chosen));
}

void MainWindow::onNameplateClicked()
{
    playSound(Sound::Nameplate, true);
}

void MainWindow::startChosenGame()
{
    if (currentListIndex() >= 0)
        onPowerSwitchClicked();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == fmpacLabel && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        fmpacBox->click();
        return true;
    }
    if (watched == gameList && event->type() == QEvent::KeyPress) {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const int key = keyEvent->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // A key held down starts the game once, not at every repeat; with Ctrl, from the
            // state it was saved in.
            if (!keyEvent->isAutoRepeat() && (keyEvent->modifiers() & Qt::ControlModifier))
                listMenu_->resume();
            else if (!keyEvent->isAutoRepeat())
                startChosenGame();
            return true;
        }
        if (key == Qt::Key_Delete && keyEvent->modifiers() == Qt::NoModifier) {
            if (currentListIndex() >= 0)
                onDeleteClicked();
            return true;
        }
        if (keyEvent->matches(QKeySequence::Find)) {
            search_->open(QString());
            return true;
        }
        // Typing a name finds the game.
        const QString text = keyEvent->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace()
            && !(keyEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            search_->open(text);
            return true;
        }
        // Nothing chosen yet: the first key down (or up) chooses the first game.
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && currentListIndex() < 0 && games_->rowCount() > 0) {
            gameList->setCurrentIndex(games_->index(0));
            return true;
        }
    }
    return platform::Window::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{

    // While the entry dialog is shown, what the user typed there would be lost: the dialog
    // comes to the front instead, and the program goes on.
    if (dialog_ && dialog_->isVisible()) {
        event->ignore();
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    soundPlayer->setCommand(QStringLiteral("Close"));
    player_->setWindowPlace(pos());
    // The entry dialog, shown or hidden, goes with the main window, so the program ends.
    delete dialog_;
    event->accept();
}

// ---- register, edit and delete

EntryDialog *MainWindow::entryDialogIfLoaded() const
{
    return dialog_;
}

EntryDialog *MainWindow::entryDialog()
{
    if (!dialog_ || dialog_->closed()) {
        dialog_ = new EntryDialog(folder_, file_);
        connect(dialog_, &EntryDialog::returnedToMainWindow, this, &MainWindow::returnFromDialog);
        connect(dialog_, &EntryDialog::catalogueChangedElsewhere, this, &MainWindow::activate);
    }
    return dialog_;
}

void MainWindow::returnFromDialog()
{
    setEnabled(true);
    activate();
    activateWindow();
}

void MainWindow::showEntryDialog(EntryDialog *dialog)
{
    setEnabled(false);
    // The dialog stays in front of the main window: a click on the disabled main window must
    // not hide it.
    dialog->winId();
    if (QWindow *handle = dialog->windowHandle(); handle && window()->windowHandle())
        handle->setTransientParent(window()->windowHandle());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void MainWindow::onRegisterClicked()
{
    EntryDialog *dialog = entryDialog();
    dialog->beginRegister();
    showEntryDialog(dialog);
}

void MainWindow::onEditClicked()
{
    const int index = currentListIndex();
    if (!table_.contains(index)) {
        platform::showMessage(this, messages::chooseGameFirst(messages::Change::Edit));
        return;
    }
    EntryDialog *dialog = entryDialog();
    // The dialog gets the line as it was read: what the user saves without touching comes
    // back as the same bytes, and the save can tell whether the line changed meanwhile.
    dialog->beginEdit(index, table_.line(index));
    showEntryDialog(dialog);
}

void MainWindow::onDeleteClicked()
{
    const int k = currentListIndex();
    if (!table_.contains(k)) {
        if (const auto refusal = table_.refusal())
            platform::showMessage(this, messages::changeFailed(messages::Change::Delete, *refusal));
        else
            platform::showMessage(this, messages::chooseGameFirst(messages::Change::Delete));
        return;
    }
    // A line the user may have typed by hand is deleted only when the user says so.
    if (!platform::askYesNo(this, messages::confirmDelete(shownText(catalogue::gameNameOf(table_.line(k)))))) {
        gameList->setFocus();
        return;
    }
    if (const auto error = file_.remove(k, table_.line(k))) {
        // The list as the file now is, behind the message that says why nothing was deleted.
        activate();
        platform::showMessage(this, messages::changeFailed(messages::Change::Delete, *error));
        return;
    }
    platform::showMessage(this, messages::deleted());
    activate();
}

void MainWindow::updateListActions()
{
    if (listMenu_)
        listMenu_->update();
}

QMenu *MainWindow::makePictureMenu()
{
    return runningMenu_->make(this);
}

QMenu *MainWindow::makeListMenu()
{
    return listMenu_->make(this);
}

void MainWindow::refreshPlayerMarks()
{
    keepingChoice([this] { games_->setMarks(player_->marks()); });
    showPlayHistory();
    updateListActions();
}

// ---- registering files dropped on the window

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = droppedGameFiles(event->mimeData());
    event->acceptProposedAction();
    if (!paths.isEmpty())
        QTimer::singleShot(0, this, [this, paths] { registerFiles(paths); });
}

void MainWindow::registerFiles(const QStringList &paths, onboarding::Adding adding)
{
    registerWithProgress(this, folder_, file_.path(), paths, adding, [this] { activate(); });
}
