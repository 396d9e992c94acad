// The wave-out device as the engine drives it: opened for one buffer of
// 16-bit mono samples, which plays while the engine goes on. When the buffer
// has played, or the device was reset, or it failed while playing, the device
// calls the completion it was given, once, from whatever thread plays it.
#pragma once

#include <cstddef>
#include <cstdint>

class AudioDevice {
public:
    using Completion = void (*)();

    virtual ~AudioDevice() = default;

    // Whether the system has an output device at all.
    virtual bool Installed() = 0;
    // Opens the device at rate samples a second: 0, or -9 (held by another
    // program), -10, -12 (format refused), -13 (no device), -15 (no memory).
    // After a failure the device is closed.
    virtual int Open(int32_t rate) = 0;
    // Starts playing; samples stay valid until Close. 0, or -11 when the
    // buffer cannot be queued, or -14 when the system cannot prepare it
    // (then done is never called).
    virtual int Start(const uint8_t* samples, size_t bytes, Completion done) = 0;
    // 0, or -14. The paused buffer keeps its place and plays on after Resume.
    virtual int Pause() = 0;
    virtual int Resume() = 0;
    // Drops what has not played yet; the completion follows at once. On this
    // platform safe to call from a signal handler. 0, or -14.
    virtual int Reset() = 0;
    // Waits until the buffer is done and closes the device. 0, or -11 when
    // the device failed while playing.
    virtual int Close() = 0;
};

// The platform's wave-out device (ALSA on Linux, winmm on Windows).
AudioDevice& SystemAudioDevice();
