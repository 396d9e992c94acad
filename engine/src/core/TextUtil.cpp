// Character classes and string operations on Windows-1252 text.
#include "core/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>

#include "core/BuiltinTables.h"
#include "core/Platform.h"

namespace {

// The characters 0x80..0x9F of Windows-1252 as Unicode code points; 0 where
// the code page leaves the byte undefined.
constexpr uint16_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The sets below are written in UTF-8 for the reader and kept in
// Windows-1252, as the text is.
const std::string& SeparatorSet() {
    static const std::string set = Utf8To1252(" ,.\\-()!?:;]}[{¿¡“”’‘\"'");
    return set;
}
const std::string& VowelSet() {
    static const std::string set = Utf8To1252("aeiouáéíóúüâêôãõäëïöüày");
    return set;
}
const std::string& AccentedVowelSet() {
    static const std::string set = Utf8To1252("áéíóúâêôãõ");
    return set;
}
const std::string& PhonemeSet() {
    static const std::string set = Utf8To1252("a@äeéëiïoóöuüywbdfghjklmnñprR%sStvxz_êôHã");
    return set;
}

bool Contains(const std::string& set, char c) { return set.find(c) != std::string::npos; }

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

char& DecimalSeparatorValue() {
    static char separator = SystemDecimalSeparator();
    return separator;
}

}  // namespace

std::string Utf8To1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        unsigned char lead = Byte(utf8[i]);
        uint32_t code = lead;
        size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        if (lead >= 0x80 && extra == 0) {
            out += '?';  // a stray continuation byte
            ++i;
            continue;
        }
        if (extra > 0) {
            code = lead & (0x3F >> extra);
            for (size_t k = 1; k <= extra; ++k) {
                unsigned char part = i + k < utf8.size() ? Byte(utf8[i + k]) : 0;
                code = (code << 6) | (part & 0x3F);
            }
        }
        i += extra + 1;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        const uint16_t* found = std::find(std::begin(kHighControls), std::end(kHighControls), code);
        out += found != std::end(kHighControls) && code != 0
                   ? static_cast<char>(0x80 + (found - std::begin(kHighControls)))
                   : '?';
    }
    return out;
}

std::string Utf8From1252(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) {
        uint32_t code = Byte(c);
        if (code >= 0x80 && code < 0xA0) code = kHighControls[code - 0x80];
        if (code == 0) {
            out += '?';
        } else if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

char DecimalSeparator() { return DecimalSeparatorValue(); }

void SetDecimalSeparator(char separator) { DecimalSeparatorValue() = separator; }

unsigned char LowerChar1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 16;  // Š Œ Ž
    if (c == 0x9F) return 0xFF;                              // Ÿ
    return c;
}

unsigned char UpperChar1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    if (c == 0x9A || c == 0x9C || c == 0x9E) return c - 16;  // š œ ž
    if (c == 0xFF) return 0x9F;                              // ÿ
    return c;
}

std::string LowerCase1252(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(LowerChar1252(Byte(c)));
    return out;
}

std::string UpperCase1252(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(UpperChar1252(Byte(c)));
    return out;
}

// ---- Single characters --------------------------------------------------

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

bool IsSeparatorChar(char c) { return Byte(c) < 0x20 || Contains(SeparatorSet(), c); }

bool IsNumericChar(char c) { return IsDigitChar(c) || c == ',' || c == '.' || c == '-'; }

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }
bool IsNumberGroupBlank(char c) { return c == ' ' || c == '\xA0'; }

bool IsLetterChar(char c) {
    unsigned char b = Byte(c);
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= 0xC0 && b <= 0xFC);
}

bool IsVowelChar(char c) { return Contains(VowelSet(), static_cast<char>(LowerChar1252(Byte(c)))); }

bool IsPhonemeChar(char c) { return Contains(PhonemeSet(), c); }

// ---- Predicates on strings ----------------------------------------------

bool IsBlank(const std::string& s) { return s.size() == 1 && IsBlankChar(s[0]); }

bool IsWordChar(const std::string& s) { return s.empty() || !IsSeparatorChar(s[0]); }

bool IsNumericText(const std::string& s) {
    if (s.empty()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (!IsNumericChar(s[i])) return false;
        if (s[i] == '-' && i > 0) return false;
    }
    return true;
}

bool IsDigits(const std::string& s) { return !s.empty() && std::all_of(s.begin(), s.end(), IsDigitChar); }

bool HasDigit(const std::string& s) { return std::any_of(s.begin(), s.end(), IsDigitChar); }

bool IsLetters(const std::string& s) { return std::all_of(s.begin(), s.end(), IsLetterChar); }

bool IsSentenceEnd(const std::string& s) {
    return !s.empty() && std::string(".?!").find(s) != std::string::npos;
}

