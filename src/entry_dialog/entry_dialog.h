#pragma once

#include "catalogue/catalogue_file.h"
#include "catalogue/record.h"
#include "onboarding/game_files.h"
#include "onboarding/software_lists.h"
#include "platform/system/program_folder.h"
#include "platform/widgets/window.h"

#include <QString>
#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The entry dialog "リスト登録": one game's record, typed for a registration or an edit.
// It is made at first use, hidden after a save (keeping its texts) and destroyed by its close
// button or its window frame. It is a dialog window, kept in front of the main window (its
// transient parent) while that is disabled. It keeps no copy of the catalogue: a save is one change through
// the catalogue file, against the file as it is at that moment.
class EntryDialog : public platform::Window
{
    Q_OBJECT
public:
    EntryDialog(const platform::ProgramFolder &programFolder, const catalogue::CatalogueFile &file,
          QWidget *parent = nullptr);

    // A registration: every box empty, no slot chosen.
    void beginRegister();
    // An edit of line index, which read as line when the user chose it: the text boxes and the
    // slot are filled from it.
    void beginEdit(int index, const QByteArray &line);

    bool editing() const { return editing_; }
    // The texts as they stand, with the selected slot.
    catalogue::Entry texts() const;

    // Closed: it goes at the next turn of the event loop, and is no longer to be shown.
    bool closed() const { return closed_; }

signals:
    // The dialog saved or was closed: the main window takes over again.
    void returnedToMainWindow();
    // A save found the catalogue changed by another program: the main window shows it anew.
    void catalogueChangedElsewhere();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildLayout();
    void fillFromSoftwareLists(const onboarding::GameFile &game);
    void showSlot(std::optional<catalogue::Media> media);
    QWidget *boxOf(catalogue::Field field) const;
    // A message, then the focus on the control at fault.
    void refuse(const QString &text, QWidget *fault);
    std::optional<catalogue::Media> mediaOfGameFile(const QString &fileName) const;

    void onCommand1Clicked();
    void onCommand2Clicked();
    void onCommand3Clicked();

    platform::ProgramFolder folder_;
    catalogue::CatalogueFile file_;
    bool editing_ = false;
    int editIndex_ = -1;
    catalogue::EditBase editBase_; // the edited line, and the entry as first shown
    std::unique_ptr<onboarding::SoftwareLists> lists_; // read at the first browse
    // A browsed file that goes into games/ when the dialog saves, under this name.
    struct PendingCopy
    {
        onboarding::GameFile game;
        QString name;
    };
    std::optional<PendingCopy> pendingCopy_;

    QLabel *Label1 = nullptr;
    QLineEdit *GameName = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *media = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Hatubai = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Maker = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *KaKaku = nullptr;
    QLabel *Label6 = nullptr;
    QPlainTextEdit *Kasetu = nullptr;
    QLabel *Label8 = nullptr;
    QComboBox *slot = nullptr;
    QLabel *Label7 = nullptr;
    QLineEdit *GameFileName = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    bool closed_ = false;

    // The line (its index and title) that already names the file, if one does.
    std::optional<std::pair<int, QString>> lineNaming(const QString &path) const;
};
