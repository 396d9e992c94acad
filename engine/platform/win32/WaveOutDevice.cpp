// The wave-out device of winmm: one buffer at a time, opened for it at the
// playback rate, its completion posted to the window of TFVAUX.
#include <windows.h>
// mmsystem.h builds on windows.h.
#include <mmsystem.h>

#include "AuxWindow.h"
#include "core/EngineState.h"
#include "voice/AudioDevice.h"

namespace {

// The engine's code for a failure of waveOutOpen.
int OpenErrorCode(MMRESULT error) {
    switch (error) {
        case MMSYSERR_ALLOCATED:
            return kDeviceBusy;
        case MMSYSERR_NODRIVER:
            return kNoDevice;
        case MMSYSERR_NOMEM:
            return kDeviceNoMemory;
        case WAVERR_BADFORMAT:
            return kFormatUnsupported;
        default:
            return kDeviceOpenError;
    }
}

class WaveOutDevice : public AudioDevice {
public:
    bool Installed() override { return waveOutGetNumDevs() > 0; }

    int Open(int32_t rate) override {
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = static_cast<DWORD>(rate);
        format.nAvgBytesPerSec = static_cast<DWORD>(rate) * 2;
        format.nBlockAlign = 2;
        format.wBitsPerSample = 16;
        format.cbSize = 0;
        const MMRESULT result = waveOutOpen(&device_, WAVE_MAPPER, &format,
                                            reinterpret_cast<DWORD_PTR>(AuxWindow()), 0, CALLBACK_WINDOW);
        if (result == MMSYSERR_NOERROR) return kOk;
        device_ = nullptr;
        return OpenErrorCode(result);
    }

    // The system posts the completion to the window of TFVAUX, whose window
    // procedure passes it on: done has no part here.
    int Start(const uint8_t* samples, size_t bytes, Completion) override {
        header_ = {};
        header_.lpData = reinterpret_cast<LPSTR>(const_cast<uint8_t*>(samples));
        header_.dwBufferLength = static_cast<DWORD>(bytes);
        header_.dwBytesRecorded = 0;
        header_.dwUser = 0;
        header_.dwFlags = 0;
        header_.dwLoops = 1;
        if (waveOutPrepareHeader(device_, &header_, sizeof header_) != MMSYSERR_NOERROR) return kDeviceError;
        if (waveOutWrite(device_, &header_, sizeof header_) != MMSYSERR_NOERROR) return kDeviceWriteError;
        return kOk;
    }

    int Pause() override { return Checked(waveOutPause); }
    int Resume() override { return Checked(waveOutRestart); }
    int Reset() override { return Checked(waveOutReset); }

    // Called once the buffer is back (or was never queued): both calls also
    // when nothing was prepared or opened, their results ignored.
    int Close() override {
        waveOutUnprepareHeader(device_, &header_, sizeof header_);
        waveOutClose(device_);
        device_ = nullptr;
        header_ = {};
        return kOk;
    }

private:
    // Nothing open, nothing to act on (a stop between two pieces).
    int Checked(MMRESULT(WINAPI* act)(HWAVEOUT)) const {
        if (!device_) return kOk;
        return act(device_) == MMSYSERR_NOERROR ? kOk : kDeviceError;
    }

    HWAVEOUT device_ = nullptr;
    WAVEHDR header_ = {};
};

}  // namespace

AudioDevice& SystemAudioDevice() {
    static WaveOutDevice device;
    return device;
}
