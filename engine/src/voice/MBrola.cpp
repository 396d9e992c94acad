// The back end: phoneme lines for the diphone library, and the samples it
// gives back.
#include "voice/MBrola.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "FvDsp32.h"
#include "core/EngineState.h"
#include "core/Platform.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"

// ---------------------------------------------------------------------------
// The library behind a table of functions

namespace {

int RealInit(const char* voicePath) { return init_MBR(voicePath); }
void RealClose() { close_MBR(); }
void RealSetVolume(float ratio) { SetVolume_MBR(ratio); }
int RealWrite(const char* lines) { return write_MBR(lines); }
int RealFlush() { return flush_MBR(); }
int RealRead(short* buffer, int wanted) { return read_MBR(buffer, wanted); }
void RealReset() { reset_MBR(); }
int RealLastErrorStr(char* buffer, int size) { return lastErrorStr_MBR(buffer, size); }
int RealChannels() { return DiphoneLibraryChannels(); }
int RealSelectChannel(int channel) { return SelectDiphoneLibraryChannel(channel); }

const DiphoneLibrary kRealLibrary = {RealInit, RealClose, RealSetVolume,    RealWrite,    RealFlush,
                                     RealRead, RealReset, RealLastErrorStr, RealChannels, RealSelectChannel};

const DiphoneLibrary* currentLibrary = &kRealLibrary;

RenderedPhoneListener phoneListener = nullptr;

}  // namespace

const DiphoneLibrary& RealDiphoneLibrary() { return kRealLibrary; }
const DiphoneLibrary& Diphones() { return *currentLibrary; }
void UseDiphoneLibrary(const DiphoneLibrary& library) { currentLibrary = &library; }
void ListenToRenderedPhones(RenderedPhoneListener listener) { phoneListener = listener; }

// ---------------------------------------------------------------------------
// Starting the voice

std::string VoicePath(int use8kVoice) {
    const std::string name = use8kVoice ? "br18k.dsp" : "br1.dsp";
    std::string path = JoinPath(ExecutableDirectory(), name);
    if (!FileExists(path)) path = JoinPath(SystemDataDirectory(), name);
    return path;
}

int StartDiphoneLibrary(int use8kVoice) {
    return Diphones().init(VoicePath(use8kVoice).c_str()) == 0 ? kOk : kVoiceNotFound;
}

// ---------------------------------------------------------------------------
// Names and numbers as the library reads them

namespace {

struct SymbolPair {
    const char* symbol;
    const char* other;
};

// Symbols the voice does not tell apart: each is spoken with the diphones of
// the second.
const SymbolPair kVoiceMerges[] = {{"\xE3", "@"}, {"\xEA", "e"}, {"\xF4", "o"}, {"H", "h"}};

// Symbols whose diphones the voice names otherwise.
const SymbolPair kDiphoneRenames[] = {
    {"\xF1", "nh"}, {"\xF3", "oo"}, {"\xE9", "ee"}, {"\xE4", "am"}, {"\xEB", "em"}, {"\xEF", "im"},
    {"\xF6", "om"}, {"\xFC", "um"}, {"S", "s2"},    {"%", "r2"},    {"R", "rr"},
};

}  // namespace

std::string VoiceSymbol(const std::string& symbol) {
    for (const SymbolPair& merge : kVoiceMerges)
        if (symbol == merge.symbol) return merge.other;
    return symbol;
}

std::string DiphoneName(const std::string& symbol) {
    const std::string spoken = VoiceSymbol(symbol);
    for (const SymbolPair& rename : kDiphoneRenames)
        if (spoken == rename.symbol) return rename.other;
    return LowerCase1252(spoken);
}

namespace {

// Strips trailing zeros of a digit string, keeping at least one digit.
std::string WithoutTrailingZeros(std::string digits) {
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    return digits;
}

}  // namespace

// The general format of Delphi's FloatToStr: 15 significant digits, fixed
// notation from 0.00001 up to 15 integer digits, scientific beyond; no
// trailing zeros. std::to_chars never looks at the locale.
std::string FormatPitch(float value) {
    const double widened = value;  // exact, as extended precision would be
    if (std::isnan(widened)) return "NAN";
    if (std::isinf(widened)) return widened < 0 ? "-INF" : "INF";
    if (widened == 0) return "0";

    char text[64];
    auto result =
        std::to_chars(text, text + sizeof text, std::fabs(widened), std::chars_format::scientific, 14);
    const std::string scientific(text, result.ptr);  // d.dddddddddddddde±XX
    const size_t e = scientific.find('e');
    const std::string digits = WithoutTrailingZeros(scientific.substr(0, 1) + scientific.substr(2, e - 2));
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    const std::string sign = widened < 0 ? "-" : "";

    if (exponent >= 15 || exponent < -5) {
        std::string mantissa = digits.substr(0, 1);
        if (digits.size() > 1) mantissa += "." + digits.substr(1);
        return sign + mantissa + "E" + std::to_string(exponent);
    }
    if (exponent < 0) return sign + "0." + std::string(-exponent - 1, '0') + digits;
    const size_t integerDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= integerDigits)
        return sign + digits + std::string(integerDigits - digits.size(), '0');
    return sign + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

