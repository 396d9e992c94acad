// The wave-out device on ALSA, against ALSA's own "null" and "file" devices:
// the captured bytes are the samples played, completions arrive once through
// the notification descriptor, and failures map onto the engine's codes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "EngineTest.h"
#include "FileBytes.h"
#include "core/EngineState.h"
#include "falavoz32.h"
#include "posix/AlsaDevice.h"
#include "voice/AudioDevice.h"
#include "voice/WaveOut.h"
#include "voice/frmAux.h"

namespace fs = std::filesystem;

namespace {

// Sets FALAVOZ_ALSA_DEVICE for the life of the object.
class ScopedAlsaDevice {
public:
    explicit ScopedAlsaDevice(const std::string& name) {
        if (const char* old = std::getenv("FALAVOZ_ALSA_DEVICE")) previous_ = old;
        setenv("FALAVOZ_ALSA_DEVICE", name.c_str(), 1);
    }
    ~ScopedAlsaDevice() {
        if (previous_.empty())
            unsetenv("FALAVOZ_ALSA_DEVICE");
        else
            setenv("FALAVOZ_ALSA_DEVICE", previous_.c_str(), 1);
    }

private:
    std::string previous_;
};

// A tone of ms milliseconds at 16 kHz.
AudioBuffer Tone(int ms, double hz = 440) {
    AudioBuffer buffer;
    const size_t samples = static_cast<size_t>(ms) * 16;
    EXPECT_TRUE(buffer.Allocate(samples * 2));
    for (size_t k = 0; k < samples; ++k) {
        const auto value =
            static_cast<int16_t>(8000 * std::sin(2 * M_PI * hz * static_cast<double>(k) / 16000));
        buffer.data[2 * k] = static_cast<uint8_t>(value & 0xFF);
        buffer.data[2 * k + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
    }
    buffer.length = samples * 2;
    return buffer;
}

std::string Bytes(const AudioBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.data.get()), buffer.length);
}

bool WaitForCompletion(int timeoutMs) {
    pollfd fd = {AuxNotificationFd(), POLLIN, 0};
    return poll(&fd, 1, timeoutMs) == 1;
}

class AlsaOutput : public EngineTest {
protected:
    void SetUp() override {
        TakeWaveDone();
        capture_ = fs::temp_directory_path() / ("falavoz-waveout-" + std::to_string(getpid()) + ".raw");
        fs::remove(capture_);
    }
    void TearDown() override { fs::remove(capture_); }
    std::string FileDevice() const { return "file:FILE=" + capture_.string() + ",FORMAT=raw"; }

    fs::path capture_;
};

TEST_F(AlsaOutput, TheFileDeviceCapturesTheSamplesPlayed) {
    ScopedAlsaDevice file(FileDevice());
    for (bool asynchronous : {false, true}) {
        SCOPED_TRACE(asynchronous ? "asynchronous" : "synchronous");
        AudioBuffer tone = Tone(730);
        const std::string expected = Bytes(tone);
        if (asynchronous) {
            // No chain runs after a buffer queued outside one.
            ASSERT_EQ(PlayBuffer(tone, true), FV_OK);
            ASSERT_TRUE(WaitForCompletion(10000));
            HandleWaveOutDone();
        } else {
            ASSERT_EQ(PlayBuffer(tone, false), FV_OK);
        }
        EXPECT_EQ(tone.data, nullptr) << "the device took the buffer";
        EXPECT_FALSE(WaitForCompletion(0)) << "one completion, taken";
        const std::string captured = Slurp(capture_);
        EXPECT_EQ(captured.size(), expected.size());
        EXPECT_TRUE(captured == expected);
    }
}

TEST_F(AlsaOutput, PauseResumeAndResetOnTheNullDevice) {
    ScopedAlsaDevice null("null");
    AudioDevice& device = SystemAudioDevice();
    EXPECT_TRUE(device.Installed());
    AudioBuffer tone = Tone(2000);

    ASSERT_EQ(device.Open(16000), FV_OK);
    ASSERT_EQ(device.Start(tone.data.get(), tone.length, PostWaveDone), FV_OK);
    // The null device takes samples as fast as they come; paused or not, the
    // completion comes once.
    EXPECT_EQ(device.Pause(), FV_OK);
    EXPECT_EQ(device.Resume(), FV_OK);
    ASSERT_TRUE(WaitForCompletion(10000));
    EXPECT_TRUE(TakeWaveDone());
    EXPECT_EQ(device.Pause(), FV_OK) << "nothing left to pause";
    EXPECT_EQ(device.Close(), FV_OK);
    EXPECT_FALSE(TakeWaveDone());

    // A reset gives the buffer back at once.
    ASSERT_EQ(device.Open(16000), FV_OK);
    EXPECT_EQ(device.Reset(), FV_OK);
    ASSERT_EQ(device.Start(tone.data.get(), tone.length, PostWaveDone), FV_OK);
    ASSERT_TRUE(WaitForCompletion(10000));
    EXPECT_EQ(device.Close(), FV_OK);
    EXPECT_TRUE(TakeWaveDone());
}

