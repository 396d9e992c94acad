// Grammar tags and vowel quality. Ambiguous tags are resolved by the tag
// rules of the language data, which look at the tags of the neighbouring
// words; then the stressed e or o of each word is opened or closed as its
// vowel class asks (the noun "gosto" against the verb "gosto", "novo"
// against "nova" and "novos").
#include "words/Grammar.h"

#include <initializer_list>

#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "words/Data.h"

namespace {

constexpr char kOutsideChunk = '\'';

// The index of the chunk's end marker. Entries after it may hold tokens of
// an earlier chunk, so nothing past it is read.
int EndOfChunk() {
    int i = 0;
    while (!IsEndMarker(i)) ++i;
    return i;
}

// A token as its neighbours see it: its resolved tag, a blank while it is
// ambiguous or untagged, an apostrophe outside the chunk.
char ContextChar(int j, int end) {
    if (j < 0 || j >= end) return kOutsideChunk;
    std::string tag = Trim(Tokens[j].tag);
    return tag.size() == 1 ? tag[0] : ' ';
}

std::string Context(int from, int count, int end) {
    std::string context;
    for (int j = from; j < from + count; ++j) context += ContextChar(j, end);
    return context;
}

bool RuleMatches(const TIPO_HASH_GRAMAT& rule, int i, int end) {
    const int left = static_cast<int>(rule.left.size());
    const int right = static_cast<int>(rule.right.size());
    return Context(i - left, left, end) == rule.left && Context(i + 1, right, end) == rule.right;
}

// Tries the rules for the token's tag in table order: they stand at
// consecutive slots, slot 0 following slot 255.
void ResolveTag(int i, int end) {
    TIPO_TOKEN& token = Tokens[i];
    const std::string key = Trim(token.tag);
    int slot = TagRuleLookup(key);
    for (int tried = 0; slot >= 0 && tried < kRuleSlots; ++tried) {
        const TIPO_HASH_GRAMAT& rule = GrammarRules[slot];
        if (RuleMatches(rule, i, end)) {
            token.tag = rule.replacement;
            return;
        }
        int next = (slot + 1) % kRuleSlots;
        slot = GrammarRules[next].inUse && GrammarRules[next].key == key ? next : -1;
    }
}

// ---- Vowel quality ----------------------------------------------------------

enum class Quality { Keep, Open, Close };

char ClassLetter(const TIPO_TOKEN& token) { return token.tag.empty() ? '\0' : token.tag[0]; }

bool TextEndsWith(int i, const std::string& ending) {
    std::string text = LowerCase1252(TokenText(i));
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

bool PersonIn(const TIPO_TOKEN& token, std::initializer_list<int> persons) {
    for (int person : persons)
        if (token.person == person) return true;
    return false;
}

Quality QualityFor(int i) {
    const TIPO_TOKEN& token = Tokens[i];
    switch (token.vowelClass) {
        case 1:
            return ClassLetter(token) == 'V' ? Quality::Open : Quality::Close;
        case 2:
            return TextEndsWith(i, "a") || TextEndsWith(i, "as") ? Quality::Open : Quality::Keep;
        case 3:
            return Quality::Open;
        case 4:
            return TextEndsWith(i, "s") ? Quality::Open : Quality::Keep;
        case 6:
            return PersonIn(token, {2, 3, 6}) ? Quality::Open : Quality::Keep;
        case 7:
            return PersonIn(token, {1, 2, 3, 6}) ? Quality::Open : Quality::Keep;
        case 8:
            return ClassLetter(token) == '-' ? Quality::Open : Quality::Close;
        default:
            return Quality::Keep;
    }
}

void SetQuality(std::string& symbol, Quality quality) {
    if (quality == Quality::Open) {
        if (symbol == "e" || symbol == "\xEA")
            symbol = "\xE9";  // ê, e to é
        else if (symbol == "o" || symbol == "\xF4")
            symbol = "\xF3";  // ô, o to ó
    } else if (quality == Quality::Close) {
        if (symbol == "\xE9")
            symbol = "e";
        else if (symbol == "\xF3")
            symbol = "o";
    }
}

// The number of phones of the pass (the index of its end record).
int PhonesInPass() {
    int count = 0;
    while (count < kMaxPhonesPerPass && !IsEndRecord(PhoneList[count])) ++count;
    return count;
}

// Whether phone k is one of token i's phones in this pass. A token read in
// an earlier pass of the chunk still holds that pass's phone indices.
bool IsPhoneOf(int k, int i, int phones) {
    const TIPO_TOKEN& token = Tokens[i];
    return k >= 0 && k < phones && k >= token.firstPhone && k <= token.lastPhone && PhoneList[k].word == i;
}

// After the number "1" a word of class 10 drops its plural ending.
void DropPluralEnding(int i, int phones) {
    const int last = Tokens[i].lastPhone;
    if (TokenText(i - 1) == "1" && IsPhoneOf(last, i, phones)) PhoneList[last].symbol = "!";
}

}  // namespace

void DisambiguateTags() {
    const int end = EndOfChunk();
    for (int i = 0; i < end; ++i)
        if (Tokens[i].tag.size() >= 2) ResolveTag(i, end);
}

void AdjustVowelQuality() {
    const int end = EndOfChunk();
    const int phones = PhonesInPass();
    for (int i = 0; i < end; ++i) {
        const TIPO_TOKEN& token = Tokens[i];
        if (token.vowelClass == 10) {
            DropPluralEnding(i, phones);
            continue;
        }
        Quality quality = QualityFor(i);
        if (quality != Quality::Keep && IsPhoneOf(token.stressedPhone, i, phones))
            SetQuality(PhoneList[token.stressedPhone].symbol, quality);
    }
}
