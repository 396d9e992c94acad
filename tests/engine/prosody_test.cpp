// Phrasing, phone durations, the pitch contour and the word-class pass, on
// passes built by hand from phonetic strings.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "prosody/Prosody.h"
#include "words/PhoneticString.h"

namespace {

// Builds a pass the way the normaliser does: each word's phonetic string read
// into PhoneList, the end marker and the end record after the last word.
class HandPass {
public:
    HandPass() {
        ClearPass();
        Engine.text.clear();
        End();
    }

    // A word read from a phonetic string such as "-f`a-la". Its text (which
    // gives its length) is its phoneme letters unless given.
    int Word(const std::string& phonetic, const std::string& tag = "X", char punct = 0,
             std::string text = "") {
        if (text.empty()) {
            for (char c : phonetic) {
                if (IsPhonemeChar(c)) text += c;
            }
        }
        const int w = tokens_++;
        TIPO_TOKEN& token = Tokens[w];
        token = TIPO_TOKEN{};
        token.start = static_cast<int>(Engine.text.size()) + 1;
        token.length = static_cast<int>(text.size());
        token.tag = tag;
        token.punct = punct;
        Engine.text += text + " ";
        ReadPhoneticString(phonetic, w, count_);
        End();
        return w;
    }

    // Starts the phones of a further pass of the same chunk: the words read
    // so far keep their phone ranges, as after a full PhoneList.
    void NextPass() { count_ = 0; }

    int Phones() const { return count_; }

private:
    void End() {
        Tokens[tokens_] = TIPO_TOKEN{};
        Tokens[tokens_].start = -1;
        Tokens[tokens_].length = -1;
        int count = count_;
        ReadPhoneticString("", tokens_, count);
        PhoneList[count_].symbol = " ";
    }

    int tokens_ = 0;
    int count_ = 0;
};

struct PhoneResult {
    uint16_t duration;
    float pitch;
};

std::vector<PhoneResult> Results() {
    std::vector<PhoneResult> results;
    for (int j = 0; !IsEndRecord(PhoneList[j]); ++j) {
        results.push_back({PhoneList[j].duration, PhoneList[j].points[0].pitch});
    }
    return results;
}

uint16_t Ms(int j) { return PhoneList[j].duration; }
float Hz(int j) { return PhoneList[j].points[0].pitch; }

class ProsodyTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillBuiltinTables();
        Engine.controlCharacter = '\\';
        Engine.options[kOptionDetectPauses] = -1;
        SetRates(1.0f, 1.0f);
    }

    static void SetRates(float speed, float pitch) {
        Engine.currentRateFactor = speed;
        Engine.currentPitchFactor = pitch;
        ResetProsodyState();
    }

    static void Run() {
        PhrasingPass();
        DurationPitchPass();
        WordClassPass();
    }

    // A word whose last phone is `symbol` and in which every factor of that
    // phone's duration is 1: unstressed yet counted as the word's stress,
    // after a plosive, not phrase-final, four letters long.
    static int NeutralPhone(HandPass& pass, const std::string& symbol) {
        const int w = pass.Word("-ka", "X", 0, "kxxx");
        const int j = Tokens[w].lastPhone;
        PhoneList[j].symbol = symbol;
        for (int k = Tokens[w].firstPhone; k <= j; ++k) PhoneList[k].stress = 0;
        Tokens[w].stressedPhone = j;
        pass.Word("-pu-pu");
        return j;
    }
};

// ---------------------------------------------------------------- durations

TEST_F(ProsodyTest, APhoneWithEveryFactorAtOneTakesItsInherentDurationTimesTheSpeed) {
    struct Case {
        std::string symbol;
        float speed;
        int presetMs;
        int expectedMs;
    } cases[] = {
        {"a", 1.0f, 0, 80},  {"t", 1.0f, 0, 64},    {"\xE4", 1.0f, 0, 110},  // ä
        {"h", 1.0f, 0, 115}, {"a", 1.72f, 0, 137},  {"t", 1.72f, 0, 110},
        {"h", 0.5f, 0, 57},  {"a", 0.5f, 0, 45},    {"t", 0.5f, 0, 45},  // the floor
        {"_", 1.0f, 0, 80},  {"_", 0.5f, 300, 300}, {"_", 1.72f, 20, 45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.symbol + " at speed factor " + std::to_string(c.speed));
        SetRates(c.speed, 1.0f);
        HandPass pass;
        const int j = NeutralPhone(pass, c.symbol);
        PhoneList[j].duration = static_cast<uint16_t>(c.presetMs);
        Run();
        EXPECT_EQ(Ms(j), c.expectedMs);
    }
}

