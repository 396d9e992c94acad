// Words outside the lexicon. The letter rules read every e and o closed and
// every unaccented i or u before a vowel as a glide, and know no word inside
// another; written Portuguese leaves out what would tell them otherwise. The
// rules read the word with the marks its spelling implies (ImpliedMarks);
// this unit adds a known word after a prefix, the adjective inside an
// adverb, and what cannot be said in letters: the glides of the endings
// (-em, -am, a stressed vowel before s) and the full i or u after a
// consonant.
#include "words/UnknownWords.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/BuiltinTables.h"
#include "core/TextUtil.h"
#include "words/Data.h"
#include "words/ImpliedMarks.h"
#include "words/LetterAlignment.h"
#include "words/PhoneticString.h"
#include "words/TranscribeWord.h"

namespace {

// ---- Phonetic strings ------------------------------------------------------------

// A reading in syllables, without word marks, ready to be joined to another
// one: the lexicon's own syllables, or those the syllabifier finds.
std::string InSyllables(const std::string& reading) {
    std::string syllables = reading.find('-') == std::string::npos ? Syllabify(reading) : reading;
    syllables.erase(std::remove(syllables.begin(), syllables.end(), ' '), syllables.end());
    return syllables;
}

// A stressed vowel before a final s or z takes a glide ("português",
// "atrás", "luz"): the rules' reading ends in the stress mark, the vowel and S.
bool EndsInStressedVowelAndS(const std::string& phonetic) {
    static const std::string vowels = Utf8To1252("aeéoóu");
    const size_t n = phonetic.size();
    return n >= 3 && phonetic[n - 1] == 'S' && vowels.find(phonetic[n - 2]) != std::string::npos &&
           phonetic[n - 3] == '`';
}

// The word's end as spoken where the rules leave it short: the glides after
// the nasal vowel of a final -em, -en, -ens ("também", "hífen", "homens"),
// -am ("falam"), -ões ("ações") and -õem ("põem"), and between a stressed
// vowel and a final s; a closed final o; the silent g of -ing.
std::string WithSpokenEnding(const std::string& word, std::string phonetic) {
    static const std::string em = Utf8To1252("em"), emAcute = Utf8To1252("ém"), emCirc = Utf8To1252("êm");
    static const std::string ens = Utf8To1252("ens"), ensAcute = Utf8To1252("éns");
    static const std::string oes = Utf8To1252("oëS"), oesSpoken = Utf8To1252("öiS");
    const char nasalE = '\xEB';                                                     // ë
    const char nasalA = '\xE4';                                                     // ä
    if (EndsWith(word, Utf8To1252("õem")) && EndsWith(phonetic, Utf8To1252("oë")))  // "põem" as "põe"
        return phonetic.replace(phonetic.size() - 2, 2, Utf8To1252("öi"));
    const bool endsEm = EndsWith(word, em) || EndsWith(word, emAcute) || EndsWith(word, emCirc) ||
                        EndsWith(word, "en");  // "hífen"
    const bool endsEns = EndsWith(word, ens) || EndsWith(word, ensAcute);
    if (endsEm && !phonetic.empty() && phonetic.back() == nasalE) return phonetic + "i";
    if (endsEns && EndsWith(phonetic, std::string{nasalE, 'S'}))
        return phonetic.insert(phonetic.size() - 1, "i");
    if (EndsWith(word, "am") && !phonetic.empty() && phonetic.back() == nasalA) {
        phonetic.back() = '@';
        return phonetic + "w";
    }
    if (EndsWith(phonetic, oes)) return phonetic.replace(phonetic.size() - oes.size(), oes.size(), oesSpoken);
    // Not after a double s ("fitness"), which the rules read as one.
    if (EndsInStressedVowelAndS(phonetic) && word.size() >= 2 && IsVowelChar(word[word.size() - 2]))
        return phonetic.insert(phonetic.size() - 1, "y");
    // The o after a stressed i at the end is unstressed, and closes ("navio"):
    // the syllables would leave it with the i's stress.
    if (EndsWith(phonetic, "`io")) phonetic.back() = 'u';
    if (EndsWith(phonetic, "`ioS")) phonetic[phonetic.size() - 2] = 'u';
    // A final o after the glide of "quo", "guo" is unstressed and closes
    // ("oblíquo", "ambíguo"); after a glide it would stay as it is.
    if (EndsWith(phonetic, "wo")) phonetic.back() = 'u';
    if (EndsWith(phonetic, "woS")) phonetic[phonetic.size() - 2] = 'u';
    // The g of a final -ing is not heard ("camping").
    if (EndsWith(word, "ing") && EndsWith(phonetic, Utf8To1252("ïg"))) phonetic.pop_back();
    return phonetic;
}

bool IsVowelCode(char c) { return c != 0 && PhoneClassOf(c) == kClassVowel; }

// The phoneme code next to position k of a reading, past stress marks; 0 at
// either end.
char CodeBefore(const std::string& reading, size_t k) {
    while (k-- > 0)
        if (!IsStressMark(reading[k])) return reading[k];
    return 0;
}

char CodeAfter(const std::string& reading, size_t k) {
    while (++k < reading.size())
        if (!IsStressMark(reading[k])) return reading[k];
    return 0;
}

// The rules make an i or u a glide by the letters around it; after a
// consonant it is a full vowel, before a vowel ("atuado", "piano") and
// before a consonant alike. The u of "qu" and "gu" stays a glide, as does the
// i that x reads as "kys".
std::string WithFullVowelsAfterConsonants(std::string reading) {
    for (size_t k = 0; k < reading.size(); ++k) {
        const char glide = reading[k];
        if (glide != 'y' && glide != 'w') continue;
        const char before = CodeBefore(reading, k);
        const char after = CodeAfter(reading, k);
        if (before == 0 || IsVowelCode(before)) continue;
        if (glide == 'y' && before != 'k' && after != 0)
            reading[k] = 'i';
        else if (glide == 'w' && IsVowelCode(after) && before != 'k' && before != 'g')
            reading[k] = 'u';
    }
    return reading;
}

bool CanBeHelped(const std::string& word, int tokenIndex) {
    return word.size() > 1 && IsLetters(word) && !IsSpelledOut(word, tokenIndex);
}

std::string ReadWord(const std::string& word, int tokenIndex);
std::string ReadByRules(const std::string& word, int tokenIndex);

// A known word's reading from the lexicon (or the user's dictionary).
bool KnownReading(const std::string& word, std::string& phonetic) {
    TIPO_REG_PAL entry;
    if (!LexiconLookup(word, entry)) return false;
    phonetic = entry.transcription;
    return true;
}

// ---- Prefixes ----------------------------------------------------------------------

enum class After { AnyWord, KnownWord, Vowel };

struct Prefix {
    const char* spelling;
    const char* reading;  // UTF-8
    After after;
};

// Prefixes whose sounds stay their own in the compound ("antiabuso": a full
// i; "aeromodelo", "televenda": an open e; "transatlântico": a z) are read
// apart from the word after them: some before any word, some only before a
// word the lexicon knows, where the compound is sure, "trans" only before a
// vowel. The others only let a known word be found ("microempresa").
constexpr Prefix kPrefixes[] = {
    {"trans", "träz", After::Vowel},      {"anti", "äti", After::AnyWord},
    {"aero", "aéro", After::AnyWord},     {"eletro", "elétro", After::AnyWord},
    {"hetero", "étero", After::AnyWord},  {"retro", "Rétro", After::AnyWord},
    {"tele", "téle", After::KnownWord},   {"poli", "póli", After::KnownWord},
    {"meta", "méta", After::KnownWord},   {"proto", "próto", After::KnownWord},
    {"ferro", "féRo", After::KnownWord},  {"foto", "fóto", After::KnownWord},
    {"neo", "néo", After::KnownWord},     {"auto", "awto", After::KnownWord},
    {"bio", "bio", After::AnyWord},       {"contra", "kötra", After::KnownWord},
    {"hidro", "idro", After::KnownWord},  {"macro", "makro", After::KnownWord},
    {"micro", "mikro", After::KnownWord}, {"mono", "mono", After::KnownWord},
    {"multi", "muwti", After::KnownWord}, {"pseudo", "psewdo", After::KnownWord},
    {"semi", "semi", After::KnownWord},   {"sobre", "sobre", After::KnownWord},
    {"ultra", "uwtra", After::KnownWord},
};

constexpr size_t kShortestWordAfterPrefix = 4;

// "antissocial": the s or r doubled after a prefix is the word's first
// letter. Empty when what follows the prefix cannot begin a word of its own
// ("retrospecção" is not "retro" + "specção").
std::string WordAfterPrefix(const std::string& word, size_t prefixLength) {
    std::string rest = word.substr(prefixLength);
    if (rest.size() > 2 && (StartsWith(rest, "ss") || StartsWith(rest, "rr"))) rest.erase(0, 1);
    if (rest.size() > 1 && rest[0] == 's' && !IsVowelChar(rest[1])) return "";
    return rest;
}

std::string ReadCompound(const std::string& word, int tokenIndex) {
    for (const Prefix& prefix : kPrefixes) {
        const std::string_view spelling = prefix.spelling;
        if (!StartsWith(word, spelling) || word.size() < spelling.size() + kShortestWordAfterPrefix) continue;
        const std::string rest = WordAfterPrefix(word, spelling.size());
        if (rest.empty() || (prefix.after == After::Vowel && !IsVowelChar(rest[0]))) return "";
        std::string restReading;
        if (!KnownReading(rest, restReading)) {
            if (prefix.after == After::KnownWord || !CanBeHelped(rest, tokenIndex)) return "";
            restReading = ReadWord(rest, tokenIndex);
        }
        return InSyllables(Utf8To1252(prefix.reading)) + InSyllables(restReading);
    }
    return "";
}

// ---- Adverbs in -mente -----------------------------------------------------------

// The vowel with its written accent: the circumflex where it is closed.
char WithAccent(char vowel, bool closed) {
    switch (vowel) {
        case 'a':
            return closed ? '\xE2' : '\xE1';  // â á
        case 'e':
            return closed ? '\xEA' : '\xE9';  // ê é
        case 'i':
            return '\xED';  // í
        case 'o':
            return closed ? '\xF4' : '\xF3';  // ô ó
        case 'u':
            return '\xFA';  // ú
        default:
            return 0;
    }
}

}  // namespace

