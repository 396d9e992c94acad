// Character classes and string operations on Windows-1252 text.
#include "core/TextUtil.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "EngineTest.h"
#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/Tokens.h"

namespace {

// Test texts are written in UTF-8 and handed over in Windows-1252.
std::string W(const char* utf8) { return Utf8To1252(utf8); }

class TextUtilTest : public EngineTest {
protected:
    void SetUp() override { FillBuiltinTables(); }
};

struct Truth {
    const char* text;  // UTF-8
    bool expected;
};

void ExpectEach(bool (*predicate)(const std::string&), const char* name, const std::vector<Truth>& cases) {
    for (const Truth& c : cases) EXPECT_EQ(predicate(W(c.text)), c.expected) << name << "(" << c.text << ")";
}

TEST_F(TextUtilTest, Utf8To1252AndBack) {
    EXPECT_EQ(W("aé“”’‘€"), "a\xE9\x93\x94\x92\x91\x80");
    EXPECT_EQ(W("日"), "?");
    std::string every;
    for (int c = 1; c <= 0xFF; ++c)
        if (c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D) every += static_cast<char>(c);
    EXPECT_EQ(Utf8To1252(Utf8From1252(every)), every);
    EXPECT_EQ(Utf8From1252("c\xF3"
                           "digo \x80\x81"),
              "código €?");
}

TEST_F(TextUtilTest, CaseFollowsTheCodePage) {
    EXPECT_EQ(UpperCase1252(W("ação ñ ÿ œ")), W("AÇÃO Ñ Ÿ Œ"));
    EXPECT_EQ(LowerCase1252(W("ÉÀ×Z")), W("éà×z"));  // × has no case
}

TEST_F(TextUtilTest, CharacterClasses) {
    ExpectEach(IsWordChar, "IsWordChar",
               {{"-", false},
                {"¿", false},
                {"\t", false},
                {"\x01", false},
                {"“", false},
                {"\\", false},
                {"a", true},
                {"5", true},
                {"@", true},
                {"", true},
                {"ç", true}});
    ExpectEach(IsBlank, "IsBlank", {{" ", true}, {"\t", true}, {"\n", false}, {"  ", false}, {"", false}});
    ExpectEach(IsNumericText, "IsNumericText",
               {{"-1.234,5", true}, {"1-2", false}, {"", false}, {"12a", false}, {"-", true}});
    ExpectEach(IsDigits, "IsDigits", {{"0123", true}, {"", false}, {"1.2", false}});
    ExpectEach(HasDigit, "HasDigit", {{"ab3", true}, {"abc", false}, {"", false}});
    ExpectEach(IsLetters, "IsLetters", {{"ação", true}, {"", true}, {"a1", false}, {"a-b", false}});
    ExpectEach(IsSentenceEnd, "IsSentenceEnd",
               {{".", true}, {"?", true}, {"!", true}, {",", false}, {"", false}});
    ExpectEach(IsVowel, "IsVowel",
               {{"a", true}, {"E", true}, {"ã", true}, {"Õ", true}, {"y", true}, {"b", false}, {"", false}});
    ExpectEach(IsAllCaps, "IsAllCaps",
               {{"ONU", true}, {"É", true}, {"Onu", false}, {"123", false}, {"", false}, {"A1", true}});
    ExpectEach(IsUpperText, "IsUpperText", {{"ABC", true}, {"123", true}, {"Abc", false}, {"", true}});
    ExpectEach(IsPhonemeSymbol, "IsPhonemeSymbol",
               {{"ä", true}, {"R", true}, {"_", true}, {"ã", true}, {"c", false}, {"q", false}, {"", false}});
    EXPECT_EQ(LastAccentPos(W("máquina")), 2);
    EXPECT_EQ(LastAccentPos(W("ônibus também")), 12);
    EXPECT_EQ(LastAccentPos(W("casa")), 0);
}

TEST_F(TextUtilTest, DottedInitials) {
    ExpectEach(IsDottedInitials, "IsDottedInitials",
               {{"E.U.A.", true}, {"A.B.", true}, {"A.B", true}, {"AB.", false}, {"A.", false}, {"", false}});
}

TEST_F(TextUtilTest, GroupedNumbers) {
    ExpectEach(IsGroupedNumber, "IsGroupedNumber",
               {{"1.234", true},
                {"12.345.678", true},
                {"1.234,5", true},
                {"123", true},
                {"-1.234", true},
                {"1234", false},
                {"1.23", false},
                {".123", false},
                {"1,5.000", false},
                {"1234.567", false},
                {"1.234.56", false},
                {"", false}});
}

TEST_F(TextUtilTest, HardClusters) {
    ExpectEach(IsHardCluster, "IsHardCluster",
               {{"cm", true},
                {"pstr", true},
                {"xkcd", true},
                {"abstrato", false},
                {"transporte", false},
                {"casa", false},
                {"", false},
                {"a", false}});
}

TEST_F(TextUtilTest, NamedSymbols) {
    // Only punctuation and signs count; letters and digits have names too.
    EXPECT_TRUE(IsNamedSymbol("%"));
    EXPECT_TRUE(IsNamedSymbol("@"));
    EXPECT_FALSE(IsNamedSymbol("a"));
    EXPECT_FALSE(IsNamedSymbol(""));
}

TEST_F(TextUtilTest, CurrencyAtReadsTheInputText) {
    Engine.text = W("R$ r$ US$ Us$ $ £ ¥ US");
    EXPECT_TRUE(CurrencyAt(1));
    EXPECT_TRUE(CurrencyAt(4));
    EXPECT_TRUE(CurrencyAt(7));
    EXPECT_TRUE(CurrencyAt(11));
    EXPECT_FALSE(CurrencyAt(15));
    EXPECT_TRUE(CurrencyAt(17));
    EXPECT_TRUE(CurrencyAt(19));
    EXPECT_FALSE(CurrencyAt(21));  // "US" at the end, no "$"
    EXPECT_FALSE(CurrencyAt(0));
    EXPECT_FALSE(CurrencyAt(99));
}

TEST_F(TextUtilTest, NextWordCapitalised) {
    Engine.text = W("a. Bom, ... é 7");
    EXPECT_TRUE(NextWordCapitalised(3));
    EXPECT_FALSE(NextWordCapitalised(5));   // "o", inside "Bom"
    EXPECT_FALSE(NextWordCapitalised(7));   // "é"
    EXPECT_TRUE(NextWordCapitalised(14));   // digits count as capitals
    EXPECT_FALSE(NextWordCapitalised(16));  // past the end
    Engine.text = " ... ";
    EXPECT_FALSE(NextWordCapitalised(1));
}

TEST_F(TextUtilTest, WordTokens) {
    Engine.text = W("ação d'água 3x R&B ");
    Tokens[0] = {};
    Tokens[0].start = 1;
    Tokens[0].length = 4;
    Tokens[1] = {};
    Tokens[1].start = 6;
    Tokens[1].length = 6;
    Tokens[2] = {};
    Tokens[2].start = 13;
    Tokens[2].length = 2;
    Tokens[3] = {};
    Tokens[3].start = 16;
    Tokens[3].length = 3;
    EXPECT_TRUE(IsWordToken(0));
    EXPECT_TRUE(IsWordToken(1));
    EXPECT_FALSE(IsWordToken(2));
    EXPECT_TRUE(IsWordToken(3));
    EXPECT_TRUE(IsWordToken(-1));
    Tokens[4] = {};
    EXPECT_TRUE(IsWordToken(4));  // length 0
}

TEST_F(TextUtilTest, Substrings) {
    EXPECT_EQ(Left("abc", 2), "ab");
    EXPECT_EQ(Left("abc", 9), "abc");
    EXPECT_EQ(Left("abc", -1), "");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Right("abc", 9), "abc");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 5, 9), "ef");
    EXPECT_EQ(Mid("abc", 4, 1), "");
    EXPECT_EQ(Mid("abc", 2, 0), "");
    EXPECT_EQ(PosFrom(0, "abcabc", "bc"), 2);
    EXPECT_EQ(PosFrom(3, "abcabc", "bc"), 5);
    EXPECT_EQ(PosFrom(6, "abcabc", "bc"), 0);
    EXPECT_EQ(PosFrom(7, "abcabc", "c"), 0);
    EXPECT_EQ(PosCharFrom(0, "a,b,c", ','), 2);
    EXPECT_EQ(PosCharFrom(3, "a,b,c", ','), 4);
    EXPECT_EQ(UpToTab("palavra\tX\t"), "palavra");
    EXPECT_EQ(UpToTab("palavra"), "palavra");
}