TEST_F(ProsodyTest, AStressedIIsFourTenthsLongerThanAnotherStressedVowel) {
    // (50 + 1.15 x 30) = 84.5 ms, and 84.5 x 1.4 = 118.3 for "i".
    for (const auto& [vowel, expected] : {std::pair{"e", 84}, {"i", 118}}) {
        HandPass pass;
        const int w = pass.Word(std::string("-k`") + vowel, "X", 0, "kxxx");
        pass.Word("-pu-pu");
        Run();
        EXPECT_EQ(Ms(Tokens[w].lastPhone), expected) << vowel;
    }
}

TEST_F(ProsodyTest, ShortWordsAndOneWordUtterancesAreDrawnOut) {
    HandPass pass;
    const int j = NeutralPhone(pass, "a");
    Tokens[0].length = 2;  // x 1.2 for an unstressed phone of a word of two letters
    Run();
    EXPECT_EQ(Ms(j), 50 + static_cast<int>(30 * 1.2f));

    HandPass single;
    single.Word("-p`a", "X", 0, "pa");
    Run();
    // Phrase-final, on the stress, first phone not stressed: 1.15 x 30 x 1.4
    // (final) x 1.3 (two letters, stressed) x 1.5 (a one-word text) + 50.
    EXPECT_EQ(Ms(1), static_cast<int>(50 + 1.15f * 30.0f * 1.4f * 1.3f * 1.5f));
}

TEST_F(ProsodyTest, VoiceLevelsStretchDurationsAndScaleThePitch) {
    struct Case {
        uint8_t level;
        int expectedMs;
        float pitchFactor;
    } cases[] = {{1, 140, 0.37f}, {5, 148, 0.65f}, {7, 80, 0.79f}, {20, 80, 2.3f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.level));
        HandPass reference;
        const int j = NeutralPhone(reference, "a");
        SetRates(1.0f, 1.0f);
        Run();
        const float plainHz = Hz(j);

        HandPass pass;
        NeutralPhone(pass, "a");
        PhoneList[0].level = c.level;
        SetRates(1.0f, 1.0f);
        Run();
        EXPECT_EQ(Ms(j), c.expectedMs);
        EXPECT_NEAR(Hz(j), plainHz * c.pitchFactor, 0.01);
    }
}

TEST_F(ProsodyTest, AnInlineTempoHoldsForTheRestOfTheCallAcrossPasses) {
    HandPass pass;
    const int j = NeutralPhone(pass, "a");
    PhoneList[0].tempoValue = 2.0f;
    SetRates(0.5f, 1.0f);
    Run();
    EXPECT_EQ(Ms(j), 80) << "speed 0.5 x tempo 2";

    HandPass next;  // a further pass of the same call
    NeutralPhone(next, "a");
    Run();
    EXPECT_EQ(Ms(j), 80);

    ResetProsodyState();  // a new call
    HandPass again;
    NeutralPhone(again, "a");
    Run();
    EXPECT_EQ(Ms(j), 45) << "speed 0.5 alone: 40, raised to the floor";
}

TEST_F(ProsodyTest, FixedDurationsAndPitchesChangeOnlyByEmphasisAndTheFloors) {
    struct Case {
        float ms;
        float hz;
        uint8_t emphasis;
        int expectedMs;
        float expectedHz;
    } cases[] = {
        {250.9f, 200.0f, 0, 250, 200.0f},
        {250.9f, 200.0f, 1, 300, 220.0f},
        {250.9f, 200.0f, 2, 275, 210.0f},
        {20.0f, 30.0f, 0, 45, 30.0f},
    };
    for (const Case& c : cases) {
        SetRates(0.5f, 2.3f);  // neither the speed nor the pitch setting applies
        HandPass pass;
        const int j = NeutralPhone(pass, "a");
        PhoneList[j].fixedDuration = PhoneList[j].fixedPitch = 1;
        PhoneList[j].tempoValue = c.ms;
        PhoneList[j].pitchValue = c.hz;
        PhoneList[j].emphasis = c.emphasis;
        Run();
        EXPECT_EQ(Ms(j), c.expectedMs);
        EXPECT_FLOAT_EQ(Hz(j), c.expectedHz);
    }
}

