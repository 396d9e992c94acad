// Prosody seen from outside: the phoneme lines a text becomes through the C
// API, with the speed and pitch settings and the inline controls, and the
// sample paragraph kept under tests/prosody.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "EngineTest.h"
#include "FileBytes.h"
#include "TestSupport.h"
#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "falavoz32.h"

namespace fs = std::filesystem;

namespace {

struct PhonemeLine {
    std::string text;
    std::string name;
    int duration = 0;
    bool hasPitch = false;
    std::string pitchText;
    double pitch = 0;
};

PhonemeLine ParseLine(const std::string& text) {
    PhonemeLine line;
    line.text = text;
    std::istringstream in(text);
    in >> line.name >> line.duration;
    int position = 0;
    if (in >> position >> line.pitchText) {
        line.hasPitch = true;
        line.pitch = std::atof(line.pitchText.c_str());
    }
    return line;
}

bool IsPhone(const PhonemeLine& line) { return line.name != "_" && line.name != "#"; }

class ProsodySpeechTest : public EngineTest {
protected:
    void SetUp() override { ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK); }

    // The phoneme lines of a text (Windows-1252), as `falavoz --pho` prints them.
    std::vector<PhonemeLine> Pho(const std::string& text) {
        diphones_.Clear();
        EXPECT_EQ(TTS_GenPcm(text.c_str(), "/dev/null", 0, 0, 16), FV_OK);
        std::vector<PhonemeLine> lines;
        for (const std::string& line : diphones_.lines) lines.push_back(ParseLine(line));
        return lines;
    }

    // The line after the first line of phone `before`: the stressed vowel of
    // "fala" is the line after its "f".
    static PhonemeLine After(const std::vector<PhonemeLine>& lines, const std::string& before) {
        for (size_t k = 0; k + 1 < lines.size(); ++k) {
            if (lines[k].name == before) return lines[k + 1];
        }
        ADD_FAILURE() << "no " << before;
        return {};
    }

    void ExpectQuestionAndExclamationContours(const std::string& statement, const std::string& question,
                                              const std::string& exclamation) {
        const PhonemeLine plain = After(Pho(statement), "f");
        const PhonemeLine asked = After(Pho(question), "f");
        const PhonemeLine exclaimed = After(Pho(exclamation), "f");
        // +30 Hz and +27 Hz become 69 and 62.1 through the back end's expansion.
        EXPECT_NEAR(asked.pitch - plain.pitch, 69.0, 1.0);
        EXPECT_EQ(asked.duration, plain.duration);
        EXPECT_NEAR(exclaimed.pitch - plain.pitch, 62.0, 1.0);
        EXPECT_EQ(exclaimed.duration, plain.duration + 60);
    }

    static std::string SampleParagraph() {
        const char* source = std::getenv("FALAVOZ_SOURCE");
        if (!source) return "";
        std::string text = Utf8To1252(Slurp(fs::path(source) / "tests/prosody/paragraph.txt"));
        std::string crlf;  // as falavoz reads a file
        for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return crlf;
    }

    RecordingDiphones diphones_;
};

TEST_F(ProsodySpeechTest, AQuestionLiftsTheStressAndAnExclamationAlsoLengthensIt) {
    ExpectQuestionAndExclamationContours("\\*-`e-li\\* \\*-f`a-la\\*.", "\\*-`e-li\\* \\*-f`a-la\\*?",
                                         "\\*-`e-li\\* \\*-f`a-la\\*!");
}

// Needs the text normaliser to transcribe plain words.
TEST_F(ProsodySpeechTest, AQuestionAndAnExclamationInPlainWords) {
    ExpectQuestionAndExclamationContours("Ele fala.", "Ele fala?", "Ele fala!");
}

TEST_F(ProsodySpeechTest, FastSpeechShortensEveryPhoneDownToTheFloor) {
    const std::string text = SampleParagraph();
    ASSERT_FALSE(text.empty()) << "FALAVOZ_SOURCE not set";
    const std::vector<PhonemeLine> normal = Pho(text);
    ASSERT_EQ(TTS_SetMode(20, 20, 10), FV_OK);
    const std::vector<PhonemeLine> fast = Pho(text);
    ASSERT_EQ(fast.size(), normal.size());
    long normalMs = 0, fastMs = 0;
    for (size_t k = 0; k < normal.size(); ++k) {
        ASSERT_EQ(fast[k].name, normal[k].name) << k;
        if (!IsPhone(normal[k])) continue;
        EXPECT_LE(fast[k].duration, normal[k].duration) << normal[k].text;
        EXPECT_GE(fast[k].duration, 45) << fast[k].text;
        normalMs += normal[k].duration;
        fastMs += fast[k].duration;
    }
    EXPECT_LT(fastMs, normalMs * 3 / 4);
}

