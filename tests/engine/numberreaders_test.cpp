// Cardinals, ordinals and amounts of money, compared as the phones they
// give. Expected phones are written in UTF-8; each case names the reading in
// ordinary spelling.
#include "text/NumberReaders.h"
#include "text/CurrencyAmounts.h"

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

std::string W(const std::string& utf8) { return Utf8To1252(utf8); }

// Windows-1252 phones back to UTF-8, for readable failures.
std::string Utf8(const std::string& text) { return Latin1ToUtf8(text); }

class NumberReadersTest : public EngineTest {
protected:
    void SetUp() override {
        FillBuiltinTables();
        Engine.controlCharacter = '\\';
        ClearPass();
    }
    void TearDown() override { ClearPass(); }

    // The phones of a phonetic string, as the normaliser reads a number's.
    static std::string Phones(const std::string& phonetic) { return Utf8(PhoneSymbolsOf(phonetic)); }

    // Puts the words of text into Engine.text and Tokens, one token a word.
    static void SetTokens(const std::vector<std::string>& words) {
        ClearPass();
        Engine.text.clear();
        for (const std::string& word : words) {
            if (!Engine.text.empty()) Engine.text += ' ';
            Engine.text += W(word);
            AddToken(static_cast<int>(W(word).size()));
        }
    }

    // An amount that is the first of the given tokens.
    static std::string Amount(const std::vector<std::string>& words, int* tokenAfter = nullptr) {
        SetTokens(words);
        const std::string text = W(words[0]);
        int index = 0;
        const std::string phonetic = ReadCurrencyAmount(text, CurrencyKind(LowerCase1252(text)), index);
        if (tokenAfter) *tokenAfter = index;
        return Phones(phonetic);
    }
};

struct Reading {
    const char* digits;
    bool masculine;
    const char* phones;  // UTF-8
    const char* spoken;
};

TEST_F(NumberReadersTest, CardinalsReadTheirGroupsWithConnectorsAndLiaison) {
    const std::vector<Reading> cases = {
        {"0", true, "zéru", "zero"},
        {"7", true, "séti", "sete"},
        {"15", true, "kïzi", "quinze"},
        {"21", true, "vïtiü", "vinte um (the final vowel of vinte stands for e)"},
        {"31", true, "trïtaiü", "trinta e um"},
        {"99", true, "novëtainóvi", "noventa e nove"},
        {"100", true, "së", "cem"},
        {"101", true, "sëtuiü", "cento e um"},
        {"110", true, "sëtuidéS", "cento e dez"},
        {"115", true, "sëtuikïzi", "cento e quinze"},
        {"121", true, "sëtuivïtiü", "cento e vinte um"},
        {"250", true, "duzëtuzisïkwëta", "duzentos e cinquenta, s joined to e"},
        {"1000", true, "miw", "mil, not um mil"},
        {"1001", true, "miwiü", "mil e um"},
        {"1050", true, "miwisïkwëta", "mil e cinquenta"},
        {"1200", true, "miwiduzëtuS", "mil e duzentos"},
        {"1250", true, "miwduzëtuzisïkwëta", "mil duzentos e cinquenta"},
        {"1.000", true, "miw", "mil, the dot groups thousands"},
        {"15000", true, "kïzimiw", "quinze mil"},
        {"1000000", true, "ümih@w", "um milhão"},
        {"1.000.000", true, "ümih@w", "um milhão"},
        {"3000000", true, "treSmihoëS", "três milhões"},
        {"1000000000", true, "übih@w", "um bilhão"},
        {"007", true, "zéruzéruséti", "zero zero sete"},
    };
    for (const Reading& c : cases)
        EXPECT_EQ(Phones(ReadCardinal(W(c.digits), c.masculine)), c.phones) << c.digits << ": " << c.spoken;
}

TEST_F(NumberReadersTest, FeminineCardinalsAgreeUpToTheThousands) {
    const std::vector<Reading> cases = {
        {"1", false, "uma", "uma"},
        {"2", false, "duaS", "duas"},
        {"22", false, "vïtiduaS", "vinte duas"},
        {"32", false, "trïtaiduaS", "trinta e duas"},
        {"200", false, "duzëtaS", "duzentas"},
        {"201", false, "duzëtaziuma", "duzentas e uma"},
        {"2000", false, "duaSmiw", "duas mil"},
        {"2500", false, "duaSmiwikiñëtaS", "duas mil e quinhentas"},
        {"2000000", false, "doySmihoëS", "dois milhões: milhão is masculine"},
        {"22000000", false, "vïtidoySmihoëS", "vinte e dois milhões"},
        {"200000000", false, "duzëtuSmihoëS", "duzentos milhões"},
        {"202000", false, "duzëtaziduaSmiw", "duzentas e duas mil"},
        {"1000000", false, "ümih@w", "um milhão"},
    };
    for (const Reading& c : cases)
        EXPECT_EQ(Phones(ReadCardinal(W(c.digits), c.masculine)), c.phones) << c.digits << ": " << c.spoken;
}

