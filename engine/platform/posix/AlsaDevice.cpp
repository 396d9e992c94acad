// The wave-out device on ALSA. The device named by FALAVOZ_ALSA_DEVICE (else
// "default") is opened for each buffer. A thread of the device's own feeds it
// the samples, a period at a time, and answers pause and resume between
// periods; it never runs engine code, it only calls the completion.
#include "AlsaDevice.h"

#include <alsa/asoundlib.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "core/EngineState.h"
#include "voice/AudioDevice.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long the feeding thread sleeps at most before it looks at its requests.
constexpr int kStepMs = 20;
// A device that takes no samples for this long has failed.
constexpr auto kStallLimit = std::chrono::seconds(5);
// The latency asked of ALSA: short enough for pause and stop to feel at once.
constexpr unsigned kLatencyUs = 100000;
constexpr size_t kBytesPerFrame = 2;  // 16-bit mono
// The frames written at once when the device does not say its buffer size.
constexpr size_t kFallbackBufferFrames = 1600;

// ALSA's own messages would go to the host's standard error; the engine
// reports its result codes instead.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

std::string DeviceName() {
    const char* name = std::getenv("FALAVOZ_ALSA_DEVICE");
    return name && *name ? name : "default";
}

}  // namespace

int AlsaOpenErrorCode(int error) {
    switch (-error) {
        case EBUSY:
        case EAGAIN:
            return kDeviceBusy;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return kNoDevice;
        case ENOMEM:
            return kDeviceNoMemory;
        default:
            return kDeviceOpenError;
    }
}

namespace {

class AlsaDevice final : public AudioDevice {
public:
    AlsaDevice() { snd_lib_error_set_handler(QuietAlsaErrors); }
    ~AlsaDevice() override {
        Reset();
        Close();
    }

    bool Installed() override {
        snd_pcm_t* probe = nullptr;
        int error = snd_pcm_open(&probe, DeviceName().c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        if (error == 0) snd_pcm_close(probe);
        return error == 0 || AlsaOpenErrorCode(error) != kNoDevice;
    }

    int Open(int32_t rate) override {
        Close();
        // Non-blocking, so that a device held by another program is reported
        // at once instead of waited for.
        int error = snd_pcm_open(&pcm_, DeviceName().c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        if (error < 0) {
            pcm_ = nullptr;
            return AlsaOpenErrorCode(error);
        }
        // Resampling allowed: a playback rate the card lacks still plays the
        // samples at that rate.
        error = snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                   rate > 0 ? static_cast<unsigned>(rate) : 0, 1, kLatencyUs);
        if (error < 0) {
            snd_pcm_close(pcm_);
            pcm_ = nullptr;
            return error == -ENOMEM ? kDeviceNoMemory : kFormatUnsupported;
        }
        snd_pcm_uframes_t bufferFrames = 0, periodFrames = 0;
        if (snd_pcm_get_params(pcm_, &bufferFrames, &periodFrames) < 0 || bufferFrames == 0)
            bufferFrames = kFallbackBufferFrames;
        bufferFrames_ = bufferFrames;
        resetsAtOpen_ = resets_.load();
        finished_ = false;
        paused_ = false;
        request_ = Request::None;
        playError_ = kOk;
        return kOk;
    }

    int Start(const uint8_t* samples, size_t bytes, Completion done) override {
        if (!pcm_) return kDeviceWriteError;
        samples_ = samples;
        frames_ = bytes / kBytesPerFrame;
        done_ = done;
        // The thread takes no signals: the host's handlers run on its own threads.
        sigset_t all, previous;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous);
        int result = kOk;
        try {
            feeder_ = std::thread(&AlsaDevice::Feed, this);
        } catch (const std::system_error&) {
            result = kDeviceWriteError;
        }
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        return result;
    }

    int Pause() override { return Ask(Request::Pause); }
    int Resume() override { return Ask(Request::Resume); }

    int Reset() override {
        resets_.fetch_add(1);  // lock-free: the feeding thread sees it within a step
        return kOk;
    }

    int Close() override {
        if (feeder_.joinable()) feeder_.join();
        if (pcm_) snd_pcm_close(pcm_);
        pcm_ = nullptr;
        return playError_;
    }

private:
    enum class Request { None, Pause, Resume };

    bool ResetRequested() const { return resets_.load() != resetsAtOpen_; }

    // Hands a request to the feeding thread and waits for its answer.
    int Ask(Request request) {
        std::unique_lock lock(mutex_);
        if (!pcm_ || !feeder_.joinable() || finished_) return kOk;  // nothing left playing
        request_ = request;
        changed_.notify_all();
        changed_.wait(lock, [&] { return request_ == Request::None || finished_; });
        return finished_ && request_ != Request::None ? kOk : answer_;
    }

