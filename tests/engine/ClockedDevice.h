// A wave-out device for tests: it plays on a clock that the test moves by
// hand, records every buffer it was given, and fails on request. Also the
// host's side of the notification descriptor.
#pragma once

#include <poll.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "falavoz32.h"
#include "voice/AudioDevice.h"
#include "voice/WaveOut.h"

class ClockedDevice : public AudioDevice {
public:
    struct Piece {
        std::vector<uint8_t> samples;
        int32_t rate = 0;
    };

    ClockedDevice() { UseAudioDevice(this); }
    ~ClockedDevice() override { UseAudioDevice(nullptr); }
    ClockedDevice(const ClockedDevice&) = delete;
    ClockedDevice& operator=(const ClockedDevice&) = delete;

    // Every buffer started, in order.
    std::vector<Piece> pieces;
    int opens = 0, closes = 0, resets = 0;
    bool open = false, playing = false, paused = false;

    // Settings.
    bool installed = true;
    bool playInstantly = false;  // each buffer is done as soon as it starts
    int openResult = FV_OK;
    int startResult = FV_OK;
    int pauseResult = FV_OK;
    int resetResult = FV_OK;
    int closeResult = FV_OK;  // a failure while playing
    int failOpenAt = -1;      // the open (counted from 0) that returns openResult; -1: every one

    bool Installed() override { return installed; }

    int Open(int32_t rate) override {
        const int number = opens++;
        if (openResult != FV_OK && (failOpenAt < 0 || failOpenAt == number)) return openResult;
        open = true;
        rate_ = rate;
        return FV_OK;
    }

    int Start(const uint8_t* samples, size_t bytes, Completion done) override {
        if (startResult != FV_OK) return startResult;
        pieces.push_back({std::vector<uint8_t>(samples, samples + bytes), rate_});
        done_ = done;
        played_ = 0;
        playing = true;
        paused = false;
        if (playInstantly) Finish();
        return FV_OK;
    }

    int Pause() override {
        if (pauseResult == FV_OK) paused = true;
        return pauseResult;
    }
    int Resume() override {
        if (pauseResult == FV_OK) paused = false;
        return pauseResult;
    }
    int Reset() override {
        ++resets;
        if (resetResult == FV_OK && playing) Finish();
        return resetResult;
    }
    int Close() override {
        ++closes;
        open = playing = false;
        return closeResult;
    }

    // Milliseconds of the current buffer still to play.
    int RemainingMs() const {
        if (!playing || pieces.empty() || rate_ <= 0) return 0;
        const size_t left = pieces.back().samples.size() - played_;
        return static_cast<int>(left * 1000 / (2 * static_cast<size_t>(rate_)));
    }

    // Moves the clock on: the buffer plays (unless paused) and, when it has
    // all played, the completion is posted.
    void Advance(int ms) {
        if (!playing || paused) return;
        const size_t bytes = static_cast<size_t>(ms) * 2 * static_cast<size_t>(rate_) / 1000;
        played_ = std::min(played_ + bytes, pieces.back().samples.size());
        if (played_ == pieces.back().samples.size()) Finish();
    }
    void PlayToTheEnd() { Advance(RemainingMs() + 1); }

private:
    void Finish() {
        playing = false;
        if (done_) done_();
    }

    int32_t rate_ = 0;
    size_t played_ = 0;
    Completion done_ = nullptr;
};

// The host's side: whether the notification descriptor is readable now.
inline bool CompletionPending() {
    pollfd fd = {TTS_GetNotificationFd(), POLLIN, 0};
    return poll(&fd, 1, 0) == 1 && (fd.revents & POLLIN);
}

// What a host's message loop does when the descriptor is readable.
inline bool Pump() {
    if (!CompletionPending()) return false;
    WaveCallback(0, 0, 0, 957, 0);
    return true;
}
