#include "mci_control.h"

#include "platform/system/file_read.h"
#include "platform/system/modules.h"

#include <QFile>
#include <QtEndian>

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

// The longest sound file read: the program's sounds are short effects.
constexpr qint64 MaxWaveBytes = 16 * 1024 * 1024;
} // namespace

std::optional<WaveSound> parseWave(const QByteArray &file)
{
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return std::nullopt;
    WaveSound sound;
    bool haveFormat = false;
    qsizetype pos = 12;
    while (pos + 8 <= file.size()) {
        const QByteArray id = file.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(file.constData() + pos + 4);
        const qsizetype body = pos + 8;
        const qsizetype available = qMin<qsizetype>(size, file.size() - body);
        if (id == "fmt ") {
            if (available < 16)
                return std::nullopt;
            const char *f = file.constData() + body;
            const quint16 format = qFromLittleEndian<quint16>(f);
            sound.channels = qFromLittleEndian<quint16>(f + 2);
            sound.sampleRate = int(qFromLittleEndian<quint32>(f + 4));
            sound.bitsPerSample = qFromLittleEndian<quint16>(f + 14);
            if (format != 1 || sound.channels < 1 || sound.channels > 2 || sound.sampleRate <= 0
                || (sound.bitsPerSample != 8 && sound.bitsPerSample != 16))
                return std::nullopt;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return std::nullopt;
            sound.samples = file.mid(body, available);
            const int frame = sound.channels * sound.bitsPerSample / 8;
            sound.samples.truncate(sound.samples.size() - sound.samples.size() % frame);
            return sound;
        }
        pos = body + qsizetype(size) + (size & 1);
    }
    return std::nullopt;
}

void MciControl::setAudible(bool audible)
{
    audibleFlag() = audible;
}

SoundOutput *loadSoundOutput()
{
    if (auto make = reinterpret_cast<MakeSoundOutput>(moduleFunction(SoundModuleName, MakeSoundOutputSymbol)))
        return make();
    return nullptr;
}

MciControl::MciControl(QObject *parent) : QObject(parent) {}

MciControl::~MciControl()
{
    stop();
}

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

void MciControl::setCommand(const QString &command)
{
    trace_ << QStringLiteral("Command=") + command;
    if (command == QLatin1String("Open"))
        open();
    else if (command == QLatin1String("Sound"))
        play();
    else if (command == QLatin1String("Close"))
        stop();
}

void MciControl::open()
{
    openedFile_.clear();
    if (!audibleFlag())
        return;
    // A link to /dev/zero or a pipe is not a sound: only plain files, read no further than the
    // longest effect.
    const FileRead read = readPlainFile(fileName_, MaxWaveBytes);
    if (read.ok())
        openedFile_ = read.data;
}

void MciControl::play()
{
    stop();
    if (!audibleFlag() || openedFile_.isEmpty())
        return;
    const auto sound = parseWave(openedFile_);
    if (!sound)
        return;
    if (!output_) {
        output_.reset(loadSoundOutput());
        if (!output_)
            return;
    }
    output_->play(*sound);
}

void MciControl::stop()
{
    if (output_)
        output_->stop();
}

} // namespace platform