// The adjective of an adverb, like the base of another derived word, loses
// its written accent ("política", "politicamente"; "amável",
// "amavelmente"). It comes back where the ending says where it was: on the
// vowel before -ica, -ico and -vel, and on -ária, -ório, -éria and the like.
std::string AdjectiveWithAccent(const std::string& base) {
    if (LastAccentPos(base) != 0) return "";
    for (std::string_view ending : {"aria", "oria", "eria", "ario", "orio", "erio"}) {
        if (!EndsWith(base, ending)) continue;
        std::string marked = base;
        char& vowel = marked[marked.size() - 4];
        vowel = WithAccent(vowel, false);
        return marked;
    }
    if (EndsWith(base, "vel") && base.size() >= 5) {
        const size_t v = base.size() - 4;  // the vowel before -vel, unless a diphthong ends there
        if (IsVowelChar(base[v - 1]) || WithAccent(base[v], false) == 0) return "";
        std::string marked = base;
        marked[v] = WithAccent(base[v], false);
        return marked;
    }
    if (!(EndsWith(base, "ica") || EndsWith(base, "ico")) || base.size() < 5) return "";
    size_t v = base.size() - 4;  // the letter before -ica, -ico
    while (v > 0 && !IsVowelChar(base[v])) --v;
    // After a vowel only the i of "ui" carries a written accent
    // ("linguística"); the diphthongs carry none ("arcaica").
    if (!IsVowelChar(base[v])) return "";
    if (v > 0 && IsVowelChar(base[v - 1]) &&
        !(base[v] == 'i' && (base[v - 1] == 'u' || base[v - 1] == '\xFC')))
        return "";
    // Before m and n the stressed vowel is closed ("acadêmica", "eletrônica").
    const bool closed = base[v + 1] == 'm' || base[v + 1] == 'n';
    const char accented = WithAccent(base[v], closed);
    if (accented == 0) return "";
    std::string marked = base;
    marked[v] = accented;
    return marked;
}

