// The morphological analyser. A word the lexicon lacks is looked for as a
// prefix and a lexicon word ("infeliz" = "in" + "feliz"), or as a lexicon
// word with a suffix rule's ending ("casas" = "casa" + "s"); its phonetic
// string is the base word's with the ending's sounds joined on.
#include "words/Morphology.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "words/Data.h"
#include "words/PhoneticString.h"

namespace {

// The phoneme codes of vowels, oral and nasal.
constexpr std::string_view kPhoneticVowels =
    "a@\xE4"
    "e\xE9\xEB\xEA"
    "i\xEF"
    "o\xF3\xF6\xF4"
    "u\xFC\xE3";

constexpr int kLongestEnding = 7;

struct Prefix {
    std::string_view spelling;
    std::string_view otherSpelling;
    size_t minimumLength;  // of the whole word
    const char* beforeVowel;
    const char* beforeConsonant;
};

// A null reading before a vowel: the prefix sounds as written ("inativo",
// "imoral", "enamorar").
constexpr Prefix kPrefixes[] = {
    {"in", "im", 4, nullptr, "\xEF"},  // ï
    {"re", "re", 4, "Re", "Re"},
    {"des", "des", 5, "dez", "deS"},
    {"em", "en", 4, nullptr, "\xEB"},  // ë
};

bool IsPhoneticVowel(char c) { return c != 0 && kPhoneticVowels.find(c) != std::string_view::npos; }

// Lexicon entries mark the stress with "'", dictionary entries with "`".
bool HasStressMark(std::string_view s) { return std::any_of(s.begin(), s.end(), IsStressMark); }

std::string WithoutLast(const std::string& s, size_t n) {
    return n >= s.size() ? "" : s.substr(0, s.size() - n);
}

std::string_view LastChars(const std::string& s, size_t n) {
    return std::string_view(s).substr(s.size() - std::min(n, s.size()));
}

// The token takes the base entry's tag, vowel class and subclass.
void TakeEntryFields(int tokenIndex, const TIPO_REG_PAL& entry, const std::string& subclass) {
    TIPO_TOKEN* found = TokenAt(tokenIndex);
    if (!found) return;
    TIPO_TOKEN& token = *found;
    token.tag = entry.tag.empty() ? "-" : entry.tag.substr(0, 3);
    token.vowelClass = entry.vowelClass;
    token.subclass = subclass;
}

// Words of these classes take no inflection.
bool IsUninflectedTag(const std::string& tag) {
    for (const char* uninflected : {"D", "C", "R", "DC", "CR", "DCR"})
        if (tag == uninflected) return true;
    return false;
}

// The base of the word under the rule, looked up directly or through a
// prefix; on success entry holds its entry and prefix the prefix's phonetic
// form ("" without one).
bool FindBase(const std::string& word, const TIPO_HASH_MORPH& rule, std::string& prefix,
              TIPO_REG_PAL& entry) {
    size_t strip = std::min<size_t>(rule.strip, word.size());
    std::string base = word.substr(0, word.size() - strip) + rule.replacement;
    prefix.clear();
    if (!LexiconLookup(base, entry)) {
        prefix = SplitPrefix(base, entry);
        if (prefix.empty()) return false;
    }
    std::string tag = Trim(entry.tag);
    if (IsUninflectedTag(tag)) return false;
    // Rules for class "F" apply only to plain words not flagged 1.
    if (rule.requiredClass == "F" && !(tag == "-" && entry.firstNumber != 1)) return false;
    return entry.vowelClass != 10;
}

// Tries the rules from the longest ending the word can have down to one
// letter; the rules for one ending stand at consecutive slots, slot 0
// following slot 255. The slot of the accepted rule, or -1.
int FindSuffixRule(const std::string& word, std::string& prefix, TIPO_REG_PAL& entry) {
    int longest = std::min(kLongestEnding, static_cast<int>(word.size()) - 1);
    for (int length = longest; length >= 1; --length) {
        std::string ending = word.substr(word.size() - length);
        int slot = SuffixRuleLookup(ending);
        // A table filled with one ending must not make this loop forever.
        for (int tried = 0; slot >= 0 && tried < kRuleSlots; ++tried) {
            if (FindBase(word, SuffixRules[slot], prefix, entry)) return slot;
            int next = (slot + 1) % kRuleSlots;
            slot = SuffixRules[next].inUse && SuffixRules[next].ending == ending ? next : -1;
        }
    }
    return -1;
}

char Nasal(char vowel) {
    switch (vowel) {
        case 'a':
            return '\xE4';  // ä
        case 'e':
        case '\xE9':
            return '\xEB';  // ë
        case 'i':
            return '\xEF';  // ï
        case 'o':
        case '\xF3':
            return '\xF6';  // ö
        case 'u':
            return '\xFC';  // ü
        default:
            return vowel;
    }
}

// The sound changes where the base meets the ending: a coda s or r before a
// vowel is voiced or tapped, a vocalised l comes back as l, a final m
// nasalises the vowel after it. The ending's first sound is its first
// phoneme code, past any stress or syllable mark.
void JoinSeam(std::string& base, std::string& ending) {
    size_t first = ending.find_first_not_of("'`-");
    if (base.empty() || first == std::string::npos) return;
    char& last = base.back();
    char next = ending[first];
    bool vowel = IsPhoneticVowel(next);
    if (last == 'S' && vowel) {
        last = 'z';
    } else if (last == 'S' && (next == 'r' || next == 'z')) {
        base.pop_back();
    } else if (last == '%' && vowel) {
        last = 'r';
    } else if (last == '%' && next == 's') {
        base.pop_back();
        base += "ri";
    } else if (last == '%' && next == 'r') {
        base.pop_back();
    } else if (last == 'w' && vowel) {
        last = 'l';
    } else if (last == 'm' && vowel) {
        base.pop_back();
        ending[first] = Nasal(next);
    }
}

// Moves the stress mark back to the vowel before the stressed one; a base
// without a mark, or without a vowel before it, stays as it is.
void MoveStressBack(std::string& base) {
    size_t mark = base.find_first_of("'`");
    if (mark == std::string::npos) return;
    for (size_t k = mark; k-- > 0;) {
        if (IsPhoneticVowel(base[k])) {
            char stress = base[mark];
            base.erase(mark, 1);
            base.insert(k, 1, stress);
            return;
        }
    }
}

// The base's phonetic string with the ending in place of the replaced
// letters' sounds; the stress stays where the ending or the base puts it.
std::string Join(const std::string& prefix, const std::string& base, const std::string& ending,
                 const std::string& replacement) {
    size_t replaced = replacement.size();
    if (HasStressMark(ending)) return prefix + WithoutStressMarks(WithoutLast(base, replaced)) + ending;
    if (HasStressMark(LastChars(base, replaced)))
        return prefix + WithoutLast(base, replaced + 1) + "'" + ending;
    if (replacement == "m") return prefix + base + ending;
    return prefix + WithoutLast(base, replaced) + ending;
}

std::string AnalyseSuffix(const std::string& word, int tokenIndex, TIPO_REG_PAL& entry) {
    std::string prefix;
    int slot = FindSuffixRule(word, prefix, entry);
    if (slot < 0) return "";
    const TIPO_HASH_MORPH& rule = SuffixRules[slot];

    TakeEntryFields(tokenIndex, entry, rule.subclass == " " ? entry.subclass : rule.subclass.substr(0, 1));
    if (TIPO_TOKEN* token = TokenAt(tokenIndex)) token->person = rule.person;

    std::string base = entry.transcription;
    std::string ending = rule.phoneticEnding;
    if (rule.mode == 5)
        MoveStressBack(base);
    else
        JoinSeam(base, ending);
    return Join(prefix, base, ending, rule.replacement);
}

// The prefix's reading before the rest of the word. The s of "des" is the
// rest's own before an s ("dessemelhante": "de" + "semelhante").
std::string PrefixReading(const Prefix& prefix, const std::string& lower, const std::string& rest) {
    if (IsVowelChar(rest[0]))
        return prefix.beforeVowel ? prefix.beforeVowel : lower.substr(0, prefix.spelling.size());
    return rest[0] == 's' && prefix.spelling == "des" ? "de" : prefix.beforeConsonant;
}

}  // namespace

