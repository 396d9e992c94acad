// The input parser: one chunk of the input text at a time into Tokens.
#include "text/Parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "words/Data.h"

namespace {

constexpr int kNone = -1;                        // "no character": past the end of the text
constexpr int kTokenLimit = kMaxTokensPerChunk;  // entry 499 never holds a token

// A word with its dot that the lexicon lists, like "dr.": the dot does not
// end a sentence.
bool IsLexiconAbbreviation(const std::string& s) {
    TIPO_REG_PAL record;
    return !s.empty() && LexiconLookup(LowerCase1252(s), record);
}

int CharAt(const std::string& text, int pos) {
    if (pos < 1 || pos > static_cast<int>(text.size())) return kNone;
    return static_cast<unsigned char>(text[pos - 1]);
}

// A number of a control sequence: "." or "," as decimal mark, nothing else
// around it. The conversion does not depend on the process's locale.
bool ConvertNumber(const std::string& number, double& value) {
    const std::string local = ToSystemDecimal(number);
    const char separator = DecimalSeparator();
    std::string plain;
    for (char c : local) {
        bool allowed =
            (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E' || c == separator;
        if (!allowed) return false;
        plain += c == separator ? '.' : c;
    }
    if (!plain.empty() && plain[0] == '+') {
        plain.erase(0, 1);
        if (!plain.empty() && plain[0] == '-') return false;
    }
    const char* first = plain.data();
    const char* last = plain.data() + plain.size();
    double parsed = 0;
    auto [end, error] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

// A character ConvertNumber may accept.
bool MayBeInNumber(char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E' || c == '.' || c == ',' ||
           c == DecimalSeparator();
}

// The kinds of control sequence, by the letters after the control character.
enum class Command { None, V, VA, T, TA, P, E, L, I };

Command CommandAt(const std::string& text, int pos) {
    const std::string two = Mid(text, pos + 1, 2);
    if (two == "VA") return Command::VA;
    if (two == "TA") return Command::TA;
    switch (CharAt(text, pos + 1)) {
        case 'V':
            return Command::V;
        case 'T':
            return Command::T;
        case 'P':
            return Command::P;
        case 'E':
            return Command::E;
        case 'L':
            return Command::L;
        case 'I':
            return Command::I;
        default:
            return Command::None;
    }
}

// Writes a control sequence's setting, clamped, into the entry of the token
// that follows it.
void StoreSetting(Command command, double value, TIPO_TOKEN& entry) {
    switch (command) {
        case Command::V:
            entry.durationValue = static_cast<float>(std::clamp(value, 0.01, 8.0));
            break;
        case Command::VA:
            entry.durationValue = static_cast<float>(std::clamp(value, 10.0, 32000.0));
            entry.durationAbsolute = 1;
            break;
        case Command::T:
            entry.pitchValue = static_cast<float>(std::clamp(value, 0.01, 8.0));
            break;
        case Command::TA:
            entry.pitchValue = static_cast<float>(std::clamp(value, 30.0, 300.0));
            entry.pitchAbsolute = 1;
            break;
        case Command::P:
            entry.pauseMs = static_cast<uint16_t>(std::clamp(value, 5.0, 32000.0));
            break;
        case Command::E:
            // Emphasis is a byte: larger values count as the largest one.
            entry.emphasis = static_cast<uint8_t>(std::clamp(std::trunc(value), 0.0, 255.0));
            break;
        case Command::L:
            entry.level = static_cast<uint8_t>(std::clamp(value, 1.0, 20.0));
            break;
        case Command::I:
            entry.accentToggle = 1;
            break;
        case Command::None:
            break;
    }
}

bool IsQuoteOrBracket(int c) {
    switch (c) {
        case '[':
        case ']':
        case '{':
        case '}':
        case '\'':
        case '"':
        case 0x93:
        case 0x94:
        case 0x92:
        case 0x91:
            return true;
        default:
            return false;
    }
}

bool IsBracket(int c) { return c == '[' || c == ']' || c == '{' || c == '}'; }

// What may follow ".", "?" or "!" for it to end a sentence.
bool EndsSentenceBefore(int next) {
    switch (next) {
        case ' ':
        case '\t':
        case '\r':
        case ')':
        case '.':
        case 0x93:
        case 0x94:
        case 0x92:
        case 0x91:
        case '"':
        case '\'':
            return true;
        default:
            return false;
    }
}

bool IsNumericAt(int c) { return c != kNone && IsNumericChar(static_cast<char>(c)); }

bool IsWordCharAt(int c) { return c != kNone && !IsSeparatorChar(static_cast<char>(c)); }

bool IsBlankAt(int c) { return c == ' ' || c == '\t'; }

// The walk over one chunk: the running position and the token being built.
class ChunkParser {
public:
    ChunkParser(const std::string& text, int textEnd, int pos) : text_(text), textEnd_(textEnd), pos_(pos) {}

    int Run();

private:
    enum class Step { Advance, Stay, EndChunk };

    Step Apply(int ch, int next);
    Step PhoneticMark();
    bool ControlSequence();
    Step SentenceMark(int ch);
    Step QuoteOrBracket(int ch);
    Step Dash(int next);
    bool InAddress() const;
    Step Underscore(int next);
    bool CutAtTokenLimit();
    void StartToken(int at);
    void SetPunct(int ch) {
        if (cur_ >= 0) Tokens[cur_].punct = static_cast<char>(ch);
    }
    TIPO_TOKEN& Current() { return Tokens[cur_]; }

    const std::string& text_;
    const int textEnd_;
    int pos_;
    int cur_ = -1;
    bool inWord_ = false;
    bool inPhonetic_ = false;
};

void ChunkParser::StartToken(int at) {
    if (Tokens[cur_].length != 0) ++cur_;
    ClearToken(cur_);
    Tokens[cur_].start = at;
}

int ChunkParser::Run() {
    ClearToken(-1);
    Tokens[-1].start = -1;
    Tokens[-1].length = -1;
    while (pos_ <= textEnd_) {
        const int ch = CharAt(text_, pos_);
        const int next = pos_ < textEnd_ ? CharAt(text_, pos_ + 1) : kNone;
        const Step step = Apply(ch, next);
        if (step == Step::EndChunk) break;
        if (step == Step::Advance) {
            if (inWord_) ++Current().length;
            ++pos_;
        }
        if (CutAtTokenLimit()) break;
    }
    if (Tokens[cur_].length != 0) ++cur_;
    ClearToken(cur_);
    Tokens[cur_].start = -1;
    Tokens[cur_].length = -1;
    return pos_;
}

// A full table ends the chunk after the last complete token; the token being
// read is read again by the next chunk.
bool ChunkParser::CutAtTokenLimit() {
    if (cur_ < kTokenLimit) return false;
    const TIPO_TOKEN& last = Tokens[cur_ - 1];
    pos_ = last.start + last.length;
    // After a phonetic token the mark that closed its section must not open
    // a new one in the next chunk.
    if (last.phonetic && CharAt(text_, pos_) == static_cast<unsigned char>(Engine.controlCharacter) &&
        CharAt(text_, pos_ + 1) == '*')
        pos_ += 2;
    Current().length = 0;
    return true;
}

ChunkParser::Step ChunkParser::Apply(int ch, int next) {
    const int control = static_cast<unsigned char>(Engine.controlCharacter);
    if (ch == control && next == '*') return PhoneticMark();
    if (inPhonetic_) {
        inWord_ = true;
        return Step::Advance;
    }
    if (IsBlankAt(ch) || ch == '\n' || (ch == '\r' && cur_ == -1)) {
        if (ch == '\t') SetPunct(',');  // a tab between words reads as a comma
        inWord_ = false;
        return Step::Advance;
    }
    if (ch == control && ControlSequence()) return Step::Advance;
    if (ch == '\r') {
        ++pos_;
        return Step::EndChunk;
    }
    if (ch == '(' || ch == ')') {
        SetPunct(ch);
        inWord_ = false;
        return Step::Advance;
    }
    if ((ch == '.' || ch == '?' || ch == '!') && pos_ != 1 && EndsSentenceBefore(next))
        return SentenceMark(ch);
    if ((ch == ',' || ch == ';' || ch == ':') && (IsBlankAt(next) || next == '\r')) {
        SetPunct(ch);
        inWord_ = false;
        return Step::Advance;
    }
    if (IsQuoteOrBracket(ch)) return QuoteOrBracket(ch);
    if (ch == '-') return Dash(next);
    if (ch == '_') return Underscore(next);
    if (!inWord_) StartToken(pos_);
    inWord_ = true;
    return Step::Advance;
}

// The control character and "*" open or close a phonetic section.
ChunkParser::Step ChunkParser::PhoneticMark() {
    if (inPhonetic_) {
        inPhonetic_ = false;
        inWord_ = false;
        ++pos_;
        return Step::Advance;
    }
    inPhonetic_ = true;
    pos_ += 2;
    StartToken(pos_);
    Current().phonetic = 1;
    inWord_ = true;
    // The transcription's first character is read by the next step, so that
    // an empty section or one at the end of the text adds nothing.
    return Step::Stay;
}

// A control sequence at pos stores its setting; false when there is none, and
// the control character is then read as text.
bool ChunkParser::ControlSequence() {
    int end = pos_;
    double value = 0;
    if (!ParseCommand(text_, end, value)) return false;
    const Command command = CommandAt(text_, pos_);
    if (command == Command::None) {
        // A sequence with a letter we do not know: the word begins here.
        StartToken(pos_);
        inWord_ = true;
        return true;
    }
    StoreSetting(command, value, Tokens[cur_ + 1]);
    inWord_ = false;
    pos_ = end;
    return true;
}

ChunkParser::Step ChunkParser::SentenceMark(int ch) {
    if (ch == '.') {
        const std::string word = TokenText(cur_);
        // Initials: "J." keeps its dot, "EUA." loses it unless a sentence
        // begins after it.
        if (cur_ != 0 && IsAllCaps(word)) {
            if (word.size() == 1 && inWord_) return Step::Advance;
            if (word.size() > 1 && !NextWordCapitalised(pos_ + 1)) {
                inWord_ = false;
                return Step::Advance;
            }
        }
        if (!word.empty() && IsLexiconAbbreviation(word + ".")) return Step::Advance;
    }
    SetPunct(ch);
    ++pos_;
    return Step::EndChunk;
}

ChunkParser::Step ChunkParser::QuoteOrBracket(int ch) {
    inWord_ = false;
    if (IsBracket(ch) || Engine.options[kOptionReadQuotes] != 0) {
        StartToken(pos_);
        Current().length = 1;
    } else {
        SetPunct(',');
    }
    return Step::Advance;
}

// The word being read, up to the next blank, is a web or e-mail address. No
// address is longer than kLongestAddress: a long word of hyphens is not
// searched again at each of them.
bool ChunkParser::InAddress() const {
    constexpr int kLongestAddress = 256;
    const int start = Tokens[cur_].start;
    int end = pos_;
    while (end <= textEnd_ && !IsBlankAt(CharAt(text_, end)) && CharAt(text_, end) != '\r') {
        if (end - start > kLongestAddress) return false;
        ++end;
    }
    std::string word = Mid(text_, start, end - start);
    // A full stop after the address is not part of it.
    while (!word.empty() && std::string_view(".,;:!?").find(word.back()) != std::string_view::npos)
        word.pop_back();
    return IsWebAddress(LowerCase1252(word));
}

ChunkParser::Step ChunkParser::Dash(int next) {
    const int before = CharAt(text_, pos_ - 1);
    const bool numberFollows = IsNumericAt(next) || (next != kNone && CurrencyAt(pos_ + 1));
    if (pos_ > 1 && IsNumericAt(before) && numberFollows && inWord_) return Step::Advance;  // 10-20
    if (numberFollows) {  // -5, or 10-20 after a dropped character
        StartToken(pos_);
        inWord_ = true;
        return Step::Advance;
    }
    if (inWord_ && InAddress()) return Step::Advance;              // meu-site.com.br
    if (pos_ > 1 && IsWordCharAt(before) && IsWordCharAt(next)) {  // guarda-chuva
        ++pos_;
        StartToken(pos_);
        inWord_ = true;
        return Step::Advance;
    }
    StartToken(pos_);
    inWord_ = true;
    return Step::Advance;
}

ChunkParser::Step ChunkParser::Underscore(int next) {
    const bool dropped =
        (!inWord_ && !IsBlankAt(next)) || (inWord_ && IsBlankAt(next) && Current().length > 1);
    if (dropped) {
        inWord_ = false;
        return Step::Advance;
    }
    if (!inWord_) StartToken(pos_);
    inWord_ = true;
    return Step::Advance;
}

}  // namespace

bool ParseCommand(const std::string& text, int& pos, double& value) {
    const int length = static_cast<int>(text.size());
    if (CharAt(text, pos) != static_cast<unsigned char>(Engine.controlCharacter)) return false;
    if (CharAt(text, pos + 1) == 'I' && CharAt(text, pos + 2) == ' ') {
        value = 0;
        pos += 2;
        return true;
    }
    // The number runs to the next blank (or the end of the text). A character
    // no number holds ends the search at once, as the sequence cannot be a
    // command: a text of control characters without blanks is read in linear
    // time.
    const int numberStart = CharAt(text, pos + 2) == 'A' ? pos + 3 : pos + 2;
    int end = pos + 1;
    for (; end <= length && text[end - 1] != ' '; ++end)
        if (end >= numberStart && !MayBeInNumber(text[end - 1])) return false;
    if (end <= pos + 2) return false;
    double converted = 0;
    if (!ConvertNumber(Mid(text, numberStart, end - numberStart), converted)) return false;
    value = converted;
    pos = end;
    return true;
}

bool ParseChunk(int textEnd, int& pos) {
    const std::string& text = Engine.text;
    // Never walk past the text, whatever the caller believes its end to be.
    textEnd = std::min(textEnd, static_cast<int>(text.size()));
    if (pos < 1) pos = 1;
    pos = ChunkParser(text, textEnd, pos).Run();
    return pos >= textEnd - 1;
}
