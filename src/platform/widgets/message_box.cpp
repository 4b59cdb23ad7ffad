#include "message_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {
// The message boxes' own words, written in Japanese.
struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(MessageBox)
};
} // namespace


namespace {
MessageHandler &handler()
{
    static MessageHandler h;
    return h;
}
QuestionHandler &questionHandler()
{
    static QuestionHandler h;
    return h;
}

// "tarumin" alone tells a screen reader's user nothing: the box is named with its window.
void nameForScreenReaders(QMessageBox &box, QWidget *parent, const QString &text)
{
    const QString window = parent && parent->window() ? parent->window()->windowTitle() : QString();
    box.setAccessibleName(window.isEmpty() ? QStringLiteral("tarumin")
                                           : Tr::tr("tarumin（%1）").arg(window));
    box.setAccessibleDescription(text);
}
} // namespace

void setMessageHandler(MessageHandler h)
{
    handler() = std::move(h);
}

void setQuestionHandler(QuestionHandler h)
{
    questionHandler() = std::move(h);
}

void showMessage(QWidget *parent, const QString &text, const QString &details)
{
    if (handler()) {
        handler()(details.isEmpty() ? text : text + QStringLiteral("\n\n") + details);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("tarumin"), text, QMessageBox::Ok, parent);
    nameForScreenReaders(box, parent, text);
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.exec();
}

bool askYesNo(QWidget *parent, const QString &text)
{
    if (questionHandler())
        return questionHandler()(text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("tarumin"), text, QMessageBox::NoButton, parent);
    nameForScreenReaders(box, parent, text);
    // Y and N answer from the keyboard, as on Japanese Windows.
    QPushButton *yes = box.addButton(Tr::tr("はい(&Y)"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(Tr::tr("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool offerAction(QWidget *parent, const QString &text, const QString &action)
{
    if (questionHandler())
        return questionHandler()(text);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("tarumin"), text, QMessageBox::NoButton, parent);
    nameForScreenReaders(box, parent, text);
    QPushButton *act = box.addButton(action, QMessageBox::ActionRole);
    QPushButton *close = box.addButton(Tr::tr("閉じる"), QMessageBox::RejectRole);
    box.setDefaultButton(close);
    box.setEscapeButton(close);
    box.exec();
    return box.clickedButton() == act;
}

} // namespace platform
