// Asynchronous speech end to end: the chain of pieces on a device whose
// clock the test moves, pumped the way a host pumps the notification
// descriptor; pause, resume, stop, errors and the host callback.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ClockedDevice.h"
#include "EngineTest.h"
#include "TestSupport.h"
#include "core/EngineState.h"
#include "falavoz32.h"

namespace {

std::vector<int> callbackResults;
void FV_CALL RecordEnd(int32_t first, int32_t result, int32_t third) {
    EXPECT_EQ(first, 0);
    EXPECT_EQ(third, 0);
    callbackResults.push_back(result);
}

// Three sentences, the last one long enough to be cut into several pieces
// at a chunk limit of 5000 ms.
const char* const kText =
    "\\*ka-za\\*. \\*mu-la\\*! "
    "\\*pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka "
    "pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka pa-ta-ka\\*.";

class AsyncSpeech : public EngineTest {
protected:
    void SetUp() override {
        callbackResults.clear();
        ASSERT_EQ(TTS_Init(0, RecordEnd, 0), FV_OK);
        ASSERT_EQ(TTS_SetOption(4, 100), FV_OK);  // 5000 ms pieces
        while (Pump()) {
        }
    }
    void TearDown() override {
        if (Engine.busy) TTS_StopText();
    }

    // Render calls so far: each ends with one flush command.
    int Renders() const {
        return static_cast<int>(std::count(diphones_.lines.begin(), diphones_.lines.end(), "#"));
    }

    // The pieces the same text gives when rendered to a file.
    int PiecesOfTheText() {
        int before = Renders();
        EXPECT_EQ(TTS_GenPcm(kText, "/dev/null", 0, 0, 16), FV_OK);
        return Renders() - before;
    }

    // Plays the current piece out and hands its completion to the engine.
    void PlayPiece() {
        device_.PlayToTheEnd();
        ASSERT_TRUE(Pump());
    }