TEST_F(NumberReadersTest, ALongNumberTakesABreathBeforeTheHundredsOfTheMillions) {
    EXPECT_EQ(Phones(ReadCardinal("1234567890", true)),
              "übih@w_duzëtuzitrïtaikwatrumihoëSkiñëtuzisesëtaisétimiwoytusëtuzinovëta");
    EXPECT_EQ(ReadCardinal("123456789012", true).find('_'), ReadCardinal("123456789012", true).rfind('_'))
        << "one breath in twelve digits";
}

TEST_F(NumberReadersTest, NumbersBeyondTwelveDigitsReadNothing) {
    EXPECT_NE(ReadCardinal("999999999999", true), "");
    EXPECT_EQ(ReadCardinal("1234567890123", true), SpellCharacters("1234567890123"))
        << "too long for one number: read digit by digit, not left unsaid";
    EXPECT_EQ(ReadCardinal(std::string(600, '9'), true), SpellCharacters(std::string(600, '9')));
    EXPECT_EQ(ReadCardinal("", true), "");
}

TEST_F(NumberReadersTest, ReadNumberSpellsDigitByDigitInModeOne) {
    EXPECT_EQ(Phones(ReadNumber("101", kReadDigitByDigit, true)), "ü_zéruü_");
    EXPECT_EQ(Phones(ReadNumber("101", kReadCardinal, true)), "sëtuiü");
}

TEST_F(NumberReadersTest, OrdinalsJoinTheirStemsWithTheGenderEnding) {
    const std::vector<Reading> cases = {
        {"1", true, "primeyro", "primeiro"},
        {"2", false, "següda", "segunda"},
        {"10", true, "désimo", "décimo"},
        {"20", true, "vijésimo", "vigésimo: a zero position says nothing"},
        {"21", false, "vijésimaprimeyra", "vigésima primeira"},
        {"100", true, "sëtésimo", "centésimo"},
        {"101", true, "sëtésimoprimeyro", "centésimo primeiro"},
        {"305", false, "trisëtésimakïta", "tricentésima quinta"},
        {"05", true, "kïto", "quinto"},
        {"0", true, "zéru", "zero has no ordinal"},
        {"1000", true, "miwô%dinaw", "mil ordinal"},
    };
    for (const Reading& c : cases)
        EXPECT_EQ(Phones(ReadOrdinal(W(c.digits), c.masculine)), c.phones) << c.digits << ": " << c.spoken;
}

TEST_F(NumberReadersTest, CurrencyKindLooksAtTheSignInFront) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"r$5", 1}, {"-r$5", 1}, {"r$", 1},  {"us$2", 2}, {"-us$", 2}, {"£3", 3},    {"-¥1", 4},
        {"$5", 2},  {"$", 2},    {"€12", 5}, {"-€1", 5},  {"€", 5},    {"$home", 0}, {"€uro", 0},
        {"u$5", 0}, {"5r$", 0},  {"", 0},    {"-", 0},    {"r", 0},
    };
    for (const auto& [text, kind] : cases) EXPECT_EQ(CurrencyKind(W(text)), kind) << text;
}

TEST_F(NumberReadersTest, RomanNumeralsAreOnlyThoseWrittenAsNumeralsAre) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"I", 1},    {"IV", 4},   {"IX", 9},       {"XIV", 14},         {"XL", 40},  {"XC", 90},
        {"CD", 400}, {"CM", 900}, {"MCMXC", 1990}, {"MMMCMXCIX", 3999}, {"IIII", 0}, {"VX", 0},
        {"IL", 0},   {"MIL", 0},  {"CIVIL", 0},    {"VIVI", 0},         {"DVD", 0},  {"xiv", 0},
        {"", 0},     {"MMMM", 0}, {"IIX", 0},      {"XIIII", 0},        {"A", 0},
    };
    for (const auto& [numeral, value] : cases) EXPECT_EQ(RomanValue(numeral), value) << numeral;
}

