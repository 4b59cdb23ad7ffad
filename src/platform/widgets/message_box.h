#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace platform {

// A modal box with one line of text, an OK button, no icon, and the application's title
// "tarumin" as its caption. Returns when the user has closed it. A screen reader hears the
// box named with the window it belongs to.
// Details, when given, are behind the box's details button (a list of files, say).
void showMessage(QWidget *parent, const QString &text, const QString &details = QString());

// A question with はい and いいえ, いいえ the default (Enter and Esc both leave things as they
// are). True for はい.
bool askYesNo(QWidget *parent, const QString &text);

// A message with a button that offers to do something about it ("場所を探す…") and 閉じる, the
// default. True when the user chose the action. Tests answer it as a question.
bool offerAction(QWidget *parent, const QString &text, const QString &action);

// Lets tests see the messages instead of boxes (the text, then a blank line and the details
// when there are some); pass nothing to restore the real box.
using MessageHandler = std::function<void(const QString &text)>;
void setMessageHandler(MessageHandler handler);
// Lets tests answer the questions; pass nothing to restore the real box.
using QuestionHandler = std::function<bool(const QString &text)>;
void setQuestionHandler(QuestionHandler handler);

} // namespace platform
