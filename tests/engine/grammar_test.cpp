// Tag disambiguation by context rules, and the opening and closing of the
// stressed e and o, on passes built by hand.
#include "words/Grammar.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EngineTest.h"
#include "TestSupport.h"
#include "core/EngineState.h"
#include "core/Tokens.h"
#include "falavoz32.h"
#include "words/Data.h"
#include "words/Dict.h"
#include "words/PhoneticString.h"
#include "words/WordLookup.h"

namespace {

namespace fs = std::filesystem;

// Loads a language file written from the given lines, then removes it.
void LoadLanguage(const std::vector<std::string>& lines) {
    std::string path =
        (fs::temp_directory_path() / ("falavoz-grammar-" + std::to_string(getpid()) + ".lng")).string();
    {
        std::ofstream out(path, std::ios::binary);
        for (const std::string& line : lines) out << line << "\r\n";
    }
    ASSERT_EQ(LoadLanguageData(path), 0);
    std::remove(path.c_str());
}

// A chunk of two-letter tokens with the given tags.
void Chunk(const std::vector<std::string>& tags) {
    ClearPass();
    Engine.text.clear();
    for (const std::string& tag : tags) {
        int w = AddToken(2);
        Tokens[w].tag = tag;
        Engine.text += "xx ";
    }
}

std::string Tags() {
    std::string tags;
    for (int i = 0; i < TokenCount(); ++i) tags += (i ? "|" : "") + Tokens[i].tag;
    return tags;
}

std::string Resolved(const std::vector<std::string>& tags, int runs = 2) {
    Chunk(tags);
    for (int run = 0; run < runs; ++run) DisambiguateTags();
    return Tags();
}

class DisambiguateTagsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguage({"*",
                      "SV\tP\t\tV",   // a pronoun before it: verb
                      "SV\t'\t\tS",   // first in the chunk: noun
                      "XY\tT\tV\tE",  // both sides
                      "XY\t\t'\tW",   // last in the chunk
                      "AB\t\tV\tN",   // needs its right neighbour resolved
                      "CD\t\t'\tV",
                      "V\t\t\tX",        // one-letter tags are never looked up
                      "PV\t E \t\t V ",  // contexts and tag stored trimmed
                      "*"});
    }
};

TEST_F(DisambiguateTagsTest, ContextsAtTheEdgesAndInside) {
    struct Case {
        std::vector<std::string> tags;
        std::string resolved;
    };
    const Case cases[] = {
        {{"P", "SV"}, "P|V"},          {{"T", "SV"}, "T|SV"},  // no rule matches: the tag stays
        {{"SV", "P"}, "S|P"},  // the first rule fails, the next one with the key matches
        {{"T", "XY", "V"}, "T|E|V"},   {{"T", "XY", "E"}, "T|XY|E"},
        {{"T", "XY"}, "T|W"},                                  // an apostrophe after the last token
        {{"SV", "XY", "V"}, "S|XY|V"},                         // an unresolved neighbour is a blank
        {{"V", "SV"}, "V|SV"},         {{"P", "V"}, "P|V"},    // rule "V" never applies
        {{"E", "PV"}, "E|V"},          {{"E", "PV "}, "E|V"},  // the tag is trimmed for the lookup
        {{"P", "SVX"}, "P|SVX"},                               // no rules for that key
        {{"P", " "}, "P| "},           {{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.tags));
        EXPECT_EQ(Resolved(c.tags), c.resolved);
    }
}

TEST_F(DisambiguateTagsTest, TheSecondRunSeesTagsResolvedInTheFirst) {
    EXPECT_EQ(Resolved({"AB", "CD"}, 1), "AB|V");
    EXPECT_EQ(Resolved({"AB", "CD"}, 2), "N|V");
}

TEST_F(DisambiguateTagsTest, NothingPastTheEndMarkerIsContext) {
    Chunk({"T", "XY", "V"});
    Tokens[2].start = -1;  // the chunk now ends after "XY"; a stale "V" lies past it
    Tokens[2].length = -1;
    DisambiguateTags();
    EXPECT_EQ(Tokens[1].tag, "W");
}

// Places rules of key "BXY" (home slot 254) at the given slots, each with
// its own left context and replacement.
void PlaceRules(const std::vector<std::pair<int, std::string>>& rules) {
    ASSERT_EQ(RuleHash("BXY"), 254);
    for (TIPO_HASH_GRAMAT& slot : GrammarRules) slot = TIPO_HASH_GRAMAT{};
    for (const auto& [slot, left] : rules) {
        GrammarRules[slot] = {"BXY", left, "", std::string(1, static_cast<char>('0' + slot % 10)), true};
    }
}