TEST_F(ProsodySpeechTest, AHighPitchSettingRaisesEveryPitch) {
    const std::string text = SampleParagraph();
    ASSERT_FALSE(text.empty()) << "FALAVOZ_SOURCE not set";
    const std::vector<PhonemeLine> normal = Pho(text);
    ASSERT_EQ(TTS_SetMode(10, 20, 20), FV_OK);
    const std::vector<PhonemeLine> high = Pho(text);
    ASSERT_EQ(high.size(), normal.size());
    for (size_t k = 0; k < normal.size(); ++k) {
        ASSERT_EQ(high[k].hasPitch, normal[k].hasPitch) << k;
        // (An empty pass opens with the back end's fixed 120 Hz silence.)
        if (normal[k].hasPitch && IsPhone(normal[k])) {
            EXPECT_GT(high[k].pitch, normal[k].pitch) << normal[k].text;
        }
    }
}

TEST_F(ProsodySpeechTest, APauseBeforeAWordIsWrittenAsThreeSilences) {
    const std::vector<PhonemeLine> lines = Pho("\\*ka\\* \\P500 \\*-k`a-za\\*");
    std::vector<std::string> texts;
    for (const PhonemeLine& line : lines) texts.push_back(line.text);
    // After "ka": the pause, then the word.
    ASSERT_GE(texts.size(), 7u);
    EXPECT_EQ(texts[3], "_ 20 ");
    EXPECT_EQ(texts[4], "_ 480");
    EXPECT_EQ(texts[5], "_ 20 ");
    EXPECT_EQ(lines[6].name, "k");
}

TEST_F(ProsodySpeechTest, AFixedPitchIsSpokenAtThatPitch) {
    int phones = 0;
    for (const PhonemeLine& line : Pho("\\TA200 \\*-k`a-za\\*")) {
        if (!IsPhone(line)) continue;
        ++phones;
        EXPECT_EQ(line.pitchText, "304") << line.text;  // 200 + (200 - 120) x 1.3
    }
    EXPECT_EQ(phones, 4);
}

TEST_F(ProsodySpeechTest, EachCallStartsAtTheSettingsTempo) {
    auto durations = [this](const std::string& text) {
        std::vector<int> ms;
        for (const PhonemeLine& line : Pho(text)) {
            if (IsPhone(line)) ms.push_back(line.duration);
        }
        return ms;
    };
    const std::vector<int> plain = durations("\\*-k`a-za\\* \\*-k`a-za\\*");
    const std::vector<int> slow = durations("\\V2 \\*-k`a-za\\* \\*-k`a-za\\*");
    ASSERT_EQ(slow.size(), plain.size());
    for (size_t k = 0; k < plain.size(); ++k) EXPECT_GT(slow[k], plain[k]) << k;
    EXPECT_EQ(durations("\\*-k`a-za\\* \\*-k`a-za\\*"), plain);
}

// The listening check: the sample paragraph's phoneme lines, kept as a
// golden file. Regenerate it as tests/prosody/README.md says when a change
// to the prosody is meant.
TEST_F(ProsodySpeechTest, TheSampleParagraphKeepsItsPhonemeLines) {
    const char* source = std::getenv("FALAVOZ_SOURCE");
    ASSERT_NE(source, nullptr) << "FALAVOZ_SOURCE not set";
    std::istringstream golden(Utf8To1252(Slurp(fs::path(source) / "tests/prosody/paragraph.pho")));
    std::vector<std::string> expected;
    for (std::string line; std::getline(golden, line);) expected.push_back(line);
    Pho(SampleParagraph());
    const std::vector<std::string>& actual = diphones_.lines;
    ASSERT_FALSE(expected.empty());
    for (size_t k = 0; k < std::max(expected.size(), actual.size()); ++k) {
        ASSERT_EQ(k < actual.size() ? actual[k] : "(none)", k < expected.size() ? expected[k] : "(none)")
            << "line " << k + 1 << " of paragraph.pho";
    }
}

}  // namespace
