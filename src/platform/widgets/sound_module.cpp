// The module tarumin-sound: plays sounds through Qt Multimedia. Loaded by the program at its
// first sound, so that the audio stack and the libraries it pulls in stay out of its start-up.
#include "sound_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

#include <memory>

namespace {

class QtSoundOutput : public platform::SoundOutput
{
public:
    void play(const platform::WaveSound &sound) override
    {
        stop();
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return;
        QAudioFormat format;
        format.setSampleRate(sound.sampleRate);
        format.setChannelCount(sound.channels);
        format.setSampleFormat(sound.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
        if (!device.isFormatSupported(format))
            return;
        buffer_ = std::make_unique<QBuffer>();
        buffer_->setData(sound.samples);
        buffer_->open(QIODevice::ReadOnly);
        sink_ = std::make_unique<QAudioSink>(device, format);
        sink_->start(buffer_.get());
    }

    void stop() override
    {
        if (sink_)
            sink_->stop();
        sink_.reset();
        buffer_.reset();
    }

    ~QtSoundOutput() override { stop(); }

private:
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

} // namespace

extern "C" Q_DECL_EXPORT platform::SoundOutput *tarumin_make_sound_output()
{
    return new QtSoundOutput;
}
