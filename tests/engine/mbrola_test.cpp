// The back end: the phoneme lines a pass becomes, how it is cut into pieces,
// and how samples come back from the diphone library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "TestSupport.h"
#include "core/EngineState.h"
#include "voice/MBrola.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kA = "a 80  50 120";  // a phone "a" of 80 ms at 120 Hz

struct Piece {
    Lines lines;
    size_t bytes = 0;
    size_t capacity = 0;
    int cursor = -1;
};

long SumOfDurations(const Lines& lines) {
    long ms = 0;
    for (const std::string& line : lines) ms += LineDuration(line);
    return ms;
}

// Renders the whole pass, piece by piece.
std::vector<Piece> RenderPieces(RecordingDiphones& recorder) {
    std::vector<Piece> pieces;
    int cursor = -1;
    do {
        const size_t before = recorder.lines.size();
        AudioBuffer buffer;
        EXPECT_EQ(Render(cursor, buffer), 0);
        Piece piece;
        piece.lines.assign(recorder.lines.begin() + static_cast<long>(before), recorder.lines.end());
        piece.bytes = buffer.length;
        piece.capacity = buffer.capacity;
        piece.cursor = cursor;
        pieces.push_back(piece);
    } while (cursor != -1 && pieces.size() < 10000);
    return pieces;
}

Lines RenderOnePiece(RecordingDiphones& recorder) {
    const std::vector<Piece> pieces = RenderPieces(recorder);
    EXPECT_EQ(pieces.size(), 1u);
    // The double answers durations x 16 samples of 2 bytes.
    EXPECT_EQ(pieces[0].bytes, static_cast<size_t>(SumOfDurations(pieces[0].lines)) * 32);
    return pieces[0].lines;
}

// The lines written between the opening silence and the closing one.
Lines Body(const Lines& lines) {
    if (lines.size() < 3) return {};
    return Lines(lines.begin() + 1, lines.end() - 2);
}

class MBrolaTest : public ::testing::Test {
protected:
    void SetUp() override { ClearPass(); }
    RecordingDiphones recorder;
};

TEST_F(MBrolaTest, EmptyPassIsFramingSilenceOnly) {
    AudioBuffer buffer;
    int cursor = -1;
    ASSERT_EQ(Render(cursor, buffer), 0);
    EXPECT_EQ(recorder.lines, (Lines{"_ 200 50 120", "_ 200", "#"}));
    EXPECT_EQ(recorder.written, "_ 200 50 120\r\n_ 200\r\n#");
    EXPECT_EQ(cursor, -1);
    EXPECT_EQ(buffer.length, 400u * 16 * 2);
    EXPECT_EQ(buffer.capacity, 46000u * 35);
    EXPECT_EQ(recorder.flushCalls, 1);
    EXPECT_EQ(recorder.resetCalls, 2);
    EXPECT_EQ(recorder.LastPiece(), recorder.lines);
}

TEST_F(MBrolaTest, PhoneLinesCarryExpandedPitchPoints) {
    const int w = AddToken(4);
    AddPhone("a", w, 85, 131.6f);
    AddPhone("a", w, 85, 130);
    const int twoPoints = AddPhone("a", w, 85, 130);
    PhoneList[twoPoints].points[1] = {90, 200};
    AddPhone("a", w, 85, 0);  // no pitch point
    const Lines lines = RenderOnePiece(recorder);
    // The opening silence takes the first pitch as it stands.
    EXPECT_EQ(lines[0], "_ 200 50 131.600006103516");
    // Each point is v + (v - 120) x 1.3.
    EXPECT_EQ(lines[1], "a 85  50 146.68000793457");
    EXPECT_EQ(lines[2], "a 85  50 143");
    EXPECT_EQ(lines[3], "a 85  50 143 90 304");
    EXPECT_EQ(lines[4], "a 85 ");
}

TEST_F(MBrolaTest, PitchBaseFollowsRaisedPitchAndPitchFactor) {
    struct Case {
        float pitch;
        bool raised;
        float factor;
        std::string printed;
    };
    const Case cases[] = {
        {120, false, 1.0f, "120"},
        {130, true, 1.0f, "135.199996948242"},  // base 126
        {130, false, 1.5f, "65"},               // base 180
        {50, false, 1.0f, "25"},                // never below 25
        {200, true, 2.0f, "132.399993896484"},  // base 252
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        ClearPass();
        recorder.Clear();
        Engine.pitchFactor = c.factor;
        const int w = AddToken(1);
        AddPhone("a", w, 80, c.pitch);
        Tokens[w].raisedPitch = c.raised;
        Tokens[w].phonetic = 1;
        EXPECT_EQ(RenderOnePiece(recorder)[1], "a 80  50 " + c.printed);
    }
}

