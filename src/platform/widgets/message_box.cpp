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

void showMessage(QWidget *parent, const QString &text, const QString &details)
{
    if (handler()) {
        handler()(details.isEmpty() ? text : text + QStringLiteral("\n\n") + details);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("tarumin"), text, QMessageBox::Ok, parent);
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.exec();
}

} // namespace platform
