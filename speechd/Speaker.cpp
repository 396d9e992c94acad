#include "Speaker.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "Messages.h"
#include "SpokenSymbols.h"
#include "falavoz32.h"

namespace {

constexpr int kOptionReadQuotes = 5;
const char* const kVoice16k = "br1";
const char* const kVoice8k = "br1 8 kHz";

// The end of a text, as the engine reports it (on this thread, from inside
// TTS_PlayText or WaveCallback).
bool textEnded = false;
int textResult = 0;

void FV_CALL OnTextEnd(int32_t, int32_t result, int32_t) {
    textEnded = true;
    textResult = result;
}

// A whole number from the server, held to its range; false when it is none.
bool ReadInt(const std::string& text, int& value) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end) return false;
    value = static_cast<int>(std::clamp(n, -100L, 100L));
    return true;
}

// A mark's name goes out on one line of the protocol.
std::string OnOneLine(std::string name) {
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return name;
}

void ReportFailure(int code) { std::fprintf(stderr, "sd_falavoz: %s\n", MessageForCode(code).c_str()); }

}  // namespace

int EngineScale(int value) {
    value = std::clamp(value, -100, 100);
    // Ten steps up and nine down from the middle.
    return value >= 0 ? 10 + value / 10 : std::max(1, 10 + (value * 9 - 99) / 100);
}

int EngineVolume(int value) {
    return value >= 0 ? 20 : std::max(1, 20 + (std::max(value, -100) * 19 - 99) / 100);
}

Speaker::Speaker(std::function<void(const std::string&)> event) : event_(std::move(event)) {}

std::string Speaker::Init() {
    const int result = TTS_Init(0, OnTextEnd, voice8k_ ? 1 : 0);
    engineVoice8k_ = voice8k_;
    return result == FV_OK ? "" : MessageForCode(result);
}

std::vector<SpeechBackend::Voice> Speaker::Voices() const {
    return {{kVoice16k, "pt-BR"}, {kVoice8k, "pt-BR"}};
}

bool Speaker::Set(const std::string& name, const std::string& value) {
    if (name == "rate") return ReadInt(value, rate_);
    if (name == "pitch") return ReadInt(value, pitch_);
    if (name == "volume") return ReadInt(value, volume_);
    if (name == "spelling_mode") {
        spelling_ = value == "on";
    } else if (name == "punctuation_mode") {
        readQuotes_ = value == "all" || value == "most";
    } else if (name == "synthesis_voice") {
        if (value == kVoice8k) voice8k_ = true;
        if (value == kVoice16k) voice8k_ = false;
    }
    // The rest (language, voice type, capitals, ...) has one answer here.
    return true;
}

bool Speaker::Speak(MessageKind kind, const std::string& text) {
    // A message that replaces one still speaking stops it; the event goes
    // out after the reply to this one.
    if (inMessage_) {
        CutSpeech();
        stopEventDue_ = true;
    }
    parts_.clear();
    if (kind == MessageKind::Ssml) {
        // Spelling mode reads the whole message as characters.
        std::vector<SpeechPart> parts =
            SsmlToSpeech(spelling_ ? "<say-as interpret-as=\"characters\">" + text + "</say-as>" : text);
        parts_.assign(parts.begin(), parts.end());
    } else if (kind == MessageKind::Character) {
        parts_.push_back({SpeechPart::Kind::Text, SpokenCharacter(text)});
    } else if (kind == MessageKind::Key) {
        parts_.push_back({SpeechPart::Kind::Text, SpokenKey(text)});
    }
    // A sound icon has no sound here: it begins and ends at once.
    inMessage_ = true;
    beginDue_ = true;
    return true;
}

void Speaker::Stop() {
    if (!inMessage_) return;
    CutSpeech();
    EndMessage("703 STOP");
}

// The speech stops at once; the server resumes it from the last mark
// reported.
void Speaker::Pause() {
    if (!inMessage_) return;
    CutSpeech();
    EndMessage("704 PAUSE");
}

// A stopped text ends without the engine's callback.
void Speaker::CutSpeech() {
    if (playing_) TTS_StopText();
    playing_ = textEnded = false;
}

void Speaker::ApplySettings() {
    if (voice8k_ != engineVoice8k_) Init();
    const int result =
        TTS_SetMode(static_cast<uint8_t>(EngineScale(rate_)), static_cast<uint8_t>(EngineVolume(volume_)),
                    static_cast<uint8_t>(EngineScale(pitch_)));
    if (result != FV_OK) ReportFailure(result);
    TTS_SetOption(kOptionReadQuotes, readQuotes_ ? 1 : 0);
}

void Speaker::EndMessage(const char* event) {
    parts_.clear();
    inMessage_ = beginDue_ = waitingForEngine_ = false;
    event_(event);
}

void Speaker::Advance() {
    waitingForEngine_ = false;
    if (std::exchange(stopEventDue_, false)) event_("703 STOP");
    for (;;) {
        if (std::exchange(textEnded, false)) {
            playing_ = false;
            if (textResult != FV_OK) ReportFailure(textResult);
        }
        if (!inMessage_ || playing_) return;
        if (beginDue_) {
            ApplySettings();
            event_("701 BEGIN");
            beginDue_ = false;
        }
        if (parts_.empty()) return EndMessage("702 END");
        const SpeechPart part = parts_.front();
        if (part.kind == SpeechPart::Kind::Mark) {
            parts_.pop_front();
            event_("700-" + OnOneLine(part.value));
            event_("700 INDEX MARK");
            continue;
        }
        const int result = TTS_PlayText(part.value.c_str(), 1);
        if (result == FV_BUSY) {
            // The engine is still ending a stopped text; its completion comes soon.
            waitingForEngine_ = true;
            return;
        }
        parts_.pop_front();
        if (result == FV_OK)
            playing_ = true;
        else
            ReportFailure(result);
    }
}