bool IsVowel(const std::string& s) {
    return !s.empty() && VowelSet().find(LowerCase1252(s)) != std::string::npos;
}

int LastAccentPos(const std::string& s) {
    for (size_t i = s.size(); i > 0; --i)
        if (Contains(AccentedVowelSet(), s[i - 1])) return static_cast<int>(i);
    return 0;
}

bool IsAllCaps(const std::string& s) {
    if (s.empty() || s != UpperCase1252(s)) return false;
    unsigned char first = Byte(s[0]);
    return (first >= 'A' && first <= 'Z') || (first >= 0xC0 && first <= 0xFC);
}

bool IsUpperText(const std::string& s) { return s == UpperCase1252(s); }

bool IsDottedInitials(const std::string& s) {
    if (s.size() < 3) return false;
    for (size_t i = 1; i < s.size(); i += 2)
        if (s[i] != '.') return false;
    return true;
}

bool IsGroupedNumber(const std::string& s) {
    const int length = static_cast<int>(s.size());
    const int dotPos = PosCharFrom(0, s, '.');
    int commaPos = PosCharFrom(0, s, ',');
    if (commaPos == 0) commaPos = length + 1;
    const int maxDotPos = (!s.empty() && s[0] == '-') ? 5 : 4;
    if (dotPos == 1 || commaPos < dotPos || dotPos > maxDotPos) return false;
    int lastDot = dotPos;
    if (dotPos > 0) {
        for (int p = dotPos + 1; p < commaPos; ++p) {
            if (s[p - 1] != '.') continue;
            if (p != lastDot + 4) return false;
            lastDot = p;
        }
    }
    return lastDot == commaPos - 4;
}

namespace {

// Top-level domains that make "site.com.br" an address without "www.".
bool IsTopLevelDomain(std::string_view label) {
    static constexpr std::string_view kDomains[] = {"com", "br", "org", "net", "gov", "edu", "pt", "io"};
    for (std::string_view domain : kDomains)
        if (label == domain) return true;
    return false;
}

bool IsHostCharacter(char c) { return IsLetterChar(c) || IsDigitChar(c) || c == '-' || c == '_'; }

// "site.com.br": labels of letters, digits and hyphens between points, the
// last a top-level domain.
bool IsHostName(std::string_view host) {
    const size_t lastPoint = host.rfind('.');
    if (lastPoint == std::string_view::npos || lastPoint == 0) return false;
    if (!IsTopLevelDomain(host.substr(lastPoint + 1))) return false;
    if (host.find("..") != std::string_view::npos) return false;
    for (char c : host)
        if (c != '.' && !IsHostCharacter(c)) return false;
    return true;
}

}  // namespace

// An e-mail address ("fulano@site.com.br"), or a web address with its
// scheme, with "www." or with a known domain ("site.com.br/noticias").
bool IsWebAddress(std::string_view lower) {
    const size_t at = lower.find('@');
    if (at != std::string_view::npos)
        return at > 0 && IsHostName(lower.substr(at + 1)) &&
               std::all_of(lower.begin(), lower.begin() + static_cast<long>(at),
                           [](char c) { return IsHostCharacter(c) || c == '.'; });
    for (std::string_view scheme : {"http://", "https://", "ftp://", "www."})
        if (lower.starts_with(scheme) && lower.size() > scheme.size()) return true;
    return IsHostName(lower.substr(0, lower.find('/')));
}

bool IsHardCluster(const std::string& s) {
    const int length = static_cast<int>(s.size());
    const int runNeeded = std::min(4, length);
    int run = 0;
    for (int i = 0; i < length; ++i) {
        run = IsVowelChar(s[i]) ? 0 : run + 1;
        if (run > 0 && run == runNeeded) {
            const char first = s[i - run + 1];
            if (!Contains("mnbp", first) || run == length) return true;
        }
    }
    return false;
}

bool IsNamedSymbol(const std::string& s) {
    if (s.empty()) return false;
    unsigned char c = Byte(s[0]);
    bool symbolRange = c < 0x41 || (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
    return symbolRange && !CharacterNames[c].empty();
}

bool IsPhonemeSymbol(const std::string& s) { return !s.empty() && IsPhonemeChar(s[0]); }

// ---- String operations ----------------------------------------------------

std::string Left(const std::string& s, int n) {
    if (n <= 0) return "";
    return s.substr(0, static_cast<size_t>(n));
}

std::string Right(const std::string& s, int n) {
    if (n <= 0) return "";
    size_t count = std::min(s.size(), static_cast<size_t>(n));
    return s.substr(s.size() - count);
}

std::string Mid(const std::string& s, int from, int count) {
    if (from < 1) from = 1;
    if (count <= 0 || from > static_cast<int>(s.size())) return "";
    return s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(count));
}

