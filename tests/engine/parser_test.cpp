// Cutting the input text into chunks of tokens and reading control sequences.
#include "text/Parser.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EngineTest.h"
#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "words/Data.h"

namespace {

// One token as the tests compare it: its text (in UTF-8) and its punctuation.
struct Tok {
    std::string text;
    char punct = 0;
    bool operator==(const Tok&) const = default;
};

void PrintTo(const Tok& tok, std::ostream* out) {
    *out << "\"" << tok.text << "\"";
    if (tok.punct) *out << " punct '" << tok.punct << "'";
}

std::string ToUtf8(const std::string& text1252) {
    std::string out;
    for (unsigned char c : text1252) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c >= 0xA0) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += "?";
        }
    }
    return out;
}

class ParserTest : public EngineTest {
protected:
    void SetUp() override {
        FillBuiltinTables();
        Engine.controlCharacter = '\\';
        Engine.options[kOptionReadQuotes] = 0;
        SetDecimalSeparator(',');
    }

    // Sets the input text as the driver does: the caller's text and a blank.
    int SetText(const std::string& utf8) {
        Engine.text = Utf8To1252(utf8) + " ";
        return static_cast<int>(Engine.text.size());
    }

    // The tokens of the chunk in Tokens.
    static std::vector<Tok> ChunkTokens() {
        std::vector<Tok> tokens;
        for (int i = 0; !IsEndMarker(i); ++i) tokens.push_back({ToUtf8(TokenText(i)), Tokens[i].punct});
        return tokens;
    }

    // Every chunk of a text.
    std::vector<std::vector<Tok>> Chunks(const std::string& utf8) {
        const int textEnd = SetText(utf8);
        std::vector<std::vector<Tok>> chunks;
        int pos = 1;
        bool finished = false;
        while (!finished && chunks.size() < 100) {
            finished = ParseChunk(textEnd, pos);
            chunks.push_back(ChunkTokens());
        }
        return chunks;
    }

    // The first chunk of a text.
    std::vector<Tok> FirstChunk(const std::string& utf8) {
        const int textEnd = SetText(utf8);
        int pos = 1;
        ParseChunk(textEnd, pos);
        return ChunkTokens();
    }
};

TEST_F(ParserTest, EmptyTextIsOneChunkWithoutTokens) {
    const int textEnd = SetText("");
    int pos = 1;
    EXPECT_TRUE(ParseChunk(textEnd, pos));
    EXPECT_TRUE(IsEndMarker(0));
    EXPECT_EQ(Tokens[0].length, -1);
    EXPECT_EQ(TokenText(0), "");
}