TEST_F(ProsodyTest, EmphasisLengthensAndRaisesAComputedPhone) {
    HandPass reference;
    const int j = NeutralPhone(reference, "a");
    Run();
    const PhoneResult plain = Results()[j];

    for (const auto& [emphasis, durationFactor, pitchFactor] :
         {std::tuple{1, 1.2f, 1.1f}, {2, 1.1f, 1.05f}, {7, 1.0f, 1.0f}}) {
        HandPass pass;
        NeutralPhone(pass, "a");
        PhoneList[j].emphasis = static_cast<uint8_t>(emphasis);
        Run();
        EXPECT_EQ(Ms(j), static_cast<int>(plain.duration * durationFactor)) << emphasis;
        EXPECT_FLOAT_EQ(Hz(j), plain.pitch * pitchFactor) << emphasis;
    }
}

TEST_F(ProsodyTest, PitchNeverFallsBelowTwentyFiveHertz) {
    SetRates(1.0f, 0.37f);  // pitch 1
    HandPass pass;
    const int j = NeutralPhone(pass, "a");
    PhoneList[0].level = 1;  // x 0.37 again
    Run();
    EXPECT_FLOAT_EQ(Hz(j), 25.0f);
}

// ---------------------------------------------------------------- pitch

TEST_F(ProsodyTest, AnUnaccentedPhoneFarFromTheStressNearThePhraseStartIsAbout119Hz) {
    HandPass pass;
    // Fourteen phones, stressed on the twelfth; phone 2 is inside the word
    // and nine phones from the stress, in the first of three words.
    pass.Word("-pu-pu-pu-pu-pu-p`u-pu", "X", 0, "pupupupupu");
    pass.Word("-pu-pu");
    pass.Word("-pu-pu");
    Run();
    // decl = 1 - 2 x 0.007, x 0.95 far from the stress.
    EXPECT_FLOAT_EQ(Hz(2), 100.0f + 20.0f * ((1.0f - 2 * 0.007f) * 0.95f));
    EXPECT_NEAR(Hz(2), 119.0f, 0.5f);
}

TEST_F(ProsodyTest, DeclinationKeepsItsFirstValueBelowOneFifth) {
    HandPass pass;
    std::string longWord = "-";
    for (int k = 0; k < 70; ++k) longWord += "pu";
    longWord += "-p`u";
    pass.Word(longWord, "X", 0, "long");  // 142 phones, stressed at 140
    pass.Word("-pu-pu");
    pass.Word("-pu-pu");
    Run();
    auto far = [](float decl) { return 100.0f + 20.0f * (decl * 0.95f); };
    EXPECT_FLOAT_EQ(Hz(114), far(1.0f - 114 * 0.007f));  // 0.202
    EXPECT_FLOAT_EQ(Hz(115), far(1.0f - 115 * 0.007f));  // 0.195, the first value below 0.2
    for (int j = 116; j < 130; ++j) EXPECT_FLOAT_EQ(Hz(j), Hz(115)) << j;
    EXPECT_EQ(Phrases[0].firstPhone, Phrases[0].lastPhone - 114)
        << "the reference moves along from phone 115";
}

TEST_F(ProsodyTest, AQuestionLiftsOnlyTheStressAndAnExclamationReshapesTheWord) {
    auto build = [](char punct) {
        HandPass pass;
        pass.Word("-`e-li");
        pass.Word("-f`a-la", "X", punct);
        Run();
        return Results();
    };
    const std::vector<PhoneResult> statement = build('.');
    const std::vector<PhoneResult> question = build('?');
    const std::vector<PhoneResult> exclamation = build('!');
    ASSERT_EQ(statement.size(), 7u);
    // Phones of "fala": f (stressed syllable), a (the stress), l, a.
    const int f = 3, a = 4;
    for (int j = 0; j < 7; ++j) {
        EXPECT_EQ(question[j].duration, statement[j].duration) << j;
        EXPECT_FLOAT_EQ(question[j].pitch, statement[j].pitch + (j == a ? 30.0f : 0.0f)) << j;
    }
    for (int j = 0; j < f; ++j) {
        EXPECT_EQ(exclamation[j].duration, statement[j].duration) << j;
        EXPECT_FLOAT_EQ(exclamation[j].pitch, statement[j].pitch) << j;
    }
    EXPECT_EQ(exclamation[f].duration, statement[f].duration + 40);
    EXPECT_FLOAT_EQ(exclamation[f].pitch, statement[f].pitch);
    EXPECT_EQ(exclamation[a].duration, statement[a].duration + 60);
    EXPECT_FLOAT_EQ(exclamation[a].pitch, statement[a].pitch + 27.0f);
    for (int j = a + 1; j < 7; ++j) {
        EXPECT_EQ(exclamation[j].duration, statement[j].duration + 25) << j;
        EXPECT_FLOAT_EQ(exclamation[j].pitch, statement[j].pitch - 5.0f) << j;
    }
}

