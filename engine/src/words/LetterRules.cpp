// Letter-to-phoneme rules: vowels (with nasal closure and the coda that
// follows them) and consonants, each a short list where the first rule that
// matches wins.
#include "words/LetterRules.h"

#include <algorithm>

#include "core/TextUtil.h"

namespace {

// Letters and phoneme codes outside ASCII, in Windows-1252.
constexpr char kAAcute = '\xE1';      // á
constexpr char kAGrave = '\xE0';      // à
constexpr char kACirc = '\xE2';       // â
constexpr char kATilde = '\xE3';      // ã
constexpr char kCCedilla = '\xE7';    // ç
constexpr char kEAcute = '\xE9';      // é, also the open e
constexpr char kECirc = '\xEA';       // ê
constexpr char kIAcute = '\xED';      // í
constexpr char kOAcute = '\xF3';      // ó, also the open o
constexpr char kOCirc = '\xF4';       // ô
constexpr char kOTilde = '\xF5';      // õ
constexpr char kUAcute = '\xFA';      // ú
constexpr char kUDiaeresis = '\xFC';  // ü, also the nasal u
constexpr char kNasalA = '\xE4';      // ä
constexpr char kNasalE = '\xEB';      // ë
constexpr char kNasalI = '\xEF';      // ï
constexpr char kNasalO = '\xF6';      // ö
constexpr char kNasalU = '\xFC';      // ü
constexpr char kPalatalN = '\xF1';    // ñ, the sound written nh

// A set of letters, written in UTF-8 for the reader and kept in Windows-1252.
class LetterSet {
public:
    explicit LetterSet(const char* utf8) : letters_(Utf8To1252(utf8)) {}
    bool Has(char c) const { return c != 0 && letters_.find(c) != std::string::npos; }

private:
    std::string letters_;
};

// The letter of the word at a 1-based position; 0 outside the word.
char LetterAt(const std::string& word, int pos) {
    if (pos < 1 || pos > static_cast<int>(word.size())) return 0;
    return word[static_cast<size_t>(pos - 1)];
}

bool IsVowelLetter(char c) { return c != 0 && IsVowelChar(c); }

std::string Code(char c) { return std::string(1, c); }

// The current letter and its neighbours, read once at the start of a call:
// n1..n3 after it, p1..p3 before it; 0 where the word ends.
struct Context {
    char cur = 0;
    char n1 = 0, n2 = 0, n3 = 0;
    char p1 = 0, p2 = 0, p3 = 0;
    bool first = false;
    bool last = false;
};

Context ReadContext(const std::string& word, int pos) {
    Context c;
    c.cur = LetterAt(word, pos);
    c.n1 = LetterAt(word, pos + 1);
    c.n2 = LetterAt(word, pos + 2);
    c.n3 = LetterAt(word, pos + 3);
    c.p1 = LetterAt(word, pos - 1);
    c.p2 = LetterAt(word, pos - 2);
    c.p3 = LetterAt(word, pos - 3);
    c.first = pos == 1;
    c.last = pos == static_cast<int>(word.size());
    return c;
}

// ---- Vowels ------------------------------------------------------------------

// A vowel followed by m, or by n that does not open "nh", and then by no
// vowel is nasal and swallows the consonant.
bool NasalClosure(const Context& c) {
    return (c.n1 == 'm' || (c.n1 == 'n' && c.n2 != 'h')) && !IsVowelLetter(c.n2);
}

// The nasal code of a vowel letter; 0 for letters without one.
char NasalCode(char letter) {
    static const LetterSet a("aáàâã"), e("eêé"), i("iíy"), o("oôó"), u("uúüw");
    if (a.Has(letter)) return kNasalA;
    if (e.Has(letter)) return kNasalE;
    if (i.Has(letter)) return kNasalI;
    if (o.Has(letter)) return kNasalO;
    if (u.Has(letter)) return kNasalU;
    return 0;
}

std::string ARule(const Context& c) {
    static const LetterSet eao("eao"), ao("ao");
    if (c.n1 == 'n' && eao.Has(c.n2) && (c.n3 == 's' || c.n3 == 0)) return "@";
    if (IsVowelLetter(c.p1) || c.n1 != 'm') return "a";
    if (!ao.Has(c.n2)) return "a";
    if ((c.n3 != 0 && c.n3 != 's') || c.first) return "a";
    return "@";  // "cama", "camas": raised before m and a final a or o
}

std::string IRule(const Context& c) {
    static const LetterSet opensAfter("uáéó"), rsl("rsl");
    if (c.n1 == 'o' && c.n2 == 0) return "y";
    if (opensAfter.Has(c.n1)) return "i";
    if (c.n1 == 'a' && c.n2 == 'd' && c.n3 == 'o') return "i";
    if (c.n1 == kCCedilla || c.n2 == kCCedilla || c.first || c.cur == kIAcute) return "i";
    // After the u of "qui" and "gui", silent or spoken ("qüi", "güi"), the
    // i is a full vowel.
    if (c.p2 == 'q' || (c.p2 == 'g' && (c.p1 == 'u' || c.p1 == kUDiaeresis)) || c.p1 == 'r') return "i";
    if (!IsVowelLetter(c.p1) && !IsVowelLetter(c.n1)) return "i";
    if (!rsl.Has(c.n2)) return "y";
    return IsVowelLetter(c.n3) ? "y" : "i";
}

std::string URule(const Context& c) {
    static const LetterSet fullVowelAfter("áéíóuâêôi"), rsl("rsl");
    if (fullVowelAfter.Has(c.n1)) return "u";
    if (IsVowelLetter(c.p1) || c.p1 == 'h') return "u";
    if (c.n1 == kCCedilla || c.n1 == 'l' || c.n2 == kCCedilla || c.first) return "u";
    if (c.cur == kUAcute) return "u";
    if (c.p1 == 'r') return "u";
    if (!IsVowelLetter(c.n1)) return "u";
    if (!rsl.Has(c.n2)) return "w";
    return IsVowelLetter(c.n3) ? "w" : "u";
}

// The sound of a vowel letter before any coda; may consume letters.
std::string VowelSound(const Context& c, int& pos) {
    if (c.cur == kOTilde) {  // õ has no nasal test: it is nasal already
        if (c.n1 == 'e' && c.n2 == 's') {
            pos += 2;
            return Utf8To1252("oëS");
        }
        return "o";
    }
    if (NasalClosure(c)) {
        ++pos;
        return Code(NasalCode(c.cur));
    }
    switch (c.cur) {
        case 'a':
        case kAAcute:
        case kAGrave:
            return ARule(c);
        case kACirc:
            return "@";
        case kATilde:
            if (c.n1 == 'o') {
                ++pos;
                return "@w";
            }
            return "@";
        case 'e':
        case kECirc:
            if (c.cur == 'e' && c.n1 == 'e' && c.n2 != 'm' && c.n2 != 'n') {
                ++pos;
                return "i";
            }
            return "e";
        case kEAcute:
            return Code(kEAcute);
        case 'i':
        case kIAcute:
            return IRule(c);
        case 'y':
            return "i";
        case 'o':
        case kOCirc:
            // Words ending in "bol" ("futebol") have the open o.
            if (c.cur == 'o' && c.p1 == 'b' && c.n1 == 'l' && c.n2 == 0) return Code(kOAcute);
            return "o";
        case kOAcute:
            return Code(kOAcute);
        case 'u':
        case kUAcute:
        case kUDiaeresis:
            return URule(c);
        case 'w':
            return "u";
        default:
            return "";
    }
}

bool CountsAsVowel(const std::string& phonemes) { return phonemes.size() == 1 && IsVowelLetter(phonemes[0]); }

bool IsNasalCode(char c) {
    static const LetterSet nasal("äëïöü");
    return nasal.Has(c);
}

// What closes the syllable after a vowel: a vocalised l, an r, an s. The
// context is the one read at the start of the call, except for the s.
void ApplyCodaRules(const Context& c, const std::string& word, int& pos, std::string& phonemes) {
    if (c.n1 == 'l' && !IsVowelLetter(c.n2) && c.n2 != 'h' && !IsNasalCode(phonemes[0]) &&
        !(c.n2 == 'l' && c.n3 != 0)) {
        phonemes += "w";
        ++pos;
        return;
    }
    if (c.n1 == 'u' && c.n2 == 'l') {
        phonemes += "w";
        ++pos;
        return;
    }
    if (c.n1 == 'r' && !IsVowelLetter(c.n2) && c.n2 != 'r') {
        if (phonemes == "y") phonemes[0] = 'i';  // a glide before r is a full vowel
        phonemes += "%";
        ++pos;
        if (c.n2 == 's' && !IsVowelLetter(c.n3)) ++pos;  // the s of a final "rs" is silent
        return;
    }
    if (IsNasalCode(phonemes[0]) && c.n2 == 'r') {
        phonemes += "R";
        ++pos;
        return;
    }
    const char next = LetterAt(word, pos + 1);
    const char afterNext = LetterAt(word, pos + 2);
    if (next == 's' && !IsVowelLetter(afterNext) && afterNext != 's' && afterNext != 'h') {
        phonemes += "S";
        ++pos;
    }
}

// ---- Consonants ----------------------------------------------------------------

std::string CRule(const Context& c, int& pos) {
    // â belongs with the letters that keep c hard: "câmera", "câncer".
    static const LetterSet hard("aáâãôóouúrl");
    if (c.n1 == 'h') {
        ++pos;
        return "x";
    }
    if (hard.Has(c.n1)) return "k";
    if (c.n1 == 'c' || c.n1 == kCCedilla) {
        ++pos;
        return "ks";
    }
    if (c.n1 == 'k') {
        ++pos;
        return "k";
    }
    if (IsVowelLetter(c.n1)) return "s";
    return "ki";  // "pacto": an i is heard after a c that closes a syllable
}

// g is hard before a, o, u, a consonant and at the end of the word, whatever
// precedes it ("agora", "largo").
std::string GRule(const Context& c, int& pos) {
    static const LetterSet soft("eêéií"), softAfterU("eéêií");
    if (c.n1 == kUDiaeresis) {
        ++pos;
        return "gw";
    }
    if (soft.Has(c.n1)) return "j";
    if (c.n1 == 'u' && softAfterU.Has(c.n2)) {
        ++pos;  // the u of "gue", "gui" is silent
        return "g";
    }
    return "g";
}

std::string LRule(const Context& c, int& pos) {
    if (c.n1 == 'h') {
        ++pos;
        return "h";
    }
    if (c.p1 == 'l') return "";
    return "l";
}

std::string NRule(const Context& c, int& pos) {
    if (c.n1 == 'h') {
        ++pos;
        return Code(kPalatalN);
    }
    return "n";
}

std::string QRule(const Context& c, int& pos) {
    if (c.n1 == kUDiaeresis) {
        ++pos;
        return "kw";
    }
    if (c.first && c.n1 == 'u' && (c.n2 == 'a' || c.n2 == kAAcute)) {
        ++pos;
        return "kw";
    }
    if (c.n1 == 'u') ++pos;
    return "k";
}

std::string RRule(const Context& c, int& pos) {
    if (c.last) return "%";
    if (c.first) return "R";
    if (c.n1 == 'r') {
        ++pos;
        return "R";
    }
    return "r";
}

std::string SRule(const Context& c, int& pos) {
    if (c.n1 == 'h') {
        ++pos;
        return "x";
    }
    if (c.last) return "S";
    if ((c.n1 == kATilde && c.n2 == 'o') || (c.n1 == kOTilde && c.n2 == 'e'))
        return IsVowelLetter(c.p1) ? "z" : "s";
    if (IsVowelLetter(c.p1) && IsVowelLetter(c.n1)) return "z";
    if (IsVowelLetter(c.p1) && (c.n1 == 'c' || c.n1 == kCCedilla)) {
        ++pos;  // "nascer", "desça": one s sound for "sc" and "sç"
        return "s";
    }
    if (c.first && !IsVowelLetter(c.n1)) return "iS";  // "sport" is read "isport"
    if (c.n1 != 's' && c.p1 != 0) return IsVowelLetter(c.n1) ? "s" : "S";
    if (c.n1 == 's') {
        ++pos;
        return c.n2 == 0 ? "S" : "s";
    }
    return "s";
}

std::string TRule(const Context& c, int& pos) {
    if (c.n1 == 'c' && c.n2 == 'h') {
        pos += 2;
        return "x";
    }
    return "t";
}

std::string XRule(const Context& c, int& pos) {
    if (c.n1 == 'c' && IsVowelLetter(c.n2)) {
        ++pos;  // "exceto": x and c make one s
        return "s";
    }
    if (c.last) return "kyS";
    // "proximidade", and "próximo" with its written accent.
    if (c.p3 == 'p' && c.p2 == 'r' && (c.p1 == 'o' || c.p1 == kOAcute)) return "s";
    if ((c.p2 == 'f' && c.p1 == 'i') || ((c.p3 == 'p' || c.p3 == 'f') && c.p2 == 'l'))
        return IsVowelLetter(c.n1) ? "kys" : "kyS";  // "fixo", "flexão", "complexo"
    if (c.n1 == 'y') {
        ++pos;
        return "kysi";
    }
    if (c.first) return "x";
    if (c.p1 != 'e') return IsVowelLetter(c.n1) ? "x" : "S";
    // After e: "texto", "sexo", "exame", "mexer".
    if (!IsVowelLetter(c.n1)) return "S";
    if (c.p2 == 's') return "kys";
    if (c.p2 != 'm') return "z";
    return "x";
}

std::string ConsonantSound(const Context& c, int& pos) {
    switch (c.cur) {
        case 'c':
            return CRule(c, pos);
        case kCCedilla:
            return "s";
        case 'g':
            return GRule(c, pos);
        case 'h':
            return "";
        case 'l':
            return LRule(c, pos);
        case 'm':
            return "m";
        case 'n':
            return NRule(c, pos);
        case 'q':
            return QRule(c, pos);
        case 'r':
            return RRule(c, pos);
        case 's':
            return SRule(c, pos);
        case 't':
            return TRule(c, pos);
        case 'x':
            return XRule(c, pos);
        case 'z':
            return IsVowelLetter(c.n1) ? "z" : "S";
        default:
            return "";
    }
}

bool IsVowelRuleLetter(char c) {
    static const LetterSet vowels("aáàâãeéêiíyoóôõuúüw");
    return vowels.Has(c);
}

}  // namespace

bool IsRuleLetter(char c) {
    static const LetterSet rules("aáãâeéêiíoóôõuüúctlmnrsgçqxhzywà");
    return rules.Has(c);
}

void TranscribeLetter(const std::string& word, int& position, std::string& phonemes) {
    phonemes.clear();
    const int length = static_cast<int>(word.size());
    if (position < 1 || position > length) return;
    const Context c = ReadContext(word, position);
    if (IsVowelRuleLetter(c.cur)) {
        phonemes = VowelSound(c, position);
        if (CountsAsVowel(phonemes)) ApplyCodaRules(c, word, position, phonemes);
    } else {
        phonemes = ConsonantSound(c, position);
    }
    position = std::min(position, length);
}
