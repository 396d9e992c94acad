// Words read by rule, with their stress, and words spelled out; the words
// "x" and "-" in their neighbourhood.
#include "words/TranscribeWord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTest.h"
#include "TestSupport.h"
#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "words/PhoneticString.h"

namespace {

std::string ToUtf8(const std::string& text1252) { return Latin1ToUtf8(text1252); }

class TranscribeWordTest : public EngineTest {
public:
    void SetUp() override {
        FillBuiltinTables();
        Engine.options[kOptionSpellCapitals] = 0;
        ClearPass();
    }
    void TearDown() override { ClearPass(); }

    // Puts the words (UTF-8, one token each, one blank apart) in Engine.text
    // and Tokens.
    static void SetTokens(const std::vector<std::string>& utf8Words) {
        ClearPass();
        Engine.text.clear();
        for (const std::string& word : utf8Words) {
            const std::string text = Utf8To1252(word);
            Engine.text += text + " ";
            AddToken(static_cast<int>(text.size()));
        }
    }

    // The transcription (in UTF-8) of token `index` of the words.
    static std::string Transcribe(const std::vector<std::string>& utf8Words, int index,
                                  bool numberBefore = false, bool hyphenPause = false) {
        SetTokens(utf8Words);
        const std::string lower = LowerCase1252(Utf8To1252(utf8Words[static_cast<size_t>(index)]));
        return ToUtf8(TranscribeWord(lower, numberBefore, hyphenPause, index));
    }

    // One word alone: its transcription.
    static std::string Word(const std::string& utf8) { return Transcribe({utf8}, 0); }