// ---------------------------------------------------------------------------
// Pulling samples

namespace {

void ReportSynthesisFailure(const std::string& message) {
    ShowMessage(message);
    Engine.synthesisFailed = true;
}

// Room for another pull: a full buffer doubles while untilBytes lies beyond
// it. A phone that lasts longer than a piece (a fixed duration, a long
// pause) thus keeps all its samples.
bool MakeRoom(AudioBuffer& buffer, size_t untilBytes) {
    if (buffer.length + 2 <= buffer.capacity) return true;
    if (untilBytes <= buffer.capacity) return false;
    if (buffer.Grow(std::max<size_t>(buffer.capacity * 2, 64 * 1024))) return true;
    ReportSynthesisFailure(Utf8To1252("Erro de alocação de memória"));
    return false;
}

}  // namespace

void PullSamples(AudioBuffer& buffer, size_t untilBytes) {
    constexpr int kPull = 16000;
    if (!buffer.data) return;
    while (buffer.length < untilBytes) {
        if (!MakeRoom(buffer, untilBytes)) return;
        // Never ask for more than the buffer still holds.
        const size_t room = (buffer.capacity - buffer.length) / 2;
        const int wanted = static_cast<int>(std::min<size_t>(kPull, room));
        auto* samples = reinterpret_cast<short*>(buffer.data.get() + buffer.length);
        int delivered = Diphones().read(samples, wanted);
        if (delivered < 0) {
            char message[101] = {};
            Diphones().lastErrorStr(message, 100);
            message[100] = 0;
            ReportSynthesisFailure(message);
            return;
        }
        delivered = std::min(delivered, wanted);
        buffer.length += static_cast<size_t>(delivered) * 2;
        if (delivered < wanted) return;
    }
}

void ForgetSynthesisFailure() { Engine.synthesisFailed = false; }

int WithSynthesisFailure(int result) {
    return result == kOk && Engine.synthesisFailed ? kSynthesisError : result;
}

// ---------------------------------------------------------------------------
// Rendering one piece

