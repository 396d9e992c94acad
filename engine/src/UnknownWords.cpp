// Words outside the lexicon. The letter rules read every e and o closed and
// every unaccented i or u before a vowel as a glide, and know no word inside
// another; written Portuguese leaves out what would tell them otherwise. This
// unit puts it back before the rules read the word: the accent that the
// ending implies, the diaeresis of "qua", a known word after a prefix, the
// adjective inside an adverb. What it cannot say in letters (the glide of
// -em and -am) it adds to the rules' reading.
#include "UnknownWords.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "BuiltinTables.h"
#include "Data.h"
#include "LexiconAnalogy.h"
#include "TextUtil.h"
#include "TranscribeWord.h"

namespace {

// ---- Spelling, in Windows-1252 -------------------------------------------------

std::string Cp1252(std::string_view utf8) { return Utf8To1252(utf8); }

bool IsVowelLetter(char c) { return c != 0 && IsVowelChar(c); }

bool IsConsonantLetter(char c) {
    return c != 0 && std::string_view("bcdfghjklmnpqrstvxz").find(c) != std::string_view::npos;
}

struct OpenEnding {
    std::string plain;
    std::string marked;
    bool pluralToo;
};

// Endings whose stressed e or o is open in nearly all the words that have
// them ("janela", "biblioteca", "papel", "escola", "anzol", "celulose",
// "asteroide"; counted over a pronunciation dictionary, each kept only where
// at least two words in three agree). Their plurals in -s share them, but
// for -eses, which is mostly the plural of -ês ("ingleses").
const std::vector<OpenEnding>& OpenEndings() {
    static const std::vector<OpenEnding> table = [] {
        const std::pair<const char*, const char*> utf8[] = {
            {"ela", "éla"},   {"eca", "éca"},   {"eco", "éco"},   {"ete", "éte"},   {"eia", "éia"},
            {"el", "él"},     {"ese", "ése"},   {"esta", "ésta"}, {"este", "éste"}, {"estre", "éstre"},
            {"esso", "ésso"}, {"erra", "érra"}, {"erno", "érno"}, {"erto", "érto"}, {"eras", "éras"},
            {"ola", "óla"},   {"oca", "óca"},   {"ota", "óta"},   {"ote", "óte"},   {"ol", "ól"},
            {"ose", "óse"},   {"osa", "ósa"},   {"osos", "ósos"}, {"osta", "ósta"}, {"oro", "óro"},
            {"orte", "órte"}, {"oça", "óça"},   {"ova", "óva"},   {"oide", "óide"}, {"oia", "óia"},
        };
        std::vector<OpenEnding> endings;
        for (const auto& [plain, marked] : utf8)
            endings.push_back({Cp1252(plain), Cp1252(marked), std::string_view(plain) != "ese"});
        return endings;
    }();
    return table;
}

// Whether the word ends in the ending, or in its plural where that counts.
bool HasEnding(const std::string& word, const OpenEnding& ending) {
    const std::string& letters = ending.plain;
    if (word.size() <= letters.size()) return false;
    if (EndsWith(word, letters)) return true;
    return ending.pluralToo && IsVowelLetter(letters.back()) && word.back() == 's' &&
           word.size() > letters.size() + 1 &&
           EndsWith(std::string_view(word).substr(0, word.size() - 1), letters);
}

void MarkOpenEnding(std::string& word) {
    for (const OpenEnding& ending : OpenEndings()) {
        if (!HasEnding(word, ending)) continue;
        const size_t at = word.rfind(ending.plain);
        word.replace(at, ending.plain.size(), ending.marked);
        return;
    }
}

// The stressed e or o opens as it does in the lexicon words that end like the
// word; where they do not tell, as the ending says.
void MarkOpenStressedVowel(std::string& word) {
    const int stress = StressPosition(word);
    const size_t v = static_cast<size_t>(stress - 1);
    if (stress > 0 && (word[v] == 'e' || word[v] == 'o')) {
        if (const std::optional<bool> open = OpenByAnalogy(word, v)) {
            if (*open) word[v] = word[v] == 'e' ? '\xE9' : '\xF3';  // é ó
            return;
        }
    }
    MarkOpenEnding(word);
}

// An unaccented word ending in a consonant and -ia, -io, -ias, -ios or -iam
// is stressed on a full i ("academia", "navio", "faziam"): a stress before it
// would have been written.
void MarkHiatus(std::string& word) {
    for (std::string_view ending : {"ia", "io", "ias", "ios", "iam"}) {
        if (!EndsWith(word, ending) || word.size() < ending.size() + 2) continue;
        const size_t i = word.size() - ending.size();
        if (IsConsonantLetter(word[i - 1])) word[i] = '\xED';  // í
        return;
    }
}

// Stems whose u after q or g is spoken before e and i too ("frequente",
// "tranquilo", "linguística"), as the diaeresis used to show. The language
// data generator reads the same stems from data/lexicon/spoken_u.txt.
const std::vector<std::string>& SpokenUStems() {
    static const std::vector<std::string> stems = [] {
        std::vector<std::string> cp1252;
        for (const char* utf8 : {
                 "frequen",  "sequen",   "consequen", "subsequen", "eloquen", "delinquen", "cinquen",
                 "quinquen", "tranquil", "equidist",  "equival",   "equino",  "equest",    "ubiqu",
                 "antiqu",   "pinguim",  "linguiç",   "linguist",  "bilingu", "trilingu",  "multilingu",
                 "sanguin",  "unguent",  "arguir",    "arguiç",    "aguent",  "ambigu",    "contigu",
                 "exigu",    "ungui",    "pinguin",   "sagui",     "lingu",   "sequel",    "sequest",
                 "língu",    "delinqu",
             })
            cp1252.push_back(Cp1252(utf8));
        return cp1252;
    }();
    return stems;
}

// The u of "qu" and "gu" before a or o is spoken ("quando", "aquarela",
// "guarda"), and in the stems above before e and i too: it takes the
// diaeresis that the rules read as a glide. Before the word's last vowel it
// is left alone, where it may be stressed ("averigua"), unless a written
// accent puts the stress elsewhere ("língua", "ubíquo"). The positions are
// those of the word as written.
std::vector<size_t> SpokenUPositions(const std::string& word) {
    static const std::string aOrO = Cp1252("aoáóâãõ");
    std::vector<size_t> positions;
    for (size_t u = 1; u + 1 < word.size(); ++u) {
        if (word[u] != 'u' || (word[u - 1] != 'q' && word[u - 1] != 'g')) continue;
        if (aOrO.find(word[u + 1]) == std::string::npos) continue;
        const std::string_view after = std::string_view(word).substr(u + 2);
        const bool stressedElsewhere = LastAccentPos(word) != 0;  // "ubíquo", "língua"
        if (stressedElsewhere || std::any_of(after.begin(), after.end(), IsVowelLetter))
            positions.push_back(u);
    }
    // The stems are written without accents ("consequência").
    static const std::string accented = Cp1252("áéíóúâêô"), plainVowels = "aeiouaeo";
    std::string plain = word;
    for (char& c : plain)
        if (const size_t k = accented.find(c); k != std::string::npos) c = plainVowels[k];
    for (const std::string& stem : SpokenUStems()) {
        const size_t at = plain.find(stem);
        if (at == std::string::npos) continue;
        const size_t u = plain.find_last_of('u', at + stem.size() - 1);
        if (u != std::string::npos && u >= at) positions.push_back(u);
    }
    return positions;
}

// An r after l or s is strong ("palrar", "Israel"); written "rr", the rules
// read it so.
void MarkStrongR(std::string& word) {
    for (size_t r = 2; r + 1 < word.size(); ++r) {
        const bool afterLOrS = word[r - 1] == 'l' || word[r - 1] == 's';
        if (word[r] == 'r' && afterLOrS && IsVowelLetter(word[r - 2]) && IsVowelLetter(word[r + 1]))
            word.insert(r, 1, 'r');
    }
}

// "sc" before e or i and "sç" after a vowel sound one s ("nascer",
// "piscina", "desça"); written "ss", the rules read them so.
void MarkSingleS(std::string& word) {
    static const std::string eOrI = Cp1252("eiéíê");
    static const std::string aOU = Cp1252("aouáóú");
    for (size_t s = 1; s + 2 < word.size(); ++s) {
        if (word[s] != 's' || !IsVowelLetter(word[s - 1])) continue;
        const char next = word[s + 1];
        const char after = word[s + 2];
        const bool softC = next == 'c' && eOrI.find(after) != std::string::npos;
        const bool cedilla = next == '\xE7' && aOU.find(after) != std::string::npos;  // ç
        if (softC || cedilla) word[s + 1] = 's';
    }
}

// ---- Phonetic strings ------------------------------------------------------------

// A reading in syllables, without word marks, ready to be joined to another
// one: the lexicon's own syllables, or those the syllabifier finds.
std::string InSyllables(const std::string& reading) {
    std::string syllables = reading.find('-') == std::string::npos ? Syllabify(reading) : reading;
    syllables.erase(std::remove(syllables.begin(), syllables.end(), ' '), syllables.end());
    return syllables;
}

std::string WithoutStress(std::string reading) {
    reading.erase(
        std::remove_if(reading.begin(), reading.end(), [](char c) { return c == '\'' || c == '`'; }),
        reading.end());
    return reading;
}

// A stressed vowel before a final s or z takes a glide ("português",
// "atrás", "luz"): the rules' reading ends in the stress mark, the vowel and S.
bool EndsInStressedVowelAndS(const std::string& phonetic) {
    static const std::string vowels = Cp1252("aeéoóu");
    const size_t n = phonetic.size();
    return n >= 3 && phonetic[n - 1] == 'S' && vowels.find(phonetic[n - 2]) != std::string::npos &&
           phonetic[n - 3] == '`';
}

// The glides the rules leave out: after the nasal vowel of a final -em, -en,
// -ens ("também", "hífen", "homens"), -am ("falam"), -ões ("ações") and
// -õem ("põem"), and between a stressed vowel and a final s.
std::string WithFinalGlide(const std::string& word, std::string phonetic) {
    static const std::string em = Cp1252("em"), emAcute = Cp1252("ém"), emCirc = Cp1252("êm");
    static const std::string ens = Cp1252("ens"), ensAcute = Cp1252("éns");
    static const std::string oes = Cp1252("oëS"), oesSpoken = Cp1252("öiS");
    const char nasalE = '\xEB';                                             // ë
    const char nasalA = '\xE4';                                             // ä
    if (EndsWith(word, Cp1252("õem")) && EndsWith(phonetic, Cp1252("oë")))  // "põem" as "põe"
        return phonetic.replace(phonetic.size() - 2, 2, Cp1252("öi"));
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
    if (EndsInStressedVowelAndS(phonetic)) return phonetic.insert(phonetic.size() - 1, "y");
    // The o after a stressed i at the end is unstressed, and closes ("navio"):
    // the syllables would leave it with the i's stress.
    if (EndsWith(phonetic, "`io")) phonetic.back() = 'u';
    if (EndsWith(phonetic, "`ioS")) phonetic[phonetic.size() - 2] = 'u';
    // A final o after the glide of "quo", "guo" is unstressed and closes
    // ("oblíquo", "ambíguo"); after a glide it would stay as it is.
    if (EndsWith(phonetic, "wo")) phonetic.back() = 'u';
    if (EndsWith(phonetic, "woS")) phonetic[phonetic.size() - 2] = 'u';
    // The g of a final -ing is not heard ("camping").
    if (EndsWith(word, "ing") && EndsWith(phonetic, Cp1252("ïg"))) phonetic.pop_back();
    return phonetic;
}

bool IsStressMark(char c) { return c == '`' || c == '\''; }

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
// consonant it is a full vowel before a vowel ("antiabuso", "suar") and
// between consonants ("amiguinho"). The u of "qu" and "gu" stays a glide, as
// does the i that x reads as "kys".
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
    if (rest.size() > 1 && rest[0] == 's' && !IsVowelLetter(rest[1])) return "";
    return rest;
}

