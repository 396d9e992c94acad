// The morphological analyser over a small language file of its own: prefixes,
// suffix rules and their continuation, the seams, the stress and the join.
#include "words/Morphology.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/Tokens.h"
#include "words/Data.h"
#include "words/Dict.h"
#include "words/WordLookup.h"

namespace {

namespace fs = std::filesystem;

// Lexicon: word, tag, transcription, flag, vowel class, subclass.
const std::vector<std::string> kLexicon = {
    "amorar\tV\t -a-mo-r'a%\t0\t0\t \t",
    "armar\tV\t -a%-m'a%\t0\t0\t \t",
    "ativo\tE\t -a-t'i-vu\t0\t0\t \t",
    "bem\tE\t -b'\xEBy\t0\t0\t \t",
    "caf\xE9\tE\t -ka-f'\xE9\t0\t0\t \t",
    "cantar\tV\t -k\xE4-t'a%\t0\t7\tI\t",
    "casa\tE\t -k'a-za\t0\t2\tF\t",
    "de\tR\t -di\t0\t0\t \t",
    "falar\tV\t -fa-l'a%\t0\t7\tI\t",
    "fazer\tV\t -fa-z'e%\t0\t0\t \t",
    "feliz\t\t -fe-l'is\t0\t3\tQ\t",
    "mar\tE\t -m'a%\t0\t0\t \t",
    "mes\tE\t -m'eS\t0\t0\t \t",
    "oral\tE\t -o-r'aw\t0\t0\t \t",
    "plano\t-\t -pl'\xE4-nu\t1\t0\t \t",
    "rato\t-\t -R'a-tu\t0\t0\t \t",
    "real\tE\t -Re-'aw\t0\t10\t \t",
    "sal\tE\t -s'aw\t0\t4\t \t",
    "semelhar\tV\t -se-me-h'a%\t0\t0\t \t",
    "som\tE\t -s'om\t0\t0\t \t",
    "\xE9\tV\t -'\xE9\t0\t0\t \t",
};

// Suffix rules: ending, strip, replacement, phonetic ending, required class,
// mode, subclass, person.
const std::vector<std::string> kSuffixRules = {
    "es\t2\t\tis\t-\t0\t \t0",               // meses, mares, sales
    "zinho\t5\t\tz'i\xF1u\t-\t0\t \t0",      // meszinho
    "zinho\t5\tf\xE9\tzi\xF1u\t-\t0\t \t0",  // cazinho: caf(é) with the stress in the replaced part
    "sal\t3\t\tsaw\t-\t0\t \t0",             // marsal
    "rada\t4\t\tr'ada\t-\t0\t \t0",          // marrada
    "ar\t2\t\t'a%\t-\t0\t \t0",              // somar
    "ou\t2\tar\t'ow\tV\t0\tP\t3",            // falou
    "ns\t2\tm\tS\t-\t0\t \t0",               // bens
    "aras\t4\tar\ta-ras\tV\t5\t \t6",        // cantaras
    "s\t1\tx\tS\t-\t0\t \t0",                // never a base: falls through to the next "s" rule
    "s\t1\t\tS\t-\t0\t \t0",                 // casas, ratos, reais
    "inho\t4\to\t'i\xF1u\tF\t0\t \t0",       // ratinho; planinho is flagged 1
    "is\t2\tl\tys\t-\t0\t \t0",              // sais; reais is of class 10
};

class MorphologyTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (fs::temp_directory_path() / ("falavoz-morphology-" + std::to_string(getpid()) + ".lng"))
                    .string();
        std::ofstream out(path_, std::ios::binary);
        for (const std::string& line : kLexicon) out << line << "\r\n";
        out << "*\r\n*\r\n";
        for (const std::string& line : kSuffixRules) out << line << "\r\n";
        out.close();
        ASSERT_EQ(LoadLanguageData(path_), 0);
        DictClear();
        Tokens[2] = TIPO_TOKEN{};
    }
    void TearDown() override { std::remove(path_.c_str()); }

    std::string path_;
};

