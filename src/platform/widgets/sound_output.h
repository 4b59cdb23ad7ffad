#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The sound of a WAV file in a form an audio output takes, and the output that plays it. The
// output lives in a module of its own (tarumin-sound), loaded at the first sound: the audio
// libraries it brings in are never loaded before the window is up, nor at all in a run that
// plays nothing.
namespace platform {

struct WaveSound
{
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    QByteArray samples;
};

class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // Starts playing, without waiting for the end; a sound playing is stopped first. With no
    // audio device, or a format it does not take, nothing is heard.
    virtual void play(const WaveSound &sound) = 0;
    virtual void stop() = 0;
};

// The module's one entry point.
using MakeSoundOutput = SoundOutput *(*)();
inline constexpr char MakeSoundOutputSymbol[] = "tarumin_make_sound_output";
inline constexpr char SoundModuleName[] = "tarumin-sound";

// Loads the module (platform::moduleFunction) and makes an output; nothing when no module folder
// has it (the program then plays no sound).
SoundOutput *loadSoundOutput();

} // namespace platform
