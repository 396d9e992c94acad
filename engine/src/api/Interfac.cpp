// The engine's exported functions and its one global state.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "api/Utterance.h"
#include "api/WavRender.h"
#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/Platform.h"
#include "core/Tokens.h"
#include "falavoz32.h"
#include "voice/MBrola.h"
#include "voice/Singing.h"
#include "voice/WaveOut.h"
#include "words/Data.h"
#include "words/Dict.h"

EngineState Engine;

namespace {

constexpr uint32_t kWaveOutDone = 957;  // MM_WOM_DONE
constexpr int32_t kUnlimitedChunkMs = 2000000;
constexpr int32_t kMinimumChunkMs = 5000;
constexpr float kMsPerKilobyte = 31.25f;  // 1 KB of 16 kHz 16-bit audio

bool InScale(int value) { return value >= 1 && value <= 20; }

float RateFactorFor(int speed) {
    return speed > 10 ? 1.0f - (speed - 10) * 0.05f : 1.0f - (speed - 10) * 0.08f;
}

float PitchFactorFor(int pitch) {
    return pitch > 10 ? 1.0f + (pitch - 10) * 0.13f : 1.0f - (10 - pitch) * 0.07f;
}

void MarkTokensEmpty() {
    Tokens[0].start = -1;
    Tokens[0].length = -1;
}

void ResetSettings(SpeechCallback callback, int32_t use8kVoice) {
    Engine.rateFactor = Engine.pitchFactor = Engine.volumeFactor = 1.0f;
    Engine.speed = 10;
    Engine.pitch = 10;
    Engine.volume = 20;
    const int32_t defaults[6] = {Engine.options[0], 0, -1, -1, 1500, 0};
    std::copy(std::begin(defaults), std::end(defaults), Engine.options);
    Engine.callback = callback;
    Engine.controlCharacter = '\\';
    Engine.chunkLimitMs = 46000;
    Engine.synthesisRate = Engine.playbackRate = use8kVoice ? 8000 : 16000;
    Engine.bytesPerSample = 2;
    Engine.letterRulesOnly = false;
}

// RVCall works before TTS_Init; the constant builtin tables are then
// filled on its first call.
void EnsureBuiltinTables() {
    static bool filled = false;
    if (!filled && !Engine.initialised) FillBuiltinTables();
    filled = true;
}

// RVCall may be called while an asynchronous utterance is in flight; the
// stages' shared tables and text are put back afterwards so that the
// utterance goes on undisturbed.
struct SharedTablesSnapshot {
    std::string text = Engine.text;
    TokenTable tokens = Tokens;
    PhoneTable phones = PhoneList;
    ~SharedTablesSnapshot() {
        Engine.text = text;
        Tokens = tokens;
        PhoneList = phones;
    }
};

// The phones of the text as the normaliser gives them, before the stages
// that shape the prosody.
std::string TranscribeText(const std::string& text) {
    std::string result;
    UtteranceCursor cursor;
    StartText(text, cursor);
    WalkPasses(
        cursor, Stage::Normalise,
        [&result](UtteranceCursor&) {
            for (int i = 0; i < kMaxPhonesPerPass && !IsEndRecord(PhoneList[i]); ++i)
                result += PhoneList[i].symbol;
            return int{kOk};
        },
        false);
    return result;
}

}  // namespace

