// The engine's one global state. There are no handles: every export reads
// and writes this record.
#pragma once

#include <cstdint>
#include <string>

#include "falavoz32.h"

enum ResultCode : int32_t {
    kOk = FV_OK,
    kNotInitialised = FV_NOT_INITIALISED,
    kBusy = FV_BUSY,
    kInvalidCommand = FV_INVALID_COMMAND,
    kVoiceNotFound = FV_FILE_NOT_FOUND,
    kOpenError = FV_OPEN_ERROR,
    kWriteError = FV_WRITE_ERROR,
    kInitError = FV_INIT_ERROR,
    kNoMemory = FV_NO_MEMORY,
    kDeviceBusy = FV_DEVICE_BUSY,
    kDeviceOpenError = FV_DEVICE_OPEN_ERROR,
    kDeviceWriteError = FV_DEVICE_WRITE_ERROR,
    kFormatUnsupported = FV_FORMAT_UNSUPPORTED,
    kNoDevice = FV_NO_DEVICE,
    kDeviceError = FV_DEVICE_ERROR,
    kDeviceNoMemory = FV_DEVICE_NO_MEMORY,
    kInvalidValue = FV_INVALID_VALUE,
    kNoMorePieces = FV_NO_MORE_PIECES,
    kSynthesisError = FV_SYNTHESIS_ERROR,
    kWordNotFound = FV_WORD_NOT_FOUND,
    kDictionaryFull = FV_DICTIONARY_FULL,
    kWordExists = FV_WORD_EXISTS,
};

// Option numbers of TTS_SetOption.
enum OptionNumber : int32_t {
    kOptionUnused = 0,
    kOptionSpellCapitals = 1,
    kOptionDetectPauses = 2,
    kOptionAnalyseAmbiguities = 3,
    kOptionBufferKb = 4,
    kOptionReadQuotes = 5,
    kOptionPlaybackRate = 6,
    kOptionLetterRulesOnly = FV_OPTION_LETTER_RULES,
};

struct EngineState {
    bool initialised = false;
    bool busy = false;
    bool stopRequested = false;
    char controlCharacter = '\\';
    int32_t speed = 10;
    int32_t volume = 20;
    int32_t pitch = 10;
    float rateFactor = 1.0f;
    float pitchFactor = 1.0f;
    float volumeFactor = 1.0f;
    float currentRateFactor = 1.0f;
    float currentPitchFactor = 1.0f;
    int32_t options[6] = {0, 0, -1, -1, 1500, 0};
    int32_t chunkLimitMs = 46000;
    int32_t playbackRate = 16000;
    // Words outside the lexicon and the dictionary are read by the letter and
    // stress rules alone, without the unknown-word stage that helps them.
    bool letterRulesOnly = false;
    int32_t synthesisRate = 16000;
    int32_t bytesPerSample = 2;
    int32_t use8kVoice = 0;
    SpeechCallback callback = nullptr;
    bool musicMode = false;
    // The diphone library failed during the current call; its message has
    // been shown, and the call reports it when it ends.
    bool synthesisFailed = false;
    std::string text;  // the whole text of the current utterance (Windows-1252)
};

extern EngineState Engine;

// Where an utterance stands while the driver walks its text. Speaking and WAV
// rendering each keep one, so that piecewise rendering survives speaking.
struct UtteranceCursor {
    int32_t textLength = 0;
    int32_t parsePos = 1;
    int32_t tokenPos = 0;
    int32_t phoneCursor = -1;  // -1: the pass starts from its first phone
    bool textFinished = true;
    bool chunkFinished = true;
};