    // One word alone: its phones, one symbol after the other, as the
    // phonetic string reader makes them.
    static std::string Phones(const std::string& utf8) {
        SetTokens({utf8});
        const std::string phonetic = TranscribeWord(LowerCase1252(Utf8To1252(utf8)), false, false, 0);
        int count = 0;
        EXPECT_EQ(ReadPhoneticString(phonetic, 0, count), 0);
        std::string phones;
        for (int i = 0; i < count; ++i) phones += PhoneList[i].symbol;
        return ToUtf8(phones);
    }
};

struct WordCase {
    const char* word;
    const char* expected;
};

TEST_F(TranscribeWordTest, EverydayWordsGiveTheirPhones) {
    const WordCase cases[] = {
        {"casa", "kaza"},  {"chuva", "xuva"}, {"carro", "kaRo"},    {"campo", "käpo"},
        {"pão", "p@w"},    {"sal", "saw"},    {"câmera", "k@mera"}, {"massa", "masa"},
        {"gatto", "gato"}, {"jazz", "jaS"},   {"limões", "limoëS"}, {"guerra", "geRa"},
    };
    for (const WordCase& c : cases) EXPECT_EQ(Phones(c.word), c.expected) << c.word;
}

TEST_F(TranscribeWordTest, StressFallsOnTheVowelTheEndingSelects) {
    const WordCase cases[] = {
        // A written accent decides, whatever the ending.
        {"café", "kaf`é"},
        {"pássaro", "p`asaro"},
        {"água", "`agwa"},
        {"lápis", "l`apiS"},
        // Endings a, e, o, as, es, os, em, ens: the vowel before the last.
        {"casa", "k`aza"},
        {"homem", "`omë"},
        {"jovens", "j`ovëS"},
        {"parque", "p`a%ke"},  // the u of "qu" is skipped
        // Anything else: the last vowel.
        {"tatu", "tat`u"},
        {"cantar", "kät`a%"},
        {"amor", "am`o%"},
        {"mar", "m`a%"},
        // A falling diphthong is stressed on its first vowel.
        {"papai", "pap`ay"},
        {"pai", "p`ay"},
        {"rio", "R`yo"},
        {"bairro", "b`ayRo"},  // "rr" closes no syllable
        {"quando", "kw`ädo"},  // the mark of the u taken by the q follows "kw"
        {"guerra", "g`eRa"},
        // Two other vowels are two syllables, and so are i and u before a
        // nasal closing.
        {"carioca", "kari`oka"},
        {"coroa", "kor`oa"},
        {"ainda", "a`ïda"},
    };
    for (const WordCase& c : cases) EXPECT_EQ(Word(c.word), c.expected) << c.word;
}

TEST_F(TranscribeWordTest, StressOnALetterTheRulesConsumeFollowsItsSegment) {
    // The stressed u of "que" is taken by the q: the mark follows "k".
    EXPECT_EQ(Word("quente"), "k`ëte");
}

TEST_F(TranscribeWordTest, StressPositions) {
    EXPECT_EQ(StressPosition(Utf8To1252("café")), 4);
    EXPECT_EQ(StressPosition("casa"), 2);
    EXPECT_EQ(StressPosition("papai"), 4);
    EXPECT_EQ(StressPosition("pai"), 2);
    EXPECT_EQ(StressPosition("parque"), 2);
    EXPECT_EQ(StressPosition("atua"), 3);  // only the u of "qu" and "gu" is skipped
    EXPECT_EQ(StressPosition("averigua"), 5);
    // An acute or circumflex outweighs a tilde.
    EXPECT_EQ(StressPosition(Utf8To1252("órfão")), 1);
    EXPECT_EQ(StressPosition(Utf8To1252("bênção")), 2);
    EXPECT_EQ(StressPosition(Utf8To1252("limão")), 4);
    EXPECT_EQ(StressPosition("ar"), 1);
    EXPECT_EQ(StressPosition("asa"), 0);  // a vowel in first place is no nucleus
    EXPECT_EQ(StressPosition("pst"), 0);
    EXPECT_EQ(StressPosition(""), 0);
}

TEST_F(TranscribeWordTest, WordsWithoutStressBeginWithTheMark) {
    EXPECT_EQ(Word("asa"), "`aza");
    EXPECT_EQ(Word("abba"), "`aba");  // and the doubled b is read once
}

TEST_F(TranscribeWordTest, OneLetterWords) {
    EXPECT_EQ(Phones("à"), "a");
    EXPECT_EQ(Phones("á"), "a");
    EXPECT_EQ(Phones("é"), "é");
    EXPECT_EQ(Phones("a"), "a");
    EXPECT_EQ(Phones("c"), "se");  // a lone consonant is its name
}

TEST_F(TranscribeWordTest, ShortCapitalsAreSpelledAsLetters) {
    SetTokens({"ONU"});
    const std::string spelled = ToUtf8(TranscribeWord("onu", false, false, 0));
    EXPECT_EQ(spelled, " \\V1.25  \\V1.8  -`o-  \\V1  -`e-ne-  \\V1.8  -`u-  \\V1  \\V1 ");
    EXPECT_EQ(Tokens[0].phonetic, 1);
    EXPECT_EQ(Tokens[0].phraseMark, 1);
    EXPECT_EQ(Phones("ONU"), "oeneu");
}

TEST_F(TranscribeWordTest, LongCapitalsAreSpelledOnlyWithTheOption) {
    EXPECT_EQ(Transcribe({"BRASIL"}, 0), "braz`iw");
    EXPECT_EQ(Tokens[0].phonetic, 0);
    Engine.options[kOptionSpellCapitals] = 1;
    EXPECT_EQ(Phones("BRASIL"), "beéReaéseiéle");
    EXPECT_EQ(Tokens[0].phonetic, 1);
    EXPECT_EQ(Phones("brasil"), "braziw");  // lower case is never spelled for it
}

TEST_F(TranscribeWordTest, WordsThatCannotBeReadAreSpelled) {
    const WordCase cases[] = {
        {"e.u.a.", "eua"},  // dotted initials: the dots are silent
        {"sr", "éseéRe"},   // no vowel at all
        {"mbps", "emebepeése"},
        {"ernst", "eéReeneésete"},  // four consonants in a row
    };
    for (const WordCase& c : cases) EXPECT_EQ(Phones(c.word), c.expected) << c.word;
    EXPECT_EQ(Word("transporte"), "träSp`o%te");  // nsp is no hard cluster
}

TEST_F(TranscribeWordTest, SpelledWordsNameTheirSymbols) {
    EXPECT_EQ(Transcribe({"&"}, 0), " _-`e-_ _ ");  // a pause in the name: one after it too
    EXPECT_EQ(Tokens[0].phonetic, 1);
    EXPECT_EQ(Tokens[0].phraseMark, 0);    // not letters: no slower phrase
    EXPECT_EQ(Transcribe({"A."}, 0), "");  // an initial alone gives no letters
}

TEST_F(TranscribeWordTest, XBetweenNumbersIsTimes) {
    EXPECT_EQ(Transcribe({"3", "x", "4"}, 1), " -p`o%- ");
    EXPECT_EQ(Transcribe({"3", "x"}, 1), " -v`e-zeS- ");
    EXPECT_EQ(Transcribe({"3", "x", "casas"}, 1), " -v`e-zeS- ");
    EXPECT_EQ(Transcribe({"letra", "x"}, 1), " -x`iS- ");
    EXPECT_EQ(Transcribe({"x", "4"}, 0), " -x`iS- ");
}

// A "-" handed over alone, as the digit-token reader does, as token `index`
// of the words.
std::string Hyphen(const std::vector<std::string>& utf8Words, int index, bool numberBefore = false) {
    TranscribeWordTest::SetTokens(utf8Words);
    return ToUtf8(TranscribeWord("-", numberBefore, false, index));
}

TEST_F(TranscribeWordTest, HyphenAsMinus) {
    const std::string minus = "` -m`ê-nôS- ";
    EXPECT_EQ(Hyphen({"5", "-", "3"}, 1, true), minus);  // after a number, before one
    EXPECT_EQ(Hyphen({"-5"}, 0), minus);                 // the token is a negative number
    EXPECT_EQ(Hyphen({"-5a"}, 0), minus);                // a digit after the hyphen
}

TEST_F(TranscribeWordTest, HyphenAsPauseOrName) {
    // A hyphen opening a word between words: a pause, marked on the word before.
    std::string text = Transcribe({"bom", "-dia"}, 1);
    EXPECT_EQ(text.substr(0, 1), "_");
    EXPECT_EQ(Tokens[0].punct, '-');

    text = Transcribe({"casa", "-", "5"}, 1, false, true);  // asked for a pause
    EXPECT_EQ(text, "`_");
    EXPECT_EQ(Tokens[0].punct, '-');

    EXPECT_EQ(Transcribe({"5", "-", "7"}, 1), "`_");  // a hyphen alone is a word: a pause
    EXPECT_EQ(Tokens[0].punct, 0);

    EXPECT_EQ(Hyphen({"1", "+-", "2"}, 1), "` -`i-fë- ");  // else its name
}

TEST_F(TranscribeWordTest, NoInputBreaksIt) {
    EXPECT_EQ(TranscribeWord("", false, false, 0), "");
    EXPECT_EQ(TranscribeWord("casa", false, false, 600), "k`aza");  // outside the token table
    EXPECT_EQ(TranscribeWord("-", true, true, -1), "`_");

    const std::string longWord(100000, 'a');
    EXPECT_FALSE(TranscribeWord(longWord, false, false, 0).empty());
    std::string mixed;
    for (int i = 0; i < 20000; ++i) mixed += "qu\xE3o-rrsxlh"[i % 12];
    EXPECT_FALSE(TranscribeWord(mixed, false, false, 0).empty());
    EXPECT_FALSE(TranscribeWord(std::string(5000, 'x'), false, false, 0).empty());

    // Every word of one or two bytes.
    for (int a = 0; a < 256; ++a) {
        TranscribeWord(std::string(1, static_cast<char>(a)), false, false, 0);
        for (int b = 0; b < 256; ++b) {
            const std::string word{static_cast<char>(a), static_cast<char>(b)};
            TranscribeWord(word, a % 2 == 0, b % 2 == 0, 0);
        }
    }
}

}  // namespace
