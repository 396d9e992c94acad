// The wave-out device. There is no audio output on this platform yet, so
// every piece is refused as a machine without a sound card would refuse it.
#include "WaveOut.h"

#include "EngineState.h"

int PlayBuffer(AudioBuffer& buffer, bool) {
    buffer.Free();
    return kNoDevice;
}

int PauseDevice() { return kDeviceError; }

int ResumeDevice() { return kDeviceError; }

int ResetDevice() { return kOk; }