TEST(FormatPitch, GeneralFormatWithFifteenDigits) {
    struct Case {
        float value;
        std::string printed;
    };
    const Case cases[] = {
        {131.6f, "131.600006103516"},
        {120, "120"},
        {0, "0"},
        {25, "25"},
        {0.5f, "0.5"},
        {100.25f, "100.25"},
        {-3.5f, "-3.5"},
        {65536, "65536"},
        {0.0001f, "0.0000999999974737875"},
        {1e20f, "1.00000002004088E20"},
        {1e-6f, "9.99999997475243E-7"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatPitch(c.value), c.printed);
}

TEST(DiphoneName, RenamedSymbolsAndLowerCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"\xF1", "nh"}, {"\xF3", "oo"}, {"\xE9", "ee"}, {"\xE4", "am"},   {"\xEB", "em"},
        {"\xEF", "im"}, {"\xF6", "om"}, {"\xFC", "um"}, {"S", "s2"},      {"%", "r2"},
        {"R", "rr"},    {"\xE3", "@"},  {"\xEA", "e"},  {"\xF4", "o"},    {"H", "h"},
        {"a", "a"},     {"_", "_"},     {"L", "l"},     {"\xC1", "\xE1"}, {"Ow", "ow"},
    };
    for (const auto& [symbol, name] : cases) EXPECT_EQ(DiphoneName(symbol), name) << symbol;
}

// Four symbols share their diphones with another; the rest are spoken as
// they are, whatever their diphones are named.
TEST(VoiceSymbol, MergedSymbolsSpeakTheirPartnersDiphones) {
    const std::pair<std::string, std::string> merged[] = {
        {"\xE3", "@"}, {"\xEA", "e"}, {"\xF4", "o"}, {"H", "h"}};
    for (const auto& [symbol, spoken] : merged) EXPECT_EQ(VoiceSymbol(symbol), spoken) << symbol;
    for (const char* symbol : {"a", "@", "e", "\xF1", "\xE9", "S", "R", "%", "_", "!"})
        EXPECT_EQ(VoiceSymbol(symbol), symbol);
    // Every phoneme symbol a phonetic string may hold.
    const std::string phonemes =
        "a@\xE4"
        "e\xE9\xEBi\xEFo\xF3\xF6u\xFCywbdfghjklmn\xF1prR%sStvxz_\xEA\xF4H\xE3";
    for (char c : phonemes) {
        const std::string symbol(1, c);
        EXPECT_EQ(DiphoneName(VoiceSymbol(symbol)), DiphoneName(symbol)) << symbol;
    }
}

std::vector<std::string> heardPhones;
void HearPhone(const std::string& symbol) { heardPhones.push_back(symbol); }

TEST_F(MBrolaTest, TheListenerHearsEveryPhoneLineButSilences) {
    AddWord("!pneu", ',');
    AddWord("H_\xE3");
    heardPhones.clear();
    ListenToRenderedPhones(HearPhone);
    const Lines lines = RenderOnePiece(recorder);
    ListenToRenderedPhones(nullptr);
    // A skipped phone and a silence phone are written but are no phones.
    EXPECT_EQ(lines[1], "! 80  50 120");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "_ 80  50 120"), lines.end());
    EXPECT_EQ(heardPhones, (Lines{"p", "i", "n", "e", "u", "h", "i", "@"}));
}

TEST_F(MBrolaTest, PauseBeforeATokenIsWrittenAsSilenceLines) {
    struct Case {
        int pause;
        Lines silence;
    };
    const Case cases[] = {
        {500, {"_ 20 ", "_ 480", "_ 20 "}},
        {301, {"_ 20 ", "_ 281", "_ 20 "}},
        {300, {"_ 280"}},
        {21, {"_ 1"}},
        // Too short to take 20 ms off: the pause as it stands.
        {20, {"_ 20"}},
        {5, {"_ 5"}},
        {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pause);
        ClearPass();
        recorder.Clear();
        AddWord("a");
        const int w = AddWord("a");
        PhoneList[Tokens[w].firstPhone].pauseBefore = c.pause;
        Lines expected = {kA};
        expected.insert(expected.end(), c.silence.begin(), c.silence.end());
        expected.push_back(kA);
        EXPECT_EQ(Body(RenderOnePiece(recorder)), expected);
    }
}