namespace {

// The punctuation whose token ends with a 290 ms pause: , . : ; - ( ) ' "
// and the typographic quotes 147, 148, 146, 145.
const std::string kPausePunctuation = ",.:;-()'\"\x93\x94\x92\x91";

bool IsInList(const std::string& s, const std::string& list) {
    return !s.empty() && list.find(s) != std::string::npos;
}

bool IsOneOf(const std::string& s, std::initializer_list<const char*> options) {
    for (const char* option : options)
        if (s == option) return true;
    return false;
}

bool PhoneInRange(int i) { return i >= 0 && i <= PhoneTable::kLast; }

// Past the table counts as the end: a list without its end record stops there.
bool AtEndOfPass(int i) { return !PhoneInRange(i) || IsEndRecord(PhoneList[i]); }

std::string SymbolAt(int i) { return PhoneInTable(i) ? PhoneList[i].symbol : " "; }

int TokenOfPhone(int i) { return PhoneInRange(i) ? PhoneList[i].word : -2; }

bool IsTokenEnd(int i) { return TokenOrEmpty(TokenOfPhone(i)).lastPhone == i; }

// The last token of the chunk is the one the end marker follows.
bool IsLastTokenOfChunk(int w) {
    return !TokenInTable(w) || w == TokenTable::kLast || Tokens[w + 1].start == -1;
}

struct PauseLine {
    const char* line;
    int ms;
};

// The pause after a token, chosen by its punctuation; null line for none.
PauseLine PauseAfter(char punct) {
    if (punct == '#') return {"_ 350", 350};
    if (punct != 0 && kPausePunctuation.find(punct) != std::string::npos) return {"_ 290", 290};
    if (punct == 'A') return {"_ 70", 70};
    return {nullptr, 0};
}

// The segment inserted between two phones that the voice cannot join well.
std::string TransitionSegment(const std::string& p, const std::string& n) {
    const std::string row7Left = "bkdfgjhHlmn\xF1prRstvxz";
    const std::string row7Right = "bkdfgjhHlmn\xF1prR%sStvxz";
    if (IsInList(p, "lhHmn\xF1Rrs") && n == "_") return "i";
    if (p == "_" && IsOneOf(n, {"%", "S"})) return "i";
    if (p == "%" && n == "S") return "i";
    if (p == "y" && n == "%") return "i";
    if (IsInList(p, "bkdfgptv") && IsOneOf(n, {"r", "l"})) return "";
    if (IsOneOf(p, {"%", "S"}) && IsOneOf(n, {"%", "S"})) return "i";
    if (IsInList(p, row7Left) && IsInList(n, row7Right)) return "i";
    if (IsInList(p, "\xE4\xEB\xEF\xF6\xFCyw") && IsOneOf(n, {"y", "w"})) return "i";
    if (IsInList(p, "\xE4\xEB\xEF\xF6\xFC") && n == "%") return "i";
    if (p == "\xF3" && IsOneOf(n, {"\xF4", "o", "\xF3", "\xF6"})) return "_";
    if (p == "\xF4" && n == "\xF6") return "_";
    return "";
}

// The vowel of a word's end closes: e and ê become i, o and ô become u.
bool CloseFinalVowel(int i, std::string& name) {
    const TIPO_TOKEN& token = TokenOrEmpty(TokenOfPhone(i));
    if (PhoneList[i].stress == 1) return false;
    const bool atEnd = i == token.lastPhone || (i == token.lastPhone - 1 && SymbolAt(i + 1) == "S");
    const char classLetter = token.tag.empty() ? 0 : token.tag[0];
    const bool longOrClass = token.length > 3 || (classLetter && std::strchr("RTC", classLetter));
    if (!atEnd || !longOrClass) return false;
    if (IsOneOf(SymbolAt(i - 1), {"y", "w"})) return false;
    if (IsOneOf(name, {"e", "\xEA"})) {
        name = "i";
        return true;
    }
    if (IsOneOf(name, {"o", "\xF4"})) {
        name = "u";
        return true;
    }
    return false;
}

// A word-final s or r before a vowel of the next word joins it: s sounds z,
// the tap r.
void LinkFinalConsonant(int i, std::string& name) {
    const int w = TokenOfPhone(i);
    if (w < 0 || w >= TokenTable::kLast || i != Tokens[w].lastPhone || BreakAfter(w)) return;
    if (!IsVowel(SymbolAt(i + 1))) return;
    if (name == "S")
        name = "z";
    else if (name == "%")
        name = "r";
}

// The phone's symbol after the changes a word's end undergoes.
std::string FinalPhoneName(int i) {
    std::string name = PhoneList[i].symbol;
    const int w = TokenOfPhone(i);
    const TIPO_TOKEN& token = TokenOrEmpty(w);
    if (token.phonetic) return name;
    if (IsLastTokenOfChunk(w) && (token.length <= 3 || (token.length == 4 && name == "S"))) return name;
    if (token.length == 1 && token.punct != 0 && i == token.lastPhone) return name;
    if (CloseFinalVowel(i, name)) return name;
    LinkFinalConsonant(i, name);
    return name;
}

// The pitch contour widened around its base, so that the voice sounds less flat.
float ExpandedPitch(float value, bool raisedPitch) {
    const double base = raisedPitch ? 126.0 : 120.0;
    const double v = value;
    const float expanded = static_cast<float>(v + (v - base * Engine.pitchFactor) * 1.3);
    return std::max(expanded, 25.0f);
}

class PieceRenderer {
public:
    explicit PieceRenderer(AudioBuffer& buffer) : buffer_(buffer) {}

    // Renders from phone first on; returns the last phone rendered when the
    // piece was cut, else -1.
    int Run(int first) {
        int i = std::max(first, 0);
        const int64_t limitMs = Engine.chunkLimitMs;
        const size_t limitBytes = static_cast<size_t>(std::max<int64_t>(limitMs, 0)) * 33;
        int cursor = -1;

        WriteOpening(i);
        while (!AtEndOfPass(i)) {
            RenderPhone(i);
            if (++counter_ > 10) {
                counter_ = 0;
                SendLines();
                PullSamples(buffer_);
            }
            if (elapsed_ >= limitMs) {
                // Cut after the last phone of this token, so that a piece
                // ends at a token boundary.
                cutPending_ = true;
                cutPhone_ = std::max(TokenOrEmpty(TokenOfPhone(i)).lastPhone, i);
            }
            if ((cutPending_ && i == cutPhone_) || buffer_.length + 32000 > limitBytes) {
                cursor = i;
                break;
            }
            ++i;
            if (PhoneInRange(i) && PhoneList[i].symbol == "!") ++i;
        }
        WriteClosing(i);
        return cursor;
    }

private:
    // Lines wait here and go to the library in one call before each pull:
    // one call per line cost the library a round of system calls each.
    void Write(const std::string& line) {
        pending_ += line;
        pending_ += "\r\n";
    }
    void SendLines() {
        if (!pending_.empty()) Diphones().write(pending_.c_str());
        pending_.clear();
    }

