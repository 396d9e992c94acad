// falavoz_rules: answers the language data tools with the engine's own
// readings, so that the rules have one home. One request a line on stdin,
// one answer a line on stdout (flushed, so that a tool may wait for it);
// UTF-8, fields separated by TABs:
//
//   read TAB word        the word read by the letter rules alone (see
//                        ReadByRulesWithLetters): phones TAB the 0-based letter
//                        of each phone, blank-separated TAB the stressed phone
//                        (-1 for none); phones empty for a word the engine
//                        spells out or that has no vowel
//   syllables TAB text   a phonetic string (stress mark "`") in syllables
//   accented TAB base    the base of a derived word with the written accent
//                        its ending implies (AdjectiveWithAccent), else as given
//   vowels               the phoneme codes of vowels
//   rules TAB file       loads a language data file: 0 or its error code TAB
//                        the tag rules TAB the suffix rules, each as
//                        "key=n" items, blank-separated, n being how many
//                        rules of the key a lookup reaches
//
// An unknown request is answered with "?" and the program goes on.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "Encoding.h"
#include "core/BuiltinTables.h"
#include "core/TextUtil.h"
#include "words/Data.h"
#include "words/UnknownWords.h"

namespace {

std::string Read(const std::string& word) {
    const RuleReading reading = ReadByRulesWithLetters(LowerCase1252(Utf8ToCp1252(word)));
    std::string letters;
    for (int letter : reading.letters) letters += (letters.empty() ? "" : " ") + std::to_string(letter);
    return Cp1252ToUtf8(reading.phones) + "\t" + letters + "\t" + std::to_string(reading.stressedPhone);
}

std::string VowelCodes() {
    std::string codes;
    for (int c = 1; c < 256; ++c)
        if (PhoneClassOf(static_cast<char>(c)) == kClassVowel) codes += static_cast<char>(c);
    return Cp1252ToUtf8(codes);
}

// How many rules of each key a lookup reaches: those in the slots that
// follow the one it finds and hold the same key.
template <class Slot, class KeyOf, class Lookup>
std::string ReachedRules(const Slot (&table)[kRuleSlots], KeyOf keyOf, Lookup lookup) {
    std::string items;
    for (int s = 0; s < kRuleSlots; ++s) {
        if (!table[s].inUse) continue;
        const std::string& key = keyOf(table[s]);
        int first = lookup(key);
        if (first != s && first >= 0) continue;  // counted at the slot the lookup finds
        int reached = 0;
        for (int k = s; first >= 0 && k < kRuleSlots && table[k].inUse && keyOf(table[k]) == key; ++k)
            ++reached;
        items += (items.empty() ? "" : " ") + Cp1252ToUtf8(key) + "=" + std::to_string(reached);
    }
    return items;
}

std::string Rules(const std::string& file) {
    const int result = LoadLanguageData(file);
    const std::string tags = ReachedRules(
        GrammarRules, [](const TIPO_HASH_GRAMAT& r) -> const std::string& { return r.key; }, TagRuleLookup);
    const std::string suffixes = ReachedRules(
        SuffixRules, [](const TIPO_HASH_MORPH& r) -> const std::string& { return r.ending; },
        SuffixRuleLookup);
    return std::to_string(result) + "\t" + tags + "\t" + suffixes;
}

std::string Answer(const std::string& request) {
    const size_t tab = request.find('\t');
    const std::string_view command = std::string_view(request).substr(0, tab);
    const std::string argument = tab == std::string::npos ? "" : request.substr(tab + 1);
    if (command == "read") return Read(argument);
    if (command == "syllables") return Cp1252ToUtf8(Syllabify(Utf8ToCp1252(argument)));
    if (command == "accented") {
        const std::string accented = AdjectiveWithAccent(Utf8ToCp1252(argument));
        return accented.empty() ? argument : Cp1252ToUtf8(accented);
    }
    if (command == "vowels") return VowelCodes();
    if (command == "rules") return Rules(argument);
    return "?";
}

}  // namespace

int main() {
    FillBuiltinTables();
    std::string request;
    while (std::getline(std::cin, request)) {
        if (!request.empty() && request.back() == '\r') request.pop_back();
        std::fputs((Answer(request) + "\n").c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
