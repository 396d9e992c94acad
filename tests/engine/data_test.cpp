// Loading "brport.lng" and looking words and rules up in it.
#include "words/Data.h"
#include "words/WordLookup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/Tokens.h"

namespace {

namespace fs = std::filesystem;

// A language file written for one test and removed after it.
class LanguageFile {
public:
    explicit LanguageFile(const std::string& content) {
        std::string name =
            "falavoz_data_test_" + std::to_string(getpid()) + "_" + std::to_string(counter_++) + ".lng";
        path_ = (fs::temp_directory_path() / name).string();
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~LanguageFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::string path_;
};

// Lines joined with the given line end, a final line end included.
std::string Lines(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

int LoadText(const std::string& content) {
    LanguageFile file(content);
    return LoadLanguageData(file.path());
}

const std::vector<std::string> kLexicon = {
    "abc\t-\t -a-b'e-s'e\t0\t0\t \t",
    "casa\t-\t -k'a-za\t0\t2\t \t",
    "de\tR\t -di\t0\t0\t \t",
    "dr.\t-\t -dow-t'o%\t0\t0\t \t",
    "logo\tDCR\t -l'\xF3-gu\t1\t8\tP\textra\tfields",
    "mesa\t-\t -m'e-za\t\t\t \t",
    "zebra\t-\t -z'e-bra\t0\t0\t \t",
    "\xE9\tV\t -'\xE9\t0\t0\t \t",  // é, last in byte order
};

class LexiconTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(LoadText(Lines(kLexicon) + "*\r\n*\r\n"), 0); }
};

TEST_F(LexiconTest, FindsWordsInAnyCase) {
    struct Case {
        std::string word;
        bool found;
        std::string transcription;
    };
    const Case cases[] = {
        {"abc", true, " -a-b'e-s'e"},  // first entry
        {"ABC", true, " -a-b'e-s'e"},
        {"CaSa", true, " -k'a-za"},
        {"dr.", true, " -dow-t'o%"},
        {"\xE9", true, " -'\xE9"},  // last entry
        {"\xC9", true, " -'\xE9"},  // É
        {"dr", false, ""},
        {"casas", false, ""},
        {"aaa", false, ""},   // before the first
        {"\xFF", false, ""},  // after the last
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        TIPO_REG_PAL record;
        EXPECT_EQ(LexiconLookup(c.word, record), c.found);
        if (c.found) {
            EXPECT_EQ(record.transcription, c.transcription);
        }
    }
}

TEST_F(LexiconTest, RecordTakesTheSixFields) {
    TIPO_REG_PAL record;
    record.reserved = 7;
    ASSERT_TRUE(LexiconLookup("LOGO", record));
    EXPECT_EQ(record.word, "logo");
    EXPECT_EQ(record.tag, "DCR");
    EXPECT_EQ(record.transcription, " -l'\xF3-gu");
    EXPECT_EQ(record.firstNumber, 1);
    EXPECT_EQ(record.vowelClass, 8);
    EXPECT_EQ(record.subclass, "P");
    EXPECT_EQ(record.reserved, 0);

    ASSERT_TRUE(LexiconLookup("mesa", record));  // empty number fields
    EXPECT_EQ(record.firstNumber, 0);
    EXPECT_EQ(record.vowelClass, 0);
}

TEST(LexiconFields, SixthFieldNeedsItsTab) {
    ASSERT_EQ(LoadText(Lines({"palavra\tN\t -pa-l'a-vra\t0\t0\tX\t"})), 0);
    TIPO_REG_PAL record;
    ASSERT_TRUE(LexiconLookup("palavra", record));
    EXPECT_EQ(record.tag, "N");
    EXPECT_EQ(record.transcription, " -pa-l'a-vra");
    EXPECT_EQ(record.vowelClass, 0);
    EXPECT_EQ(record.subclass, "X");

    ASSERT_EQ(LoadText(Lines({"palavra\tN\t -pa-l'a-vra\t0\t0\tX"})), 0);
    ASSERT_TRUE(LexiconLookup("palavra", record));
    EXPECT_EQ(record.transcription, " -pa-l'a-vra");
    EXPECT_EQ(record.subclass, "");
}

TEST(LexiconFields, UnsortedLinesAreMissedNotFatal) {
    ASSERT_EQ(LoadText(Lines({"b\t-\t -b\t\t\t\t", "c\t-\t -c\t\t\t\t", "a\t-\t -a\t\t\t\t"})), 0);
    TIPO_REG_PAL record;
    EXPECT_TRUE(LexiconLookup("c", record));
    EXPECT_FALSE(LexiconLookup("a", record));
}

TEST(LexiconFields, KeepsEveryLine) {
    // More than the 9001 lines a lexicon once had room for.
    const int count = 12000;
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        char word[16];
        std::snprintf(word, sizeof word, "w%05d", i);
        lines.push_back(std::string(word) + "\t-\t -x\t0\t0\t \t");
    }
    lines.push_back("*");
    lines.push_back("TR\t\t\tR");
    ASSERT_EQ(LoadText(Lines(lines)), 0);
    EXPECT_EQ(Lexicon.size(), size_t(count));
    TIPO_REG_PAL record;
    for (const char* word : {"w00000", "w09000", "w09001", "w11999"})
        EXPECT_TRUE(LexiconLookup(word, record)) << word;
    EXPECT_FALSE(LexiconLookup("w12000", record));
    EXPECT_GE(TagRuleLookup("TR"), 0);  // the sections after it still load
}

