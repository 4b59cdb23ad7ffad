#include "main_window/form1.h"
#include "platform/system/paths.h"
#include "platform/system/translations.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarumin"));
    Form1 window(platform::programFolder());
    window.show();
    // Qt's own texts are needed by the first message box or file picker, not by the window:
    // they are read once it is up.
    QTimer::singleShot(0, &app, [&app] { platform::installJapaneseTranslations(app); });
    return app.exec();
}