TEST_F(ProsodyTest, ThePitchSettingScalesEveryComputedPitch) {
    HandPass reference;
    reference.Word("-`e-li");
    reference.Word("-f`a-la");
    Run();
    const std::vector<PhoneResult> plain = Results();
    for (float factor : {0.37f, 2.3f}) {
        SetRates(1.0f, factor);
        HandPass pass;
        pass.Word("-`e-li");
        pass.Word("-f`a-la");
        Run();
        const std::vector<PhoneResult> scaled = Results();
        for (size_t j = 0; j < plain.size(); ++j) {
            EXPECT_FLOAT_EQ(scaled[j].pitch, plain[j].pitch * factor) << j;
            EXPECT_EQ(scaled[j].duration, plain[j].duration) << j;
        }
    }
}

TEST_F(ProsodyTest, APhraseAfterAnOpeningParenthesisHasHalfTheExcursion) {
    auto build = [](char punct) {
        HandPass pass;
        pass.Word("-`e-li", "X", punct);
        pass.Word("-f`a-la-va", "X");
        pass.Word("-mu-`i-tu", "X", '.');
        Run();
        return Results();
    };
    const std::vector<PhoneResult> after = build('(');
    const std::vector<PhoneResult> plain = build(';');  // the same pause, no parenthesis
    const int j = Tokens[1].firstPhone + 1;             // the stressed "a" of "falava"
    EXPECT_NEAR(after[j].pitch - 100.0f, (plain[j].pitch - 100.0f) * 0.5f, 1e-4);
}

// ---------------------------------------------------------------- phrasing

struct PhraseExpectation {
    int first;
    int last;
    char mark;
};

void ExpectPhrases(const std::vector<PhraseExpectation>& expected) {
    for (size_t p = 0; p < expected.size(); ++p) {
        SCOPED_TRACE("phrase " + std::to_string(p));
        EXPECT_EQ(Phrases[static_cast<int>(p)].firstWord, expected[p].first);
        EXPECT_EQ(Phrases[static_cast<int>(p)].lastWord, expected[p].last);
        EXPECT_EQ(Phrases[static_cast<int>(p)].closingMark, expected[p].mark);
    }
    EXPECT_EQ(Phrases[static_cast<int>(expected.size())].firstWord, -1) << "the end of the list";
}

std::string Puncts() {
    std::string marks;
    for (int i = 0; Tokens[i].start != -1; ++i) marks += Tokens[i].punct ? Tokens[i].punct : '.';
    return marks;
}

TEST_F(ProsodyTest, PhrasesOfPunctuationPausesAndTheEnd) {
    HandPass empty;
    Run();
    EXPECT_EQ(Phrases[0].lastWord, -1);
    EXPECT_EQ(Phrases[1].firstWord, -1);

    HandPass single;
    single.Word("-p`a");
    Run();
    ExpectPhrases({{0, 0, 0}, {1, 0, 0}});

    HandPass two;
    two.Word("-p`a", "X", ',');
    two.Word("-p`a", "X", '.');
    Run();
    ExpectPhrases({{0, 0, ','}, {1, 1, '.'}, {2, 1, 0}});

    HandPass paused;
    for (int k = 0; k < 4; ++k) paused.Word("-p`a");
    Tokens[2].pauseMs = 500;
    Run();
    ExpectPhrases({{0, 1, 0}, {2, 3, 0}, {4, 3, 0}});
}

