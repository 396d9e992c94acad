// Words outside the lexicon: the marks their spelling implies (ImpliedMarks),
// the glides of their endings, prefixes before known words and adverbs in
// -mente (UnknownWords).
#include "words/UnknownWords.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EngineTest.h"
#include "TestSupport.h"
#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "words/Data.h"
#include "words/Dict.h"
#include "words/ImpliedMarks.h"
#include "words/PhoneticString.h"
#include "words/TranscribeWord.h"

namespace {

namespace fs = std::filesystem;

// A few known words, in byte order: word, tag, transcription, flag, vowel
// class, subclass.
const std::vector<std::string> kLexicon = {
    "abuso\tE\t -a-b'u-zu\t0\t0\t \t",      "alegre\tE\t -a-l'e-gri\t0\t0\t \t",
    "copota\tE\t -ko-p'o-ta\t0\t0\t \t",
    "galoba\tE\t -ga-l'\xF3-ba\t0\t0\t \t",  // ó
    "maloba\tE\t -ma-l'\xF3-ba\t0\t0\t \t", "social\tE\t -so-si-'aw\t0\t0\t \t",
    "sopota\tE\t -so-p'o-ta\t0\t0\t \t",
    "venda\tE\t -v'\xEB-da\t0\t0\t \t",  // ë
};

class UnknownWordsTest : public EngineTest {
protected:
    void SetUp() override {
        FillBuiltinTables();
        Engine.options[kOptionSpellCapitals] = 0;
        path_ =
            (fs::temp_directory_path() / ("falavoz-unknown-" + std::to_string(getpid()) + ".lng")).string();
        Load(kLexicon);
        DictClear();
    }

    // Writes the lexicon lines as a language file and loads it.
    void Load(const std::vector<std::string>& lexicon) {
        std::ofstream out(path_, std::ios::binary);
        for (const std::string& line : lexicon) out << line << "\r\n";
        out << "*\r\n*\r\n";
        out.close();
        ASSERT_EQ(LoadLanguageData(path_), 0);
    }
    void TearDown() override {
        std::remove(path_.c_str());
        ClearPass();
    }

    // Puts the word (UTF-8) in the text as the only token; its lower case.
    static std::string OnlyToken(const std::string& utf8) {
        const std::string text = Utf8To1252(utf8);
        ClearPass();
        Engine.text = text + " ";
        AddToken(static_cast<int>(text.size()));
        return LowerCase1252(text);
    }

    static std::string Reading(const std::string& utf8) { return ReadUnknownWord(OnlyToken(utf8), false, 0); }
    static std::string RulesAlone(const std::string& utf8) {
        return TranscribeWord(OnlyToken(utf8), false, false, 0);
    }