extern "C" {

FV_EXPORT int32_t FV_CALL TTS_Init(uint8_t checkDevice, SpeechCallback callback, int32_t use8kVoice) {
    if (LoadLanguageData() != kOk) return kInitError;
    if (checkDevice && !OutputDeviceInstalled()) return kNoDevice;
    Engine.use8kVoice = use8kVoice;
    int result = StartDiphoneLibrary(use8kVoice);
    FillBuiltinTables();
    MarkTokensEmpty();
    DictClear();
    ResetSettings(callback, use8kVoice);
    Engine.initialised = true;
    return result;
}

FV_EXPORT int32_t FV_CALL TTS_PlayText(const char* text, uint8_t asynchronous) {
    if (!Engine.initialised) return kNotInitialised;
    if (Engine.busy) return kBusy;
    Engine.stopRequested = false;
    Engine.busy = true;
    ForgetSynthesisFailure();
    StartText(text ? text : "", SpeechCursor);
    StartUtteranceFactors();
    return asynchronous ? StartAsynchronousSpeech() : SpeakSynchronously();
}

FV_EXPORT int32_t FV_CALL TTS_GenPcm(const char* source, const char* outputFile, int32_t sourceIsFile,
                                     int32_t pieceMode, int32_t bits) {
    return GenPcm(source, outputFile, sourceIsFile, pieceMode, bits);
}

FV_EXPORT int32_t FV_CALL TTS_GenPcmToDescriptor(const char* source, int32_t descriptor, int32_t sourceIsFile,
                                                 int32_t bits) {
    return GenPcmToDescriptor(source, descriptor, sourceIsFile, bits);
}

FV_EXPORT int32_t FV_CALL TTS_SetRenderProgress(RenderProgressCallback progress, void* context) {
    SetRenderProgress(progress, context);
    return kOk;
}

FV_EXPORT int32_t FV_CALL TTS_PlayMusic(const char* source, int32_t sourceIsText, uint8_t asynchronous) {
    return PlayMusic(source, sourceIsText, asynchronous != 0);
}

FV_EXPORT int32_t FV_CALL TTS_SetMode(uint8_t speed, uint8_t volume, uint8_t pitch) {
    if (!Engine.initialised) return kNotInitialised;
    if (!InScale(speed) || !InScale(volume) || !InScale(pitch)) return kInvalidValue;
    Engine.speed = speed;
    Engine.pitch = pitch;
    if (volume != Engine.volume) {
        Diphones().close();
        Engine.volumeFactor = 1.0f - (20 - volume) * 0.05f;
        Diphones().setVolume(Engine.volumeFactor);
        StartDiphoneLibrary(Engine.use8kVoice);
        Engine.volume = volume;
    }
    Engine.rateFactor = RateFactorFor(speed);
    Engine.pitchFactor = PitchFactorFor(pitch);
    return kOk;
}

FV_EXPORT int32_t FV_CALL TTS_GetMode(int16_t* speed, int16_t* volume, int16_t* pitch) {
    if (!Engine.initialised) return kNotInitialised;
    if (speed) *speed = static_cast<int16_t>(Engine.speed);
    if (volume) *volume = static_cast<int16_t>(Engine.volume);
    if (pitch) *pitch = static_cast<int16_t>(Engine.pitch);
    return kOk;
}

FV_EXPORT int32_t FV_CALL TTS_SetOption(int32_t option, int32_t value) {
    if (!Engine.initialised) return kNotInitialised;
    if (option == kOptionPlaybackRate) {
        Engine.playbackRate = value;
        return kOk;
    }
    if (option == kOptionLetterRulesOnly) {
        Engine.letterRulesOnly = value != 0;
        return kOk;
    }
    // Numbers outside 0..6 name no option; they are refused, not stored.
    if (option < 0 || option > kOptionReadQuotes) return kInvalidValue;
    Engine.options[option] = value;
    if (option == kOptionBufferKb) {
        if (value == -1) {
            Engine.chunkLimitMs = kUnlimitedChunkMs;
        } else {
            float ms = std::trunc(static_cast<float>(value) * kMsPerKilobyte);
            Engine.chunkLimitMs = ms < kMinimumChunkMs     ? kMinimumChunkMs
                                  : ms > kUnlimitedChunkMs ? kUnlimitedChunkMs
                                                           : static_cast<int32_t>(ms);
        }
    }
    return kOk;
}

FV_EXPORT int32_t FV_CALL TTS_ChangeControlCharacter(uint8_t character) {
    if (!Engine.initialised) return kNotInitialised;
    Engine.controlCharacter = static_cast<char>(character);
    return kOk;
}

FV_EXPORT int32_t FV_CALL TTS_StopText(void) {
    if (!Engine.initialised) return kNotInitialised;
    if (!Engine.busy) return kInvalidCommand;
    Engine.stopRequested = true;
    SpeechCursor.textFinished = true;
    return ResetDevice();
}

FV_EXPORT int32_t FV_CALL TTS_PauseText(void) {
    if (!Engine.initialised) return kNotInitialised;
    if (!Engine.busy) return kInvalidCommand;
    return PauseDevice();
}

FV_EXPORT int32_t FV_CALL TTS_ResumeText(void) {
    if (!Engine.initialised) return kNotInitialised;
    if (!Engine.busy) return kInvalidCommand;
    return ResumeDevice();
}

FV_EXPORT void FV_CALL WaveCallback(uint32_t, uint32_t, uint32_t, uint32_t message, uint32_t) {
    if (message == kWaveOutDone) HandleWaveOutDone();
}

FV_EXPORT const char* FV_CALL RVCall(const char* text) {
    static std::string transcription;
    EnsureBuiltinTables();
    if (Engine.busy) {
        SharedTablesSnapshot keep;
        transcription = TranscribeText(text ? text : "");
    } else {
        transcription = TranscribeText(text ? text : "");
    }
    return transcription.c_str();
}

}  // extern "C"
