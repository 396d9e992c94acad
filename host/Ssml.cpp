#include "Ssml.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>

#include "Encoding.h"

namespace {

// The engine's control character, which the hosts never change.
constexpr char kControl = '\\';
// The longest tag read as one, attributes included.
constexpr size_t kLongestTag = 1024;
// The longest pause one sequence gives.
constexpr int kLongestBreakMs = 32000;
// The duration and pitch factors the engine accepts.
constexpr double kSmallestFactor = 0.125, kLargestFactor = 8;

// ---- Markup -----------------------------------------------------------------

struct Tag {
    std::string name;  // lower case, without a namespace prefix
    bool closing = false;
    bool empty = false;  // <name ... />
    std::map<std::string, std::string> attributes;
};

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

std::string ReadName(const std::string& s, size_t& pos) {
    size_t start = pos;
    while (pos < s.size() && IsNameChar(s[pos])) ++pos;
    return s.substr(start, pos - start);
}

void SkipSpace(const std::string& s, size_t& pos) {
    while (pos < s.size() && IsXmlSpace(s[pos])) ++pos;
}

std::string LocalLowerName(std::string name) {
    if (size_t colon = name.rfind(':'); colon != std::string::npos) name.erase(0, colon + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return name;
}

// The character an entity at s[pos] == '&' stands for, in UTF-8; pos moves
// past it. nullopt when it is no entity (then "&" is text).
std::optional<std::string> ReadEntity(const std::string& s, size_t& pos) {
    // Only so far: a text of many "&" without ";" is still read in linear time.
    const size_t limit = std::min(s.size(), pos + 13);
    size_t semicolon = pos + 1;
    while (semicolon < limit && s[semicolon] != ';') ++semicolon;
    if (semicolon >= limit) return std::nullopt;
    const std::string name = s.substr(pos + 1, semicolon - pos - 1);
    static const std::map<std::string, std::string> kNamed = {{"amp", "&"},   {"lt", "<"},   {"gt", ">"},
                                                              {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
    std::string out;
    if (auto named = kNamed.find(name); named != kNamed.end()) {
        out = named->second;
    } else if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string digits = name.substr(hex ? 2 : 1);
        unsigned long code = 0;
        auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || code > 0x10FFFF)
            return std::nullopt;
        // A NUL would end the engine's text; it parts words as a blank does.
        AppendUtf8(out, code == 0 ? U' ' : static_cast<char32_t>(code));
    } else {
        return std::nullopt;
    }
    pos = semicolon + 1;
    return out;
}

std::string DecodeEntities(const std::string& s) {
    std::string out;
    for (size_t pos = 0; pos < s.size();) {
        if (s[pos] == '&')
            if (auto entity = ReadEntity(s, pos)) {
                out += *entity;
                continue;
            }
        out += s[pos++];
    }
    return out;
}

// A tag at text[at] == '<'; end is set past it. nullopt when what follows is
// no well-formed tag, and the "<" is then text. A tag is looked for only so
// far, so that a text of many "<" is still read in linear time.
std::optional<Tag> ReadTag(const std::string& text, size_t at, size_t& end) {
    const std::string s = text.substr(at, kLongestTag);
    Tag tag;
    size_t pos = 1;
    if (pos < s.size() && s[pos] == '/') {
        tag.closing = true;
        ++pos;
    }
    tag.name = ReadName(s, pos);
    if (tag.name.empty() || !std::isalpha(static_cast<unsigned char>(tag.name[0]))) return std::nullopt;
    tag.name = LocalLowerName(tag.name);
    for (;;) {
        const size_t before = pos;
        SkipSpace(s, pos);
        if (pos >= s.size()) return std::nullopt;
        if (s[pos] == '>') break;
        if (s[pos] == '/' && !tag.closing && pos + 1 < s.size() && s[pos + 1] == '>') {
            tag.empty = true;
            ++pos;
            break;
        }
        if (tag.closing || pos == before) return std::nullopt;  // attributes need a blank before them
        std::string name = LocalLowerName(ReadName(s, pos));
        SkipSpace(s, pos);
        if (name.empty() || pos >= s.size() || s[pos] != '=') return std::nullopt;
        SkipSpace(s, ++pos);
        if (pos >= s.size() || (s[pos] != '"' && s[pos] != '\'')) return std::nullopt;
        const size_t close = s.find(s[pos], pos + 1);
        if (close == std::string::npos || s.find('<', pos) < close) return std::nullopt;
        tag.attributes[name] = DecodeEntities(s.substr(pos + 1, close - pos - 1));
        pos = close + 1;
    }
    end = at + pos + 1;
    return tag;
}

// Comments, processing instructions and declarations say nothing to speak;
// a CDATA section is text. Returns false when s[pos] starts none of them.
bool SkipDeclaration(const std::string& s, size_t& pos, std::string& cdata) {
    struct Kind {
        const char* open;
        const char* close;
    };
    static constexpr Kind kKinds[] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}, {"<!", ">"}};
    for (const Kind& kind : kKinds) {
        const std::string open = kind.open;
        if (s.compare(pos, open.size(), open) != 0) continue;
        size_t close = s.find(kind.close, pos + open.size());
        if (close == std::string::npos) close = s.size();
        if (open == "<![CDATA[") cdata = s.substr(pos + open.size(), close - pos - open.size());
        pos = std::min(s.size(), close + std::string(kind.close).size());
        return true;
    }
    return false;
}