TEST_F(ProsodyTest, GrammarRulesBreakLongPhrasesBeforeConjunctions) {
    struct Case {
        const char* name;
        std::vector<std::string> tags;  // class letter, then subclass if any
        bool detectPauses;
        std::vector<PhraseExpectation> phrases;
        std::string puncts;  // "." for none
    } cases[] = {
        {"C three words in",
         {"X", "X", "X", "C", "X", "X", "X", "X"},
         true,
         {{0, 3, '1'}, {4, 7, 0}, {8, 7, 0}},
         "..,....."},
        {"C two words in", {"X", "X", "C", "X", "X", "X", "X"}, true, {{0, 6, 0}, {7, 6, 0}}, "......."},
        {"C three words in, detection off",
         {"X", "X", "X", "C", "X", "X", "X", "X"},
         false,
         {{0, 7, 0}, {8, 7, 0}},
         "........"},
        {"C after R",
         {"X", "X", "X", "R", "C", "X", "X", "X", "X"},
         true,
         {{0, 3, '1'}, {4, 8, 0}, {9, 8, 0}},
         "..,......"},
        {"C before a verb",
         {"X", "X", "X", "C", "V", "X", "X", "X"},
         true,
         {{0, 7, 0}, {8, 7, 0}},
         "........"},
        {"C of subclass N",
         {"X", "X", "X", "CN", "X", "X", "X", "X"},
         true,
         {{0, 7, 0}, {8, 7, 0}},
         "........"},
        {"C of subclass D", {"X", "X", "X", "CD", "X", "X"}, true, {{0, 5, 0}, {6, 5, 0}}, "..A..."},
        {"subclass P", {"X", "X", "XP", "X", "X"}, true, {{0, 2, '1'}, {3, 4, 0}, {5, 4, 0}}, ".A..."},
        {"after subclass T", {"X", "XT", "X", "X", "X"}, true, {{0, 2, '1'}, {3, 4, 0}, {5, 4, 0}}, ".,..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Engine.options[kOptionDetectPauses] = c.detectPauses ? -1 : 0;
        HandPass pass;
        for (const std::string& tag : c.tags) {
            const int w = pass.Word("-p`a", tag.substr(0, 1));
            Tokens[w].subclass = tag.substr(1);
        }
        Run();
        ExpectPhrases(c.phrases);
        EXPECT_EQ(Puncts(), c.puncts);
    }
}

TEST_F(ProsodyTest, AConjunctionWithABoundaryWithinReachDoesNotBreak) {
    HandPass pass;
    for (const char* tag : {"X", "X", "X", "C", "X", "X", "X", "X", "X"}) pass.Word("-p`a", tag);
    Tokens[5].punct = ',';
    Run();
    ExpectPhrases({{0, 5, ','}, {6, 8, 0}, {9, 8, 0}});
}

// ---------------------------------------------------------------- word classes

struct WordClassCase {
    const char* name;
    std::vector<std::string> tags;  // class letter, then subclass if any
    int word;                       // the word to look at
    float pitchFactor;
    float durationFactor;
    std::string text = "";  // of that word; default five letters
};

// Runs the pass with the word-class rules switched off and on and returns
// the phones of `word` both ways.
std::pair<std::vector<PhoneResult>, std::vector<PhoneResult>> WithAndWithoutRules(const WordClassCase& c) {
    std::vector<PhoneResult> results[2];
    for (bool rulesOn : {false, true}) {
        HandPass pass;
        for (size_t w = 0; w < c.tags.size(); ++w) {
            const std::string text = static_cast<int>(w) == c.word && !c.text.empty() ? c.text : "xxxxx";
            const int i = pass.Word("-p`a", c.tags[w].substr(0, 1), 0, text);
            Tokens[i].subclass = c.tags[w].substr(1);
        }
        ResetProsodyState();
        RunningProsody.wordAccentOff = !rulesOn;
        PhrasingPass();
        DurationPitchPass();
        WordClassPass();
        const std::vector<PhoneResult> all = Results();
        results[rulesOn].assign(all.begin() + Tokens[c.word].firstPhone,
                                all.begin() + Tokens[c.word].lastPhone + 1);
    }
    return {results[0], results[1]};
}

TEST_F(ProsodyTest, WordClassesScaleWholeWords) {
    const WordClassCase cases[] = {
        {"conjunction", {"X", "C", "X", "X"}, 1, 0.8f, 1.0f},
        {"determiner before a determiner", {"X", "D", "D", "X", "X"}, 1, 1.07f, 1.0f},
        {"pronoun", {"X", "T", "X", "X"}, 1, 0.85f, 1.0f},
        {"preposition before a number", {"X", "P", "-", "X"}, 1, 0.9f, 1.0f},
        {"preposition after a conjunction", {"C", "P", "-", "X"}, 1, 1.0f, 1.0f},
        {"verb of four letters", {"X", "V", "X", "X"}, 1, 1.0f, 1.25f, "fala"},
        {"the verb \"\xE9\"", {"X", "V", "X", "X"}, 1, 1.0f, 1.5f, "\xC9"},  // É
        {"verb after a verb", {"X", "V", "V", "X", "X"}, 2, 0.94f, 1.0f},
        {"number after subclass I", {"XI", " ", "X", "X"}, 1, 1.07f, 1.0f},
        {"number after a verb and R", {"V", "R", " ", "X", "X"}, 2, 1.08f, 1.0f},
        {"the last word", {"X", "X", "C"}, 2, 1.0f, 1.0f},
    };
    for (const WordClassCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [off, on] = WithAndWithoutRules(c);
        ASSERT_EQ(off.size(), on.size());
        for (size_t j = 0; j < off.size(); ++j) {
            EXPECT_FLOAT_EQ(on[j].pitch, off[j].pitch * c.pitchFactor) << j;
            const int stretched = static_cast<int>(static_cast<float>(off[j].duration) * c.durationFactor);
            EXPECT_EQ(on[j].duration, std::max(stretched, 45)) << j;
        }
    }
}

TEST_F(ProsodyTest, AConjunctionBeforePunctuationKeepsItsPitch) {
    HandPass pass;
    pass.Word("-p`a");
    const int c = pass.Word("-p`a", "C", ',');
    pass.Word("-p`a");
    pass.Word("-p`a");
    Run();
    const float before = Hz(Tokens[c].lastPhone);
    HandPass plain;
    plain.Word("-p`a");
    plain.Word("-p`a", "X", ',');
    plain.Word("-p`a");
    plain.Word("-p`a");
    Run();
    EXPECT_FLOAT_EQ(Hz(Tokens[c].lastPhone), before);
}

TEST_F(ProsodyTest, AVerbFarFromTheLastBreakGetsAShortPauseBeforeIt) {
    for (bool detect : {true, false}) {
        Engine.options[kOptionDetectPauses] = detect ? -1 : 0;
        HandPass pass;
        for (const char* tag : {"X", "X", "X", "X", "X", "X", "V", "-", "X", "X"}) pass.Word("-p`a", tag);
        Run();
        EXPECT_EQ(Puncts(), detect ? ".....A...." : "..........") << detect;
    }
}

TEST_F(ProsodyTest, TheAccentSwitchHoldsAcrossPassesUntilTheNextCall) {
    auto conjunctionPitch = [](bool toggle) {
        HandPass pass;
        const int first = pass.Word("-p`a");
        const int c = pass.Word("-p`a", "C");
        pass.Word("-p`a");
        pass.Word("-p`a");
        Tokens[first].accentToggle = toggle ? 1 : 0;
        Run();
        return Hz(Tokens[c].firstPhone + 1);
    };
    ResetProsodyState();
    const float lowered = conjunctionPitch(false);
    const float plain = conjunctionPitch(true);  // switches the rules off
    EXPECT_FLOAT_EQ(lowered, plain * 0.8f);
    EXPECT_FLOAT_EQ(conjunctionPitch(false), plain) << "a later pass of the same call";
    EXPECT_FLOAT_EQ(conjunctionPitch(true), lowered) << "a second toggle switches them on";
    conjunctionPitch(true);
    ResetProsodyState();
    EXPECT_FLOAT_EQ(conjunctionPitch(false), lowered) << "a new call starts with the rules on";
}

// ---------------------------------------------------------------- passes

TEST_F(ProsodyTest, WordsOfAnEarlierPassLeaveThisPassAlone) {
    auto build = [](char punctOfEarlierWord) {
        HandPass pass;
        pass.Word("-`e-li-li", "X", punctOfEarlierWord);
        pass.Word("-f`a-la");
        pass.NextPass();  // their ranges now point at the phones below
        pass.Word("-k`a-za");
        pass.Word("-b`o-ni-ta", "X", '.');
        Run();
        return Results();
    };
    const std::vector<PhoneResult> plain = build(0);
    const PassWords words = LocatePassWords();
    EXPECT_EQ(words.first, 2);
    EXPECT_EQ(words.end, 4);
    const std::vector<PhoneResult> exclaimed = build('!');
    ASSERT_EQ(plain.size(), 10u);
    for (size_t j = 0; j < plain.size(); ++j) {
        EXPECT_EQ(exclaimed[j].duration, plain[j].duration) << j;
        EXPECT_FLOAT_EQ(exclaimed[j].pitch, plain[j].pitch) << j;
    }
    ExpectPhrases({{2, 3, '.'}, {4, 3, 0}});
}

}  // namespace
