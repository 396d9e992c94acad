// SSML as the engine reads it: the control sequences it becomes, the marks
// that cut it, and input that is not well-formed.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Ssml.h"

namespace {

using Kind = SpeechPart::Kind;

std::vector<std::string> Describe(const std::vector<SpeechPart>& parts) {
    std::vector<std::string> out;
    for (const SpeechPart& part : parts) out.push_back((part.kind == Kind::Mark ? "mark " : "") + part.value);
    return out;
}

TEST(Ssml, TextEntitiesAndUtf8ReachTheEngineInItsCodePage) {
    EXPECT_EQ(SsmlToText("<speak>Ação &amp; p&#xE3;o &lt;já&gt; &#233;</speak>"),
              "A\xE7\xE3o & p\xE3o <j\xE1> \xE9");
    // XML white space is one blank between words.
    EXPECT_EQ(SsmlToText("<speak>\n  Bom\t\tdia\r\n</speak>"), "Bom dia");
}

TEST(Ssml, BreaksBecomePausesBeforeTheNextWord) {
    EXPECT_EQ(SsmlToText("Um <break time=\"700ms\"/> dois"), "Um \\P700 dois");
    EXPECT_EQ(SsmlToText("Um<break time='1.5s'/>dois"), "Um \\P1500 dois");
    EXPECT_EQ(SsmlToText("a <break strength=\"strong\"/>b <break/>c <break strength=\"none\"/>d"),
              "a \\P700 b \\P400 c d");
    // A time that means nothing leaves the strength to decide.
    EXPECT_EQ(SsmlToText("a <break time=\"muito\" strength=\"weak\"/>b"), "a \\P200 b");
    // Breaks in a row add up; the engine's longest pause is the limit.
    EXPECT_EQ(SsmlToText("a <break time=\"20s\"/><break time=\"20s\"/>b"), "a \\P32000 b");
    // A break that ends a sentence still reaches the word after it.
    EXPECT_EQ(SsmlToText("<s>Um<break time=\"300ms\"/></s><s>dois</s>"), "Um\r\n\\P300 dois\r\n");
}

TEST(Ssml, ProsodySetsRateAndPitchAndRestoresThemAfter) {
    EXPECT_EQ(SsmlToText("<prosody rate=\"200%\">depressa</prosody> normal"), "\\V0.5 depressa \\V1 normal");
    EXPECT_EQ(SsmlToText("<prosody pitch=\"+10%\">alto <prosody pitch=\"+10%\">mais</prosody></prosody> fim"),
              "\\T1.1 alto \\T1.21 mais \\T1 fim");
    EXPECT_EQ(SsmlToText("<prosody rate=\"x-slow\" pitch=\"low\">devagar</prosody>"), "\\V2 \\T0.85 devagar");
    EXPECT_EQ(SsmlToText("<prosody pitch=\"+12st\">oitava</prosody>"), "\\T2 oitava");
    EXPECT_EQ(SsmlToText("<prosody rate=\"-300%\" pitch=\"zzz\">igual</prosody>"), "igual");
    EXPECT_EQ(SsmlToText("<prosody rate=\"1000\">x</prosody>"), "\\V0.125 x");
}

TEST(Ssml, MarksCutTheTextWhereTheyStand) {
    EXPECT_EQ(Describe(SsmlToSpeech(
                  "<speak><mark name=\"in\"/>Um <mark name=\"a\"/> dois<mark name='b'/></speak>")),
              (std::vector<std::string>{"mark in", "Um", "mark a", "dois", "mark b"}));
    // The text after a mark is a new call, and gets the rate again; a break
    // just before the mark waits for that text.
    EXPECT_EQ(
        Describe(SsmlToSpeech(
            "<prosody rate=\"50%\">um<break time=\"700ms\"/><mark name=\"m\"/> dois</prosody> tr&#234;s")),
        (std::vector<std::string>{"\\V2 um", "mark m", "\\P700 \\V2 dois \\V1 tr\xEAs"}));
    EXPECT_EQ(SsmlToText("um <mark name=\"m\"/> dois"), "um dois");
}

TEST(Ssml, SayAsCharactersSpellsTheWord) {
    EXPECT_EQ(SsmlToText("<say-as interpret-as=\"characters\">casa</say-as> fim"), "c.a.s.a. fim");
    EXPECT_EQ(SsmlToText("x <say-as interpret-as=\"characters\">ab1 #</say-as>"), "x a.b. 1 #");
    // Alone, "e" and "o" would be read as words.
    EXPECT_EQ(SsmlToText("<say-as interpret-as=\"characters\">e</say-as> <say-as "
                         "interpret-as='characters'>O</say-as>"),
              "\xE9 \xD3");
    EXPECT_EQ(SsmlToText("<say-as interpret-as=\"date\">12/3</say-as>"), "12/3");
    // Around a whole message, as the module spells one; a mark still cuts it.
    EXPECT_EQ(Describe(SsmlToSpeech("<say-as interpret-as=\"characters\"><speak>ab <mark name=\"m\"/>cd "
                                    "<say-as interpret-as=\"date\">x</say-as></speak></say-as>")),
              (std::vector<std::string>{"a.b.", "mark m", "c.d. x"}));
}

TEST(Ssml, UnknownTagsAreDroppedAndTheirTextKept) {
    EXPECT_EQ(
        SsmlToText("<?xml version=\"1.0\"?><!-- nota --><speak xml:lang=\"pt-BR\"><emphasis>forte</emphasis> "
                   "<voice name=\"x\">e</voice> <![CDATA[<cru>]]></speak>"),
        "forte e <cru>");
}

TEST(Ssml, WhatIsNotMarkupIsText) {
    EXPECT_EQ(SsmlToText("a < b e c > d"), "a < b e c > d");
    EXPECT_EQ(SsmlToText("<speak>sem fim <break time=\"5"), "sem fim <break time=\"5");
    EXPECT_EQ(SsmlToText("x &naoexiste; &#xZZ; &#99999999; &"), "x &naoexiste; &#xZZ; &#99999999; &");
    EXPECT_EQ(SsmlToText("<b>a</c></b></b>b"), "ab");
    EXPECT_EQ(SsmlToText(""), "");
    // Unfinished tags, many of them, are text read in one pass.
    std::string many;
    for (int k = 0; k < 20000; ++k) many += "<a b='";
    EXPECT_EQ(SsmlToText(many).size(), many.size());
    // So are a million "&" that start no entity.
    const std::string ampersands(1000000, '&');
    EXPECT_EQ(SsmlToText(ampersands), ampersands);
}

// Whatever the SSML holds, the only sequences the engine finds are the ones
// the markup asked for: the text's own backslashes are followed by a blank.
TEST(Ssml, TextNeverBecomesAControlSequence) {
    EXPECT_EQ(SsmlToText("<speak>\\P800 x \\*abc\\* \\V9</speak>"), "\\ P800 x \\ *abc\\ * \\ V9");
    EXPECT_EQ(SsmlToText("<say-as interpret-as=\"characters\">\\P1</say-as>"), "\\  P 1");
    const std::vector<std::string> pieces = {"<speak>",
                                             "</speak>",
                                             "<break time=\"700ms\"/>",
                                             "<prosody rate=\"slow\">",
                                             "</prosody>",
                                             "<mark name=\"m\"/>",
                                             "<say-as interpret-as=\"characters\">",
                                             "</say-as>",
                                             "<s>",
                                             "</p>",
                                             "\\",
                                             "\\P",
                                             "\\*",
                                             "P900 ",
                                             "&#92;",
                                             "&",
                                             "<",
                                             ">",
                                             "\"",
                                             " ",
                                             "\n",
                                             "\xC3",
                                             "\xA7",
                                             "a",
                                             "1",
                                             std::string(1, '\0')};
    std::mt19937 random(18);
    for (int trial = 0; trial < 2000; ++trial) {
        std::string ssml;
        for (int k = random() % 30; k > 0; --k) ssml += pieces[random() % pieces.size()];
        for (const SpeechPart& part : SsmlToSpeech(ssml)) {
            if (part.kind == Kind::Mark) continue;
            const std::string& t = part.value;
            EXPECT_EQ(t.find('\0'), std::string::npos);
            for (size_t at = t.find('\\'); at != std::string::npos; at = t.find('\\', at + 1)) {
                const char next = at + 1 < t.size() ? t[at + 1] : ' ';
                const size_t end = t.find(' ', at);
                const std::string number = t.substr(at + 2, end == std::string::npos ? 0 : end - at - 2);
                const bool ours = (next == 'P' || next == 'V' || next == 'T') && !number.empty() &&
                                  number.find_first_not_of("0123456789.") == std::string::npos;
                EXPECT_TRUE(next == ' ' || ours) << "in " << t << " from " << ssml;
            }
        }
    }
}

}  // namespace