// ---- Values of attributes ---------------------------------------------------

std::optional<double> Number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    double value = 0;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A break's length: its time ("700ms", "1.5s") or else its strength.
int BreakMs(const Tag& tag) {
    if (auto time = tag.attributes.find("time"); time != tag.attributes.end()) {
        const std::string& t = time->second;
        std::optional<double> ms;
        if (EndsWith(t, "ms")) {
            ms = Number(t.substr(0, t.size() - 2));
        } else if (EndsWith(t, "s")) {
            if (auto seconds = Number(t.substr(0, t.size() - 1))) ms = *seconds * 1000;
        }
        if (ms && *ms >= 0) return static_cast<int>(std::min<double>(*ms, kLongestBreakMs));
    }
    static const std::map<std::string, int> kStrengthMs = {
        {"none", 0}, {"x-weak", 100}, {"weak", 200}, {"medium", 400}, {"strong", 700}, {"x-strong", 1200}};
    auto strength = tag.attributes.find("strength");
    auto ms = kStrengthMs.find(strength == tag.attributes.end() ? "medium" : strength->second);
    return ms == kStrengthMs.end() ? kStrengthMs.at("medium") : ms->second;
}

// A prosody value as a factor of the enclosing one: a word of the scale,
// "+10%", "-20%", "150%", "1.5", or semitones ("+2st"). nullopt when none.
std::optional<double> ProsodyFactor(const std::string& value, const std::map<std::string, double>& words) {
    if (auto word = words.find(value); word != words.end()) return word->second;
    if (EndsWith(value, "%")) {
        std::optional<double> percent = Number(value.substr(0, value.size() - 1));
        if (!percent) return std::nullopt;
        return value[0] == '+' || value[0] == '-' ? 1 + *percent / 100 : *percent / 100;
    }
    if (EndsWith(value, "st")) {
        std::optional<double> semitones = Number(value.substr(0, value.size() - 2));
        if (!semitones) return std::nullopt;
        return std::exp2(*semitones / 12);
    }
    return Number(value);
}

double Clamped(double factor) { return std::clamp(factor, kSmallestFactor, kLargestFactor); }

const std::map<std::string, double> kRateWords = {{"x-slow", 0.5}, {"slow", 0.7}, {"medium", 1},
                                                  {"fast", 1.4},   {"x-fast", 2}, {"default", 1}};
const std::map<std::string, double> kPitchWords = {{"x-low", 0.7}, {"low", 0.85},   {"medium", 1},
                                                   {"high", 1.2},  {"x-high", 1.4}, {"default", 1}};

std::string FactorText(double factor) {
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, factor, std::chars_format::fixed, 3);
    std::string text(buffer, error == std::errc() ? end : buffer);
    while (text.size() > 1 && text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

bool IsLetter1252(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7) ||
           c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}

