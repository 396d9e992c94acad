// Tracing through the C API: the phoneme lines, or the phones, the back end
// renders, with or without the voice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTest.h"
#include "TestSupport.h"
#include "core/EngineState.h"
#include "falavoz32.h"

namespace {

using Texts = std::vector<std::string>;

void FV_CALL Record(const char* text, void* calls) { static_cast<Texts*>(calls)->push_back(text); }

std::string Joined(const Texts& texts) {
    std::string joined;
    for (const std::string& text : texts) joined += text;
    return joined;
}

// The diphone names of the lines the voice was given, without silences,
// skipped phones and the flush command.
Texts NamedDiphones(const std::vector<std::string>& lines) {
    Texts names;
    for (const std::string& line : lines) {
        const std::string name = line.substr(0, line.find(' '));
        if (name != "_" && name != "!" && name != "#") names.push_back(name);
    }
    return names;
}

class PhonemeTraceTest : public EngineTest {
protected:
    void SetUp() override {
        ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK);
        voice_.Clear();
    }
    void TearDown() override { TTS_SetPhonemeTrace(nullptr, nullptr, FV_TRACE_SYNTHESISE); }

    static int Render(const char* text) { return TTS_GenPcm(text, "/dev/null", 0, 0, 16); }

    RecordingDiphones voice_;
    Texts traced_;
};

TEST_F(PhonemeTraceTest, LinesGoToTheTraceAndToTheVoiceOnlyWhenSynthesising) {
    ASSERT_EQ(TTS_SetPhonemeTrace(Record, &traced_, 0), FV_OK);
    ASSERT_EQ(Render("\\*ka\\*"), FV_OK);
    EXPECT_EQ(voice_.written, "") << "without synthesis the voice is left alone";
    const std::string silentLines = Joined(traced_);
    EXPECT_NE(silentLines.find("\r\nk "), std::string::npos) << silentLines;

    traced_.clear();
    ASSERT_EQ(TTS_SetPhonemeTrace(Record, &traced_, FV_TRACE_SYNTHESISE), FV_OK);
    ASSERT_EQ(Render("\\*ka\\*"), FV_OK);
    EXPECT_EQ(Joined(traced_), voice_.written);
    EXPECT_EQ(Joined(traced_), silentLines);
}

TEST_F(PhonemeTraceTest, PhonesComeOneACallAsTheVoiceSpeaksThem) {
    ASSERT_EQ(TTS_SetPhonemeTrace(Record, &traced_, FV_TRACE_PHONES), FV_OK);
    // A transition vowel between p and n, a pause after the comma, and four
    // symbols spoken with the diphones of another.
    ASSERT_EQ(Render("\\*pneu\\*, \\*H\xE3-\xEA-\xF4\\*"), FV_OK);
    EXPECT_EQ(traced_, (Texts{"p", "i", "n", "e", "u", "h", "@", "e", "o"}));
    EXPECT_EQ(voice_.written, "") << "phones alone are rendered silently";

    traced_.clear();
    ASSERT_EQ(Render("\\*\xF1`\xE4-R`\xE9-S\\*"), FV_OK);
    EXPECT_EQ(traced_, (Texts{"\xF1", "\xE4", "R", "\xE9", "S"})) << "engine symbols, not diphone names";
}

TEST_F(PhonemeTraceTest, PhonesAreThoseOfTheFinalChangesAtAWordsEnd) {
    ASSERT_EQ(TTS_SetPhonemeTrace(Record, &traced_, FV_TRACE_PHONES), FV_OK);
    ASSERT_EQ(Render("as casas amarelas"), FV_OK);
    ASSERT_EQ(RVCall("as casas amarelas"), std::string("aSkazaSamar\xE9laS"));
    EXPECT_EQ(Joined(traced_), "aSkazazamar\xE9laS") << "s before a vowel sounds z";

    traced_.clear();
    ASSERT_EQ(Render("bode"), FV_OK);
    EXPECT_EQ(Joined(traced_),
              "b\xF3"
              "di")
        << "a final e closes to i";
}

// Whatever the text, the phones handed over are those the lines name.
TEST_F(PhonemeTraceTest, PhonesWithSynthesisMatchTheLinesTheVoiceGets) {
    ASSERT_EQ(TTS_SetPhonemeTrace(Record, &traced_, FV_TRACE_PHONES | FV_TRACE_SYNTHESISE), FV_OK);
    const char* const texts[] = {
        "Em 1990 havia 1.234,56 reais e R$ 15,00 no dia 12/03/2024.",
        "O Sr. Silva mora na Av. Paulista, apto. 32.",
        "m\xE3"
        "e, p\xE3o, irm\xE3os, v\xEAm, p\xF5"
        "e, ningu\xE9m, um, bom.",
        "Ela disse: \\! isto \\*_a!b\\* n\xE3o.",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(Latin1ToUtf8(text));
        traced_.clear();
        voice_.Clear();
        ASSERT_EQ(Render(text), FV_OK);
        Texts names;
        for (const std::string& phone : traced_) names.push_back(DiphoneName(phone));
        EXPECT_FALSE(names.empty());
        EXPECT_EQ(names, NamedDiphones(voice_.lines));
    }
}

TEST_F(PhonemeTraceTest, EndingTheTraceGivesTheVoiceBackItsLines) {
    ASSERT_EQ(TTS_SetPhonemeTrace(Record, &traced_, FV_TRACE_PHONES), FV_OK);
    ASSERT_EQ(TTS_SetPhonemeTrace(nullptr, nullptr, 0), FV_OK);
    ASSERT_EQ(Render("\\*ka\\*"), FV_OK);
    EXPECT_TRUE(traced_.empty());
    EXPECT_NE(voice_.written.find("\r\nk "), std::string::npos) << voice_.written;
}

// A host may end the trace from inside its own callback: the line in hand
// still reaches the voice, and the next ones go there directly.
void EndTraceOnFirstCall(const char* text, void* context) {
    static_cast<Texts*>(context)->push_back(text);
    TTS_SetPhonemeTrace(nullptr, nullptr, 0);
}

TEST_F(PhonemeTraceTest, TheCallbackMayEndTheTrace) {
    for (int32_t mode : {FV_TRACE_SYNTHESISE, FV_TRACE_PHONES | FV_TRACE_SYNTHESISE}) {
        SCOPED_TRACE(mode);
        traced_.clear();
        voice_.Clear();
        ASSERT_EQ(TTS_SetPhonemeTrace(EndTraceOnFirstCall, &traced_, mode), FV_OK);
        ASSERT_EQ(Render("\\*ka\\*"), FV_OK);
        EXPECT_EQ(traced_.size(), 1u);
        EXPECT_NE(voice_.written.find("\r\nk "), std::string::npos) << voice_.written;
    }
}

}  // namespace
