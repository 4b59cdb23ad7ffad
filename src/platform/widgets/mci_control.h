#pragma once

#include "sound_output.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>


namespace platform {

// Stands in for the multimedia control the windows play their sounds through. The windows set
// its properties one at a time, as they always have (device type, file, three switches, then
// commands); "Open" prepares the file, "Sound" plays it without waiting for its end, "Close"
// lets the device go. With no audio device, or a file that is missing or broken, nothing is
// heard and nothing else happens.
class MciControl : public QObject
{
    Q_OBJECT
public:
    explicit MciControl(QObject *parent = nullptr);
    ~MciControl() override;

    void setDeviceType(const QString &type);
    void setFileName(const QString &path);
    void setNotify(bool on);
    void setWait(bool on);
    void setShareable(bool on);
    void setCommand(const QString &command);

    // Every property put so far, "Name=value", in order.
    const QStringList &trace() const { return trace_; }
    const QString &deviceType() const { return deviceType_; }

    // When false, commands are recorded but no sound is played (for tests and benchmarks).
    static void setAudible(bool audible);
    // Whether the sound module has been loaded (it is, at the first sound played).
    bool soundLoaded() const { return output_ != nullptr; }

private:
    void open();
    void play();
    void stop();

    QStringList trace_;
    QString deviceType_;
    QString fileName_;
    QByteArray openedFile_;   // the WAV file read by the last "Open"
    std::unique_ptr<SoundOutput> output_; // made at the first sound
};

// Reads an uncompressed 8- or 16-bit PCM WAV file's contents; nothing for anything else.
std::optional<WaveSound> parseWave(const QByteArray &file);

} // namespace platform
