#include "mci_control.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace platform {

namespace {
bool &audibleFlag()
{
    static bool audible = true;
    return audible;
}

QString yesNo(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

void MciControl::setAudible(bool audible)
{
    audibleFlag() = audible;
}

MciControl::MciControl(QObject *parent) : QObject(parent) {}

MciControl::~MciControl() = default;

void MciControl::setDeviceType(const QString &type)
{
    trace_ << QStringLiteral("DeviceType=") + type;
    deviceType_ = type;
}

void MciControl::setFileName(const QString &path)
{
    trace_ << QStringLiteral("FileName=") + path;
    fileName_ = path;
}

void MciControl::setNotify(bool on)
{
    trace_ << QStringLiteral("Notify=") + yesNo(on);
}

void MciControl::setWait(bool on)
{
    // Playing never waits for the end of a sound: the window must stay responsive.
    trace_ << QStringLiteral("Wait=") + yesNo(on);
}

void MciControl::setShareable(bool on)
{
    trace_ << QStringLiteral("Shareable=") + yesNo(on);
}

void MciControl::open()
{
    if (!audibleFlag() || !QFileInfo(fileName_).isFile())
        return;
    if (!effect_)
        effect_ = new QSoundEffect(this);
    const QUrl url = QUrl::fromLocalFile(fileName_);
    if (effect_->source() != url)
        effect_->setSource(url);
}

void MciControl::setCommand(const QString &command)
{
    trace_ << QStringLiteral("Command=") + command;
    if (command == QLatin1String("Open")) {
        open();
    } else if (command == QLatin1String("Sound")) {
        if (effect_ && audibleFlag() && effect_->source() == QUrl::fromLocalFile(fileName_))
            effect_->play();
    } else if (command == QLatin1String("Close")) {
        delete effect_;
        effect_ = nullptr;
    }
}

} // namespace platform
