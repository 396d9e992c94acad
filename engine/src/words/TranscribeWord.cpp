// Words read by rule: the stressed vowel, the decision to spell a word out,
// the letter walk over the letter rules, and the words "x" and "-".
#include "words/TranscribeWord.h"

#include <array>
#include <string_view>
#include <vector>

#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "words/LetterRules.h"

namespace {

// Readings of "x" between numbers, of "x" as a letter, of "x" after a
// number ("3 x": three times) and of "-" as a minus sign.
constexpr const char* kTimes = " -p`o%- ";
constexpr const char* kLetterX = " -x`iS- ";
constexpr const char* kTimesAfterNumber = " -v`e-zeS- ";
constexpr const char* kMinus = " -m`\xEA-n\xF4S- ";  // ê, ô

constexpr char kStressMark = '`';

char LetterAt(const std::string& word, int pos) {
    if (pos < 1 || pos > static_cast<int>(word.size())) return 0;
    return word[static_cast<size_t>(pos - 1)];
}

bool VowelAt(const std::string& word, int pos) {
    const char c = LetterAt(word, pos);
    return c != 0 && IsVowelChar(c);
}

bool IsConsonantLetter(char c) {
    return c != 0 && std::string_view("bcdfghjklmnpqrstvxz").find(c) != std::string_view::npos;
}

// ---- Stress ------------------------------------------------------------------

// The last vowel at or before k; 0 when none.
int VowelAtOrBefore(const std::string& word, int k) {
    while (k >= 1 && !VowelAt(word, k)) --k;
    return k;
}

// A vowel v is closed by r when an r that opens no syllable follows it; the
// "rr" of "bairro" opens the next syllable.
bool ClosedByR(const std::string& word, int v) {
    return LetterAt(word, v + 1) == 'r' && LetterAt(word, v + 2) != 'r' && !VowelAt(word, v + 2);
}

// Whether the vowel at v closes a falling diphthong with the vowel before
// it ("pai", "meu"): an unaccented i or u that no nasal closing follows
// ("ainda", "ruim" are hiatuses). Two other vowels are two syllables
// ("carioca", "coroa").
bool ClosesDiphthong(const std::string& word, int v) {
    const char glide = LetterAt(word, v);
    if (glide != 'i' && glide != 'u') return false;
    const char next = LetterAt(word, v + 1);
    const bool nasalClosing =
        (next == 'm' || next == 'n') && !VowelAt(word, v + 2) && LetterAt(word, v + 2) != 'h';
    return !nasalClosing;
}

// The nucleus of the syllable of the first vowel at or before k: a falling
// diphthong is stressed on its first vowel.
int NucleusFrom(const std::string& word, int k) {
    const int v = VowelAtOrBefore(word, k);
    if (v < 1) return 0;
    if (ClosedByR(word, v)) return v;
    if (v == 1) return 0;
    const char before = LetterAt(word, v - 1);
    if (std::string_view("\xE1\xE9\xED\xF3\xFA").find(before) != std::string_view::npos &&  // áéíóú
        LetterAt(word, v) == 'a')
        return v;
    if (VowelAt(word, v - 1) && ClosesDiphthong(word, v)) return v - 1;
    return v;
}

// The vowel before the last one, skipping the u of "qu" and "gu" (but not
// that of "atua").
int PenultimateStress(const std::string& word) {
    const int v = VowelAtOrBefore(word, static_cast<int>(word.size()));
    if (v < 1) return 0;
    int from = v;
    if (!ClosedByR(word, v)) {
        from = v - 1;
        const char before = LetterAt(word, from - 1);
        if (LetterAt(word, from) == 'u' && (before == 'q' || before == 'g')) --from;
    }
    return NucleusFrom(word, from);
}

struct Ending {
    const char* letters;
    bool penultimate;
};

// Tried in this order; the first ending the word has decides.
const std::array<Ending, 11>& StressEndings() {
    static const std::array<Ending, 11> endings = {{
        {"\xE3o", false},  // ão
        {"\xF5"
         "e",
         false},  // õe
        {"\xF5"
         "es",
         false},  // ões
        {"a", true},
        {"e", true},
        {"o", true},
        {"as", true},
        {"es", true},
        {"os", true},
        {"ens", true},
        {"em", true},
    }};
    return endings;
}

bool StressedOnPenultimate(const std::string& word) {
    for (const Ending& ending : StressEndings()) {
        const std::string letters = ending.letters;
        if (Right(word, static_cast<int>(letters.size())) == letters) return ending.penultimate;
    }
    const int length = static_cast<int>(word.size());
    return length >= 2 && length != 3 && VowelAt(word, length) && VowelAt(word, length - 1);
}

// The last acute or circumflex: it outweighs a tilde ("órfão", "bênção").
int LastAcuteOrCircumflex(const std::string& word) {
    const size_t at = word.find_last_of("\xE1\xE9\xED\xF3\xFA\xE2\xEA\xF4");  // áéíóúâêô
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

// ---- Tokens --------------------------------------------------------------------

// The token before token i, when there is one to mark.
TIPO_TOKEN* TokenBefore(int i) { return i >= 1 ? TokenAt(i - 1) : nullptr; }

void MarkHyphenPause(int tokenIndex) {
    if (TIPO_TOKEN* before = TokenBefore(tokenIndex)) before->punct = '-';
}

const std::string& NameOf(char c) { return CharacterNames[static_cast<unsigned char>(c)]; }

// ---- The word "x" ----------------------------------------------------------------

std::string ReadX(const WordContext& context) {
    if (context.numericBefore && context.numericAfter) return kTimes;
    if (!context.numericBefore || context.numericAfter) return kLetterX;
    return kTimesAfterNumber;
}

// ---- Spelling --------------------------------------------------------------------

std::string SpellWord(const std::string& word, int tokenIndex) {
    std::string result;
    if (!(word.size() == 2 && word[1] == '.')) {  // "a." alone is an initial: silent
        for (char c : word) {
            if ((c == '.' && word != ".") || IsBlankChar(c)) continue;
            const std::string& name = NameOf(c);
            if (name.empty()) continue;
            // A vowel's name is a single vowel: it is lengthened to be heard.
            if (PhoneClassOf(c) == kClassVowel && c != '@')
                result += " \\V1.8 " + name + " \\V1 ";
            else
                result += name;
        }
    }
    TIPO_TOKEN* token = TokenAt(tokenIndex);
    if (!IsNamedSymbol(word) && IsLetters(word)) {
        result = " \\V1.25 " + result + " \\V1 ";
        if (token) token->phraseMark = 1;
    }
    if (result.find('_') != std::string::npos) result += "_ ";
    if (token) token->phonetic = 1;
    return result;
}

// ---- Letters without rules ----------------------------------------------------------

std::string HyphenSegment(const std::string& word, bool numberBefore, bool hyphenPause,
                          const WordContext& context) {
    if (context.longNumber) return kMinus;
    if (numberBefore && word == "-" && context.numericAfter) return kMinus;
    if (context.opensWithMinus) return kMinus;
    if (context.wordBefore && context.wordAfter && word[0] == '-') {
        MarkHyphenPause(context.tokenIndex);
        return "_";
    }
    if (hyphenPause) {
        MarkHyphenPause(context.tokenIndex);
        return "_";
    }
    if (context.isWord) return "_";
    return NameOf('-');
}

// A letter the rules do not read: a symbol's name, a lone consonant's name,
// or the letter as its own phoneme code.
std::string PlainLetterSegment(const std::string& word, char letter) {
    const std::string alone(1, letter);
    if (IsNamedSymbol(alone)) return NameOf(letter);
    if (word.size() == 1) {
        // "à" and "á" have no phoneme code of their own but are words.
        if (letter == '\xE0' || letter == '\xE1') return "a";
        if (!IsVowelChar(letter) && !NameOf(letter).empty()) return NameOf(letter);
    }
    if (PhoneClassOf(letter) != kClassNone) return alone;
    return "";
}

// ---- The letter walk ---------------------------------------------------------------

// letterOf, when given, takes for each character of the result the 1-based
// position of the letter it was read from.
std::string ReadByRule(const std::string& word, bool numberBefore, bool hyphenPause,
                       const WordContext& context, std::vector<int>* letterOf = nullptr) {
    int stress = StressPosition(word);
    std::string result = stress == 0 ? std::string(1, kStressMark) : std::string();
    if (letterOf) letterOf->assign(result.size(), 1);
    const int length = static_cast<int>(word.size());
    char previous = 0;
    for (int p = 1; p <= length; ++p) {
        const int first = p;
        const char letter = word[static_cast<size_t>(p - 1)];
        std::string segment;
        if (letter == previous && IsConsonantLetter(letter)) {
            // A doubled consonant is read once.
        } else if (IsRuleLetter(letter) && length > 1) {
            if (p == stress) {
                result += kStressMark;
                stress = 0;
            }
            TranscribeLetter(word, p, segment);
        } else if (letter == '-') {
            segment = HyphenSegment(word, numberBefore, hyphenPause, context);
        } else {
            segment = PlainLetterSegment(word, letter);
        }
        if (p == stress) {
            // The stressed letter was written here, not by the rules: the
            // mark follows it.
            if (segment == "y") segment[0] = 'i';
            result += segment + kStressMark;
        } else {
            result += segment;
        }
        if (letterOf) letterOf->resize(result.size(), first);
        previous = letter;
    }
    return result;
}

}  // namespace

WordContext ContextOfToken(int tokenIndex) {
    const std::string own = TokenText(tokenIndex);
    WordContext context;
    context.tokenIndex = tokenIndex;
    context.allCaps = IsAllCaps(own);
    context.longNumber = IsNumericText(own) && own.size() > 1;
    context.opensWithMinus = own.size() >= 2 && own[0] == '-' && IsDigitChar(own[1]);
    context.isWord = IsWordToken(tokenIndex);
    context.wordBefore = IsWordToken(tokenIndex - 1);
    context.wordAfter = IsWordToken(tokenIndex + 1);
    context.numericBefore = IsNumericText(TokenText(tokenIndex - 1));
    context.numericAfter = IsNumericText(TokenText(tokenIndex + 1));
    return context;
}

bool IsSpelledOut(const std::string& word, const WordContext& context) {
    if (IsDottedInitials(word)) return true;
    if (context.allCaps && (word.size() < 4 || Engine.options[kOptionSpellCapitals] != 0)) return true;
    return IsHardCluster(word);
}

bool IsSpelledOut(const std::string& word, int tokenIndex) {
    return IsSpelledOut(word, ContextOfToken(tokenIndex));
}

int StressPosition(const std::string& word) {
    if (const int accent = LastAcuteOrCircumflex(word)) return accent;
    if (const int accent = LastAccentPos(word)) return accent;
    if (StressedOnPenultimate(word)) return PenultimateStress(word);
    return NucleusFrom(word, static_cast<int>(word.size()));
}

std::string TranscribeWord(const std::string& lowerText, bool numberBefore, bool hyphenPause,
                           const WordContext& context) {
    if (lowerText.empty()) return "";
    if (lowerText == "x") return ReadX(context);
    if (lowerText != "-" && IsSpelledOut(lowerText, context)) return SpellWord(lowerText, context.tokenIndex);
    return ReadByRule(lowerText, numberBefore, hyphenPause, context);
}

std::string TranscribeWord(const std::string& lowerText, bool numberBefore, bool hyphenPause,
                           int tokenIndex) {
    return TranscribeWord(lowerText, numberBefore, hyphenPause, ContextOfToken(tokenIndex));
}

std::string ReadByRuleWithLetters(const std::string& word, std::vector<int>& letterOf) {
    return ReadByRule(word, false, false, ContextOfToken(-1), &letterOf);
}