    // Pausing drops what the device holds and steps back over the frames it
    // had not played yet, so they play after Resume. This works on every
    // device, whether or not it can pause itself.
    int PauseNow() {
        snd_pcm_sframes_t pending = 0;
        if (snd_pcm_delay(pcm_, &pending) < 0) pending = 0;
        pending = std::clamp<snd_pcm_sframes_t>(pending, 0, static_cast<snd_pcm_sframes_t>(written_));
        if (snd_pcm_drop(pcm_) < 0 || snd_pcm_prepare(pcm_) < 0) return kDeviceError;
        written_ -= static_cast<size_t>(pending);
        paused_ = true;
        return kOk;
    }

    // Answers a pending request; waits while paused. False when the device
    // was reset meanwhile.
    bool AnswerRequests() {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (ResetRequested()) return false;
            if (request_ != Request::None) {
                if (request_ == Request::Pause) {
                    answer_ = paused_ ? kOk : PauseNow();
                } else {
                    answer_ = kOk;
                    paused_ = false;
                    lastProgress_ = Clock::now();
                }
                request_ = Request::None;
                changed_.notify_all();
            }
            if (!paused_) return true;
            changed_.wait_for(lock, std::chrono::milliseconds(kStepMs));
        }
    }

    bool Stalled() const { return Clock::now() - lastProgress_ > kStallLimit; }

    // One step of feeding: writes what the device takes, at most a buffer's
    // worth. A device that takes everything (a pipe behind ALSA's file
    // plugin) would otherwise hold the thread in one call until the whole
    // piece has gone, deaf to pause and stop.
    bool WriteStep() {
        const size_t step = std::min(frames_ - written_, bufferFrames_);
        snd_pcm_sframes_t n = snd_pcm_writei(pcm_, samples_ + written_ * kBytesPerFrame, step);
        if (n == -EAGAIN) {
            snd_pcm_wait(pcm_, kStepMs);
            if (Stalled()) playError_ = kDeviceWriteError;
            return playError_ == kOk;
        }
        if (n < 0) n = snd_pcm_recover(pcm_, static_cast<int>(n), 1);
        if (n < 0) {
            playError_ = kDeviceWriteError;
            return false;
        }
        written_ += static_cast<size_t>(n);
        if (n > 0) lastProgress_ = Clock::now();
        return true;
    }

    // One step of waiting for the written samples to play out. False when done.
    bool DrainStep() {
        snd_pcm_state_t state = snd_pcm_state(pcm_);
        // Less than a buffer's worth never reached the start threshold.
        if (state == SND_PCM_STATE_PREPARED) return snd_pcm_start(pcm_) == 0;
        if (state != SND_PCM_STATE_RUNNING) return false;
        snd_pcm_sframes_t pending = 0;
        if (snd_pcm_delay(pcm_, &pending) < 0 || pending <= 0) return false;
        if (pending < lastPending_) lastProgress_ = Clock::now();
        lastPending_ = pending;
        if (Stalled()) {
            playError_ = kDeviceWriteError;
            return false;
        }
        std::unique_lock lock(mutex_);
        if (request_ == Request::None) changed_.wait_for(lock, std::chrono::milliseconds(kStepMs));
        return true;
    }

    void Feed() {
        written_ = 0;
        lastPending_ = 0;
        lastProgress_ = Clock::now();
        for (;;) {
            if (!AnswerRequests()) {
                snd_pcm_drop(pcm_);
                break;
            }
            if (!(written_ < frames_ ? WriteStep() : DrainStep())) break;
        }
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
            changed_.notify_all();
        }
        if (done_) done_();
    }

    snd_pcm_t* pcm_ = nullptr;
    std::thread feeder_;
    const uint8_t* samples_ = nullptr;
    size_t frames_ = 0;
    size_t written_ = 0;
    size_t bufferFrames_ = kFallbackBufferFrames;  // the device's buffer, in frames
    snd_pcm_sframes_t lastPending_ = 0;
    Clock::time_point lastProgress_;
    Completion done_ = nullptr;
    int playError_ = kOk;

    std::mutex mutex_;
    std::condition_variable changed_;
    Request request_ = Request::None;
    int answer_ = kOk;
    bool paused_ = false;
    bool finished_ = false;

    std::atomic<uint32_t> resets_{0};
    uint32_t resetsAtOpen_ = 0;
};

}  // namespace

AudioDevice& SystemAudioDevice() {
    static AlsaDevice device;
    return device;
}
