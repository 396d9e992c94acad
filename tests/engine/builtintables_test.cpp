// The tables built into the engine: character names, number words and the
// per-phone tables.
#include "core/BuiltinTables.h"

#include <gtest/gtest.h>

namespace {

class BuiltinTablesTest : public ::testing::Test {
protected:
    void SetUp() override { FillBuiltinTables(); }
};

const std::string& NameOf(unsigned char c) { return CharacterNames[c]; }

TEST_F(BuiltinTablesTest, LowerCaseLettersShareTheirCapitalsNames) {
    for (unsigned char c = 'a'; c <= 'z'; ++c) {
        EXPECT_EQ(NameOf(c), NameOf(c - 'a' + 'A')) << c;
        EXPECT_FALSE(NameOf(c).empty()) << c;
    }
    // á â ã à é ê í î ô ó ú ü ç and their capitals.
    const unsigned char pairs[][2] = {{0xE1, 0xC1}, {0xE2, 0xC2}, {0xE3, 0xC3}, {0xE0, 0xC0}, {0xE9, 0xC9},
                                      {0xEA, 0xCA}, {0xED, 0xCD}, {0xEE, 0xCE}, {0xF4, 0xD4}, {0xF3, 0xD3},
                                      {0xFA, 0xDA}, {0xFC, 0xDC}, {0xE7, 0xC7}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(NameOf(pair[0]), NameOf(pair[1])) << int(pair[0]);
        EXPECT_FALSE(NameOf(pair[0]).empty()) << int(pair[0]);
    }
    EXPECT_EQ(NameOf(0xE7), " -se-si-d`i-ha- ");
    EXPECT_EQ(NameOf(0xE0), " -aa- ");
}

TEST_F(BuiltinTablesTest, NamesCarryTheirPausesAndCommands) {
    EXPECT_EQ(NameOf('1'), " \\V1.2 -`\xFC- \\V1 ");
    EXPECT_EQ(NameOf('"'), " ___-`aS-paS-___ ");
    for (unsigned char quote : {0x91, 0x92, 0x93, 0x94}) EXPECT_EQ(NameOf(quote), " __-`aS-paS-__ ");
    EXPECT_EQ(NameOf('\\'), " _-b`a-Ra- -\xEF-ve%-t`i-da-_ ");
    EXPECT_EQ(NameOf(0x99), " -t`e-_-`eme- ");
    EXPECT_EQ(NameOf(0xF7), " -di-vi-d`i-du- ");
}

TEST_F(BuiltinTablesTest, CharactersWithoutANameAreEmpty) {
    for (unsigned char c : {0, 9, 32, 127, 128, 129, 0x96, 0xA0, 0xC8, 0xE8, 0xF5, 0xFF})
        EXPECT_TRUE(NameOf(c).empty()) << int(c);
    // 102 listed characters, 26 lower-case letters and 13 lower-case accented ones.
    int named = 0;
    for (const std::string& name : CharacterNames) named += name.empty() ? 0 : 1;
    EXPECT_EQ(named, 141);
}

TEST_F(BuiltinTablesTest, FillingAgainRestoresEveryName) {
    CharacterNames[128] = "x";
    CharacterNames['a'] = "";
    FillBuiltinTables();
    EXPECT_TRUE(NameOf(128).empty());
    EXPECT_EQ(NameOf('a'), " -`a- ");
}

TEST_F(BuiltinTablesTest, NumberWords) {
    EXPECT_EQ(TensAndTeens[0], " -d`\xE9S- ");
    EXPECT_EQ(TensAndTeens[17], " -no-v`\xEB-ta- ");
    EXPECT_TRUE(TensAndTeens[18].empty());
    EXPECT_EQ(Hundreds[0], " -s`\xEB- ");
    EXPECT_EQ(Hundreds[1], " -s`\xEB-tu- ");
    EXPECT_EQ(Hundreds[5], " -ki-\xF1`\xEB-tuS- ");
    EXPECT_TRUE(Thousands[0].empty());
    EXPECT_TRUE(Thousands[5].empty());
    EXPECT_EQ(Thousands[1], " \\V1.15 -m`iw- \\V1 ");
    EXPECT_EQ(Thousands[2], " \\T1.03 -mi-h`@w-  \\T1 ");
    EXPECT_EQ(Thousands[9], " \\T1.03 -tri-h`o\xEBS-  \\T1 ");
    EXPECT_TRUE(OrdinalUnits[0].empty());
    EXPECT_EQ(OrdinalUnits[2], " -se-g`\xFC-d");
    EXPECT_EQ(OrdinalTens[9], " -no-na-j`\xE9-sim");
    EXPECT_EQ(OrdinalHundreds[4], " -kwa-dri-j\xEB-t`\xE9-sim");
    EXPECT_TRUE(OrdinalHundreds[10].empty());
    EXPECT_TRUE(Currencies[0].empty());
    EXPECT_EQ(Currencies[1], " -Re-`ayS- ");
    EXPECT_EQ(Currencies[4], " -i-`\xEBS-");
    EXPECT_EQ(Currencies[4 + kCurrencyKinds], " -i-`\xEB-");
    EXPECT_EQ(Months[0], " -z`\xE9-ro- ");
    EXPECT_EQ(Months[6], " -j`u-\xF1u- ");
    EXPECT_EQ(Months[12], " -de-z`\xEB-bru- ");
}

struct PhoneRow {
    unsigned char code;
    uint16_t inherent, minimum, phoneClass, pitch;
};

TEST_F(BuiltinTablesTest, PerPhoneTables) {
    const PhoneRow rows[] = {
        {'a', 80, 50, kClassVowel, 50},
        {0xF4 /* ô */, 80, 50, kClassVowel, 50},
        {'@', 80, 50, kClassVowel, 50},
        {0xE4 /* ä */, 110, 73, kClassVowel, 50},
        {0xFC /* ü */, 110, 73, kClassVowel, 50},
        {'t', 64, 40, kClassPlosive, 50},
        {'g', 81, 40, kClassPlosive, 50},
        {'S', 75, 45, kClassFricative, 50},
        {'x', 95, 65, kClassFricative, 50},
        {'%', 75, 45, kClassLiquid, 50},
        {'h', 115, 70, kClassLiquid, 50},
        {'n', 75, 45, kClassNasal, 50},
        {0xF1 /* ñ */, 115, 70, kClassNasal, 50},
        {'y', 69, 45, kClassGlide, 50},
        {'_', 80, 80, kClassNone, 50},
        // Codes outside the table.
        {'H', 0, 0, kClassNone, 0},
        {0xE3 /* ã */, 0, 0, kClassNone, 0},
        {'A', 0, 0, kClassNone, 0},
        {' ', 0, 0, kClassNone, 0},
    };
    for (const PhoneRow& row : rows) {
        SCOPED_TRACE(int(row.code));
        EXPECT_EQ(InherentDuration[row.code], row.inherent);
        EXPECT_EQ(MinimumDuration[row.code], row.minimum);
        EXPECT_EQ(PhoneClass[row.code], row.phoneClass);
        EXPECT_EQ(PitchPosition[row.code], row.pitch);
    }
    EXPECT_EQ(PhoneClassOf('\xE9'), kClassVowel);  // é through a plain char
}

}  // namespace