TEST_F(ParserTest, TokensAndPunctuation) {
    struct Case {
        const char* text;
        std::vector<Tok> first;  // the first chunk
    };
    const Case cases[] = {
        {"Bom dia", {{"Bom"}, {"dia"}}},
        {"Fim. Outro", {{"Fim", '.'}}},
        {"Como?! Sim", {{"Como?", '!'}}},
        {"Vem? Sim", {{"Vem", '?'}}},
        {"3.14 e 1,5 e 10-20", {{"3.14"}, {"e"}, {"1,5"}, {"e"}, {"10-20"}}},
        {"-5 graus", {{"-5"}, {"graus"}}},
        {"custa -R$5", {{"custa"}, {"-R$5"}}},
        {"guarda-chuva", {{"guarda"}, {"chuva"}}},
        {"meu-site.com.br", {{"meu-site.com.br"}}},  // an address keeps its hyphens
        {"ver fulano-silva@site.com, ou", {{"ver"}, {"fulano-silva@site.com", ','}, {"ou"}}},
        {"bem-vindo.compras", {{"bem"}, {"vindo.compras"}}},
        {"a - b", {{"a"}, {"-"}, {"b"}}},
        {"a\tb", {{"a", ','}, {"b"}}},
        {"a,b", {{"a,b"}}},
        {"um, dois; tres: quatro", {{"um", ','}, {"dois", ';'}, {"tres", ':'}, {"quatro"}}},
        {"um (dois) tres", {{"um", '('}, {"dois", ')'}, {"tres"}}},
        {"disse \"oi\" e", {{"disse", ','}, {"oi", ','}, {"e"}}},
        {"disse “oi” e", {{"disse", ','}, {"oi", ','}, {"e"}}},
        {"[a] {b}", {{"["}, {"a"}, {"]"}, {"{"}, {"b"}, {"}"}}},
        {"a.b", {{"a.b"}}},
        {"o J. Silva", {{"o"}, {"J."}, {"Silva"}}},
        {"os EUA. depois", {{"os"}, {"EUA"}, {"depois"}}},
        {"os EUA. Depois", {{"os"}, {"EUA", '.'}}},
        {"J. Silva", {{"J", '.'}}},
        {"fim.) depois", {{"fim", '.'}}},
        {"nome_composto", {{"nome_composto"}}},
        {"a _b", {{"a"}, {"b"}}},
        {"ab_ c", {{"ab"}, {"c"}}},
        {"_", {{"_"}}},
        {"\\p300 x", {{"\\p300"}, {"x"}}},
        {"\\V1.3hora", {{"\\V1.3hora"}}},
        {"\\X5 y", {{"\\X5"}, {"y"}}},
        {"a\\V1 b", {{"a"}, {"b"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(FirstChunk(c.text), c.first) << c.text;
}

TEST_F(ParserTest, QuotationMarksAreTokensWhenReadAloud) {
    Engine.options[kOptionReadQuotes] = 1;
    EXPECT_EQ(FirstChunk("disse \"oi\" e"), (std::vector<Tok>{{"disse"}, {"\""}, {"oi"}, {"\""}, {"e"}}));
}

TEST_F(ParserTest, ChunksEndAtSentencesAndLineBreaks) {
    EXPECT_EQ(Chunks("Fim. Outro"), (std::vector<std::vector<Tok>>{{{"Fim", '.'}}, {{"Outro"}}}));
    EXPECT_EQ(Chunks("linha1\r\nlinha2"), (std::vector<std::vector<Tok>>{{{"linha1"}}, {{"linha2"}}}));
    // A carriage return before any token is only a blank.
    EXPECT_EQ(Chunks("\r\nlinha"), (std::vector<std::vector<Tok>>{{{"linha"}}}));
}

TEST_F(ParserTest, ResultTellsWhetherTheTextIsFinished) {
    const int textEnd = SetText("Um. Dois.");
    int pos = 1;
    EXPECT_FALSE(ParseChunk(textEnd, pos));
    EXPECT_EQ(pos, 4);
    EXPECT_TRUE(ParseChunk(textEnd, pos));
    EXPECT_EQ(TokenText(0), "Dois");
}

struct Pending {
    uint16_t pauseMs = 0;
    float durationValue = 0;
    uint8_t durationAbsolute = 0;
    float pitchValue = 0;
    uint8_t pitchAbsolute = 0;
    uint8_t emphasis = 0;
    uint8_t level = 0;
    uint8_t accentToggle = 0;
};

Pending PendingOf(int i) {
    const TIPO_TOKEN& t = Tokens[i];
    return {t.pauseMs,  t.durationValue, t.durationAbsolute, t.pitchValue, t.pitchAbsolute,
            t.emphasis, t.level,         t.accentToggle};
}

TEST_F(ParserTest, ControlSequencesSetTheFollowingToken) {
    struct Case {
        const char* text;
        Pending expected;  // of the first token, whose text is "x"
    };
    const Case cases[] = {
        {"\\P800 x", {.pauseMs = 800}},
        {"\\P800.9 x", {.pauseMs = 800}},
        {"\\P1 x", {.pauseMs = 5}},
        {"\\P99999 x", {.pauseMs = 32000}},
        {"\\PA500 x", {.pauseMs = 500}},
        {"\\V1.3 x", {.durationValue = 1.3f}},
        {"\\V1,3 x", {.durationValue = 1.3f}},
        {"\\V9 x", {.durationValue = 8}},
        {"\\V0 x", {.durationValue = 0.01f}},
        {"\\VA5 x", {.durationValue = 10, .durationAbsolute = 1}},
        {"\\VA40000 x", {.durationValue = 32000, .durationAbsolute = 1}},
        {"\\VA200 \\V2 x", {.durationValue = 2, .durationAbsolute = 1}},
        {"\\T0 x", {.pitchValue = 0.01f}},
        {"\\T1.1 x", {.pitchValue = 1.1f}},
        {"\\TA10 x", {.pitchValue = 30, .pitchAbsolute = 1}},
        {"\\TA400 x", {.pitchValue = 300, .pitchAbsolute = 1}},
        {"\\E1 x", {.emphasis = 1}},
        {"\\E2.7 x", {.emphasis = 2}},
        {"\\E300 x", {.emphasis = 255}},
        {"\\E-4 x", {.emphasis = 0}},
        {"\\L0 x", {.level = 1}},
        {"\\L25 x", {.level = 20}},
        {"\\L7.9 x", {.level = 7}},
        {"\\I x", {.accentToggle = 1}},
        {"\\I3 x", {.accentToggle = 1}},
        {"\\P100 \\P200 x", {.pauseMs = 200}},
        {"\\P100 \\V2 \\E1 x", {.pauseMs = 100, .durationValue = 2, .emphasis = 1}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(FirstChunk(c.text), std::vector<Tok>{{"x"}}) << c.text;
        const Pending got = PendingOf(0);
        EXPECT_EQ(got.pauseMs, c.expected.pauseMs) << c.text;
        EXPECT_FLOAT_EQ(got.durationValue, c.expected.durationValue) << c.text;
        EXPECT_EQ(got.durationAbsolute, c.expected.durationAbsolute) << c.text;
        EXPECT_FLOAT_EQ(got.pitchValue, c.expected.pitchValue) << c.text;
        EXPECT_EQ(got.pitchAbsolute, c.expected.pitchAbsolute) << c.text;
        EXPECT_EQ(got.emphasis, c.expected.emphasis) << c.text;
        EXPECT_EQ(got.level, c.expected.level) << c.text;
        EXPECT_EQ(got.accentToggle, c.expected.accentToggle) << c.text;
    }
}

TEST_F(ParserTest, SettingsReachOnlyTheTokenAfterThem) {
    EXPECT_EQ(FirstChunk("\\P800 Bom dia"), (std::vector<Tok>{{"Bom"}, {"dia"}}));
    EXPECT_EQ(Tokens[0].pauseMs, 800);
    EXPECT_EQ(Tokens[1].pauseMs, 0);

    // A previous text's settings do not linger in the table.
    FirstChunk("um \\P300 dois");
    EXPECT_EQ(Tokens[1].pauseMs, 300);
    FirstChunk("um dois");
    EXPECT_EQ(Tokens[0].pauseMs, 0);
    EXPECT_EQ(Tokens[1].pauseMs, 0);
}

TEST_F(ParserTest, SequenceAtTheEndStaysInTheEndMarker) {
    EXPECT_EQ(FirstChunk("fim \\P300"), std::vector<Tok>{{"fim"}});
    EXPECT_TRUE(IsEndMarker(1));
    EXPECT_EQ(Tokens[1].pauseMs, 300);
}

TEST_F(ParserTest, ControlCharacterIsEngineState) {
    Engine.controlCharacter = '#';
    EXPECT_EQ(FirstChunk("#P800 x \\P800 y"), (std::vector<Tok>{{"x"}, {"\\P800"}, {"y"}}));
    EXPECT_EQ(Tokens[0].pauseMs, 800);
}

TEST_F(ParserTest, NumbersFollowTheSystemDecimalSeparator) {
    for (char separator : {',', '.'}) {
        SetDecimalSeparator(separator);
        std::string text = "\\V1.5 ";
        int pos = 1;
        double value = 0;
        Engine.text = text;
        EXPECT_TRUE(ParseCommand(text, pos, value)) << separator;
        EXPECT_DOUBLE_EQ(value, 1.5) << separator;
        EXPECT_EQ(pos, 6);
    }
}

TEST_F(ParserTest, ParseCommandRejectsMalformedNumbers) {
    const char* malformed[] = {"\\V ",        "\\V",     "\\VA ",   "\\Vx ",     "\\V1.2.3 ",
                               "\\V1,2,3 ",   "\\Vinf ", "\\Vnan ", "\\V1e999 ", "\\V0x10 ",
                               "\\V1.3hora ", "x\\V1 ",  "\\V+-1 "};
    for (const char* text : malformed) {
        int pos = 1;
        double value = 7;
        EXPECT_FALSE(ParseCommand(text, pos, value)) << text;
        EXPECT_EQ(pos, 1) << text;
        EXPECT_EQ(value, 7) << text;
    }
}

TEST_F(ParserTest, ParseCommandEndsAtTheBlankOrTheEndOfText) {
    struct Case {
        const char* text;
        int pos;
        double value;
    };
    const Case cases[] = {
        {"\\V1.3 x", 6, 1.3},  {"\\V1.3", 6, 1.3}, {"\\I x", 3, 0},
        {"\\VA250 x", 7, 250}, {"\\q-2 ", 5, -2},  // any letter is read
    };
    for (const Case& c : cases) {
        int pos = 1;
        double value = 0;
        ASSERT_TRUE(ParseCommand(c.text, pos, value)) << c.text;
        EXPECT_EQ(pos, c.pos) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
}

TEST_F(ParserTest, PhoneticSections) {
    EXPECT_EQ(FirstChunk("\\* -b`o-la\\* resto"), (std::vector<Tok>{{" -b`o-la"}, {"resto"}}));
    EXPECT_EQ(Tokens[0].phonetic, 1);
    EXPECT_EQ(Tokens[1].phonetic, 0);

    // Inside a section everything is transcription, sentence ends included.
    EXPECT_EQ(FirstChunk("\\*a. b?\\* c"), (std::vector<Tok>{{"a. b?"}, {"c"}}));

    // An empty section gives no token; an unclosed one runs to the end.
    EXPECT_EQ(FirstChunk("\\*\\* depois"), std::vector<Tok>{{"depois"}});
    EXPECT_EQ(Tokens[0].phonetic, 0);
    EXPECT_EQ(FirstChunk("antes \\*-ka"), (std::vector<Tok>{{"antes"}, {"-ka "}}));
}

TEST_F(ParserTest, LongTextIsCutAfterTheLastFullTableEntry) {
    std::string text;
    for (int i = 0; i < 600; ++i) text += "w" + std::to_string(i) + " ";
    const int textEnd = SetText(text);
    int pos = 1;
    EXPECT_FALSE(ParseChunk(textEnd, pos));
    std::vector<Tok> first = ChunkTokens();
    ASSERT_EQ(first.size(), 499u);
    EXPECT_EQ(first.back().text, "w498");
    EXPECT_TRUE(IsEndMarker(499));
    EXPECT_EQ(pos, Tokens[498].start + Tokens[498].length);

    EXPECT_TRUE(ParseChunk(textEnd, pos));
    std::vector<Tok> second = ChunkTokens();
    ASSERT_EQ(second.size(), 101u);
    EXPECT_EQ(second.front().text, "w499");
    EXPECT_EQ(second.back().text, "w599");
}

TEST_F(ParserTest, CutKeepsSettingsAndSectionsOfTheNextToken) {
    std::string text;
    for (int i = 0; i < 498; ++i) text += "w ";
    text += "\\*-ka\\* \\P400 \\*-sa\\* fim";
    const int textEnd = SetText(text);
    int pos = 1;
    EXPECT_FALSE(ParseChunk(textEnd, pos));
    EXPECT_EQ(TokenText(498), "-ka");
    EXPECT_EQ(Tokens[498].phonetic, 1);

    // The next chunk reads the cut token again with its pause, and the mark
    // that closed the last section does not open a new one.
    EXPECT_TRUE(ParseChunk(textEnd, pos));
    EXPECT_EQ(ChunkTokens(), (std::vector<Tok>{{"-sa"}, {"fim"}}));
    EXPECT_EQ(Tokens[0].pauseMs, 400);
    EXPECT_EQ(Tokens[0].phonetic, 1);
    EXPECT_EQ(Tokens[1].phonetic, 0);
}

TEST_F(ParserTest, NeverReadsPastTheText) {
    // A caller's end beyond the text, dangling marks at the very end.
    Engine.text = "a-";
    int pos = 1;
    EXPECT_TRUE(ParseChunk(50, pos));
    EXPECT_EQ(ChunkTokens(), (std::vector<Tok>{{"a"}, {"-"}}));

    const char* endings[] = {"x\\", "x\\*", "x_", "x.", "x\\P", "(", "x-R", "\\I"};
    for (const char* text : endings) {
        Engine.text = text;
        pos = 1;
        EXPECT_TRUE(ParseChunk(static_cast<int>(Engine.text.size()), pos)) << text;
    }
}

TEST_F(ParserTest, TokenHelpers) {
    FirstChunk("um. dois");
    EXPECT_EQ(TokenText(0), "um");
    EXPECT_EQ(TokenText(-1), "");
    EXPECT_EQ(TokenText(1), "");  // the end marker
    EXPECT_TRUE(IsEndMarker(1));
    EXPECT_TRUE(IsEndMarker(501));

    FirstChunk("a b, c \\P200 d e");
    EXPECT_FALSE(BreakAfter(0));
    EXPECT_TRUE(BreakAfter(1));  // comma
    EXPECT_TRUE(BreakAfter(2));  // a pause before d
    EXPECT_TRUE(BreakAfter(4));  // the last token
    EXPECT_FALSE(BreakBetween(0, 0));
    EXPECT_TRUE(BreakBetween(0, 1));
    EXPECT_FALSE(BreakBetween(3, 3));
    EXPECT_FALSE(BreakBetween(2, 1));
    EXPECT_TRUE(BreakAfter(500));
}

TEST_F(ParserTest, ClearTokenResetsTheEntryAndTheNextOnesSettings) {
    Tokens[10].start = 7;
    Tokens[10].length = 3;
    Tokens[10].punct = '.';
    Tokens[10].phonetic = 1;
    Tokens[10].pauseMs = 50;
    Tokens[11].pauseMs = 60;
    Tokens[11].level = 3;
    ClearToken(10);
    EXPECT_EQ(Tokens[10].start, 7);
    EXPECT_EQ(Tokens[10].length, 0);
    EXPECT_EQ(Tokens[10].punct, 0);
    EXPECT_EQ(Tokens[10].phonetic, 0);
    EXPECT_EQ(Tokens[10].pauseMs, 50);
    EXPECT_EQ(Tokens[11].pauseMs, 0);
    EXPECT_EQ(Tokens[11].level, 0);
    ClearToken(500);  // the last entry has no next one
    ClearToken(501);
}

// A language file with one abbreviation, written for the test.
class ParserLexiconTest : public ParserTest {
protected:
    void SetUp() override {
        ParserTest::SetUp();
        path_ = (std::filesystem::temp_directory_path() /
                 ("falavoz_parser_test_" + std::to_string(getpid()) + ".lng"))
                    .string();
        std::ofstream(path_, std::ios::binary) << Utf8To1252("sr.\tE\t -si-ñ`o%\t0\t0\t \t\r\n*\r\n*\r\n");
        ASSERT_EQ(LoadLanguageData(path_), 0);
    }
    void TearDown() override { std::remove(path_.c_str()); }

private:
    std::string path_;
};

TEST_F(ParserLexiconTest, AbbreviationKeepsItsDot) {
    EXPECT_EQ(FirstChunk("o Sr. Silva"), (std::vector<Tok>{{"o"}, {"Sr."}, {"Silva"}}));
    EXPECT_EQ(FirstChunk("Sr. Silva"), (std::vector<Tok>{{"Sr."}, {"Silva"}}));
    EXPECT_EQ(FirstChunk("o sr. Silva"), (std::vector<Tok>{{"o"}, {"sr."}, {"Silva"}}));
    EXPECT_EQ(FirstChunk("ver. Outro"), (std::vector<Tok>{{"ver", '.'}}));
}

}  // namespace

namespace {

// Random texts full of the characters the rules single out: every chunk must
// make progress and every token must lie inside the text.
TEST_F(ParserTest, SurvivesRandomTexts) {
    const std::string alphabet = Utf8To1252("\\\\**VATPELI .?!,;:()[]{}'\"“”’‘-_\t\r\n0123456789aBéR$£");
    unsigned seed = 12345;
    auto random = [&seed](size_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 3000; ++round) {
        Engine.options[kOptionReadQuotes] = round % 2;
        std::string text;
        const size_t length = random(round < 2900 ? 40 : 3000);
        for (size_t i = 0; i < length; ++i) text += alphabet[random(alphabet.size())];
        Engine.text = text + " ";
        const int textEnd = static_cast<int>(Engine.text.size());
        int pos = 1;
        for (int chunk = 0;; ++chunk) {
            const int before = pos;
            const bool finished = ParseChunk(textEnd, pos);
            for (int i = 0; !IsEndMarker(i); ++i) {
                ASSERT_GE(Tokens[i].start, 1) << text;
                ASSERT_LE(Tokens[i].start + Tokens[i].length - 1, textEnd) << text;
            }
            if (finished) break;
            ASSERT_GT(pos, before) << text;
            ASSERT_LT(chunk, textEnd) << text;
        }
    }
}

}  // namespace
