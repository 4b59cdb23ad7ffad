#include "main_window/form1.h"
#include "platform/system/paths.h"
#include "platform/system/translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarumin"));
    platform::installJapaneseTranslations(app);
    Form1 window(platform::programFolder());
    window.show();
    return app.exec();
}