namespace {

constexpr size_t kShortestAdjective = 4;

// The adverb keeps the vowels of its adjective, whose stress becomes a
// secondary one ("alogicamente" from "alógica").
std::string ReadAdverb(const std::string& word, int tokenIndex) {
    if (!EndsWith(word, "mente") || word.size() < 5 + kShortestAdjective) return "";
    const std::string base = word.substr(0, word.size() - 5);
    const std::string adjective = AdjectiveWithAccent(base);
    std::string adjectiveReading;
    if (adjective.empty()) {
        if (!KnownReading(base, adjectiveReading)) return "";
    } else if (!KnownReading(adjective, adjectiveReading)) {
        adjectiveReading = ReadByRules(adjective, tokenIndex);
    }
    return WithoutStressMarks(InSyllables(adjectiveReading)) +
           InSyllables(TranscribeWord("mente", false, false, tokenIndex));
}

// ---- The whole word ------------------------------------------------------------------

// Moves the stress mark from the last vowel to the one before it.
void StressTheVowelBefore(std::string& reading) {
    const size_t mark = reading.rfind('`');
    if (mark == std::string::npos) return;
    for (size_t k = mark; k-- > 0;) {
        if (PhoneClassOf(reading[k]) != kClassVowel) continue;
        reading.erase(mark, 1);
        reading.insert(k, 1, '`');
        return;
    }
}

// An unaccented -am is never stressed ("falam"), nor is English -ing
// ("camping"); the rules stress both.
bool HasUnstressedEnding(const std::string& word) {
    return LastAccentPos(word) == 0 && (EndsWith(word, "am") || EndsWith(word, "ing"));
}

// What the letter rules' reading of the marked word lacks of the word as
// spoken: the stress of its ending, its full vowels and its end.
std::string WithSpokenForms(const std::string& word, const std::string& marked, std::string reading) {
    if (HasUnstressedEnding(marked)) StressTheVowelBefore(reading);
    return WithSpokenEnding(word, WithFullVowelsAfterConsonants(reading));
}

std::string ReadByRules(const std::string& word, int tokenIndex) {
    const std::string marked = WithImpliedMarks(word);
    return WithSpokenForms(word, marked, TranscribeWord(marked, false, false, tokenIndex));
}

std::string ReadWord(const std::string& word, int tokenIndex) {
    if (std::string compound = ReadCompound(word, tokenIndex); !compound.empty()) return compound;
    if (std::string adverb = ReadAdverb(word, tokenIndex); !adverb.empty()) return adverb;
    return ReadByRules(word, tokenIndex);
}

}  // namespace

