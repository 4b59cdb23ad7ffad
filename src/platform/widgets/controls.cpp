#include "controls.h"

#include <limits>
#include <memory>
#include <optional>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenu>
#include <QPalette>
#include <QPushButton>

namespace platform {

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, QRect place,
                  const QColor &colour)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    label->setGeometry(place);
    return label;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, QRect place)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    // Enter presses the button that has the focus, as on the system the layouts come from
    // (Space as well); no button is pressed by Enter in a text box.
    button->setAutoDefault(true);
    button->setDefault(false);
    button->setGeometry(place);
    return button;
}

QLineEdit *makeTextBox(QWidget *parent, const char *name, const QString &text, QRect place)
{
    auto *box = new QLineEdit(parent);
    // A text box holds whatever it is given: Qt's default limit of 32767 characters would cut
    // a long field without a word.
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setText(text);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place);
    return box;
}

void setBuddies(std::initializer_list<std::pair<QLabel *, QWidget *>> pairs)
{
    for (const auto &[label, field] : pairs)
        label->setBuddy(field);
}

void setAccessibleNames(std::initializer_list<std::pair<QWidget *, QString>> names)
{
    for (const auto &[widget, name] : names)
        widget->setAccessibleName(name);
}

void startTextProbe(const QString &file)
{
    auto *timer = new QTimer(qApp);
    auto last = std::make_shared<std::optional<QString>>();
    QObject::connect(timer, &QTimer::timeout, qApp, [file, last] {
        const QWidget *focus = QApplication::focusWidget();
        QString text;
        if (const auto *line = qobject_cast<const QLineEdit *>(focus))
            text = line->text();
        else if (const auto *combo = qobject_cast<const QComboBox *>(focus))
            text = combo->currentText();
        else if (const auto *plain = qobject_cast<const QPlainTextEdit *>(focus))
            text = plain->toPlainText();
        else if (const auto *rich = qobject_cast<const QTextEdit *>(focus))
            text = rich->toPlainText();
        else if (const auto *box = qobject_cast<const QCheckBox *>(focus))
            text = box->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
        // An open menu: its items; a message box: its words.
        if (const auto *menu = qobject_cast<const QMenu *>(QApplication::activePopupWidget())) {
            QStringList items;
            for (const QAction *a : menu->actions())
                if (!a->isSeparator())
                    items << a->text();
            text = items.join(u'|');
        } else if (const auto *message = focus ? qobject_cast<const QMessageBox *>(focus->window()) : nullptr) {
            text = message->text();
        }
        // The field's name on the first line, then its text.
        text = (focus ? focus->objectName() : QString()) + u'\n' + text;
        if (*last == text)
            return;
        QFile out(file);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(text.toUtf8()) >= 0)
            *last = text;
    });
    timer->start(20);
}

} // namespace platform