TEST(LoadLanguageData, FailsOnAMissingFile) {
    EXPECT_EQ(LoadLanguageData("/nonexistent/brport.lng"), -5);
    EXPECT_EQ(LoadLanguageData(fs::temp_directory_path().string()), -5);  // a directory
}

TEST(LoadLanguageData, FailsOnAMalformedNumber) {
    const std::string word = "casa\t-\t -k'a-za\t0\t0\t \t";
    const std::string suffix = "s\t1\t\tS\t-\t0\t \t";
    EXPECT_EQ(LoadText(Lines({word, "*", "*", suffix + "0"})), 0);
    EXPECT_EQ(LoadText(Lines({word, "*", "*", suffix + "x"})), -5);
    EXPECT_EQ(LoadText(Lines({word, "*", "*", "s\tl\t\tS\t-\t0\t \t0"})), -5);
    EXPECT_EQ(LoadText(Lines({word, "*", "*", "s\t1\t\tS\t-\t5a\t \t0"})), -5);
    EXPECT_EQ(LoadText(Lines({word, "*", "*", suffix + "256"})), -5);  // 8-bit field
    EXPECT_EQ(LoadText(Lines({word, "*", "*", suffix + "-1"})), -5);
    EXPECT_EQ(LoadText(Lines({"casa\t-\t -k'a-za\tO\t0\t \t"})), -5);
    EXPECT_EQ(LoadText(Lines({"casa\t-\t -k'a-za\t0\t300\t \t"})), -5);
}

// A file without line ends (a device, a binary file) must not be read into
// one line that fills the memory; the longest line is far beyond the data's.
TEST(LoadLanguageData, RefusesALineLongerThanAnyTheDataHolds) {
    const std::string word = "casa\t-\t -k'a-za\t0\t0\t \t";
    EXPECT_EQ(LoadText(Lines({word, std::string(60000, 'a')})), 0);
    EXPECT_EQ(LoadText(Lines({word, std::string(70000, 'a')})), -5);
    EXPECT_EQ(LoadText(word + "\r\n" + std::string(200000, '\0')), -5);  // no line end at all
    EXPECT_EQ(LoadText(Lines({word, "*", std::string(70000, 'T'), "*"})), -5);
    EXPECT_EQ(LoadText(Lines({word, "*", "*", std::string(70000, 's')})), -5);
}

// A FIFO is refused before it is opened: opening it for reading would wait
// for a writer. Should the loader wait all the same, a writer comes and goes
// after a while, so that the test fails instead of hanging.
TEST(LoadLanguageData, RefusesAFifoWithoutWaitingForAWriter) {
    const fs::path fifo =
        fs::temp_directory_path() / ("falavoz_data_test_" + std::to_string(getpid()) + ".fifo");
    fs::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> loaded{false};
    std::thread writer([&] {
        for (int k = 0; k < 100 && !loaded; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const int end = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (end >= 0) {
                close(end);
                return;
            }
        }
    });
    EXPECT_EQ(LoadLanguageData(fifo.string()), -5);
    loaded = true;
    writer.join();
    fs::remove(fifo);
}

TEST(LoadLanguageData, ReadsTheThreeSections) {
    for (const std::string end : {"\r\n", "\n"}) {
        SCOPED_TRACE(end == "\n" ? "LF" : "CR LF");
        ASSERT_EQ(LoadText(Lines({"casa\t-\t -k'a-za\t0\t2\t \t", "* tag rules", " TR \t V \t-\t Tx ", "",
                                  "ado\t2\t r\t'adu\tV\t5\tX\t3", "*", "ignored\tafter\tthe\tend"},
                                 end)),
                  0);
        ASSERT_EQ(Lexicon.size(), 1u);
        EXPECT_EQ(Lexicon[0], "casa\t-\t -k'a-za\t0\t2\t \t");

        // Placed by the key as written, stored trimmed.
        int tag = RuleHash(" TR ");
        ASSERT_TRUE(GrammarRules[tag].inUse);
        EXPECT_EQ(GrammarRules[tag].key, "TR");
        EXPECT_EQ(GrammarRules[tag].left, "V");
        EXPECT_EQ(GrammarRules[tag].right, "-");
        EXPECT_EQ(GrammarRules[tag].replacement, "T");

        int s = SuffixRuleLookup("ado");
        ASSERT_GE(s, 0);
        const TIPO_HASH_MORPH& rule = SuffixRules[s];
        EXPECT_EQ(rule.strip, 2);
        EXPECT_EQ(rule.replacement, " r");  // suffix fields are not trimmed
        EXPECT_EQ(rule.phoneticEnding, "'adu");
        EXPECT_EQ(rule.requiredClass, "V");
        EXPECT_EQ(rule.mode, 5);
        EXPECT_EQ(rule.subclass, "X");
        EXPECT_EQ(rule.person, 3);
        EXPECT_EQ(SuffixRuleLookup("ignored"), -1);
    }
}

