// The exported functions: result codes, start-up values, modes, options and
// the walk of a text through the stages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "EngineTest.h"
#include "TestSupport.h"
#include "api/Utterance.h"
#include "core/EngineState.h"
#include "falavoz32.h"

namespace {

class EngineApiTest : public EngineTest {
protected:
    RecordingDiphones diphones_;
};

TEST_F(EngineApiTest, EveryExportButInitAndRVCallNeedsInit) {
    int16_t a = 0, b = 0, c = 0;
    char buffer[256];
    EXPECT_EQ(TTS_PlayText("x", 0), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_GenPcm("x", "/dev/null", 0, 0, 16), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_PlayMusic("x", 1, 0), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_SetMode(10, 20, 10), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_GetMode(&a, &b, &c), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_SetOption(1, 1), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_ChangeControlCharacter('#'), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_StopText(), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_PauseText(), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_ResumeText(), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictLoad("x"), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictGetEntry("x", buffer), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictUnload(), FV_NOT_INITIALISED);
    EXPECT_STREQ(RVCall("\\*ka-za\\*"), "kaza");
}

TEST_F(EngineApiTest, InitSetsTheStartValues) {
    ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    int16_t speed = 0, volume = 0, pitch = 0;
    EXPECT_EQ(TTS_GetMode(&speed, &volume, &pitch), FV_OK);
    EXPECT_EQ(speed, 10);
    EXPECT_EQ(volume, 20);
    EXPECT_EQ(pitch, 10);
    EXPECT_EQ(Engine.options[1], 0);
    EXPECT_EQ(Engine.options[2], -1);
    EXPECT_EQ(Engine.options[3], -1);
    EXPECT_EQ(Engine.options[4], 1500);
    EXPECT_EQ(Engine.options[5], 0);
    EXPECT_EQ(Engine.chunkLimitMs, 46000);
    EXPECT_EQ(Engine.synthesisRate, 16000);
    EXPECT_EQ(Engine.controlCharacter, '\\');
    EXPECT_TRUE(diphones_.voicePath.ends_with("br1.dsp")) << diphones_.voicePath;

    ASSERT_EQ(TTS_Init(0, nullptr, 1), FV_OK);
    EXPECT_EQ(Engine.synthesisRate, 8000);
    EXPECT_EQ(Engine.playbackRate, 8000);
    EXPECT_TRUE(diphones_.voicePath.ends_with("br18k.dsp")) << diphones_.voicePath;
}

TEST_F(EngineApiTest, ARefusedVoiceStillLeavesTheEngineInitialised) {
    diphones_.failInit = true;
    EXPECT_EQ(TTS_Init(0, nullptr, 0), FV_FILE_NOT_FOUND);
    EXPECT_EQ(TTS_SetOption(1, 0), FV_OK);
    EXPECT_EQ(TTS_PauseText(), FV_INVALID_COMMAND) << "nothing is playing";
}

TEST_F(EngineApiTest, MissingLanguageDataFailsInit) {
    std::filesystem::path empty = std::filesystem::temp_directory_path() / "falavoz-no-data";
    std::filesystem::create_directories(empty);
    std::string saved = std::getenv("FALAVOZ_DATA") ? std::getenv("FALAVOZ_DATA") : "";
    setenv("FALAVOZ_DATA", empty.c_str(), 1);
    EXPECT_EQ(TTS_Init(0, nullptr, 0), FV_INIT_ERROR);
    EXPECT_EQ(TTS_SetOption(1, 0), FV_NOT_INITIALISED);
    setenv("FALAVOZ_DATA", saved.c_str(), 1);
}

TEST_F(EngineApiTest, SetModeChecksItsRangeAndDerivesTheFactors) {
    ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    EXPECT_EQ(TTS_SetMode(0, 10, 10), FV_INVALID_VALUE);
    EXPECT_EQ(TTS_SetMode(10, 21, 10), FV_INVALID_VALUE);
    EXPECT_EQ(Engine.volume, 20);

    int starts = diphones_.initCalls;
    EXPECT_EQ(TTS_SetMode(10, 20, 10), FV_OK);
    EXPECT_EQ(diphones_.initCalls, starts) << "same volume: the voice is left alone";
    EXPECT_EQ(TTS_SetMode(10, 19, 10), FV_OK);
    EXPECT_EQ(diphones_.initCalls, starts + 1);
    EXPECT_EQ(diphones_.closeCalls, 1);
    EXPECT_FLOAT_EQ(diphones_.volume, 0.95f);

    struct Case {
        int scale;
        float rate, pitch;
    };
    for (Case c : {Case{1, 1.72f, 0.37f}, Case{10, 1.0f, 1.0f}, Case{20, 0.5f, 2.3f}}) {
        ASSERT_EQ(TTS_SetMode(c.scale, 19, c.scale), FV_OK);
        EXPECT_NEAR(Engine.rateFactor, c.rate, 1e-5) << c.scale;
        EXPECT_NEAR(Engine.pitchFactor, c.pitch, 1e-5) << c.scale;
    }
}

TEST_F(EngineApiTest, BufferSizeOptionSetsTheChunkLimit) {
    ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    struct Case {
        int kilobytes, ms;
    };
    for (Case c : {Case{-1, 2000000}, Case{100, 5000}, Case{1500, 46875}, Case{2000000000, 2000000}}) {
        EXPECT_EQ(TTS_SetOption(4, c.kilobytes), FV_OK);
        EXPECT_EQ(Engine.chunkLimitMs, c.ms) << c.kilobytes;
    }
    EXPECT_EQ(TTS_SetOption(6, 22050), FV_OK);
    EXPECT_EQ(Engine.playbackRate, 22050);
    EXPECT_EQ(TTS_SetOption(FV_OPTION_LETTER_RULES, 1), FV_OK);
    EXPECT_TRUE(Engine.letterRulesOnly);
    EXPECT_EQ(TTS_SetOption(8, 1), FV_INVALID_VALUE);
    EXPECT_EQ(TTS_SetOption(-1, 1), FV_INVALID_VALUE);
    ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    EXPECT_FALSE(Engine.letterRulesOnly);
}

TEST_F(EngineApiTest, PlaybackControlsNeedSomethingPlaying) {
    ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    EXPECT_EQ(TTS_PauseText(), FV_INVALID_COMMAND);
    EXPECT_EQ(TTS_ResumeText(), FV_INVALID_COMMAND);
    EXPECT_EQ(TTS_StopText(), FV_INVALID_COMMAND);
}

TEST_F(EngineApiTest, BusyRefusesASecondUtterance) {
    ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    Engine.busy = true;
    EXPECT_EQ(TTS_PlayText("x", 0), FV_BUSY);
    EXPECT_EQ(TTS_GenPcm("x", "/dev/null", 0, 0, 16), FV_BUSY);
    EXPECT_EQ(TTS_PlayMusic("x", 1, 0), FV_BUSY);
    Engine.busy = false;
}

TEST_F(EngineApiTest, TheControlCharacterCanBeChanged) {
    ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    EXPECT_EQ(TTS_ChangeControlCharacter('#'), FV_OK);
    EXPECT_STREQ(RVCall("#*ka#*"), "ka");
    EXPECT_STRNE(RVCall("\\*ka\\*"), "ka") << "a backslash is now an ordinary character";
}

TEST_F(EngineApiTest, RVCallJoinsThePhonesOfEveryChunk) {
    EXPECT_STREQ(RVCall("\\*ka\\*. \\*za\\*!\r\n\\*mu\\*"), "kazamu");
    EXPECT_STREQ(RVCall(""), "");
}

int callbackCalls = 0;
int callbackResult = 1;
void FV_CALL RecordCallback(int32_t, int32_t result, int32_t) {
    ++callbackCalls;
    callbackResult = result;
}

// An output device that does not exist is a missing sound card: the synchronous
// form returns the code, the asynchronous one also tells the host.
TEST_F(EngineApiTest, SpeakingWithoutAnOutputReportsTheDeviceCode) {
    setenv("FALAVOZ_ALSA_DEVICE", "falavoz_no_such_device", 1);
    EXPECT_EQ(TTS_Init(1, RecordCallback, 0), FV_NO_DEVICE);
    ASSERT_EQ(TTS_Init(0, RecordCallback, 0), FV_OK);
    callbackCalls = 0;
    EXPECT_EQ(TTS_PlayText("\\*ka\\*", 0), FV_NO_DEVICE);
    EXPECT_FALSE(Engine.busy);
    EXPECT_EQ(callbackCalls, 0);

    EXPECT_EQ(TTS_PlayText("\\*ka\\*", 1), FV_NO_DEVICE);
    EXPECT_FALSE(Engine.busy);
    EXPECT_EQ(callbackCalls, 1);
    EXPECT_EQ(callbackResult, FV_NO_DEVICE);
    unsetenv("FALAVOZ_ALSA_DEVICE");
}

// A text or melody file must be a regular file: a FIFO would keep the call
// waiting for a writer, a device would never end.
TEST_F(EngineApiTest, SourceFilesThatAreNotRegularFilesAreRefused) {
    ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("falavoz-fifo-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string fifo = (dir / "fifo").string(), wav = (dir / "x.wav").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& source : {fifo, std::string("/dev/zero"), dir.string()}) {
        SCOPED_TRACE(source);
        EXPECT_EQ(TTS_GenPcm(source.c_str(), wav.c_str(), 1, 0, 16), FV_OPEN_ERROR);
        EXPECT_EQ(TTS_PlayMusic(source.c_str(), 0, 0), FV_OPEN_ERROR);
        EXPECT_FALSE(Engine.busy);
    }
    EXPECT_FALSE(std::filesystem::exists(wav));
    std::filesystem::remove_all(dir);
}

}  // namespace
