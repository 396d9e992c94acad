// Singing: melody lines reach the diphone library unchanged, cut into pieces
// at separator lines and at the buffer limit, and play like speech.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ClockedDevice.h"
#include "EngineTest.h"
#include "TestSupport.h"
#include "core/EngineState.h"
#include "falavoz32.h"
#include "voice/Singing.h"

namespace {

std::vector<int> callbackResults;
void FV_CALL RecordEnd(int32_t, int32_t result, int32_t) { callbackResults.push_back(result); }

using Lines = std::vector<std::string>;

class Singing : public EngineTest {
protected:
    void SetUp() override {
        callbackResults.clear();
        ASSERT_EQ(TTS_Init(0, RecordEnd, 0), FV_OK);
        while (Pump()) {
        }
        diphones_.Clear();
        device_.playInstantly = true;
    }
    void TearDown() override {
        if (Engine.busy) TTS_StopText();
    }

    // The bytes of each piece played.
    std::vector<size_t> PieceBytes() const {
        std::vector<size_t> sizes;
        for (const auto& piece : device_.pieces) sizes.push_back(piece.samples.size());
        return sizes;
    }

    RecordingDiphones diphones_;
    ClockedDevice device_;
};

TEST_F(Singing, SeparatorLinesCutThePieces) {
    struct Case {
        const char* melody;
        Lines written;
        size_t pieces;
    };
    const Case cases[] = {
        // Without separators: one piece, the last line followed by the flush.
        {"a 100\r\nb 200\r\nc 300\r\n", {"a 100", "b 200", "c 300", "#"}, 1},
        // Inside a piece a separator ends it with a short silence and a flush;
        // as its first line it opens the piece with a silence and a pitch.
        {"a 100\r\n; a comment\r\nb 200\r\n;\r\n;\r\nc 300",
         {"a 100", "_ 10", "#", "b 200", "_ 10", "#", "_ 10 1 125", "c 300", "#"},
         3},
        {";\r\na 100\r\n", {"_ 10 1 125", "a 100", "#"}, 1},
        // A melody that ends on a separator ends with that piece.
        {"a 100\r\n;\r\n", {"a 100", "_ 10", "#"}, 1},
        // A one-line melody is flushed too, so its samples come out.
        {"a 100", {"a 100", "#"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.melody);
        diphones_.Clear();
        device_.pieces.clear();
        const int resets = diphones_.resetCalls;
        ASSERT_EQ(TTS_PlayMusic(c.melody, 1, 0), FV_OK);
        EXPECT_EQ(diphones_.lines, c.written);
        EXPECT_EQ(device_.pieces.size(), c.pieces);
        EXPECT_EQ(diphones_.resetCalls, resets + 1) << "one reset, before the first line";
        EXPECT_FALSE(Engine.busy);
        EXPECT_FALSE(Engine.musicMode);
    }
    // The samples of every line were played.
    EXPECT_EQ(device_.pieces[0].samples.size(), 100u * 16 * 2);
}

TEST_F(Singing, ALongPieceIsCutAtTheBufferLimit) {
    ASSERT_EQ(TTS_SetOption(4, 100), FV_OK);  // 5000 ms: 165000 bytes a piece
    std::string melody;
    for (int k = 0; k < 12; ++k) melody += "a 1000\r\n";  // 32000 bytes each
    ASSERT_EQ(TTS_PlayMusic(melody.c_str(), 1, 0), FV_OK);
    // A piece stops taking lines when one more second would not fit.
    EXPECT_EQ(PieceBytes(), (std::vector<size_t>{160000, 160000, 64000}));
    EXPECT_EQ(std::count(diphones_.lines.begin(), diphones_.lines.end(), "#"), 1)
        << "only after the last line";
    EXPECT_EQ(diphones_.lines.back(), "#");
}

TEST_F(Singing, MelodyFilesAreReadLineByLine) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "falavoz-singing-test.pho";
    std::ofstream(file, std::ios::binary) << "a 100 50 120\nb 200\r\n;\nc 50\n";
    ASSERT_EQ(TTS_PlayMusic(file.c_str(), 0, 0), FV_OK);
    EXPECT_EQ(diphones_.lines, (Lines{"a 100 50 120", "b 200", "_ 10", "#", "c 50", "#"}));
    std::filesystem::remove(file);
}

TEST_F(Singing, AMissingFileLeavesTheEngineIdle) {
    EXPECT_EQ(TTS_PlayMusic("/nonexistent/melodia.pho", 0, 1), FV_OPEN_ERROR);
    EXPECT_EQ(TTS_PlayMusic("/nonexistent/melodia.pho", 0, 0), FV_OPEN_ERROR);
    EXPECT_FALSE(Engine.busy);
    EXPECT_FALSE(Engine.musicMode);
    EXPECT_TRUE(diphones_.lines.empty());
    EXPECT_TRUE(device_.pieces.empty());
    EXPECT_TRUE(callbackResults.empty());
    EXPECT_EQ(TTS_PlayMusic("a 100", 1, 0), FV_OK) << "and ready to sing";
}

TEST_F(Singing, AsynchronousSingingGoesOnAfterEachPiece) {
    device_.playInstantly = false;
    ASSERT_EQ(TTS_PlayMusic("a 100\r\n;\r\nb 100\r\n;\r\nc 100\r\n", 1, 1), FV_OK);
    EXPECT_TRUE(Engine.busy);
    EXPECT_TRUE(Engine.musicMode);
    for (size_t piece = 1; piece <= 3; ++piece) {
        ASSERT_EQ(device_.pieces.size(), piece);
        EXPECT_TRUE(callbackResults.empty());
        device_.PlayToTheEnd();
        ASSERT_TRUE(Pump());
    }
    EXPECT_FALSE(Engine.busy);
    EXPECT_FALSE(Engine.musicMode);
    EXPECT_EQ(callbackResults, std::vector<int>{FV_OK});
}

TEST_F(Singing, StopEndsTheMelodyWithoutACallback) {
    device_.playInstantly = false;
    ASSERT_EQ(TTS_PlayMusic("a 100\r\n;\r\nb 100\r\n", 1, 1), FV_OK);
    EXPECT_EQ(TTS_StopText(), FV_OK);
    EXPECT_FALSE(Engine.busy);
    EXPECT_FALSE(Engine.musicMode);
    EXPECT_EQ(device_.pieces.size(), 1u);
    EXPECT_EQ(device_.closes, 1);
    EXPECT_FALSE(Pump());
    EXPECT_TRUE(callbackResults.empty());
}

TEST_F(Singing, DeviceErrorsEndTheSinging) {
    device_.openResult = FV_DEVICE_BUSY;
    EXPECT_EQ(TTS_PlayMusic("a 100", 1, 0), FV_DEVICE_BUSY);
    EXPECT_TRUE(callbackResults.empty()) << "the synchronous form returns it";
    EXPECT_EQ(TTS_PlayMusic("a 100\r\n;\r\nb 100", 1, 1), FV_DEVICE_BUSY);
    EXPECT_EQ(callbackResults, std::vector<int>{FV_DEVICE_BUSY});
    EXPECT_FALSE(Engine.busy);
    EXPECT_FALSE(Engine.musicMode);

    // The second piece fails: the host hears of it.
    callbackResults.clear();
    device_.playInstantly = false;
    device_.failOpenAt = device_.opens + 1;
    ASSERT_EQ(TTS_PlayMusic("a 100\r\n;\r\nb 100", 1, 1), FV_OK);
    device_.PlayToTheEnd();
    ASSERT_TRUE(Pump());
    EXPECT_EQ(callbackResults, std::vector<int>{FV_DEVICE_BUSY});
    EXPECT_FALSE(Engine.busy);
}

TEST_F(Singing, AVoiceFailureIsReportedAtTheEnd) {
    diphones_.failReads = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(TTS_PlayMusic("a 100\r\n;\r\nb 100", 1, 0), FV_SYNTHESIS_ERROR);
    EXPECT_EQ(TTS_PlayMusic("a 100\r\n;\r\nb 100", 1, 1), FV_OK);
    while (Pump()) {
    }
    EXPECT_EQ(callbackResults, std::vector<int>{FV_SYNTHESIS_ERROR});
    EXPECT_NE(testing::internal::GetCapturedStderr().find("read failed"), std::string::npos);
    diphones_.failReads = false;
    EXPECT_EQ(TTS_PlayMusic("a 100", 1, 0), FV_OK);
}

// A device that fails while a piece of the melody plays ends the singing,
// not a speech chain: the host hears of the failure once, the engine leaves
// the music mode, and speaks the next text.
TEST_F(Singing, AFailureWhilePlayingEndsTheSingingAndSpeechGoesOn) {
    device_.playInstantly = false;
    device_.closeResult = FV_DEVICE_WRITE_ERROR;
    ASSERT_EQ(TTS_PlayMusic("a 100\r\n;\r\nb 100\r\n;\r\nc 100\r\n", 1, 1), FV_OK);
    device_.PlayToTheEnd();
    ASSERT_TRUE(Pump());
    EXPECT_EQ(callbackResults, std::vector<int>{FV_DEVICE_WRITE_ERROR});
    EXPECT_FALSE(Engine.busy);
    EXPECT_FALSE(Engine.musicMode);
    EXPECT_EQ(device_.pieces.size(), 1u) << "no piece after the failure";
    EXPECT_FALSE(Pump());

    callbackResults.clear();
    device_.closeResult = FV_OK;
    diphones_.Clear();
    ASSERT_EQ(TTS_PlayText("\\*ka-za\\*.", 1), FV_OK);
    for (int guard = 0; Engine.busy && guard < 10; ++guard) {
        device_.PlayToTheEnd();
        ASSERT_TRUE(Pump());
    }
    EXPECT_FALSE(Engine.busy);
    EXPECT_FALSE(Engine.musicMode);
    EXPECT_EQ(callbackResults, std::vector<int>{FV_OK});
    EXPECT_EQ(device_.pieces.size(), 2u);
    const auto spoken = [&](const std::string& phone) {
        return std::any_of(diphones_.lines.begin(), diphones_.lines.end(),
                           [&](const std::string& line) { return line.rfind(phone + " ", 0) == 0; });
    };
    EXPECT_TRUE(spoken("k") && spoken("z")) << "the text was spoken, not sung";
}

// With the real voice, whose samples come only as it synthesises them.
class SingingWithTheVoice : public EngineTest {
protected:
    void SetUp() override {
        ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
        device_.playInstantly = true;
    }

    size_t PlayedBytes() const {
        size_t bytes = 0;
        for (const auto& piece : device_.pieces) bytes += piece.samples.size();
        return bytes;
    }

    ClockedDevice device_;
};

TEST_F(SingingWithTheVoice, AMelodyLongerThanOneBufferIsSungToItsEnd) {
    // A minute of one note: longer than a piece holds at the default settings.
    std::string melody;
    for (int i = 0; i < 300; ++i) melody += "a 200 50 120\r\n";
    for (bool asynchronous : {false, true}) {
        SCOPED_TRACE(asynchronous ? "asynchronous" : "synchronous");
        device_.pieces.clear();
        ASSERT_EQ(TTS_PlayMusic(melody.c_str(), 1, asynchronous), FV_OK);
        while (Pump()) {
        }
        EXPECT_FALSE(Engine.busy);
        EXPECT_GE(device_.pieces.size(), 2u);
        const double seconds = static_cast<double>(PlayedBytes()) / (2 * 16000);
        EXPECT_NEAR(seconds, 60.0, 0.5);
    }
}

}  // namespace