std::string ReadCompound(const std::string& word, int tokenIndex) {
    for (const Prefix& prefix : kPrefixes) {
        const std::string_view spelling = prefix.spelling;
        if (!StartsWith(word, spelling) || word.size() < spelling.size() + kShortestWordAfterPrefix) continue;
        const std::string rest = WordAfterPrefix(word, spelling.size());
        if (rest.empty() || (prefix.after == After::Vowel && !IsVowelLetter(rest[0]))) return "";
        std::string restReading;
        if (!KnownReading(rest, restReading)) {
            if (prefix.after == After::KnownWord || !CanBeHelped(rest, tokenIndex)) return "";
            restReading = ReadWord(rest, tokenIndex);
        }
        return InSyllables(Cp1252(prefix.reading)) + InSyllables(restReading);
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

// The adjective of an adverb loses its written accent ("política",
// "politicamente"; "necessária", "necessariamente"). It comes back where the
// ending says where it was: on the vowel before -ica, and on -ária, -ória,
// -éria. Empty when the ending says nothing.
std::string AdjectiveWithAccent(const std::string& base) {
    if (LastAccentPos(base) != 0) return "";
    if (EndsWith(base, "aria") || EndsWith(base, "oria") || EndsWith(base, "eria")) {
        std::string marked = base;
        char& vowel = marked[marked.size() - 4];
        vowel = WithAccent(vowel, false);
        return marked;
    }
    if (!EndsWith(base, "ica") || base.size() < 5) return "";
    size_t v = base.size() - 4;  // the letter before -ica
    while (v > 0 && !IsVowelLetter(base[v])) --v;
    // After a vowel only the i of "ui" carries a written accent
    // ("linguística"); the diphthongs carry none ("arcaica").
    if (!IsVowelLetter(base[v])) return "";
    if (v > 0 && IsVowelLetter(base[v - 1]) &&
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
    return WithoutStress(InSyllables(adjectiveReading)) +
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

std::string ReadByRules(const std::string& word, int tokenIndex) {
    const std::string marked = WithImpliedMarks(word);
    std::string reading = TranscribeWord(marked, false, false, tokenIndex);
    if (HasUnstressedEnding(marked)) StressTheVowelBefore(reading);
    return WithFinalGlide(word, WithFullVowelsAfterConsonants(reading));
}

std::string ReadWord(const std::string& word, int tokenIndex) {
    if (std::string compound = ReadCompound(word, tokenIndex); !compound.empty()) return compound;
    if (std::string adverb = ReadAdverb(word, tokenIndex); !adverb.empty()) return adverb;
    return ReadByRules(word, tokenIndex);
}

}  // namespace

std::string WithImpliedMarks(const std::string& word) {
    std::string marked = word;
    // A final -eei is e, stressed e, i ("passeei"): the rules would merge the
    // two e into one i.
    if (EndsWith(word, "eei")) marked[marked.size() - 2] = '\xEA';  // ê
    if (LastAccentPos(word) == 0) {
        MarkOpenStressedVowel(marked);
        MarkHiatus(marked);
    }
    for (size_t u : SpokenUPositions(word)) marked[u] = '\xFC';  // ü
    MarkSingleS(marked);
    MarkStrongR(marked);
    return marked;
}

std::string ReadUnknownWord(const std::string& lowerText, bool numberBefore, int tokenIndex) {
    if (!CanBeHelped(lowerText, tokenIndex))
        return TranscribeWord(lowerText, numberBefore, false, tokenIndex);
    return ReadWord(lowerText, tokenIndex);
}
