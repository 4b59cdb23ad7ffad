#include "form3.h"

#include "platform/widgets/controls.h"
#include "platform/widgets/twips.h"

#include <QLineEdit>

using platform::twips;

Form3::Form3(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("変数受け渡し＆デバック"));
    setFixedSize(4680 / platform::TwipsPerPixel, 3195 / platform::TwipsPerPixel);
    damy1 = platform::makeTextBox(this, "damy1", QString(), twips(120, 120, 4455, 270));
    damy2 = platform::makeTextBox(this, "damy2", QStringLiteral("Text2"), twips(120, 480, 4455, 270));
    damy3 = platform::makeTextBox(this, "damy3", QStringLiteral("Text3"), twips(120, 840, 4455, 270));
    setTabOrder(damy1, damy2);
    setTabOrder(damy2, damy3);
}

void Form3::setEntryMode(int mode)
{
    damy1->setText(QString::number(mode));
}

void Form3::setEntryIndex(int index)
{
    damy2->setText(QString::number(index));
}

QString Form3::entryModeText() const
{
    return damy1->text();
}

QString Form3::entryIndexText() const
{
    return damy2->text();
}