TEST_F(MBrolaTest, PauseAfterAConsonantGetsAnEpentheticVowel) {
    const int w = AddWord("al");
    const int v = AddWord("lm");
    PhoneList[Tokens[v].firstPhone].pauseBefore = 300;  // a phone that is not its token's last
    PhoneList[Tokens[v].lastPhone].pauseBefore = 100;   // its token's last
    Tokens[w].phonetic = Tokens[v].phonetic = 1;
    EXPECT_EQ(Body(RenderOnePiece(recorder)), (Lines{kA, "l 80  50 120", "i 80 ", "_ 280", "l 80  50 120",
                                                     "i 100 ", "_ 80", "m 80  50 120", "i 80 "}));
}

TEST_F(MBrolaTest, ClusterOfConsonantsGetsAnEpentheticVowel) {
    AddWord("pneu");
    EXPECT_EQ(RenderOnePiece(recorder), (Lines{"_ 200 50 120", "p 80  50 120", "i 80 ", "n 80  50 120",
                                               "e 80  50 120", "u 80  50 120", "_ 200", "#"}));
}

TEST_F(MBrolaTest, FinalConsonantBeforeAPauseGetsALongerVowel) {
    AddWord("mal", '.');
    AddWord("a");
    EXPECT_EQ(Body(RenderOnePiece(recorder)),
              (Lines{"m 80  50 120", kA, "l 80  50 120", "i 100 ", "_ 290", kA}));
}

// The segment written between two phones of a word, by the table of joins.
TEST_F(MBrolaTest, TransitionTable) {
    struct Case {
        std::string previous, next;
        Lines between;
    };
    const Case cases[] = {
        {"%", "S", {"i 80 "}},
        {"y", "%", {"i 80 "}},
        {"_", "S", {"i 80 "}},
        {"b", "r", {}},
        {"t", "l", {}},
        {"S", "S", {"i 80 "}},
        {"S", "%", {"i 80 "}},
        {"%", "%", {"i 80 "}},
        {"p", "n", {"i 80 "}},
        {"s", "t", {"i 80 "}},
        {"m", "%", {"i 80 "}},
        {"\xF1", "z", {"i 80 "}},
        {"t", "S", {"i 80 "}},
        {"%", "t", {}},
        {"x", "H", {"i 80 "}},
        {"\xE4", "y", {"i 80 "}},
        {"w", "w", {"i 80 "}},
        {"y", "y", {"i 80 "}},
        {"\xF6", "%", {"i 80 "}},
        {"\xF3", "o", {"_ 80 "}},
        {"\xF3", "\xF4", {"_ 80 "}},
        {"\xF3", "\xF3", {"_ 80 "}},
        {"\xF3", "\xF6", {"_ 80 "}},
        {"\xF4", "\xF6", {"_ 80 "}},
        {"\xF4", "o", {}},
        {"a", "p", {}},
        {"p", "a", {}},
        {"a", "%", {}},
        // Several characters match only in the order of the list.
        {"hH", "t", {"i 80 "}},
        {"Hh", "t", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.previous + " " + c.next);
        ClearPass();
        recorder.Clear();
        const int w = AddToken(4);
        Tokens[w].phonetic = 1;
        AddPhone("a", w);
        AddPhone(c.previous, w);
        AddPhone(c.next, w);
        AddPhone("a", w);
        const Lines body = Body(RenderOnePiece(recorder));
        ASSERT_EQ(body.size(), 4 + c.between.size());
        EXPECT_EQ(Lines(body.begin() + 2, body.end() - 2), c.between);
    }
}

TEST_F(MBrolaTest, TransitionsAtPassEdgesAndTokenEnd) {
    // Opening pause then a flap: i. A pass ending in s: i before the closing.
    const int w = AddToken(3);
    Tokens[w].phonetic = 1;
    AddPhone("%", w);
    AddPhone("a", w);
    AddPhone("s", w);
    EXPECT_EQ(RenderOnePiece(recorder),
              (Lines{"_ 200 50 120", "i 80 ", "r2 80  50 120", kA, "s 80  50 120", "i 80 ", "_ 200", "#"}));
    // ó then o at a token's end: a 100 ms silence.
    ClearPass();
    recorder.Clear();
    AddWord("\xF3o");
    EXPECT_EQ(Body(RenderOnePiece(recorder)), (Lines{"oo 80  50 120", "_ 100 ", "o 80  50 120"}));
}