TEST_F(MorphologyTest, SplitPrefixTakesTheFirstMatchingPrefix) {
    struct Case {
        std::string word;
        std::string phonetic;  // "" for no split
        std::string rest;
    };
    const Case cases[] = {
        {"infeliz", "\xEF", "feliz"},  // ï before a consonant
        {"inativo", "in", "ativo"},    // as written before a vowel
        {"imoral", "im", "oral"},
        {"enamorar", "en", "amorar"},
        {"dessemelhar", "de", "semelhar"},
        {"imfeliz", "\xEF", "feliz"},
        {"refazer", "Re", "fazer"},
        {"desfazer", "deS", "fazer"},
        {"desarmar", "dez", "armar"},
        {"enfeliz", "\xEB", "feliz"},
        {"emativo", "em", "ativo"},
        {"Infeliz", "\xEF", "feliz"},      // any case
        {"inxyz", "", "inxyz"},            // the rest is no lexicon word
        {"indesfazer", "", "indesfazer"},  // "in" decides: "desfazer" is not looked into
        {"inde", "\xEF", "de"},
        {"re\xE9", "", "re\xE9"},  // "\xE9" is a word, but the whole is too
                                   // short
        {"des\xE9", "", "des\xE9"},
        {"feliz", "", "feliz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        std::string word = c.word;
        TIPO_REG_PAL entry;
        EXPECT_EQ(SplitPrefix(word, entry), c.phonetic);
        EXPECT_EQ(word, c.rest);
    }
    std::string word = "refazer";
    TIPO_REG_PAL entry;
    SplitPrefix(word, entry);
    EXPECT_EQ(entry.word, "fazer");  // the rest's entry is handed back
}

TEST_F(MorphologyTest, APrefixedWordTakesItsRestsEntry) {
    Tokens[2].person = 4;
    EXPECT_EQ(AnalyseWord("infeliz", 2), "\xEF -fe-l'is");
    EXPECT_EQ(Tokens[2].tag, "-");  // the entry's tag is empty
    EXPECT_EQ(Tokens[2].vowelClass, 3);
    EXPECT_EQ(Tokens[2].subclass, "Q");
    EXPECT_EQ(Tokens[2].person, 4);  // the word lookup clears it, not the prefix
}

TEST_F(MorphologyTest, SuffixRulesJoinTheEndingWithTheSeamChanges) {
    struct Case {
        std::string word;
        std::string phonetic;
    };
    const Case cases[] = {
        {"meses", " -m'ezis"},            // coda S before a vowel is voiced
        {"meszinho", " -mez'i\xF1u"},     // S before z is dropped; a stressed ending takes the stress
        {"mares", " -m'aris"},            // % before a vowel is a tap
        {"marsal", " -m'arisaw"},         // % before s becomes ri
        {"marrada", " -mar'ada"},         // % before r is dropped
        {"sales", " -s'alis"},            // vocalised l comes back before a vowel
        {"somar", " -so'\xE4%"},          // a final m nasalises the vowel after it
        {"casas", " -k'a-zaS"},           // nothing to change
        {"falou", " -fa-l'ow"},           // replacement "ar": two sounds cut
        {"cazinho", " -ka-'zi\xF1u"},     // the stress lay in the replaced part
        {"bens", " -b'\xEByS"},           // replacement "m": nothing cut
        {"cantaras", " -k'\xE4-ta-ras"},  // mode 5: the stress moves back one vowel
        {"ratinho", " -Ra-t'i\xF1u"},     // a class F rule on a plain word
        {"sais", " -s'ays"},              // w before y: no change
        {"refalou", "Re -fa-l'ow"},       // the base through a prefix
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(AnalyseWord(c.word, 2), c.phonetic);
    }
}

TEST_F(MorphologyTest, RulesAreRefusedForUninflectedOrMarkedBases) {
    const char* const words[] = {
        "des",       // the base "de" is a preposition
        "planinho",  // a class F rule, but "plano" is flagged 1
        "reais",     // "real" is of vowel class 10
        "s",         // one letter: no ending to take off
        "xyzs",      // no base at all
    };
    for (const char* word : words) {
        SCOPED_TRACE(word);
        Tokens[2].tag = "?";
        EXPECT_EQ(AnalyseWord(word, 2), "");
        EXPECT_EQ(Tokens[2].tag, "?");  // untouched
    }
}

TEST_F(MorphologyTest, TheTokenTakesTheBaseEntryAndTheRule) {
    ASSERT_EQ(AnalyseWord("falou", 2), " -fa-l'ow");
    EXPECT_EQ(Tokens[2].tag, "V");
    EXPECT_EQ(Tokens[2].vowelClass, 7);
    EXPECT_EQ(Tokens[2].person, 3);
    EXPECT_EQ(Tokens[2].subclass, "P");  // the rule's

    ASSERT_EQ(AnalyseWord("casas", 2), " -k'a-zaS");
    EXPECT_EQ(Tokens[2].tag, "E");
    EXPECT_EQ(Tokens[2].vowelClass, 2);
    EXPECT_EQ(Tokens[2].person, 0);
    EXPECT_EQ(Tokens[2].subclass, "F");  // the entry's, the rule's being " "

    EXPECT_EQ(AnalyseWord("FALOU", 100000), " -fa-l'ow");  // no token to annotate
}

// Places one rule of ending "aahh" (home slot 254) at each given slot.
void PlaceRules(const std::vector<std::pair<int, std::string>>& rules) {
    ASSERT_EQ(RuleHash("aahh"), 254);
    for (TIPO_HASH_MORPH& slot : SuffixRules) slot = TIPO_HASH_MORPH{};
    for (const auto& [slot, replacement] : rules) {
        TIPO_HASH_MORPH& rule = SuffixRules[slot];
        rule.ending = "aahh";
        rule.strip = 4;
        rule.replacement = replacement;
        rule.phoneticEnding = "a";
        rule.requiredClass = "-";
        rule.subclass = " ";
        rule.inUse = true;
    }
}

TEST_F(MorphologyTest, RulesOfOneEndingContinueFromSlot255ToSlot0) {
    PlaceRules({{254, "x"}, {255, "y"}, {0, ""}});
    EXPECT_EQ(AnalyseWord("mesaahh", 2), " -m'eza");
    PlaceRules({{254, "x"}, {255, "y"}, {1, ""}});  // slot 0 free: the chain ends
    EXPECT_EQ(AnalyseWord("mesaahh", 2), "");

    std::vector<std::pair<int, std::string>> all;
    for (int slot = 0; slot < kRuleSlots; ++slot) all.push_back({slot, "x"});
    PlaceRules(all);
    EXPECT_EQ(AnalyseWord("mesaahh", 2), "");  // and does not go round for ever
}

TEST_F(MorphologyTest, TheWordLookupFallsBackOnTheAnalyser) {
    struct Case {
        std::string word;
        std::string phonetic;
        std::string tag;
        int person;
    };
    const Case cases[] = {
        {"meses", " -m'ezis", "E", 0},
        {"Falou", " -fa-l'ow", "V", 3},
        {"infeliz", "\xEF -fe-l'is", "-", 0},
        {"rapidamente", "", "D", 0},
        {"xyz", "", "-", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        Tokens[2].person = 5;
        std::string phonetic = "stale";
        WordLookup(c.word, 2, phonetic);
        EXPECT_EQ(phonetic, c.phonetic);
        EXPECT_EQ(Tokens[2].tag, c.tag);
        EXPECT_EQ(Tokens[2].person, c.person);
    }
}

TEST(EndsInMente, LooksAtTheLastFiveLettersInAnyCase) {
    EXPECT_TRUE(EndsInMente("rapidamente"));
    EXPECT_TRUE(EndsInMente("RAPIDAMENTE"));
    EXPECT_TRUE(EndsInMente("mente"));
    EXPECT_FALSE(EndsInMente("mentes"));
    EXPECT_FALSE(EndsInMente("ente"));
    EXPECT_FALSE(EndsInMente(""));
}

}  // namespace