int PosFrom(int start, const std::string& s, const std::string& sub) {
    if (start < 1) start = 1;
    if (sub.empty() || start > static_cast<int>(s.size())) return 0;
    size_t found = s.find(sub, static_cast<size_t>(start - 1));
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

int PosCharFrom(int start, const std::string& s, char ch) { return PosFrom(start, s, std::string(1, ch)); }

bool IntOrZero(const std::string& s, long& value) {
    if (s.empty()) {
        value = 0;
        return true;
    }
    size_t begin = s.find_first_not_of(' ');  // the conversion skips leading blanks
    if (begin == std::string::npos) return false;
    if (s[begin] == '+') {
        ++begin;
        if (begin == s.size() || !IsDigitChar(s[begin])) return false;
    }
    const char* first = s.data() + begin;
    const char* last = s.data() + s.size();
    long parsed = 0;
    auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end != last) return false;
    value = parsed;
    return true;
}

std::string DigitsOnly(const std::string& s) {
    std::string digits;
    for (char c : s)
        if (IsDigitChar(c)) digits += c;
    return digits;
}

std::string Trim(const std::string& s) {
    size_t first = 0;
    size_t last = s.size();
    while (first < last && Byte(s[first]) <= ' ') ++first;
    while (last > first && Byte(s[last - 1]) <= ' ') --last;
    return s.substr(first, last - first);
}

std::string CommaToPoint(const std::string& s) {
    std::string out = s;
    if (size_t comma = out.find(','); comma != std::string::npos) out[comma] = '.';
    return out;
}

std::string ToSystemDecimal(const std::string& s) {
    std::string out = s;
    size_t mark = out.find('.');
    if (mark == std::string::npos) mark = out.find(',');
    if (mark != std::string::npos) out[mark] = DecimalSeparator();
    return out;
}

std::pair<std::string, std::string> SplitAtComma(const std::string& s) {
    size_t comma = s.find(',');
    if (comma == std::string::npos) return {s, ""};
    return {s.substr(0, comma), s.substr(comma + 1)};
}

std::string StripLeadingZeros(const std::string& s) {
    std::string out = s;
    for (size_t i = 0; i + 1 < out.size() && out[i] == '0'; ++i) out[i] = ' ';
    // Trimmed as text is: every control character and blank at either end.
    size_t first = 0;
    while (first < out.size() && Byte(out[first]) <= 0x20) ++first;
    size_t last = out.size();
    while (last > first && Byte(out[last - 1]) <= 0x20) --last;
    return out.substr(first, last - first);
}

std::string RemoveCharInRange(const std::string& s, char ch, int from, int to) {
    std::string out;
    out.reserve(s.size());
    const int length = static_cast<int>(s.size());
    for (int p = 1; p <= length; ++p) {
        if (p >= from && p <= to && s[p - 1] == ch) {
            // The walk passes over the position after a removal, which is
            // thus kept whatever it holds.
            if (p + 1 <= length) out += s[p];
            ++p;
            continue;
        }
        out += s[p - 1];
    }
    return out;
}

std::string UpToTab(const std::string& s) { return s.substr(0, s.find('\t')); }

WordList::WordList(std::initializer_list<std::string_view> utf8Words) {
    for (std::string_view word : utf8Words) words_.push_back(Utf8To1252(word));
}

bool WordList::Contains(const std::string& word) const {
    return std::find(words_.begin(), words_.end(), word) != words_.end();
}

namespace {

// A unit's name: a stem that takes the count's number, maybe a word after it
// that agrees as well ("metros quadrados"), and maybe words that never change
// ("quilômetros por hora").
struct UnitEntry {
    const char* abbreviation;  // as written; capitals only where they must be
    const char* stem;          // UTF-8 here, Windows-1252 when returned
    const char* agreeing;
    const char* fixed;
    bool masculine;
};

// Written as the lexicon reads the same words, so that "5 km" and "5km"
// sound as "cinco quilômetros" does.
constexpr UnitEntry kUnits[] = {
    {"g", " -gr`@-ma", "", "", true},
    {"mg", " -mi-li-gr`@-ma", "", "", true},
    {"kg", " -k`i-lu", "", "", true},
    {"t", " -to-ne-l`a-da", "", "", false},
    {"ton", " -to-ne-l`a-da", "", "", false},
    {"mm", " -mi-l`i-me-tru", "", "", true},
    {"cm", " -së-t`i-me-tru", "", "", true},
    {"m", " -m`e-tru", "", "", true},
    {"km", " -ki-l`o-me-tru", "", "", true},
    {"cm²", " -së-t`i-me-tru", " -kwa-dr`a-du", "", true},
    {"m²", " -m`e-tru", " -kwa-dr`a-du", "", true},
    {"km²", " -ki-l`o-me-tru", " -kwa-dr`a-du", "", true},
    {"cm³", " -së-t`i-me-tru", " -k`u-bi-ku", "", true},
    {"m³", " -m`e-tru", " -k`u-bi-ku", "", true},
    {"l", " -l`i-tru", "", "", true},
    {"L", " -l`i-tru", "", "", true},
    {"ml", " -mi-li-l`i-tru", "", "", true},
    {"mL", " -mi-li-l`i-tru", "", "", true},
    {"s", " -se-g`ü-du", "", "", true},
    {"min", " -mi-n`u-tu", "", "", true},
    {"h", " -`ó-ra", "", "", false},
    {"hs", " -`ó-ra", "", "", false},
    {"km/h", " -ki-l`o-me-tru", "", " -po%- -`ó-ra- ", true},
    {"°C", " -gr`a-u", "", " -s`ew-si-uS- ", true},
    {"ºC", " -gr`a-u", "", " -s`ew-si-uS- ", true},
};

std::string UnitName(const UnitEntry& entry, const char* ending) {
    std::string name = std::string(entry.stem) + ending;
    if (*entry.agreeing != '\0') name += std::string(entry.agreeing) + ending;
    return Utf8To1252(name + entry.fixed);
}

}  // namespace