TEST_F(MBrolaTest, WordFinalVowelRule) {
    struct Case {
        std::string word;
        std::string tag;
        char punct;
        bool last;      // no token follows
        bool stressed;  // the vowel is stressed
        bool phonetic;
        std::string becomes;  // the final vowel as written
    };
    const Case cases[] = {
        {"bode", "", 0, false, false, false, "i"},
        {"bolo", "", 0, false, false, false, "u"},
        {"bol\xF4", "", 0, false, false, false, "u"},
        {"bod\xEA", "", 0, false, false, false, "i"},
        {"bodeS", "", 0, false, false, false, "i"},  // before a final s
        {"bolo", "", 0, false, true, false, "o"},
        {"bolo", "", 0, false, false, true, "o"},
        {"maye", "", 0, false, false, false, "e"},  // after y
        {"mawo", "", 0, false, false, false, "o"},  // after w
        {"de", "", 0, false, false, false, "e"},    // short
        {"de", "C", 0, false, false, false, "i"},   // short, but a class that closes
        {"se", "R", 0, false, false, false, "i"},
        {"no", "T", 0, false, false, false, "u"},
        {"no", "N", 0, false, false, false, "o"},
        {"de", "C", 0, true, false, false, "e"},   // short last token of the chunk
        {"bode", "", 0, true, false, false, "i"},  // long last token
        {"e", "C", 0, false, false, false, "i"},
        {"e", "C", ',', false, false, false, "e"},  // a one-letter token before punctuation
        {"bela", "", 0, false, false, false, "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word + " " + c.tag);
        ClearPass();
        recorder.Clear();
        const int w = AddWord(c.word, c.punct);
        Tokens[w].tag = c.tag;
        Tokens[w].phonetic = c.phonetic;
        if (!c.last) AddWord("ta");
        const bool beforeS = c.word.back() == 'S';
        const int vowel = Tokens[w].lastPhone - (beforeS ? 1 : 0);
        PhoneList[vowel].stress = c.stressed ? 1 : 0;
        const Lines lines = RenderOnePiece(recorder);
        EXPECT_EQ(PhoneList[vowel].symbol, c.becomes);
        EXPECT_NE(std::find(lines.begin(), lines.end(), DiphoneName(c.becomes) + " 80  50 120"), lines.end());
    }
}

TEST_F(MBrolaTest, WordFinalConsonantLinksToANextVowel) {
    struct Case {
        std::string first, next;
        char punct;
        int pauseBeforeNext;
        std::string becomes;
    };
    const Case cases[] = {
        {"maS", "a", 0, 0, "z"},   {"ma%", "a", 0, 0, "r"},   {"maS", "\xE1", 0, 0, "z"},
        {"maS", "y", 0, 0, "z"},   {"maS", "ta", 0, 0, "S"},  {"ma%", "ta", 0, 0, "%"},
        {"maS", "a", ',', 0, "S"}, {"maS", "a", 0, 100, "S"}, {"boloS", "a", 0, 0, "z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first + " " + c.next);
        ClearPass();
        recorder.Clear();
        const int w = AddWord(c.first, c.punct);
        const int v = AddWord(c.next);
        Tokens[v].pauseMs = static_cast<uint16_t>(c.pauseBeforeNext);
        RenderOnePiece(recorder);
        EXPECT_EQ(PhoneList[Tokens[w].lastPhone].symbol, c.becomes);
    }
}

TEST_F(MBrolaTest, PunctuationPauses) {
    const std::pair<char, std::string> cases[] = {
        {'#', "_ 350"},    {',', "_ 290"},    {'.', "_ 290"},    {':', "_ 290"},    {';', "_ 290"},
        {'-', "_ 290"},    {'(', "_ 290"},    {')', "_ 290"},    {'\'', "_ 290"},   {'"', "_ 290"},
        {'\x93', "_ 290"}, {'\x94', "_ 290"}, {'\x92', "_ 290"}, {'\x91', "_ 290"}, {'A', "_ 70"},
        {'!', ""},         {'?', ""},         {'x', ""},         {0, ""},
    };
    for (const auto& [punct, pause] : cases) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(punct)));
        ClearPass();
        recorder.Clear();
        AddWord("a", punct);
        AddWord("a");
        Lines expected = {kA};
        if (!pause.empty()) expected.push_back(pause);
        expected.push_back(kA);
        EXPECT_EQ(Body(RenderOnePiece(recorder)), expected);
    }
}