// The engine reads a lone "e" or "o" as the word, not the letter; with the
// accent it says the letter's name.
std::string LoneLetter(char c) {
    switch (c) {
        case 'e':
            return "\xE9";
        case 'E':
            return "\xC9";
        case 'o':
            return "\xF3";
        case 'O':
            return "\xD3";
        default:
            return std::string(1, c);
    }
}

std::string EscapedControl(const std::string& cp1252) {
    std::string out;
    for (char c : cp1252) {
        out += c;
        // A blank after the control character leaves nothing a sequence can start with.
        if (c == kControl) out += ' ';
    }
    return out;
}

// ---- The reader ---------------------------------------------------------------

class SsmlReader {
public:
    explicit SsmlReader(const std::string& ssml) : s_(ssml) {}

    std::vector<SpeechPart> Read() {
        for (size_t pos = 0; pos < s_.size();) {
            std::string cdata;
            if (s_[pos] == '<' && SkipDeclaration(s_, pos, cdata)) {
                AddContent(cdata);
            } else if (size_t end = 0; s_[pos] == '<' && Apply(ReadTag(s_, pos, end))) {
                pos = end;
            } else if (auto entity = s_[pos] == '&' ? ReadEntity(s_, pos) : std::nullopt) {
                AddContent(*entity);
            } else {
                AddContent(std::string(1, s_[pos++]));
            }
        }
        EndSpelling();
        EndText();
        return parts_;
    }

private:
    struct Element {
        std::string name;
        double rate = 1, pitch = 1;  // speaking rate and pitch, as factors
        bool spelling = false;
    };

    // Acts on a tag; false when there is none.
    bool Apply(const std::optional<Tag>& read) {
        if (!read) return false;
        const Tag& tag = *read;
        if (tag.closing) {
            Close(tag.name);
            return true;
        }
        if (tag.name == "break") {
            breakMs_ = std::min(kLongestBreakMs, breakMs_ + BreakMs(tag));
        } else if (tag.name == "mark") {
            if (auto name = tag.attributes.find("name"); name != tag.attributes.end()) Mark(name->second);
        } else if (tag.name == "p" || tag.name == "s" || tag.name == "paragraph" || tag.name == "sentence") {
            EndSentence();
        }
        if (!tag.empty) Open(tag);
        return true;
    }

    void Open(const Tag& tag) {
        Element element = Top();
        element.name = tag.name;
        if (tag.name == "prosody") {
            if (auto rate = tag.attributes.find("rate"); rate != tag.attributes.end())
                if (auto f = ProsodyFactor(rate->second, kRateWords); f && *f > 0)
                    element.rate = Clamped(element.rate * *f);
            if (auto pitch = tag.attributes.find("pitch"); pitch != tag.attributes.end())
                if (auto f = ProsodyFactor(pitch->second, kPitchWords); f && *f > 0)
                    element.pitch = Clamped(element.pitch * *f);
        } else if (tag.name == "say-as") {
            auto as = tag.attributes.find("interpret-as");
            element.spelling =
                element.spelling ||
                (as != tag.attributes.end() && (as->second == "characters" || as->second == "spell-out"));
        }
        open_.push_back(element);
    }

    // A closing tag ends the innermost element of its name and any left open
    // inside it; one that closes nothing is ignored.
    void Close(const std::string& name) {
        auto match =
            std::find_if(open_.rbegin(), open_.rend(), [&](const Element& e) { return e.name == name; });
        if (match == open_.rend()) return;
        const bool wasSpelling = Top().spelling;
        open_.erase(std::next(match).base(), open_.end());
        if (wasSpelling && !Top().spelling) EndSpelling();
        if (name == "p" || name == "s" || name == "paragraph" || name == "sentence") EndSentence();
    }

    Element Top() const { return open_.empty() ? Element{} : open_.back(); }

    void AddContent(const std::string& utf8) {
        if (Top().spelling) {
            spelling_ += utf8;
            return;
        }
        for (char c : utf8) {
            if (IsXmlSpace(c) || c == '\0') {
                blank_ = true;
                continue;
            }
            BeforeWord();
            run_ += c;
        }
    }