    // Its phones, one symbol after the other, with the stressed ones in
    // brackets: "b[ë]i".
    static std::string Phones(const std::string& utf8) {
        const std::string phonetic = Reading(utf8);
        int count = 0;
        EXPECT_EQ(ReadPhoneticString(phonetic, 0, count), 0);
        std::string phones;
        for (int i = 0; i < count; ++i) {
            const bool stressed =
                PhoneList[i].stress == 1 && PhoneClassOf(PhoneList[i].symbol[0]) == kClassVowel;
            phones += stressed ? "[" + PhoneList[i].symbol + "]" : PhoneList[i].symbol;
        }
        return Latin1ToUtf8(phones);
    }

private:
    std::string path_;
};

struct Case {
    const char* word;
    const char* expected;
};

TEST_F(UnknownWordsTest, TheSpellingTakesTheMarksItImplies) {
    const Case cases[] = {
        // Open stressed e and o of the endings that have them, and their plurals.
        {"bagatela", "bagatéla"},
        {"celuloses", "celulóses"},
        {"carotenoide", "carotenóide"},
        {"capitel", "capitél"},
        {"pangeia", "pangéia"},
        {"milanesa", "milanesa"},  // -esa is not among them
        {"paraense", "paraense"},
        {"ingleses", "ingleses"},  // -eses is mostly the plural of -ês
        // A full, stressed i before a final -a, -o, -am after a consonant.
        {"alcaravia", "alcaravía"},
        {"bugio", "bugío"},
        {"faziam", "fazíam"},
        {"areia", "aréia"},  // a diphthong: -eia is an open ending instead
        // A written accent says it all.
        {"pérola", "pérola"},
        {"mogno", "mogno"},
        // The spoken u of qua, quo, gua, and of the stems that keep it before e and i.
        {"aquarela", "aqüaréla"},
        {"quociente", "qüociente"},
        {"aguardente", "agüardente"},
        {"averigua", "averigua"},    // before the last vowel it may carry the stress
        {"averiguar", "averigüar"},  // but not before -ar, -al, -az
        {"igual", "igüal"},
        {"loquaz", "loqüaz"},
        {"frequente", "freqüente"},
        {"consequência", "conseqüência"},  // a stem with an accent in it
        {"linguiça", "lingüiça"},
        {"queijo", "queijo"},
        // One s for sc before e or i and for sç.
        {"nascer", "nasser"},
        {"desça", "dessa"},
        {"escola", "escóla"},
        // A strong r after l or s.
        {"palrar", "palrrar"},
        {"sequela", "seqüéla"},  // found as written, before the e is marked
    };
    for (const Case& c : cases)
        EXPECT_EQ(Latin1ToUtf8(WithImpliedMarks(Utf8To1252(c.word))), c.expected) << c.word;
}

TEST_F(UnknownWordsTest, LexiconWordsThatEndAlikeDecideTheStressedVowel) {
    const Case cases[] = {
        {"caloba", "calóba"},  // "galoba" and "maloba" are open; -oba is no open ending
        {"tapota", "tapota"},  // "copota" and "sopota" are closed, though -ota is open
        {"gazela", "gazéla"},  // no word ends in "ela": the ending decides
    };
    for (const Case& c : cases)
        EXPECT_EQ(Latin1ToUtf8(WithImpliedMarks(Utf8To1252(c.word))), c.expected) << c.word;

    // Another lexicon, in which they are closed, is read anew.
    Load({"galoba\tE\t -ga-l'o-ba\t0\t0\t \t", "maloba\tE\t -ma-l'o-ba\t0\t0\t \t"});
    EXPECT_EQ(WithImpliedMarks("caloba"), "caloba");
}

TEST_F(UnknownWordsTest, EndingsKeepTheirGlides) {
    const Case cases[] = {
        {"também", "täb[ë]i"},         {"homens", "[o]mëiS"},
        {"falam", "f[a]l@w"},  // an unaccented -am is not stressed
        {"faziam", "faz[i][@]w"},      {"canções", "käs[ö]iS"},
        {"albergues", "awb[e]%geS"},  // not an -em word: untouched
        {"nepalês", "nepal[e]yS"},     {"validez", "valid[e]yS"},
        {"fatos", "f[a]toS"},           // an unstressed vowel before s takes no glide
        {"bravio", "brav[i][u]"},       // a stressed i before -o is a full vowel, the o unstressed
        {"herniário", "e%n[i][a]rio"},  // after a consonant the i is a full vowel
        {"antiabuso", "ätiab[u]zu"},    // ...before a vowel
        {"atuado", "at[u][a]do"},       // a u too
        {"sêmen", "s[e]mëi"},           // -en as -em
        {"antepõem", "ätep[ö]i"},       // -õem as -õe
        {"passeei", "pas[e][e]y"},      // -eei: e, stressed e, i
        {"ubíquo", "ub[i]kwu"},         // qu before the last vowel, the stress elsewhere
        {"camping", "k[ä]pï"},          // nor is -ing stressed, and its g is silent
        {"fitness", "fitn[e]S"},        // no glide before a final double s
        {"carioca", "kar[i][ó]ka"},     // two vowels that close no diphthong are two syllables
        {"atua", "at[u][a]"},
    };
    for (const Case& c : cases) EXPECT_EQ(Phones(c.word), c.expected) << c.word;
}

TEST_F(UnknownWordsTest, APrefixIsReadApartFromTheWordAfterIt) {
    const Case cases[] = {
        {"antiabuso", "ätiab[u]zu"},         // a known word after the prefix
        {"antissocial", "ätisosi[a]w"},      // the doubled s is the word's own, and its syllables
        {"aeromodelo", "aéromod[e]lo"},      // any word after aero-, read by the rules
        {"televenda", "télev[ë]da"},         // tele- is open before a known word...
        {"telessapo", "teles[a]po"},         // ...and left to the rules before others
        {"retrospecção", "RetroSpeks[@]w"},  // "specção" is no word: no prefix
        {"microabuso", "mikroab[u]zu"},      // a prefix that only finds the word
        {"transoceano", "träzos[e][@]no"},   // trans- before a vowel: a z
        {"transportado", "träSpo%t[a]do"},   // before a consonant: the rules alone
    };
    for (const Case& c : cases) EXPECT_EQ(Phones(c.word), c.expected) << c.word;
}

TEST_F(UnknownWordsTest, AnAdverbKeepsTheVowelsOfItsAdjective) {
    const Case cases[] = {
        {"alogicamente", "alójikam[ë]te"},         // alógica
        {"economicamente", "ekonomikam[ë]te"},     // econômica: closed before m
        {"linguisticamente", "lïgwiStikam[ë]te"},  // linguística
        {"necessariamente", "nesesariam[ë]te"},    // necessária
        {"alegremente", "alegrim[ë]te"},           // a known adjective
        {"arcaicamente", "a%kaykam[ë]te"},         // a diphthong: left to the rules
    };
    for (const Case& c : cases) EXPECT_EQ(Phones(c.word), c.expected) << c.word;
}

TEST_F(UnknownWordsTest, WordsTheRulesDoNotReadAreLeftAlone) {
    // Spelled capitals, a hyphenated compound, letters and digits, letters
    // that make no syllable.
    for (const char* word : {"ONU", "guarda-chuva", "a1", "xyzw"})
        EXPECT_EQ(Reading(word), RulesAlone(word)) << word;
}

}  // namespace