// Eighteen tokens "la" of 1050 ms: every fifth token brings a piece past
// 5000 ms, before the first pull of samples.
TEST_F(MBrolaTest, LongPassIsCutAtATokenBoundary) {
    for (const int firstDuration : {800, 250}) {  // past 5000 ms inside or at the end of a token
        SCOPED_TRACE(firstDuration);
        ClearPass();
        recorder.Clear();
        Engine.chunkLimitMs = 5000;
        for (int k = 0; k < 18; ++k) {
            const int w = AddToken(2);
            AddPhone("l", w, firstDuration, 120 + k);
            AddPhone("a", w, 1050 - firstDuration, 120 + k);
        }
        const std::vector<Piece> pieces = RenderPieces(recorder);
        ASSERT_EQ(pieces.size(), 4u);
        EXPECT_EQ(pieces[0].cursor, 9);
        EXPECT_EQ(pieces[1].cursor, 19);
        EXPECT_EQ(pieces[2].cursor, 29);
        EXPECT_EQ(pieces[3].cursor, -1);
        EXPECT_EQ(pieces[0].lines[0], "_ 200 50 120");
        EXPECT_EQ(pieces[0].lines.end()[-3].substr(0, 10),
                  "a " + std::to_string(1050 - firstDuration) + "  50 ");
        EXPECT_EQ(Lines(pieces[0].lines.end() - 2, pieces[0].lines.end()), (Lines{"_ 10", "#"}));
        // The next piece opens with a short silence at the pitch of its first phone.
        EXPECT_EQ(pieces[1].lines[0], "_ 10 50 125");
        EXPECT_EQ(pieces[1].lines[1].substr(0, 2), "l ");
        EXPECT_EQ(pieces[3].lines.end()[-2], "_ 200");
        size_t phoneLines = 0;
        for (const Piece& piece : pieces) {
            EXPECT_EQ(piece.bytes, static_cast<size_t>(SumOfDurations(piece.lines)) * 32);
            phoneLines += Body(piece.lines).size();
        }
        EXPECT_EQ(phoneLines, 36u);  // every phone exactly once
    }
}

TEST_F(MBrolaTest, FullBufferCutsThePieceEvenInsideAToken) {
    Engine.chunkLimitMs = 1000;  // 35000 bytes; cut once more than 1000 bytes are in
    const int w = AddToken(30);
    Tokens[w].phonetic = 1;
    for (int k = 0; k < 30; ++k) AddPhone("a", w, 80);
    const std::vector<Piece> pieces = RenderPieces(recorder);
    // Samples are pulled after the 11th phone, which then ends the piece.
    EXPECT_EQ(pieces[0].cursor, 10);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[1].cursor, 21);
    size_t phoneLines = 0;
    for (const Piece& piece : pieces) phoneLines += Body(piece.lines).size();
    EXPECT_EQ(phoneLines, 30u);
}

// A piece holds every sample of the phones it was given, even a phone longer
// than the buffer (the buffer grows), and reads never pass its end.
TEST_F(MBrolaTest, PullsNeverWritePastTheBufferNorLoseSamples) {
    struct Case {
        int chunkLimitMs;
        int phones;
        int duration;
    };
    const Case cases[] = {
        {46000, 12, 60000},  // one token far longer than a piece
        {10, 3, 1000},       // a buffer of 350 bytes
        {1, 2, 80},
        {0, 2, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chunkLimitMs);
        ClearPass();
        recorder.Clear();
        Engine.chunkLimitMs = c.chunkLimitMs;
        const int w = AddToken(c.phones);
        for (int k = 0; k < c.phones; ++k) AddPhone("a", w, c.duration);
        const std::vector<Piece> pieces = RenderPieces(recorder);
        EXPECT_LE(pieces.size(), static_cast<size_t>(c.phones) + 1);
        for (const Piece& piece : pieces) {
            EXPECT_LE(piece.bytes, piece.capacity);
            EXPECT_GE(piece.capacity, static_cast<size_t>(c.chunkLimitMs) * 35);
            EXPECT_EQ(piece.bytes, static_cast<size_t>(SumOfDurations(piece.lines)) * 32);
        }
        EXPECT_LE(recorder.largestRead, 16000);
    }
}