std::string SplitPrefix(std::string& word, TIPO_REG_PAL& entry) {
    const std::string lower = LowerCase1252(word);
    for (const Prefix& prefix : kPrefixes) {
        if (!StartsWith(lower, prefix.spelling) && !StartsWith(lower, prefix.otherSpelling)) continue;
        // The first prefix whose letters match decides.
        if (lower.size() < prefix.minimumLength) return "";
        const size_t length = prefix.spelling.size();
        std::string rest = word.substr(length);
        if (!LexiconLookup(rest, entry)) return "";
        word = rest;
        return PrefixReading(prefix, lower, rest);
    }
    return "";
}

std::string AnalyseWord(const std::string& word, int tokenIndex, TIPO_REG_PAL& base) {
    std::string rest = LowerCase1252(word);
    TIPO_REG_PAL entry;
    std::string phonetic = SplitPrefix(rest, entry);
    if (!phonetic.empty()) {
        TakeEntryFields(tokenIndex, entry, entry.subclass);
        phonetic += entry.transcription;
    } else {
        phonetic = AnalyseSuffix(LowerCase1252(word), tokenIndex, entry);
    }
    base = phonetic.empty() ? TIPO_REG_PAL{} : entry;
    return phonetic;
}

std::string AnalyseWord(const std::string& word, int tokenIndex) {
    TIPO_REG_PAL base;
    return AnalyseWord(word, tokenIndex, base);
}

bool EndsInMente(const std::string& word) {
    const std::string lower = LowerCase1252(word);
    return lower.size() >= 5 && lower.compare(lower.size() - 5, 5, "mente") == 0;
}
