#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include <initializer_list>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Small helpers that make the controls of the fixed layouts the way the windows want them.
namespace platform {

// A label: text in the given colour on a transparent background, wrapped within the label's
// width and cut off at its height; the text is shown as it is, never as markup.
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, QRect place,
                  const QColor &colour);

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, QRect place);

QLineEdit *makeTextBox(QWidget *parent, const char *name, const QString &text, QRect place);

// Ties each label to its field, so that a screen reader says the label with the field.
void setBuddies(std::initializer_list<std::pair<QLabel *, QWidget *>> pairs);

// What a screen reader says for each control.
void setAccessibleNames(std::initializer_list<std::pair<QWidget *, QString>> names);

// For tests that drive the program from outside: the name of the widget that has the focus
// and, from the second line, the text of that field, written into file (UTF-8, whole) whenever
// either changes, so that typing can be read back.
void startTextProbe(const QString &file);

} // namespace platform
