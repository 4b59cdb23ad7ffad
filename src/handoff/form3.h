#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;

// The relay form: never shown. Its text boxes carry the entry mode ("1" register, "2" edit)
// and the edited line's index from the main window's commands to the entry dialog's save.
// The texts stay as last written for the whole run.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);

    void setEntryMode(int mode);   // damy1
    void setEntryIndex(int index); // damy2
    QString entryModeText() const;
    QString entryIndexText() const;

private:
    QLineEdit *damy1 = nullptr;
    QLineEdit *damy2 = nullptr;
    QLineEdit *damy3 = nullptr;
};
