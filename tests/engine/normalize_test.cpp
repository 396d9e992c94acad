// The normaliser: which reading each token gets, the gender of numbers, the
// currency sign joining its amount, and passes cut on a full phone list.
#include <gtest/gtest.h>

#include <string>

#include "EngineTest.h"
#include "TestSupport.h"
#include "core/EngineState.h"
#include "core/Tokens.h"
#include "falavoz32.h"
#include "text/Normalize.h"
#include "text/Parser.h"

namespace {

class NormalizeTest : public EngineTest {
protected:
    void SetUp() override { ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK); }

    static std::string Phones(const std::string& text) { return RVCall(text.c_str()); }

    RecordingDiphones diphones_;
};

TEST_F(NormalizeTest, NumbersAgreeWithTheWordTheyCount) {
    struct Case {
        const char* text;
        const char* number;
    };
    const Case cases[] = {
        {"2 casas", "duaS"},     // feminine noun after the number
        {"2 vezes", "duaS"},     // a count word
        {"de 2 casas", "doyS"},  // "de" before the number
        {"2, casas", "doyS"},    // the number carries punctuation
        {"2 carros", "doyS"},
    };
    for (const Case& c : cases) {
        std::string phones = Phones(c.text);
        std::string other = std::string(c.number) == "duaS" ? "doyS" : "duaS";
        EXPECT_NE(phones.find(c.number), std::string::npos) << c.text << ": " << phones;
        EXPECT_EQ(phones.find(other), std::string::npos) << c.text << ": " << phones;
    }
}

TEST_F(NormalizeTest, ACurrencySignJoinsTheAmountAfterIt) {
    EXPECT_EQ(Phones("R$ 100"), Phones("R$100"));
    EXPECT_NE(Phones("R$ 100").find("Re"), std::string::npos) << Phones("R$ 100");
}

TEST_F(NormalizeTest, PhoneticSectionsAreTakenAsWritten) {
    EXPECT_EQ(Phones("\\*ka-za\\* casa"), "kazakaza");
}

TEST_F(NormalizeTest, CapitalsAreSpelledWhenTheOptionIsOnEvenIfTheLexiconKnowsThem) {
    std::string asWord = Phones("QUE");
    ASSERT_EQ(TTS_SetOption(1, -1), FV_OK);
    std::string spelled = Phones("QUE");
    EXPECT_NE(spelled, asWord);
    EXPECT_EQ(spelled, "keue") << "the names of Q, U and E";
}

TEST_F(NormalizeTest, ShortCapitalsOutsideTheLexiconAreSpelledNotAnalysed) {
    // The analyser would take "dna" for a form of "dner" (as "leva" of
    // "levar"); in capitals it is an acronym, spelled out, while "ONU" is
    // listed as a word.
    EXPECT_EQ(Phones("DNA"), "deenea");
    EXPECT_EQ(Phones("ONU"), "onu");
}

// A chunk whose phones do not fit in one pass goes on in the next, starting
// with the token that did not fit; the last pass ends at the end marker.
TEST_F(NormalizeTest, AFullPhoneListEndsThePassBeforeTheTokenThatDidNotFit) {
    std::string text;
    for (int k = 0; k < 400; ++k) text += "paralelepipedo ";  // 14 phones a word
    Engine.text = text + " ";
    int pos = 1;
    ParseChunk(static_cast<int>(Engine.text.size()), pos);

    int next = 0;
    int passes = 0, phones = 0;
    bool finished = false;
    while (!finished && passes < 10) {
        int start = next;
        finished = NormalizeTokens(next);
        ++passes;
        int count = 0;
        while (!IsEndRecord(PhoneList[count])) ++count;
        EXPECT_LT(count, kMaxPhonesPerPass);
        if (!finished) {
            EXPECT_GT(next, start);
            EXPECT_EQ(Tokens[next - 1].lastPhone, count - 1) << "the pass ends with a whole token";
        }
        phones += count;
    }
    EXPECT_TRUE(finished);
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(phones, 400 * 14);
}

TEST_F(NormalizeTest, ATokenThatCanNeverFitIsCutNotRetried) {
    std::string text = "\\*" + std::string(3500, 'a') + "\\* casa";
    std::string phones = Phones(text);
    EXPECT_EQ(phones.size(), static_cast<size_t>(kMaxPhonesPerPass) + 4);
}

}  // namespace
