#include "message_box.h"

#include <QMessageBox>

namespace platform {

namespace {
MessageHandler &handler()
{
    static MessageHandler h;
    return h;
}
} // namespace

void setMessageHandler(MessageHandler h)
{
    handler() = std::move(h);
}

void showMessage(QWidget *parent, const QString &text)
{
    if (handler()) {
        handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("tarumin"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace platform