TEST_F(TextUtilTest, IntOrZero) {
    struct Case {
        const char* text;
        bool ok;
        long value;
    };
    const Case cases[] = {{"", true, 0},
                          {"42", true, 42},
                          {"007", true, 7},
                          {"-3", true, -3},
                          {"+5", true, 5},
                          {"1.5", false, 0},
                          {"12a", false, 0},
                          {"-", false, 0},
                          {" ", false, 0},
                          {"+-1", false, 0},
                          {"99999999999999999999", false, 0}};
    for (const Case& c : cases) {
        long value = -99;
        EXPECT_EQ(IntOrZero(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST_F(TextUtilTest, DecimalMarks) {
    EXPECT_EQ(CommaToPoint("1,5,6"), "1.5,6");
    SetDecimalSeparator(',');
    EXPECT_EQ(ToSystemDecimal("1.5"), "1,5");
    EXPECT_EQ(ToSystemDecimal("1,5"), "1,5");
    EXPECT_EQ(ToSystemDecimal("1.000.5"), "1,000.5");
    SetDecimalSeparator('.');
    EXPECT_EQ(DecimalSeparator(), '.');
    EXPECT_EQ(ToSystemDecimal("1,5,6"), "1.5,6");
    EXPECT_EQ(ToSystemDecimal("15"), "15");
    EXPECT_EQ(SplitAtComma("12,50"), (std::pair<std::string, std::string>{"12", "50"}));
    EXPECT_EQ(SplitAtComma("12"), (std::pair<std::string, std::string>{"12", ""}));
    EXPECT_EQ(SplitAtComma("1,2,3"), (std::pair<std::string, std::string>{"1", "2,3"}));
}

TEST_F(TextUtilTest, StripLeadingZeros) {
    EXPECT_EQ(StripLeadingZeros("007"), "7");
    EXPECT_EQ(StripLeadingZeros("000"), "0");
    EXPECT_EQ(StripLeadingZeros("0"), "0");
    EXPECT_EQ(StripLeadingZeros("05"), "5");
    EXPECT_EQ(StripLeadingZeros("500"), "500");
    EXPECT_EQ(StripLeadingZeros(""), "");
}

TEST_F(TextUtilTest, RemoveCharInRange) {
    EXPECT_EQ(RemoveCharInRange("1.234.567", '.', 1, 9), "1234567");
    EXPECT_EQ(RemoveCharInRange("1.234.567", '.', 1, 3), "1234.567");
    EXPECT_EQ(RemoveCharInRange("a..b", '.', 1, 4), "a.b");  // the one after a removal stays
    EXPECT_EQ(RemoveCharInRange("a.b", '.', 2, 99), "ab");
    EXPECT_EQ(RemoveCharInRange("a.b", '.', 0, 0), "a.b");
}

TEST_F(TextUtilTest, UnitNames) {
    UnitOfMeasure unit;
    ASSERT_TRUE(FindUnit("kg", unit));
    EXPECT_EQ(unit.singular, W(" -k`i-lu- "));
    EXPECT_EQ(unit.plural, W(" -k`i-luS- "));
    EXPECT_TRUE(unit.masculine);
    ASSERT_TRUE(FindUnit("Kg", unit)) << "a capital that is not the last letter";
    ASSERT_TRUE(FindUnit("h", unit));
    EXPECT_FALSE(unit.masculine) << "duas horas";
    ASSERT_TRUE(FindUnit(W("m²"), unit));
    EXPECT_EQ(unit.plural, W(" -m`e-truS-  -kwa-dr`a-duS- ")) << "the adjective agrees too";
    ASSERT_TRUE(FindUnit("km/h", unit));
    EXPECT_EQ(unit.plural, W(" -ki-l`o-me-truS-  -po%- -`ó-ra- ")) << "\"por hora\" does not";
    ASSERT_TRUE(FindUnit("L", unit));
    ASSERT_TRUE(FindUnit(W("ºC"), unit));
    ASSERT_TRUE(FindUnit(W("°c"), unit)) << "small letters stand for any unit";
    EXPECT_TRUE(FindUnit("ml", unit));
    EXPECT_FALSE(FindUnit("ML", unit));
    EXPECT_FALSE(FindUnit("KG", unit)) << "capitals only where the unit is written so";
    EXPECT_FALSE(FindUnit("S", unit));
    EXPECT_FALSE(FindUnit("kms", unit));
    EXPECT_FALSE(FindUnit("", unit));
}

TEST_F(TextUtilTest, SpellCharacters) {
    const std::string one = CharacterNames[static_cast<unsigned char>('1')];
    const std::string zero = CharacterNames[static_cast<unsigned char>('0')];
    ASSERT_FALSE(one.empty());
    EXPECT_EQ(SpellCharacters("101"), one + "_" + zero + one + "_");
    EXPECT_EQ(SpellCharacters(""), "");
    // A character without a name adds nothing.
    EXPECT_EQ(SpellCharacters(std::string("\x01", 1) + "0"), zero);
}

TEST_F(TextUtilTest, Syllabify) {
    struct Case {
        const char* phonetic;
        const char* expected;
    };
    const Case cases[] = {
        {"minuto", " -mi-nu-to- "}, {"pratu", " -pra-tu- "}, {"dia", " -di-a- "},
        {"kasa", " -ka-sa- "},      {"iS", " -iS- "},        {"bla", " -bla- "},
        {"pai", " -pa-i- "},        {"käpu", " -kä-pu- "},   {"mäS", " -mäS- "},
        {"kaza%", " -ka-za%- "},    {"pawta", " -paw-ta- "}, {"pawS", " -pawS- "},
        {"yate", " -ya-te- "},      {"k`aza", " -k`a-za- "}, {"", " - "},
    };
    for (const Case& c : cases) EXPECT_EQ(Syllabify(W(c.phonetic)), W(c.expected)) << c.phonetic;
}

// Lines end in LF or CR LF, the last one maybe in neither; a line may be as
// long as kLongestDataLine and no longer.
TEST(ReadDataLine, ReadsLinesUpToTheLongestOne) {
    std::istringstream in("a\r\n\nb\n" + std::string(kLongestDataLine, 'c') + "\r\nend");
    std::vector<std::string> lines;
    for (std::string line; ReadDataLine(in, line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "", "b", std::string(kLongestDataLine, 'c'), "end"}));
    EXPECT_TRUE(in.eof());
    EXPECT_FALSE(in.bad());

    std::istringstream tooLong("a\n" + std::string(kLongestDataLine + 1, 'c') + "\nb\n");
    std::string line;
    EXPECT_TRUE(ReadDataLine(tooLong, line));
    EXPECT_FALSE(ReadDataLine(tooLong, line));
    EXPECT_TRUE(tooLong.bad());
    EXPECT_FALSE(ReadDataLine(tooLong, line));  // nothing more after the failure
}

}  // namespace
