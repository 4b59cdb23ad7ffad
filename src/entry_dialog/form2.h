#pragma once

#include "catalogue/line_table.h"
#include "catalogue/record.h"
#include "platform/window.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Form3;

// The entry dialog "リスト登録": one game's record, typed for a registration or an edit.
// It is made at first use, hidden after a save (keeping its texts) and destroyed by its close
// button or its window frame; it has a copy of the catalogue of its own.
class Form2 : public platform::Window
{
    Q_OBJECT
public:
    Form2(const QString &programFolder, Form3 *relay, QWidget *parent = nullptr);

    // The edit command's fill: the seven text boxes, in order. The slot stays as it is.
    void fillForEdit(const catalogue::Entry &texts);

    // The texts as they stand, with the selected slot (-1 when none).
    catalogue::Entry texts() const;
    const catalogue::LineTable &table() const { return table_; }

signals:
    // The dialog saved or was closed: the main window takes over again.
    void returnedToMainWindow();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void ReadList();
    bool SaveList(const catalogue::LineTable &table, QString *error) const;
    // Why the texts cannot be saved, or an empty text when they can.
    QString checkTexts(const catalogue::Entry &entry) const;

    void onCommand1Clicked();
    void onCommand2Clicked();
    void onCommand3Clicked();

    QString folder_;
    Form3 *relay_;
    catalogue::LineTable table_;

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
};