    // What must be in force when the next word starts: a blank after the
    // word before, then the pending break, rate and pitch.
    void BeforeWord() {
        if (blank_ && !(run_.empty() && text_.empty())) run_ += ' ';
        blank_ = false;
        const Element top = Top();
        if (breakMs_ == 0 && top.rate == rateInText_ && top.pitch == pitchInText_) return;
        FlushRun();
        if (breakMs_ > 0) AddSequence('P', std::to_string(breakMs_));
        if (top.rate != rateInText_) AddSequence('V', FactorText(1 / top.rate));
        if (top.pitch != pitchInText_) AddSequence('T', FactorText(top.pitch));
        breakMs_ = 0;
        rateInText_ = top.rate;
        pitchInText_ = top.pitch;
    }

    // A sequence stands apart from the words around it; the blank after it
    // ends it.
    void AddSequence(char letter, const std::string& value) {
        if (!text_.empty() && text_.back() != ' ' && text_.back() != '\n') text_ += ' ';
        text_ += std::string(1, kControl) + letter + value + " ";
    }

    void FlushRun() {
        text_ += EscapedControl(Utf8ToCp1252(run_));
        run_.clear();
    }

    void EndSpelling() {
        if (spelling_.empty()) return;
        const std::string spelled = SpelledOut(Utf8ToCp1252(spelling_));
        spelling_.clear();
        blank_ = true;
        BeforeWord();
        FlushRun();
        text_ += spelled;
        blank_ = true;
    }

    // A sentence or paragraph ends a line, which ends the engine's chunk.
    void EndSentence() {
        EndSpelling();
        FlushRun();
        if (!text_.empty() && !EndsWith(text_, "\r\n")) text_ += "\r\n";
        blank_ = false;
    }

    void Mark(const std::string& name) {
        EndSpelling();
        EndText();
        parts_.push_back({SpeechPart::Kind::Mark, name});
    }

    // The text so far becomes a part; the next one is a new call to the
    // engine, which starts again from the usual rate and pitch.
    void EndText() {
        FlushRun();
        if (text_.find_first_not_of(" \r\n") != std::string::npos)
            parts_.push_back({SpeechPart::Kind::Text, text_});
        text_.clear();
        blank_ = false;
        rateInText_ = pitchInText_ = 1;
    }

    const std::string& s_;
    std::vector<Element> open_;
    std::vector<SpeechPart> parts_;
    std::string text_;      // the current part, for the engine
    std::string run_;       // content not yet converted, UTF-8
    std::string spelling_;  // the content of say-as characters, UTF-8
    bool blank_ = false;    // a blank is due before the next word
    int breakMs_ = 0;
    double rateInText_ = 1, pitchInText_ = 1;
};

}  // namespace

std::vector<SpeechPart> SsmlToSpeech(const std::string& ssml) { return SsmlReader(ssml).Read(); }

std::string SsmlToText(const std::string& ssml) {
    std::string text;
    for (const SpeechPart& part : SsmlToSpeech(ssml))
        if (part.kind == SpeechPart::Kind::Text) text += (text.empty() ? "" : " ") + part.value;
    return text;
}

std::string PlainTextForEngine(const std::string& text) { return EscapedControl(Utf8ToCp1252(text)); }

std::string SpelledOut(const std::string& cp1252) {
    std::string out;
    auto add = [&out](const std::string& piece) { out += (out.empty() ? "" : " ") + piece; };
    for (size_t k = 0; k < cp1252.size();) {
        size_t end = k;
        while (end < cp1252.size() && IsLetter1252(static_cast<unsigned char>(cp1252[end]))) ++end;
        if (end - k == 1) {
            add(LoneLetter(cp1252[k]));
        } else if (end > k) {
            std::string initials;
            for (size_t i = k; i < end; ++i) initials += std::string(1, cp1252[i]) + ".";
            add(initials);
        } else {
            end = k + 1;
            if (!IsXmlSpace(cp1252[k]) && cp1252[k] != '\0') add(EscapedControl(std::string(1, cp1252[k])));
        }
        k = end;
    }
    return out;
}