bool FindUnit(const std::string& abbreviation, UnitOfMeasure& unit) {
    if (abbreviation.empty()) return false;
    const unsigned char last = Byte(abbreviation.back());
    const bool lowerLast = UpperChar1252(last) != last;
    const std::string lower = LowerCase1252(abbreviation);
    for (const UnitEntry& entry : kUnits) {
        const std::string written = Utf8To1252(entry.abbreviation);
        if (abbreviation != written && !(lowerLast && lower == LowerCase1252(written))) continue;
        unit = {UnitName(entry, "- "), UnitName(entry, "S- "), entry.masculine};
        return true;
    }
    return false;
}

std::string SpellCharacters(const std::string& s) {
    std::string spoken;
    for (char c : s) {
        spoken += CharacterNames[Byte(c)];
        if (c == '1') spoken += "_";  // a short pause keeps "um" apart from what follows
    }
    return spoken;
}

namespace {

// What Syllabify appends for one phoneme symbol, given its neighbours.
std::string SyllablePiece(char ch, int nextCh, char previous, const std::string& result) {
    const std::string alone(1, ch);
    const uint16_t cls = PhoneClassOf(ch);
    if ((ch == 'i' && nextCh == 'a') || (ch == 'a' && nextCh == 'i')) return alone + "-";
    static const std::string nasalVowels = Utf8To1252("äëïöü");
    if (cls == kClassVowel && Contains(nasalVowels, ch) && nextCh != 'S') return alone + "-";
    if (cls == kClassGlide) {
        bool afterVowel = PhoneClassOf(previous) == kClassVowel;
        return afterVowel && nextCh != 'S' && nextCh != '%' ? alone + "-" : alone;
    }
    if (ch == '%' || ch == 'S') return alone + "-";
    if (cls >= kClassFricative && cls <= kClassNasal) {
        // A plosive or f/v followed by r or l opens one syllable together.
        if ((ch == 'r' || ch == 'l') && Contains("bkdfgptv", previous)) return alone;
        if (!result.empty() && result.back() == '-') return alone;
        return "-" + alone;
    }
    return alone;
}

}  // namespace

std::string Syllabify(const std::string& phonetic) {
    std::string result = " -";
    char previous = 0;  // class 0 before the first symbol
    for (size_t i = 0; i < phonetic.size(); ++i) {
        const char ch = phonetic[i];
        const int nextCh = i + 1 < phonetic.size() ? phonetic[i + 1] : -1;
        result += SyllablePiece(ch, nextCh, previous, result);
        previous = ch;
    }
    if (result.back() != '-') result += '-';
    return result + " ";
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool ReadTextFileLines(const std::string& path, std::string& text) {
    // Only a regular file: a FIFO would wait for a writer, a device never end.
    if (!FileExists(path)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.clear();
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text += line;
        text += "\r\n";
    }
    return !in.bad();
}

bool ReadDataLine(std::istream& in, std::string& line) {
    line.clear();
    if (!in.good()) {
        in.setstate(std::ios::failbit);
        return false;
    }
    std::streambuf* source = in.rdbuf();
    for (;;) {
        const int c = source->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(line.empty() ? std::ios::eofbit | std::ios::failbit : std::ios::eofbit);
            if (line.empty()) return false;
            break;
        }
        if (c == '\n') break;
        const bool crOfLineEnd = c == '\r' && line.size() == kLongestDataLine;
        if (line.size() >= kLongestDataLine && !crOfLineEnd) {
            in.setstate(std::ios::badbit);
            return false;
        }
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}