struct AmountCase {
    std::vector<std::string> tokens;
    const char* phones;
    const char* spoken;
};

TEST_F(NumberReadersTest, AmountsReadCurrencyAndCents) {
    const std::vector<AmountCase> cases = {
        {{"R$5,50"}, "sïkuReaySesïkwëtasëtavoS", "cinco reais e cinquenta centavos"},
        {{"R$1,01"}, "üReaweüsëtavo", "um real e um centavo"},
        {{"R$ 1.250,50"}, "miwduzëtuzisïkwëtaReaySesïkwëtasëtavoS", "mil duzentos e cinquenta reais e..."},
        {{"R$5,00"}, "sïkuReayS", "cinco reais"},
        {{"R$2,5"}, "doySvi%gulasïkuReayS", "dois vírgula cinco reais"},
        {{"R$,50"}, "sïkwëtasëtavoSdeReaw", "cinquenta centavos de real"},
        {{"R$2000000"}, "doySmihoëSdeReayS", "dois milhões de reais"},
        {{"R$1.000.000"}, "ümih@wdeReayS", "um milhão de reais, written with dots"},
        {{"R$1000000,10"}, "ümih@wdeReaySedéSsëtavoS", "um milhão de reais e dez centavos"},
        {{"US$1"}, "üdóla%", "um dólar"},
        {{"£3"}, "treSlibraS", "três libras"},
        {{"¥1"}, "üië", "um iene"},
        {{"-R$5"}, "menoSsïkuReayS", "menos cinco reais"},
        {{"R$-5"}, "menoSsïkuReayS", "menos cinco reais"},
        {{"-£3"}, "menoStreSlibraS", "menos três libras: the sign is not read as a number"},
    };
    for (const AmountCase& c : cases)
        EXPECT_EQ(Amount(c.tokens), c.phones) << c.tokens[0] << ": " << c.spoken;
}

TEST_F(NumberReadersTest, AScaleWordAfterTheAmountIsReadAndSkipped) {
    const std::vector<AmountCase> cases = {
        {{"US$2", "milhões"}, "doySmihoëSdedólareS", "dois milhões de dólares"},
        {{"R$1", "milhão"}, "ümih@wdeReayS", "um milhão de reais"},
        {{"R$1,5", "bi"}, "üvi%gulasïkubihoëSdeReayS", "um vírgula cinco bilhões de reais"},
        {{"R$3", "trilhões"}, "treStrihoëSdeReayS", "três trilhões de reais"},
        {{"R$2", "mil"}, "doySmiwReayS", "dois mil reais"},
    };
    for (const AmountCase& c : cases) {
        int after = -1;
        EXPECT_EQ(Amount(c.tokens, &after), c.phones)
            << c.tokens[0] << " " << c.tokens[1] << ": " << c.spoken;
        EXPECT_EQ(after, 1) << c.tokens[0] << " " << c.tokens[1];
    }
    int after = -1;
    EXPECT_EQ(Amount({"R$2", "casas"}, &after), "doySReayS");
    EXPECT_EQ(after, 0) << "a word that is no scale word stays";
}

TEST_F(NumberReadersTest, ASignWithoutAnAmountSaysNothingAndLeavesTheNextWord) {
    int after = -1;
    EXPECT_EQ(Amount({"R$", "mil"}, &after), "");
    EXPECT_EQ(after, 0);
    EXPECT_EQ(Amount({"US$"}), "");
    EXPECT_EQ(Amount({"-£"}), "");
}

TEST_F(NumberReadersTest, ReadersSurviveAnyText) {
    std::string noise;
    for (int c = 1; c < 256; ++c) noise += static_cast<char>(c);
    int index = 0;
    ClearPass();
    Engine.text = noise;
    AddToken(static_cast<int>(noise.size()));
    for (const std::string& text :
         {noise, std::string("R$") + noise, std::string("R$") + std::string(600, '9'),
          std::string("R$,,,..--"),
          std::string("R$ ") + std::string(600, '1') + "," + std::string(600, '0')}) {
        ReadCardinal(text, true);
        ReadOrdinal(text, false);
        index = 0;
        ReadCurrencyAmount(text, 1, index);
        ReadCurrencyAmount(text, 0, index);
        ReadCurrencyAmount(text, 9, index);
    }
    index = 499;  // the scale word would be past the last token
    ReadCurrencyAmount("R$5", 1, index);
    EXPECT_EQ(index, 499);
}

}  // namespace