TEST(DisambiguateTagsWrap, RulesContinueFromSlot255ToSlot0) {
    PlaceRules({{254, "A"}, {255, "B"}, {0, "C"}});
    EXPECT_EQ(Resolved({"C", "BXY"}), "C|0");
    EXPECT_EQ(Resolved({"B", "BXY"}), "B|5");
    EXPECT_EQ(Resolved({"D", "BXY"}), "D|BXY");

    std::vector<std::pair<int, std::string>> all;
    for (int slot = 0; slot < kRuleSlots; ++slot) all.push_back({slot, "A"});
    PlaceRules(all);
    EXPECT_EQ(Resolved({"D", "BXY"}), "D|BXY");  // a full table of one key ends
}

// ---- Vowel quality ----------------------------------------------------------

struct Word {
    std::string text;
    std::string symbols;  // one phone a character
    int stressed = -1;    // index among the word's phones
    int vowelClass = 0;
    std::string tag = "E";
    int person = 0;
};

// Builds the pass of the words, adjusts it and returns the words' phones.
std::vector<std::string> Adjusted(const std::vector<Word>& words) {
    ClearPass();
    Engine.text.clear();
    for (const Word& word : words) {
        Engine.text += word.text + " ";
        int w = AddToken(static_cast<int>(word.text.size()));
        for (char c : word.symbols) AddPhone(std::string(1, c), w);
        TIPO_TOKEN& token = Tokens[w];
        token.stressedPhone = word.stressed < 0 ? -1 : token.firstPhone + word.stressed;
        token.vowelClass = static_cast<uint8_t>(word.vowelClass);
        token.tag = word.tag;
        token.person = static_cast<uint8_t>(word.person);
    }
    AdjustVowelQuality();
    std::vector<std::string> result;
    for (int w = 0; w < TokenCount(); ++w) {
        std::string phones;
        for (int k = Tokens[w].firstPhone; k <= Tokens[w].lastPhone; ++k) phones += PhoneList[k].symbol;
        result.push_back(phones);
    }
    return result;
}

std::string AdjustedWord(const Word& word) { return Adjusted({word})[0]; }

TEST(AdjustVowelQuality, EachClassOpensOrClosesTheStressedVowel) {
    struct Case {
        Word word;
        std::string phones;
    };
    const Case cases[] = {
        {{"gosto", "gostu", 1, 1, "V"}, "g\xF3stu"},    // class 1: a verb opens
        {{"gosto", "g\xF3stu", 1, 1, "S"}, "gostu"},    // anything else closes
        {{"gosto", "g\xF4stu", 1, 1, ""}, "g\xF4stu"},  // ô has nothing to close
        {{"seco", "s\xEAku", 1, 1, "V"}, "s\xE9ku"},
        {{"nova", "n\xF4va", 1, 2}, "n\xF3va"},  // class 2: feminine
        {{"novas", "n\xF4vaS", 1, 2}, "n\xF3vaS"},
        {{"NOVAS", "n\xF4vaS", 1, 2}, "n\xF3vaS"},
        {{"novo", "n\xF4vu", 1, 2}, "n\xF4vu"},
        {{"novos", "n\xF4vuS", 1, 2}, "n\xF4vuS"},
        {{"pe", "pe", 1, 3}, "p\xE9"},            // class 3: always open
        {{"olhos", "\xF4hus", 0, 4}, "\xF3hus"},  // class 4: plural
        {{"olho", "\xF4hu", 0, 4}, "\xF4hu"},
        {{"pe", "pe", 1, 5}, "pe"},  // 5 and 9: nothing
        {{"p\xE9", "p\xE9", 1, 9}, "p\xE9"},
        {{"pe", "pe", 1, 0}, "pe"},
        {{"move", "movi", 1, 6, "V", 3}, "m\xF3vi"},  // class 6: persons 2, 3, 6
        {{"movem", "mov\xEB", 1, 6, "V", 6}, "m\xF3v\xEB"},
        {{"movo", "movu", 1, 6, "V", 1}, "movu"},
        {{"movo", "movu", 1, 7, "V", 1}, "m\xF3vu"},  // class 7: and person 1
        {{"mover", "move%", 3, 7, "V", 0}, "move%"},
        {{"xx", "xe", 1, 8, "-"}, "x\xE9"},  // class 8: unknown words open
        {{"xx", "x\xE9", 1, 8, "E"}, "xe"},
        {{"casa", "kaza", 1, 3}, "kaza"},  // no e or o to change
        {{"pe", "pe", -1, 3}, "pe"},       // no stressed phone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word.text + " class " + std::to_string(c.word.vowelClass));
        EXPECT_EQ(AdjustedWord(c.word), c.phones);
    }
}