    RecordingDiphones diphones_;
    ClockedDevice device_;
};

TEST_F(AsyncSpeech, PiecesAreQueuedOneAtATimeInOrder) {
    const int expected = PiecesOfTheText();
    ASSERT_GE(expected, 4) << "two short sentences and one cut into pieces";
    diphones_.Clear();

    ASSERT_EQ(TTS_PlayText(kText, 1), FV_OK);
    for (int piece = 1; piece <= expected; ++piece) {
        SCOPED_TRACE(piece);
        // Each piece was rendered only after the one before it had played.
        EXPECT_EQ(Renders(), piece);
        ASSERT_EQ(device_.pieces.size(), static_cast<size_t>(piece));
        EXPECT_TRUE(Engine.busy);
        device_.Advance(device_.RemainingMs() / 2);
        EXPECT_FALSE(CompletionPending()) << "half played";
        device_.PlayToTheEnd();
        EXPECT_EQ(Renders(), piece) << "the next piece waits for the host's thread";
        ASSERT_TRUE(Pump());
    }
    EXPECT_FALSE(Engine.busy);
    EXPECT_EQ(callbackResults, std::vector<int>{FV_OK});
    EXPECT_EQ(device_.opens, expected);
    EXPECT_EQ(device_.closes, expected) << "opened and closed for each buffer";
    EXPECT_FALSE(CompletionPending());
}

TEST_F(AsyncSpeech, ASecondUtteranceWhileBusyIsRefused) {
    ASSERT_EQ(TTS_PlayText(kText, 1), FV_OK);
    EXPECT_EQ(TTS_PlayText("\\*ka\\*", 1), FV_BUSY);
    EXPECT_EQ(TTS_PlayText("\\*ka\\*", 0), FV_BUSY);
    EXPECT_EQ(TTS_PlayMusic("a 100", 1, 1), FV_BUSY);
    EXPECT_EQ(device_.pieces.size(), 1u);
    while (Engine.busy) PlayPiece();
    EXPECT_EQ(callbackResults, std::vector<int>{FV_OK}) << "the first one went on undisturbed";
}

TEST_F(AsyncSpeech, PauseKeepsThePieceAndItsCompletionArrivesOnce) {
    ASSERT_EQ(TTS_PlayText(kText, 1), FV_OK);
    device_.Advance(50);
    EXPECT_EQ(TTS_PauseText(), FV_OK);
    device_.Advance(1000000);
    EXPECT_FALSE(CompletionPending()) << "nothing plays while paused";
    EXPECT_EQ(TTS_ResumeText(), FV_OK);
    EXPECT_EQ(device_.pieces.size(), 1u);
    PlayPiece();
    EXPECT_FALSE(Pump()) << "one completion for the piece";
    EXPECT_EQ(device_.pieces.size(), 2u);
    EXPECT_TRUE(Engine.busy);

    device_.pauseResult = FV_DEVICE_ERROR;
    EXPECT_EQ(TTS_PauseText(), FV_DEVICE_ERROR);
    EXPECT_EQ(TTS_ResumeText(), FV_DEVICE_ERROR);
}

TEST_F(AsyncSpeech, StopEndsTheChainSilentlyAndAtOnce) {
    struct Case {
        const char* when;
        bool pieceDone;  // the piece had played, its completion not yet taken
        bool paused;
    };
    for (Case c : {Case{"while a piece plays", false, false}, Case{"with a completion pending", true, false},
                   Case{"while paused", false, true}}) {
        SCOPED_TRACE(c.when);
        callbackResults.clear();
        ASSERT_EQ(TTS_PlayText(kText, 1), FV_OK);
        PlayPiece();
        if (c.pieceDone) device_.PlayToTheEnd();
        if (c.paused) {
            ASSERT_EQ(TTS_PauseText(), FV_OK);
        }
        const int opens = device_.opens;

        EXPECT_EQ(TTS_StopText(), FV_OK);
        EXPECT_FALSE(Engine.busy) << "ready for the next text";
        EXPECT_FALSE(Engine.musicMode);
        EXPECT_EQ(device_.closes, device_.opens) << "the buffer released";
        EXPECT_EQ(device_.opens, opens) << "nothing more rendered";
        EXPECT_FALSE(Pump()) << "no completion left behind";
        EXPECT_TRUE(callbackResults.empty());
        EXPECT_EQ(TTS_StopText(), FV_INVALID_COMMAND);
    }
    // The next text speaks normally.
    ASSERT_EQ(TTS_PlayText("\\*ka\\*", 1), FV_OK);
    while (Engine.busy) PlayPiece();
    EXPECT_EQ(callbackResults, std::vector<int>{FV_OK});
}

TEST_F(AsyncSpeech, DeviceFailuresEndTheChainThroughTheCallback) {
    struct Case {
        const char* what;
        int failOpenAt;  // -1: none
        int openResult;
        int closeResult;  // a failure while playing
        int expected;
        int resultOfPlayText;
    };
    for (Case c :
         {Case{"no device at the first piece", 0, FV_NO_DEVICE, FV_OK, FV_NO_DEVICE, FV_NO_DEVICE},
          Case{"busy at the third piece", 2, FV_DEVICE_BUSY, FV_OK, FV_DEVICE_BUSY, FV_OK},
          Case{"format refused at the second", 1, FV_FORMAT_UNSUPPORTED, FV_OK, FV_FORMAT_UNSUPPORTED, FV_OK},
          Case{"a write failure while playing", -1, FV_OK, FV_DEVICE_WRITE_ERROR, FV_DEVICE_WRITE_ERROR,
               FV_OK}}) {
        SCOPED_TRACE(c.what);
        callbackResults.clear();
        device_.opens = device_.closes = 0;
        device_.failOpenAt = c.failOpenAt;
        device_.openResult = c.openResult;
        device_.closeResult = c.closeResult;
        EXPECT_EQ(TTS_PlayText(kText, 1), c.resultOfPlayText);
        for (int guard = 0; Engine.busy && guard < 100; ++guard) PlayPiece();
        EXPECT_FALSE(Engine.busy);
        EXPECT_EQ(callbackResults, std::vector<int>{c.expected});
        EXPECT_EQ(device_.closes, device_.opens - (c.openResult != FV_OK ? 1 : 0));
        device_.openResult = device_.closeResult = FV_OK;
    }
}

TEST_F(AsyncSpeech, ThePlaybackRateIsTheDevicesRate) {
    ASSERT_EQ(TTS_SetOption(6, 22050), FV_OK);
    ASSERT_EQ(TTS_PlayText("\\*ka\\*", 1), FV_OK);
    ASSERT_EQ(device_.pieces.size(), 1u);
    EXPECT_EQ(device_.pieces[0].rate, 22050);
    PlayPiece();
}

TEST_F(AsyncSpeech, SynchronousSpeechWaitsForEveryPiece) {
    device_.playInstantly = true;
    const int expected = PiecesOfTheText();
    EXPECT_EQ(TTS_PlayText(kText, 0), FV_OK);
    EXPECT_FALSE(Engine.busy);
    EXPECT_EQ(device_.pieces.size(), static_cast<size_t>(expected));
    EXPECT_EQ(device_.closes, expected);
    EXPECT_FALSE(CompletionPending());
    EXPECT_TRUE(callbackResults.empty()) << "the host hears of synchronous speech by the result";
}

// The voice failing in one piece: its message shows at once, the rest of
// the text is still spoken, and the end reports the failure, whichever way
// the text was given. The next text starts with a clean slate.
TEST_F(AsyncSpeech, AVoiceFailureIsReportedOnceTheTextIsSpoken) {
    const int expected = PiecesOfTheText();
    ASSERT_GE(expected, 3);
    const auto failFirstRead = [this] {
        diphones_.onRead = [this, first = true]() mutable {
            diphones_.failReads = first;
            first = false;
        };
    };
    testing::internal::CaptureStderr();

    device_.playInstantly = true;
    failFirstRead();
    EXPECT_EQ(TTS_PlayText(kText, 0), FV_SYNTHESIS_ERROR);
    EXPECT_EQ(device_.pieces.size(), static_cast<size_t>(expected));

    failFirstRead();
    EXPECT_EQ(TTS_GenPcm(kText, "/dev/null", 0, 0, 16), FV_SYNTHESIS_ERROR);

    device_.playInstantly = false;
    failFirstRead();
    EXPECT_EQ(TTS_PlayText(kText, 1), FV_OK);
    for (int guard = 0; Engine.busy && guard < 100; ++guard) PlayPiece();
    EXPECT_EQ(callbackResults, std::vector<int>{FV_SYNTHESIS_ERROR});
    EXPECT_NE(testing::internal::GetCapturedStderr().find("read failed"), std::string::npos);

    diphones_.onRead = nullptr;
    diphones_.failReads = false;
    device_.playInstantly = true;
    EXPECT_EQ(TTS_PlayText(kText, 0), FV_OK);
    EXPECT_EQ(TTS_GenPcm(kText, "/dev/null", 0, 0, 16), FV_OK);
}

// A stop that comes while a piece is rendered (from a signal handler during
// synchronous speech) keeps that piece, and every one after it, from playing.
TEST_F(AsyncSpeech, AStopWhileAPieceIsRenderedKeepsItFromPlaying) {
    device_.playInstantly = true;
    ASSERT_GE(PiecesOfTheText(), 3);
    diphones_.Clear();
    diphones_.onRead = [this] {
        if (Renders() == 2 && !Engine.stopRequested) {
            EXPECT_EQ(TTS_StopText(), FV_OK);
        }
    };
    EXPECT_EQ(TTS_PlayText(kText, 0), FV_OK);
    diphones_.onRead = nullptr;
    EXPECT_TRUE(Engine.stopRequested) << "the stop came during the second piece";
    EXPECT_FALSE(Engine.busy);
    EXPECT_EQ(device_.pieces.size(), 1u) << "only the piece rendered before the stop played";
    EXPECT_EQ(device_.closes, device_.opens);
    EXPECT_FALSE(CompletionPending());
    EXPECT_TRUE(callbackResults.empty());

    // The next text plays from its first piece.
    EXPECT_EQ(TTS_PlayText("\\*ka\\*", 0), FV_OK);
    EXPECT_EQ(device_.pieces.size(), 2u);
}

TEST_F(AsyncSpeech, InitChecksForAnOutputDeviceOnRequest) {
    device_.installed = false;
    EXPECT_EQ(TTS_Init(1, RecordEnd, 0), FV_NO_DEVICE);
    EXPECT_EQ(TTS_Init(0, RecordEnd, 0), FV_OK);
    device_.installed = true;
    EXPECT_EQ(TTS_Init(1, RecordEnd, 0), FV_OK);
}

}  // namespace
