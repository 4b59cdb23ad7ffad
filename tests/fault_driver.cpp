// Runs the main window on a program folder and does one change through it, as a user would,
// printing every message the user would see. The fault tests run it with the disk or the
// file system set up to fail.
//
//   fault_driver FOLDER delete ROW | register NAME
// Prints "MESSAGE <text>" for each message, then "TABLE <hex>" with the main window's table
// as it would be written, so the caller can compare it with the file.
#include "entry_dialog/entry_dialog.h"
#include "main_window/main_window.h"
#include "platform/widgets/mci_control.h"
#include "platform/widgets/message_box.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4)
        return 2;
    platform::MciControl::setAudible(false);
    platform::setMessageHandler([](const QString &text) {
        std::printf("MESSAGE %s\n", text.toUtf8().constData());
        std::fflush(stdout);
    });
    platform::setQuestionHandler([](const QString &text) {
        std::printf("QUESTION %s\n", text.toUtf8().constData());
        std::fflush(stdout);
        return true;
    });

    MainWindow form(QString::fromLocal8Bit(argv[1]));
    form.show();
    QCoreApplication::processEvents();
    const QByteArray action = argv[2];
    if (action == "delete") {
        auto *list = form.findChild<QListView *>(QStringLiteral("List1"));
        list->setCurrentIndex(list->model()->index(atoi(argv[3]), 0));
        form.findChild<QPushButton *>(QStringLiteral("Sakujyo_bot"))->click();
    } else if (action == "register") {
        form.findChild<QPushButton *>(QStringLiteral("Touroku_bot"))->click();
        EntryDialog *dialog = form.entryDialogIfLoaded();
        dialog->findChild<QLineEdit *>(QStringLiteral("GameName"))->setText(QString::fromUtf8(argv[3]));
        dialog->findChild<QLineEdit *>(QStringLiteral("GameFileName"))->setText(QStringLiteral("newgame"));
        dialog->findChild<QComboBox *>(QStringLiteral("slot"))->setCurrentIndex(0);
        dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        std::printf("DIALOG %s\n", dialog->isVisible() ? "open" : "hidden");
        std::printf("MAIN %s\n", form.isEnabled() ? "enabled" : "disabled");
    } else {
        return 2;
    }
    QCoreApplication::processEvents();
    form.activate(); // read the file again, as the window does when it becomes active
    QCoreApplication::processEvents();
    std::printf("TABLE %s\n", form.table().serialise().toHex().constData());
    return 0;
}