TEST(LoadLanguageData, ReloadingClearsTheRuleTables) {
    ASSERT_EQ(LoadText(Lines({"a\t-\t -a\t\t\t\t", "*", "TR\t\t\tR", "*", "s\t1\t\tS\t-\t0\t \t0"})), 0);
    ASSERT_GE(TagRuleLookup("TR"), 0);
    ASSERT_EQ(LoadText(Lines({"b\t-\t -b\t\t\t\t"})), 0);
    EXPECT_EQ(TagRuleLookup("TR"), -1);
    EXPECT_EQ(SuffixRuleLookup("s"), -1);
    TIPO_REG_PAL record;
    EXPECT_FALSE(LexiconLookup("a", record));
    EXPECT_TRUE(LexiconLookup("b", record));
}

TEST(RuleHash, WeightsEachByteByItsPosition) {
    EXPECT_EQ(RuleHash(""), 0);
    EXPECT_EQ(RuleHash("a"), 97);
    EXPECT_EQ(RuleHash("ab"), (97 + 2 * 98) % 255);
    EXPECT_EQ(RuleHash("\xFE"), 254);
    EXPECT_EQ(RuleHash("\xFF"), 0);
    // 200 times "z": the sum 2452200 wraps to 27368 in 16 bits.
    EXPECT_EQ(RuleHash(std::string(200, 'z')), 27368 % 255);
}

// Loads tag rules with the given keys (placeholder contexts and tag).
void LoadTagRules(const std::vector<std::string>& keys) {
    std::vector<std::string> lines = {"*"};
    for (const std::string& key : keys) lines.push_back(key + "\t\t\tX");
    ASSERT_EQ(LoadText(Lines(lines)), 0);
}

TEST(RuleTables, EqualKeysTakeConsecutiveSlots) {
    LoadTagRules({"TR", "TR", "VD"});
    int home = RuleHash("TR");
    EXPECT_TRUE(GrammarRules[home].inUse);
    EXPECT_EQ(GrammarRules[home + 1].key, "TR");
    EXPECT_EQ(TagRuleLookup("TR"), home);
    EXPECT_EQ(TagRuleLookup("VD"), RuleHash("VD"));
}

TEST(RuleTables, ProbingWrapsBelowTheHomeSlot) {
    // "\xFE" and "<a" both have home slot 254.
    ASSERT_EQ(RuleHash("<a"), 254);
    LoadTagRules({"\xFE", "\xFE", "<a", "\xFE"});
    EXPECT_EQ(GrammarRules[254].key, "\xFE");
    EXPECT_EQ(GrammarRules[255].key, "\xFE");
    EXPECT_EQ(GrammarRules[253].key, "<a");
    EXPECT_EQ(GrammarRules[252].key, "\xFE");
    EXPECT_EQ(TagRuleLookup("\xFE"), 254);
    EXPECT_EQ(TagRuleLookup("<a"), 253);
}

TEST(RuleTables, LookupFollowsProbesAndStopsAtAFreeSlot) {
    // "A" and "\xFE!" share home slot 65.
    ASSERT_EQ(RuleHash("\xFE!"), 65);
    LoadTagRules({"A", "\xFE!"});
    EXPECT_EQ(TagRuleLookup("A"), 65);
    EXPECT_EQ(TagRuleLookup("\xFE!"), 66);
    EXPECT_EQ(TagRuleLookup("a"), -1);  // home slot free
    ASSERT_EQ(RuleHash("\xFA#"), 65);
    EXPECT_EQ(TagRuleLookup("\xFA#"), -1);  // home and next slot hold other keys
}