// ALSA's file device takes every sample at once and writes them into a pipe
// as fast as its reader takes them: pause and reset still answer at once.
TEST_F(AlsaOutput, ADeviceThatTakesEverythingStillPausesAndStopsAtOnce) {
    const fs::path fifo = capture_.string() + ".fifo";
    fs::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // The listener: 100 ms of samples every 100 ms, as a sound card plays them.
    const int pipe = open(fifo.c_str(), O_RDWR);
    ASSERT_GE(pipe, 0);
    fcntl(pipe, F_SETPIPE_SZ, 4096);
    std::atomic<bool> listening{true};
    std::thread listener([&] {
        char chunk[3200];
        while (listening) {
            pollfd readable = {pipe, POLLIN, 0};
            if (poll(&readable, 1, 20) == 1 && read(pipe, chunk, sizeof chunk) < 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    ScopedAlsaDevice device("file:FILE=" + fifo.string() + ",FORMAT=raw");
    AudioBuffer tone = Tone(20000);
    ASSERT_EQ(PlayBuffer(tone, true), FV_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    using Clock = std::chrono::steady_clock;
    auto asked = Clock::now();
    EXPECT_EQ(PauseDevice(), FV_OK);
    EXPECT_LT(Clock::now() - asked, std::chrono::seconds(1));
    EXPECT_EQ(ResumeDevice(), FV_OK);
    asked = Clock::now();
    EXPECT_EQ(ResetDevice(), FV_OK);  // returns when the buffer is back
    EXPECT_LT(Clock::now() - asked, std::chrono::seconds(1));

    listening = false;
    listener.join();
    close(pipe);
    fs::remove(fifo);
}

TEST_F(AlsaOutput, OpenFailuresMapOntoTheEngineCodes) {
    struct Case {
        int error, code;
    };
    for (Case c : {Case{-EBUSY, FV_DEVICE_BUSY}, Case{-ENOENT, FV_NO_DEVICE}, Case{-ENODEV, FV_NO_DEVICE},
                   Case{-ENXIO, FV_NO_DEVICE}, Case{-ENOMEM, FV_DEVICE_NO_MEMORY},
                   Case{-EINVAL, FV_DEVICE_OPEN_ERROR}, Case{-EIO, FV_DEVICE_OPEN_ERROR}})
        EXPECT_EQ(AlsaOpenErrorCode(c.error), c.code) << c.error;

    {
        ScopedAlsaDevice missing("falavoz_no_such_device");
        EXPECT_FALSE(SystemAudioDevice().Installed());
        AudioBuffer tone = Tone(100);
        EXPECT_EQ(PlayBuffer(tone, false), FV_NO_DEVICE);
        EXPECT_EQ(tone.data, nullptr) << "freed";
        EXPECT_FALSE(WaitForCompletion(0));
    }
    {
        ScopedAlsaDevice null("null");
        EXPECT_EQ(SystemAudioDevice().Open(0), FV_FORMAT_UNSUPPORTED);
        EXPECT_EQ(SystemAudioDevice().Close(), FV_OK);
    }
}

TEST_F(AlsaOutput, TheDefaultDeviceIsInstalledExactlyWhenItOpens) {
    unsetenv("FALAVOZ_ALSA_DEVICE");
    AudioDevice& device = SystemAudioDevice();
    const int opened = device.Open(16000);
    device.Close();
    EXPECT_EQ(device.Installed(), opened != FV_NO_DEVICE) << opened;
    if (!fs::exists("/dev/snd") && opened != FV_OK) {
        // No sound card on this machine.
        EXPECT_EQ(opened, FV_NO_DEVICE);
    }
}

TEST_F(AlsaOutput, ThePlaybackRateIsTheDevicesRate) {
    // The file device writing a WAV file says which rate it was opened at.
    ScopedAlsaDevice file("file:FILE=" + capture_.string() + ",FORMAT=wav");
    Engine.playbackRate = 22050;
    AudioBuffer tone = Tone(300);
    const std::string expected = Bytes(tone);
    ASSERT_EQ(PlayBuffer(tone, false), FV_OK);
    const std::string wav = Slurp(capture_);
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(Le32(wav, 24), 22050u);
    EXPECT_EQ(Le16(wav, 22), 1u) << "mono";
    EXPECT_EQ(Le16(wav, 34), 16u) << "16-bit";
    EXPECT_TRUE(wav.substr(44) == expected) << "the same samples";
}

// Hands the engine the completions that arrive within ms, as a host's
// message loop would.
void PumpFor(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (WaitForCompletion(20)) WaveCallback(0, 0, 0, 957, 0);
    }
}

// The whole chain on ALSA's pipe device, whose closing waits for the reader
// program to see the end of its input: with the real voice, a volume change
// (which restarts mbrola), a pause, a restart of the engine and a stop, all
// while speech plays. A child holding the pipe would hang the close; the
// alarm makes a hang a failure instead of a test that never ends.
TEST_F(AlsaOutput, SpeechIntoAPipeSurvivesVolumeRestartPauseAndStop) {
    alarm(120);
    ScopedAlsaDevice device("file:FILE=\"|cat >/dev/null\",FORMAT=raw");
    std::string text;
    for (int k = 0; k < 200; ++k) text += "Uma frase para falar, com v\xEDrgulas e pontos. ";
    ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    ASSERT_EQ(TTS_PlayText(text.c_str(), 1), FV_OK);
    PumpFor(300);
    ASSERT_TRUE(Engine.busy) << "the text is long enough to still be playing";
    EXPECT_EQ(TTS_SetMode(10, 15, 10), FV_OK);
    PumpFor(300);
    EXPECT_EQ(TTS_PauseText(), FV_OK);
    EXPECT_EQ(TTS_ResumeText(), FV_OK);
    PumpFor(100);
    EXPECT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    PumpFor(300);
    if (Engine.busy) {
        EXPECT_EQ(TTS_StopText(), FV_OK);
    }
    for (int k = 0; Engine.busy && k < 100; ++k) PumpFor(100);
    EXPECT_FALSE(Engine.busy);
    alarm(0);
}

}  // namespace