TEST(AdjustVowelQuality, APluralAfterOneLosesItsLastPhone) {
    EXPECT_EQ(Adjusted({{"1", "um"}, {"reais", "Reays", 2, 10}}), (std::vector<std::string>{"um", "Reay!"}));
    EXPECT_EQ(Adjusted({{"2", "dois"}, {"reais", "Reays", 2, 10}}),
              (std::vector<std::string>{"dois", "Reays"}));
    EXPECT_EQ(Adjusted({{"reais", "Reays", 2, 10}}), (std::vector<std::string>{"Reays"}));
}

TEST(AdjustVowelQuality, PhoneIndicesOfOtherPassesAreLeftAlone) {
    // The first token was read in an earlier pass: its indices point at the
    // second token's phones now.
    ClearPass();
    Engine.text = "gosto pe ";
    int first = AddToken(5);
    int second = AddToken(2);
    AddPhone("p", second);
    AddPhone("e", second);
    Tokens[first].firstPhone = 0;
    Tokens[first].lastPhone = 1;
    Tokens[first].stressedPhone = 1;
    Tokens[first].vowelClass = 3;
    AdjustVowelQuality();
    EXPECT_EQ(PhoneList[1].symbol, "e");

    Tokens[first].stressedPhone = 2;  // the end record
    Tokens[first].lastPhone = 2;
    AdjustVowelQuality();
    EXPECT_EQ(PhoneList[2].symbol, " ");
}

// The stages as the driver runs them, on words looked up and read the way
// the normaliser does.
std::string SpokenPhones(const std::string& text) {
    ClearPass();
    Engine = EngineState{};
    Engine.text = text + " ";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        AddToken(static_cast<int>(end - start));
        start = end + 1;
    }
    int count = 0;
    for (int i = 0; i < TokenCount(); ++i) {
        std::string phonetic;
        WordLookup(Engine.text.substr(Tokens[i].start - 1, Tokens[i].length), i, phonetic);
        ReadPhoneticString(phonetic, i, count);
    }
    PhoneList[count].symbol = " ";
    DisambiguateTags();
    DisambiguateTags();
    AdjustVowelQuality();
    std::string phones;
    for (int k = 0; k < count; ++k) phones += PhoneList[k].symbol;
    return phones;
}

TEST(GrammarStages, TheVerbOpensAndTheNounCloses) {
    DictClear();
    LoadLanguage({"eu\tP\t -'ew\t0\t0\t \t", "gosto\tSV\t -g'os-tu\t0\t1\t \t", "o\tT\t -u\t0\t0\t \t", "*",
                  "SV\tP\t\tV", "*"});
    EXPECT_EQ(SpokenPhones("eu gosto"), "ewg\xF3stu");
    EXPECT_EQ(SpokenPhones("o gosto"), "ugostu");
    EXPECT_EQ(SpokenPhones("gosto"), "gostu");
}

// Speech runs the disambiguation twice. Here the verb reading of "gosto"
// needs the tag of the word after it, which the first run resolves only once
// it has passed "gosto": one run would leave the noun's closed o.
class GrammarInSpeech : public EngineTest {
protected:
    void SetUp() override {
        ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
        DictClear();
        LoadLanguage({"gosto\tSV\t -g'os-tu\t0\t1\t \t", "nada\tAB\t -n'a-da\t0\t0\t \t", "*", "SV\t\tN\tV",
                      "AB\t\t\tN", "*"});
    }

    // The diphone name of the stressed vowel of "gosto" (the line after "g").
    std::string StressedVowel(const char* text) {
        diphones_.Clear();
        EXPECT_EQ(TTS_GenPcm(text, "/dev/null", 0, 0, 16), FV_OK);
        const std::vector<std::string>& lines = diphones_.lines;
        for (size_t k = 0; k + 1 < lines.size(); ++k) {
            if (lines[k].rfind("g ", 0) == 0) return lines[k + 1].substr(0, lines[k + 1].find(' '));
        }
        ADD_FAILURE() << "no g in " << text;
        return "";
    }

    RecordingDiphones diphones_;
};

TEST_F(GrammarInSpeech, ATagResolvedLaterInTheChunkServesInTheSecondRun) {
    const std::string closed = StressedVowel("gosto");
    const std::string open = StressedVowel("gosto nada");
    EXPECT_NE(open, closed) << "the verb opens the vowel";
    ASSERT_EQ(TTS_SetOption(kOptionAnalyseAmbiguities, 0), FV_OK);
    EXPECT_EQ(StressedVowel("gosto nada"), closed) << "without the disambiguation";
}

}  // namespace
