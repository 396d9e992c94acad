// Phonetic strings to phones: syllable and word starts, the spread of the
// stress mark, inline commands and the token's pending settings.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/Tokens.h"
#include "words/PhoneticString.h"

namespace {

class PhoneticStringTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillBuiltinTables();
        ClearPass();
        Engine.controlCharacter = '\\';
        token_ = AddToken(5);
        Tokens[token_].phonetic = 1;
    }

    // Reads s for the test's token from phone 0; returns the phone count.
    int Read(const std::string& s, int expectedResult = 0) {
        int count = 0;
        EXPECT_EQ(ReadPhoneticString(s, token_, count), expectedResult);
        return count;
    }

    std::string Column(int count, uint8_t TPhone::*field) {
        std::string marks;
        for (int i = 0; i < count; ++i) marks += PhoneList[i].*field ? '1' : '0';
        return marks;
    }

    int token_ = 0;
};

TEST_F(PhoneticStringTest, MarksSyllablesWordStartAndTheStressedSyllable) {
    int count = Read(" -mi-n`u-to");
    ASSERT_EQ(count, 6);
    std::string symbols;
    for (int i = 0; i < count; ++i) symbols += PhoneList[i].symbol;
    EXPECT_EQ(symbols, "minuto");
    EXPECT_EQ(Column(count, &TPhone::syllableStart), "101010");
    EXPECT_EQ(Column(count, &TPhone::wordStart), "100000");
    EXPECT_EQ(Column(count, &TPhone::stress), "001100");
    EXPECT_EQ(Tokens[token_].firstPhone, 0);
    EXPECT_EQ(Tokens[token_].lastPhone, 5);
    EXPECT_EQ(Tokens[token_].stressedPhone, 3);
    for (int i = 0; i < count; ++i) EXPECT_EQ(PhoneList[i].word, token_);
}

TEST_F(PhoneticStringTest, AStressMarkWithoutSyllablesReachesThreePhones) {
    int count = Read("ka`zamal");
    EXPECT_EQ(Column(count, &TPhone::stress), "0011100");
}

TEST_F(PhoneticStringTest, InlineCommandsApplyToTheNextPhoneOnly) {
    Tokens[token_].durationValue = 0.9f;
    int count = Read(" \\V1.3 -`\xF3-ra");
    ASSERT_EQ(count, 3);
    EXPECT_FLOAT_EQ(PhoneList[0].tempoValue, 1.3f);
    EXPECT_FLOAT_EQ(PhoneList[1].tempoValue, 0.9f);
    EXPECT_FLOAT_EQ(PhoneList[2].tempoValue, 0.9f);
    EXPECT_EQ(PhoneList[0].symbol, "\xF3");
}

TEST_F(PhoneticStringTest, CommandValuesAreClamped) {
    int count = Read("\\T9 a\\TA500 b\\VA2 k\\P40000 d\\L0 e\\E300 f\\I g");
    ASSERT_EQ(count, 7);
    EXPECT_FLOAT_EQ(PhoneList[0].pitchValue, 8.0f);
    EXPECT_FLOAT_EQ(PhoneList[1].pitchValue, 300.0f);
    EXPECT_EQ(PhoneList[1].fixedPitch, 1);
    EXPECT_FLOAT_EQ(PhoneList[2].tempoValue, 10.0f);
    EXPECT_EQ(PhoneList[2].fixedDuration, 1);
    EXPECT_EQ(PhoneList[3].pauseBefore, 32000);
    EXPECT_EQ(PhoneList[4].level, 1);
    EXPECT_EQ(PhoneList[5].emphasis, 255);
    EXPECT_EQ(PhoneList[6].accentToggle, 1);
}

TEST_F(PhoneticStringTest, AnUnreadableCommandChangesNothing) {
    int count = Read("\\Vx a");
    ASSERT_EQ(count, 2) << "x and a are phones; the control character and V are skipped";
    EXPECT_FLOAT_EQ(PhoneList[0].tempoValue, 0.0f);
}

TEST_F(PhoneticStringTest, ThePauseOfTheTokenGoesToItsFirstPhoneOnly) {
    Tokens[token_].pauseMs = 800;
    Tokens[token_].level = 7;
    int count = Read("bom");
    ASSERT_EQ(count, 3);
    EXPECT_EQ(PhoneList[0].pauseBefore, 800);
    EXPECT_EQ(PhoneList[1].pauseBefore, 0);
    EXPECT_EQ(PhoneList[2].level, 7);
}

TEST_F(PhoneticStringTest, PhoneticTokensAreNeverSyllabified) {
    int count = Read("kaza");
    EXPECT_EQ(Column(count, &TPhone::syllableStart), "0000");

    Tokens[token_].phonetic = 0;
    count = Read("kaza");
    EXPECT_EQ(Column(count, &TPhone::syllableStart), "1010") << "written words get their syllables";
}

TEST_F(PhoneticStringTest, AFullListStopsTheString) {
    std::string longString(3100, 'a');
    int count = Read(longString, -1);
    EXPECT_EQ(count, kMaxPhonesPerPass);
    EXPECT_EQ(Tokens[token_].lastPhone, kMaxPhonesPerPass - 1);
}

}  // namespace
