// The wave-out device: one buffer queued at a time, opened for it and closed
// when it has played.
#include "voice/WaveOut.h"

#include <atomic>
#include <utility>

#include "core/EngineState.h"
#include "voice/AudioDevice.h"
#include "voice/frmAux.h"

namespace {

enum class Queued { None, Synchronous, Asynchronous };

// The one queued buffer. `queued` is atomic because a signal handler may
// look at it (ResetDevice during a synchronous wait).
struct Playback {
    AudioBuffer buffer;
    std::atomic<Queued> queued{Queued::None};
    PlayedContinuation whenPlayed = nullptr;
} playback;

AudioDevice* testDevice = nullptr;

// Closes the device and frees the buffer, once. The code of a failure while
// playing, else 0.
int Release() {
    if (playback.queued.exchange(Queued::None) == Queued::None) return kOk;
    int error = CurrentAudioDevice().Close();
    playback.buffer.Free();  // after Close: the device reads it until then
    return error;
}

void CompleteBuffer() {
    const Queued was = playback.queued.load();
    if (was == Queued::None) return;
    const PlayedContinuation whenPlayed = playback.whenPlayed;
    playback.whenPlayed = nullptr;
    const int error = Release();
    if (was == Queued::Asynchronous && whenPlayed) whenPlayed(error);
}

}  // namespace

AudioDevice& CurrentAudioDevice() { return testDevice ? *testDevice : SystemAudioDevice(); }
void UseAudioDevice(AudioDevice* device) { testDevice = device; }

bool OutputDeviceInstalled() { return CurrentAudioDevice().Installed(); }

int PlayBuffer(AudioBuffer& buffer, bool asynchronous, PlayedContinuation whenPlayed) {
    AudioBuffer piece = std::move(buffer);
    buffer.Free();
    if (playback.queued.load() != Queued::None) return kDeviceWriteError;  // one buffer at a time
    if (!AuxFormReady()) return kDeviceOpenError;
    AudioDevice& device = CurrentAudioDevice();
    int result = device.Open(Engine.playbackRate);
    if (result != kOk) return result;
    // A stop that came while this piece was rendered: it is not played.
    if (!asynchronous && Engine.stopRequested) {
        device.Close();
        return kOk;
    }
    playback.buffer = std::move(piece);
    playback.whenPlayed = asynchronous ? whenPlayed : nullptr;
    playback.queued = asynchronous ? Queued::Asynchronous : Queued::Synchronous;
    result = device.Start(playback.buffer.data.get(), playback.buffer.length, PostWaveDone);
    if (result != kOk) {
        Release();
        return result;
    }
    if (asynchronous) return kOk;
    WaitForWaveDone();
    return Release();
}

int PauseDevice() { return playback.queued.load() == Queued::None ? kOk : CurrentAudioDevice().Pause(); }

int ResumeDevice() { return playback.queued.load() == Queued::None ? kOk : CurrentAudioDevice().Resume(); }

int ResetDevice() {
    const int result = CurrentAudioDevice().Reset();
    if (result == kOk && playback.queued.load() == Queued::Asynchronous) {
        WaitForWaveDone();
        CompleteBuffer();
    }
    return result;
}

void HandleWaveOutDone() {
    if (TakeWaveDone()) CompleteBuffer();
}