std::string ReadUnknownWord(const std::string& lowerText, bool numberBefore, int tokenIndex) {
    if (!CanBeHelped(lowerText, tokenIndex))
        return TranscribeWord(lowerText, numberBefore, false, tokenIndex);
    return ReadWord(lowerText, tokenIndex);
}

RuleReading ReadByRulesWithLetters(const std::string& lowerText) {
    RuleReading result;
    const bool hasVowel = std::any_of(lowerText.begin(), lowerText.end(), IsVowelChar);
    if (!hasVowel || !CanBeHelped(lowerText, -1)) return result;
    const std::string marked = WithImpliedMarks(lowerText, false);
    std::vector<int> markedLetterOf;
    const std::string walked = ReadByRuleWithLetters(marked, markedLetterOf);
    if (walked.empty()) return result;
    const std::string spoken = WithSpokenForms(lowerText, marked, walked);
    // spoken -> walked -> marked word -> word as written.
    const std::vector<int> walkedAt = AlignCharacters(walked, spoken);
    const std::vector<int> writtenAt = AlignCharacters(lowerText, marked);
    // The stressed phone is the first vowel after the mark: a mark at the
    // start (the rules found no nucleus, as in "tro") stresses the first
    // syllable, as the phonetic string reader takes it.
    bool stressNext = false;
    for (size_t k = 0; k < spoken.size(); ++k) {
        if (IsStressMark(spoken[k])) {
            stressNext = true;
            continue;
        }
        if (stressNext && IsVowelCode(spoken[k])) {
            result.stressedPhone = static_cast<int>(result.phones.size());
            stressNext = false;
        }
        result.phones += spoken[k];
        const int markedLetter = markedLetterOf[static_cast<size_t>(walkedAt[k])] - 1;
        result.letters.push_back(writtenAt[static_cast<size_t>(markedLetter)]);
    }
    return result;
}
