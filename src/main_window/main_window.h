#pragma once

#include "catalogue/catalogue_file.h"
#include "catalogue/launch_request.h"
#include "main_window/catalogue_watcher.h"
#include "main_window/file_check.h"
#include "main_window/files_look.h"
#include "main_window/game_list_model.h"
#include "main_window/player_data.h"
#include "main_window/running_games.h"
#include "onboarding/registration.h"
#include "catalogue/line_table.h"
#include "platform/system/program_folder.h"
#include "platform/widgets/window.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QFileSystemWatcher;
class QTimer;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace platform {
class ImageControl;
class MciControl;
class PictureBox;
} // namespace platform

class DetailsPane;
class GameListMenu;
class ListSearch;
class RunningGameMenu;
class EntryDialog;

// The main window: the game list, the shown game's details and snapshot, the emulator's
// options and power switch, and the register, edit and delete commands.
class MainWindow : public platform::Window
{
    Q_OBJECT
public:
    // What the window remembers between events.
    struct State
    {
        catalogue::LaunchRequest request; // the machine and FM-PAC chosen
        bool switchOn = false; // the power switch's picture
        int selectedIndex = -1; // list entry chosen, -1 when none is
        QString snapName;      // fields of the record shown last
        QString launchArgs;
    };

    // programFolder holds mess.exe and the data folder tarumin.
    explicit MainWindow(const platform::ProgramFolder &programFolder, QWidget *parent = nullptr);
    ~MainWindow() override;

    const State &state() const { return state_; }
    const catalogue::LineTable &table() const { return table_; }
    const platform::ProgramFolder &programFolder() const { return folder_; }
    platform::MciControl *mci() const { return soundPlayer; }
    EntryDialog *entryDialogIfLoaded() const;

    // Becoming the program's active window again: the list is rebuilt from the file.
    void activate();

    // Registers game files and folders at once, identified against the software lists: what
    // dropping them on the window does. Shows a cancellable progress dialog when it takes
    // longer than half a second, then one message with the counts.
    // With RelinkOnly, only the lines of games found at a new place among them are changed.
    void registerFiles(const QStringList &paths, onboarding::Adding adding = onboarding::Adding::Register);

    // The menu of the running game on the snapshot picture (a right click, the menu key,
    // Shift+F10), made anew and shown at once: its items follow the running game's answer,
    // greyed when no openMSX this window started answers.
    QMenu *makePictureMenu();

    // What is remembered of the player (favourites, plays, machines, states, the list's order).
    PlayerData *playerData() const { return player_; }
    // The list's menu for the chosen game (a right click on the list, the menu key, Shift+F10),
    // made anew each time.
    QMenu *makeListMenu();

    // Whether the last look at the game files found row's file missing.
    bool fileMissing(int row) const { return row >= 0 && row < missing_.size() && missing_[row]; }
    // How the game files are looked at (on a worker thread); the tests put a stuck disk here.
    using FileChecker = GameFilesLook::Checker;
    void setFileChecker(FileChecker checker) { look_->setChecker(std::move(checker)); }

signals:
    // The game files were looked at after the list was (re)built.
    void gameFilesChecked();
    // The window was painted on the screen for the first time.
    void firstPainted();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void showBuiltInPictures();
    void screenChanged();
    // The layout, area by area.
    void buildCommands();
    void buildGameList();
    void buildMachineOptions();
    void buildPowerSwitch();
    void buildDetails();
    void describeForKeyboardAndScreenReaders();
    void connectEvents();

    void loadList();
    void watchCatalogue();
    void catalogueChangedOnDisk();
    void showDetails();
    void clearChoice();
    void startFileCheck();
    void takeLook(const GameFilesLook::Result &look);
    void applyFileCheck(const FileCheck &check);
    void offerToFindMovedGames(const QString &text);
    void startChosenGame();
    void launch(const QString &state = {});
    void updateListActions();
    void refreshPlayerMarks();
    void showPlayHistory();
    void followChosenGamesMachine();
    // Rebuilds the rows (a new order, filter or marks) with the chosen game still chosen.
    void keepingChoice(const std::function<void()> &rearrange);
    int currentRow() const;

    void reportLoad(const catalogue::LoadResult &result);
    void playSound(platform::ProgramFolder::Sound sound, bool setDeviceType);
    // The catalogue line of the chosen row (-1 when none is chosen), and the row of a line chosen.
    int currentListIndex() const;
    void chooseLine(int line);
    EntryDialog *entryDialog();
    void showEntryDialog(EntryDialog *dialog);
    void returnFromDialog();


    void onGameChosen();
    void onMachineChosen(int index);
    void onFmpacClicked();
    void onPowerSwitchClicked();
    void onNameplateClicked();
    void onRegisterClicked();
    void onEditClicked();
    void onDeleteClicked();

    platform::ProgramFolder folder_;
    catalogue::CatalogueFile file_;
    catalogue::LineTable table_; // the list as shown; changes go through file_
    State state_;
    bool activatedOnce_ = false;
    bool lookedOnce_ = false; // the files were looked at since the window was first painted
    bool switchToggled_ = false; // the power switch shows the folder's pictures, not the built-in one
    catalogue::LoadResult firstLoad_;
    bool loadProblemShown_ = false;
    bool tooLongShown_ = false;
    bool playerProblemShown_ = false;
    ListSearch *search_ = nullptr; // typing a name on the list
    QList<bool> missing_;
    GameFilesLook *look_ = nullptr;
    QSet<QString> absentFoldersShown_;
    RunningGameMenu *runningMenu_ = nullptr; // the started emulators and their menu
    PlayerData *player_ = nullptr;
    QString followedFile_; // the game whose remembered machine the boxes were last set to
    QStringList fileOfLine_; // from the last look at the files
    GameListMenu *listMenu_ = nullptr;

    QPointer<EntryDialog> dialog_;
    CatalogueWatcher *watcher_ = nullptr; // made once the window is up

    // The controls by role; their object names are the original layout's, which the tests,
    // accessibility tools and users' scripts know them by:
    //   registerButton Touroku_bot, editButton hensyu_bot, deleteButton Sakujyo_bot,
    //   listHeading Label8, gameList List1, fmpacBox Check2, fmpacLabel Label6,
    //   machineBox Combo1, noteField Text1, powerLabel Label7, powerSwitch Image1,
    //   nameplate Image2, snapshotPicture Picture1, soundPlayer MMControl1; the details' in
    //   DetailsPane.
    QPushButton *registerButton = nullptr;
    QPushButton *editButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QLabel *listHeading = nullptr;
    QListView *gameList = nullptr;
    GameListModel *games_ = nullptr; // what gameList shows
    QCheckBox *fmpacBox = nullptr;
    QLabel *fmpacLabel = nullptr;
    QComboBox *machineBox = nullptr;
    QLineEdit *noteField = nullptr;
    QLabel *powerLabel = nullptr;
    platform::ImageControl *powerSwitch = nullptr;
    platform::ImageControl *nameplate = nullptr;
    platform::PictureBox *snapshotPicture = nullptr;
    platform::MciControl *soundPlayer = nullptr;
    DetailsPane *details_ = nullptr; // the snapshot and the chosen game's details
};