TEST(RuleTables, AFullTableDropsTheRestWithAMessage) {
    std::vector<std::string> keys;
    for (int i = 0; i < kRuleSlots + 2; ++i) keys.push_back("k" + std::to_string(i));
    ::testing::internal::CaptureStderr();
    LoadTagRules(keys);
    std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("Erro no hashing"), std::string::npos);
    for (const TIPO_HASH_GRAMAT& slot : GrammarRules) EXPECT_TRUE(slot.inUse);
    EXPECT_GE(TagRuleLookup("k0"), 0);
    EXPECT_GE(TagRuleLookup("k255"), 0);
    EXPECT_EQ(TagRuleLookup("k256"), -1);
}

class WordLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(LoadText(Lines({"casa\t-\t -k'a-za\t0\t2\tS\t", "logo\tDCRX\t -l'\xF3-gu\t0\t8\tP\t"})), 0);
        Tokens[3] = TIPO_TOKEN{};
        Tokens[3].person = 6;
        Tokens[3].tag = "?";
        Tokens[3].vowelClass = 9;
    }
};

TEST_F(WordLookupTest, KnownWordTakesTheLexiconFields) {
    std::string phonetic = "stale";
    const TIPO_REG_PAL entry = WordLookup("Logo", 3, phonetic);
    EXPECT_EQ(phonetic, " -l'\xF3-gu");
    EXPECT_EQ(Tokens[3].tag, "DCR");  // at most three characters
    EXPECT_EQ(Tokens[3].vowelClass, 8);
    EXPECT_EQ(Tokens[3].subclass, "P");
    EXPECT_EQ(Tokens[3].person, 0);
    EXPECT_EQ(entry.word, "logo");
}

TEST_F(WordLookupTest, UnknownWordsAreTaggedByTheirEnding) {
    struct Case {
        std::string word;
        std::string tag;
    };
    const Case cases[] = {{"rapidamente", "D"}, {"RAPIDAMENTE", "D"}, {"amente", "-"},
                          {"mente", "-"},       {"mentes", "-"},      {"xyz", "-"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        std::string phonetic = "stale";
        Tokens[3].person = 6;
        WordLookup(c.word, 3, phonetic);
        EXPECT_EQ(phonetic, "");
        EXPECT_EQ(Tokens[3].tag, c.tag);
        EXPECT_EQ(Tokens[3].vowelClass, 0);
        EXPECT_EQ(Tokens[3].subclass, " ");
        EXPECT_EQ(Tokens[3].person, 0);
    }
}

TEST_F(WordLookupTest, TokenIndexOutsideTheTableIsIgnored) {
    std::string phonetic;
    WordLookup("casa", 100000, phonetic);
    EXPECT_EQ(phonetic, " -k'a-za");
    WordLookup("casa", -2, phonetic);
    EXPECT_EQ(phonetic, " -k'a-za");
}

TEST(LanguageDataPath, FallsBackToTheDataDirectory) {
    // The tests run away from the programs' directory, where no brport.lng lies.
    const char* old = std::getenv("FALAVOZ_DATA");
    std::string saved = old ? old : "";
    setenv("FALAVOZ_DATA", "/some/data", 1);
    EXPECT_EQ(LanguageDataPath(), "/some/data/brport.lng");
    if (old)
        setenv("FALAVOZ_DATA", saved.c_str(), 1);
    else
        unsetenv("FALAVOZ_DATA");
}

TEST(LanguageDataPath, FalavozLngNamesAnotherFile) {
    setenv("FALAVOZ_LNG", "/elsewhere/test.lng", 1);
    EXPECT_EQ(LanguageDataPath(), "/elsewhere/test.lng");
    setenv("FALAVOZ_LNG", "", 1);  // empty: as if unset
    EXPECT_NE(LanguageDataPath(), "");
    unsetenv("FALAVOZ_LNG");
}

TEST(ShippedLanguageData, LoadsSortedAndFindsItsWords) {
    // The source tree's file, or the copy the build puts beside the programs.
    std::string path;
    if (const char* source = std::getenv("FALAVOZ_SOURCE"))
        path = std::string(source) + "/data/brport.lng";
    else if (const char* data = std::getenv("FALAVOZ_DATA"))
        path = std::string(data) + "/brport.lng";
    else
        GTEST_SKIP() << "neither FALAVOZ_SOURCE nor FALAVOZ_DATA is set";
    ASSERT_EQ(LoadLanguageData(path), 0) << path;
    ASSERT_FALSE(Lexicon.empty());
    for (size_t i = 1; i < Lexicon.size(); ++i) {
        std::string previous = Lexicon[i - 1].substr(0, Lexicon[i - 1].find('\t'));
        std::string current = Lexicon[i].substr(0, Lexicon[i].find('\t'));
        EXPECT_LT(previous, current) << "line " << i + 1;
    }
    TIPO_REG_PAL record;
    for (const char* word : {"a", "de", "Dr.", "sra.", "que", "\xC9"})
        EXPECT_TRUE(LexiconLookup(word, record)) << word;
    EXPECT_FALSE(LexiconLookup("dr", record));
}

}  // namespace
