// The module tarumin-sound on Windows: plays sounds through the system's own player (winmm),
// so that Windows needs no audio library of ours. Loaded at the first sound, as elsewhere.
#include "sound_output.h"

#include <QtEndian>

#include <windows.h>
#include <mmsystem.h>

namespace {

class WindowsSoundOutput : public platform::SoundOutput
{
public:
    void play(const platform::WaveSound &sound) override
    {
        stop();
        // The player takes a whole WAV file from memory; it must live while it plays.
        const int blockAlign = sound.channels * sound.bitsPerSample / 8;
        QByteArray wave;
        auto u32 = [&](quint32 v) { v = qToLittleEndian(v); wave.append(reinterpret_cast<const char *>(&v), 4); };
        auto u16 = [&](quint16 v) { v = qToLittleEndian(v); wave.append(reinterpret_cast<const char *>(&v), 2); };
        wave.append("RIFF", 4);
        u32(quint32(36 + sound.samples.size()));
        wave.append("WAVEfmt ", 8);
        u32(16);
        u16(1); // PCM
        u16(quint16(sound.channels));
        u32(quint32(sound.sampleRate));
        u32(quint32(sound.sampleRate * blockAlign));
        u16(quint16(blockAlign));
        u16(quint16(sound.bitsPerSample));
        wave.append("data", 4);
        u32(quint32(sound.samples.size()));
        wave.append(sound.samples);
        playing_ = wave;
        PlaySoundW(reinterpret_cast<LPCWSTR>(playing_.constData()), nullptr,
                   SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
    }

    void stop() override
    {
        PlaySoundW(nullptr, nullptr, 0);
        playing_.clear();
    }

    ~WindowsSoundOutput() override { stop(); }

private:
    QByteArray playing_;
};

} // namespace

extern "C" Q_DECL_EXPORT platform::SoundOutput *tarumin_make_sound_output()
{
    return new WindowsSoundOutput;
}