    // A line that names a phone; the listener hears of every one that is not
    // a silence ("_") or a skipped phone ("!").
    void WritePhone(const std::string& symbol, const std::string& timing) {
        Write(DiphoneName(symbol) + " " + timing);
        if (phoneListener && symbol != "_" && symbol != "!") phoneListener(VoiceSymbol(symbol));
    }

    void Transition(const std::string& next, int i) {
        const std::string segment = TransitionSegment(previous_, next);
        if (segment.empty()) return;
        const int ms = IsTokenEnd(i) ? 100 : 80;
        WritePhone(segment, std::to_string(ms) + " ");
        elapsed_ += ms;
    }

    void WriteOpening(int i) {
        std::string pitch = "120";
        if (!AtEndOfPass(i)) {
            const PitchPoint& point = PhoneList[i].points[0];
            // A phone without a pitch point would give the voice a pitch of 0.
            if (point.position != -1 && point.pitch > 0) pitch = FormatPitch(point.pitch);
        }
        Write((i == 0 ? "_ 200 50 " : "_ 10 50 ") + pitch);
    }

    void WritePauseBefore(int i) {
        const int pause = PhoneList[i].pauseBefore;
        if (pause <= 0) return;
        Transition("_", i);
        if (pause > 300) {
            Write("_ 20 ");
            Write("_ " + std::to_string(pause - 20));
            Write("_ 20 ");
        } else if (pause > 20) {
            Write("_ " + std::to_string(pause - 20));
        } else {
            // Too short to take 20 ms off: the pause as it stands.
            Write("_ " + std::to_string(pause));
        }
        elapsed_ += pause;
        previous_ = "_";
    }

    std::string PitchPoints(int i) const {
        const TPhone& phone = PhoneList[i];
        const bool raised = TokenOrEmpty(phone.word).raisedPitch != 0;
        std::string text;
        for (const PitchPoint& point : phone.points) {
            if (point.position == -1) break;
            text +=
                " " + std::to_string(point.position) + " " + FormatPitch(ExpandedPitch(point.pitch, raised));
        }
        return text;
    }

    void RenderPhone(int i) {
        WritePauseBefore(i);
        const std::string name = FinalPhoneName(i);
        PhoneList[i].symbol = name;
        Transition(name, i);
        previous_ = name;
        const int duration = PhoneList[i].duration;
        WritePhone(name, std::to_string(duration) + " " + PitchPoints(i));
        elapsed_ += duration;

        const TIPO_TOKEN& token = TokenOrEmpty(PhoneList[i].word);
        if (token.lastPhone != i) return;
        const PauseLine pause = PauseAfter(token.punct);
        if (!pause.line) return;
        Transition("_", i);
        Write(pause.line);
        elapsed_ += pause.ms;
        previous_ = "_";
    }

    void WriteClosing(int i) {
        Transition("_", i);
        Write(AtEndOfPass(i) ? "_ 200" : "_ 10");
        SendLines();
        Diphones().write("#");
    }

    AudioBuffer& buffer_;
    std::string pending_;
    std::string previous_ = "_";
    int64_t elapsed_ = 0;
    int counter_ = 0;
    bool cutPending_ = false;
    int cutPhone_ = -1;
};

}  // namespace

int StartRender(int& phoneCursor, AudioBuffer& buffer) {
    const size_t bytes = static_cast<size_t>(std::max<int32_t>(Engine.chunkLimitMs, 0)) * 35;
    if (!buffer.Allocate(bytes)) return kNoMemory;
    Diphones().flush();
    Diphones().reset();

    PieceRenderer piece(buffer);
    phoneCursor = piece.Run(phoneCursor < PhoneTable::kLast ? phoneCursor + 1 : PhoneTable::kLast + 1);
    return kOk;
}

void FinishRender(AudioBuffer& buffer) {
    PullSamples(buffer);
    Diphones().reset();
}

int Render(int& phoneCursor, AudioBuffer& buffer) {
    const int result = StartRender(phoneCursor, buffer);
    if (result == kOk) FinishRender(buffer);
    return result;
}

int VoiceChannels() {
    const DiphoneLibrary& library = Diphones();
    return library.channels && library.selectChannel ? std::max(library.channels(), 1) : 1;
}

bool SelectVoiceChannel(int channel) {
    if (!Diphones().selectChannel) return channel == 0;
    return Diphones().selectChannel(channel) == 0;
}