TEST_F(MBrolaTest, ReadErrorStopsPullingButNotRendering) {
    recorder.failReads = true;
    AddWord("a");
    AudioBuffer buffer;
    int cursor = -1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Render(cursor, buffer), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("read failed"), std::string::npos);
    EXPECT_EQ(recorder.readCalls, 1);
    EXPECT_EQ(buffer.length, 0u);
    EXPECT_EQ(recorder.lines.back(), "#");
}

TEST_F(MBrolaTest, StartDiphoneLibraryOpensTheVoiceOrFails) {
    EXPECT_EQ(StartDiphoneLibrary(0), 0);
    EXPECT_EQ(recorder.voicePath.substr(recorder.voicePath.rfind('/') + 1), "br1.dsp");
    EXPECT_EQ(StartDiphoneLibrary(1), 0);
    EXPECT_EQ(recorder.voicePath.substr(recorder.voicePath.rfind('/') + 1), "br18k.dsp");
    recorder.failInit = true;
    EXPECT_EQ(StartDiphoneLibrary(0), -4);
    EXPECT_EQ(recorder.initCalls, 3);
}

TEST(VoicePath, FallsBackToTheDataDirectory) {
    // Tests run away from the programs, so no voice lies beside them.
    const char* saved = std::getenv("FALAVOZ_DATA");
    const std::string previous = saved ? saved : "";
    setenv("FALAVOZ_DATA", "/nowhere/falavoz", 1);
    EXPECT_EQ(VoicePath(0), "/nowhere/falavoz/br1.dsp");
    EXPECT_EQ(VoicePath(1), "/nowhere/falavoz/br18k.dsp");
    if (saved)
        setenv("FALAVOZ_DATA", previous.c_str(), 1);
    else
        unsetenv("FALAVOZ_DATA");
}

// The recording double against the real library: the same pass gives about
// as many samples, and real ones.
TEST(RealDiphoneLibraryTest, RendersSpeechOfTheWrittenLength) {
    ClearPass();
    const int w = AddToken(4);
    for (const char* symbol : {"m", "a", "l", "a"}) AddPhone(symbol, w, 100, 120);
    AddWord("bo", ',', 120, 110);

    ScopedDiphoneLibrary real(RealDiphoneLibrary());
    ASSERT_EQ(StartDiphoneLibrary(0), 0) << VoicePath(0);
    AudioBuffer buffer;
    int cursor = -1;
    ASSERT_EQ(Render(cursor, buffer), 0);
    EXPECT_EQ(cursor, -1);
    const auto* samples = reinterpret_cast<const short*>(buffer.data.get());
    const size_t count = buffer.length / 2;
    int loudest = 0;
    for (size_t k = 0; k < count; ++k) loudest = std::max(loudest, std::abs(int{samples[k]}));
    EXPECT_GT(loudest, 1000);

    size_t recorded = 0;
    long ms = 0;
    {
        RecordingDiphones recorder;
        // Render again from the same phones (the final-phone rules are settled).
        const std::vector<Piece> pieces = RenderPieces(recorder);
        recorded = pieces[0].bytes / 2;
        ms = SumOfDurations(pieces[0].lines);
    }
    EXPECT_EQ(recorded, static_cast<size_t>(ms) * 16);
    EXPECT_NEAR(static_cast<double>(count), static_cast<double>(recorded), recorded * 0.03);
    EXPECT_LE(count, recorded);
}

// Phones of fixed durations far beyond a piece, which the voice could not
// say in one line: every second of them comes out, with no error.
TEST(RealDiphoneLibraryTest, PhonesLongerThanAPieceAreSaidInFull) {
    ClearPass();
    Engine.synthesisFailed = false;
    const int w = AddToken(2);
    for (int k = 0; k < 2; ++k) AddPhone("a", w, 32000, 95);
    ScopedDiphoneLibrary real(RealDiphoneLibrary());
    ASSERT_EQ(StartDiphoneLibrary(0), 0) << VoicePath(0);
    AudioBuffer buffer;
    int cursor = -1;
    ASSERT_EQ(Render(cursor, buffer), 0);
    EXPECT_NEAR(buffer.length / 32000.0, 64.4, 0.2);
    EXPECT_FALSE(Engine.synthesisFailed);
}

}  // namespace
