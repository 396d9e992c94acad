// Tokens with digits read out: numbers, dates, clock times, durations,
// telephone numbers, ordinals, percentages, quantities with units and
// addresses, compared as the phones they give (written here in UTF-8; each
// case names the reading in ordinary spelling).
#include "text/DigitTokens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTest.h"
#include "TestSupport.h"
#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "words/Data.h"
#include "words/PhoneticString.h"

namespace {

std::string W(const std::string& utf8) { return Utf8To1252(utf8); }

std::string Utf8(const std::string& text) { return Latin1ToUtf8(text); }

class DigitTokensTest : public EngineTest {
protected:
    void SetUp() override {
        FillBuiltinTables();
        Engine.controlCharacter = '\\';
        ClearPass();
    }
    void TearDown() override { ClearPass(); }

    // The phonetic string of a token that stands alone in the text.
    static std::string Expand(const std::string& utf8, bool masculine = true) {
        const std::string text = W(utf8);
        ClearPass();
        Engine.text = text;
        const int token = AddToken(static_cast<int>(text.size()));
        return ExpandDigitToken(text, token, false, masculine);
    }

    // Its phones, read as the normaliser reads a digit token's string.
    static std::string Phones(const std::string& phonetic) { return Utf8(PhoneSymbolsOf(phonetic)); }

    static std::string ExpandPhones(const std::string& utf8, bool masculine = true) {
        return Phones(Expand(utf8, masculine));
    }
};

struct Case {
    const char* token;
    const char* phones;  // UTF-8
    const char* spoken;
};

TEST_F(DigitTokensTest, PlainNumbersAreCardinalsOfTheGivenGender) {
    EXPECT_EQ(ExpandPhones("21"), "vïtiü");
    EXPECT_EQ(ExpandPhones("101"), "sëtuiü");
    EXPECT_EQ(ExpandPhones("2", false), "duaS");
    EXPECT_EQ(ExpandPhones("1.000"), "miw") << "the dot groups thousands";
    EXPECT_EQ(ExpandPhones("12.345.678"), ExpandPhones("12345678"));
    EXPECT_EQ(ExpandPhones("1234567890123"), "ü_doyStreSkwatrusïkuseySsétioytunóvizéruü_doyStreS")
        << "beyond twelve digits a number is read digit by digit";
}

TEST_F(DigitTokensTest, DatesReadDayMonthNameAndYear) {
    const std::vector<Case> cases = {
        {"25/12/2005", "vïtisïkudidezëbrudidoySmiwisïku", "vinte cinco de dezembro de dois mil e cinco"},
        {"01/02/1990", "üdifevereyrudimiwnóvisëtuzinovëta", "um de fevereiro de mil novecentos e noventa"},
        {"31/1/0", "trïtaiüdijaneyrudizéru", "trinta e um de janeiro de zero"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandPhones(c.token), c.phones) << c.token << ": " << c.spoken;
}

TEST_F(DigitTokensTest, ImpossibleDatesAreReadPieceByPiece) {
    for (const char* token : {"32/12/2005", "25/13/2005", "25/12/10000"}) {
        const std::string phones = ExpandPhones(token);
        EXPECT_EQ(phones.find("dezëbru"), std::string::npos) << token;
        EXPECT_NE(phones.find("baRa"), std::string::npos) << token << " reads its slashes";
    }
}

TEST_F(DigitTokensTest, ClockTimesReadHoursInTheFeminineAndMinutes) {
    const std::vector<Case> cases = {
        {"10:30", "déSóraS_etrïtaminutoS", "dez horas e trinta minutos"},
        {"1:00", "umaóra", "uma hora"},
        {"2:01", "duaSóraS_eüminuto", "duas horas e um minuto"},
        {"09:05", "nóvióraS_esïkuminutoS", "nove horas e cinco minutos"},
        {"0:15", "zéruóra_ekïziminutoS", "zero hora e quinze minutos"},
        {"23:59", "vïtitreSóraS_esïkwëtainóviminutoS", "vinte três horas e cinquenta e nove minutos"},
        {"10h30", "déSóraS_etrïtaminutoS", "dez horas e trinta minutos"},
        {"10h30m", "déSóraS_etrïtaminutoS", "dez horas e trinta minutos"},
        {"12h00", "dozióraS", "doze horas"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandPhones(c.token), c.phones) << c.token << ": " << c.spoken;
}

TEST_F(DigitTokensTest, TimesBeyondTheClockAreNotReadAsTimes) {
    for (const char* token : {"24:00", "10:60", "100:30", "10:3", "10h5"})
        EXPECT_EQ(ExpandPhones(token).find("óra"), std::string::npos) << token;
}

TEST_F(DigitTokensTest, TimesWithSecondsAndDurations) {
    const std::vector<Case> cases = {
        {"10:30:15", "déSóraS_trïtaminutoSikïzisegüdoS", "dez horas trinta minutos e quinze segundos"},
        {"1:01:01", "umaóra_üminutoiüsegüdo", "uma hora um minuto e um segundo"},
        {"5min30s", "sïkuminutoS_itrïtasegüdoS", "cinco minutos e trinta segundos"},
        {"1min1s", "üminuto_iüsegüdo", "um minuto e um segundo"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandPhones(c.token), c.phones) << c.token << ": " << c.spoken;
    EXPECT_EQ(ExpandPhones("10:30:60").find("següdo"), std::string::npos);
}

TEST_F(DigitTokensTest, NumbersAroundAHyphenAreReadDigitByDigit) {
    EXPECT_EQ(ExpandPhones("3333-4444"), "treStreStreStreS_kwatrukwatrukwatrukwatru");
    EXPECT_EQ(ExpandPhones("21-10"), "doySü__ü_zéru") << "each 1 is followed by a short pause";
}

TEST_F(DigitTokensTest, OrdinalsTakeTheGenderOfTheirMark) {
    const std::vector<Case> cases = {
        {"1º", "primeyro", "primeiro"},
        {"2ª", "següda", "segunda"},
        {"3o", "te%seyro", "terceiro"},
        {"4a", "kwa%ta", "quarta"},
        {"20º", "vijésimo", "vigésimo"},
        {"1O", "primeyro", "primeiro"},
        {"101ª", "sëtésimaprimeyra", "centésima primeira"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandPhones(c.token, false), c.phones) << c.token << ": " << c.spoken;
}

TEST_F(DigitTokensTest, Percentages) {
    const std::vector<Case> cases = {
        {"50%", "sïkwëtapo%sëto", "cinquenta por cento"},
        {"1%", "üpo%sëto", "um por cento"},
        {"2,5%", "doySvi%gulasïkupo%sëto", "dois vírgula cinco por cento"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandPhones(c.token, false), c.phones) << c.token << ": " << c.spoken;
}

TEST_F(DigitTokensTest, QuantitiesWithUnitsAgreeInNumberAndGender) {
    const std::vector<Case> cases = {
        {"1kg", "ükilu", "um quilo"},
        {"2kg", "doySkiluS", "dois quilos"},
        {"2g", "doySgr@maS", "dois gramas"},
        {"2t", "duaStoneladaS", "duas toneladas"},
        {"1h", "umaóra", "uma hora"},
        {"2h", "duaSóraS", "duas horas"},
        {"3m", "treSmetruS", "três metros"},
        {"1km", "ükilometru", "um quilômetro"},
        {"2l", "doySlitruS", "dois litros"},
        {"01kg", "ükilu", "a leading zero is not said before a unit"},
        {"1,5kg", "üvi%gulasïkukilu", "um vírgula cinco quilo"},
        {"2,5t", "duaSvi%gulasïkutoneladaS", "duas vírgula cinco toneladas"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandPhones(c.token), c.phones) << c.token << ": " << c.spoken;
}

TEST_F(DigitTokensTest, AnUpperCaseUnitIsNotTakenForAnAbbreviation) {
    EXPECT_EQ(ExpandPhones("2KG").find("kilu"), std::string::npos);
    EXPECT_EQ(ExpandPhones("2KG").substr(0, 4), "doyS");
}

TEST_F(DigitTokensTest, OtherTokensAreReadPieceByPieceWithPauses) {
    EXPECT_EQ(ExpandPhones("1.5"), "ü_pötusïku_") << "um ponto cinco, no pause after the point";
    EXPECT_EQ(ExpandPhones("1,5"), "ü_vi%gulasïku_");
    const std::string phones = ExpandPhones("abc123");
    const std::string number = "_sëtuivïtitreS_";
    ASSERT_GE(phones.size(), number.size());
    EXPECT_EQ(phones.substr(phones.size() - number.size()), number) << phones;
}

TEST_F(DigitTokensTest, AShortWordInsideATokenIsSaidSlower) {
    const std::string phonetic = Expand("ab1");
    EXPECT_NE(phonetic.find("\\V1.2 "), std::string::npos) << phonetic;
}

TEST_F(DigitTokensTest, AddressesRaiseTheNameAndTheSiteAndHaveNoPauses) {
    for (const char* address : {"joao@mail.com.br", "http://www.site.com"}) {
        const std::string phonetic = Expand(address);
        Phones(phonetic);
        EXPECT_EQ(phonetic.find(" _ "), std::string::npos) << address;
        EXPECT_EQ(phonetic.rfind(" \\V1.2 ", 0), 0u) << address;
        EXPECT_NE(phonetic.find("\\T1.1 "), std::string::npos) << address;
        EXPECT_NE(phonetic.find("\\T1.2 "), std::string::npos) << address;
        EXPECT_FLOAT_EQ(PhoneList[0].pitchValue, 1.1f)
            << address << ": the first phone of the name is raised";
    }
    // Without a domain after the "@" it is no address: read piece by piece.
    EXPECT_NE(Expand("joao@mail").find(" _ "), std::string::npos);
}

TEST_F(DigitTokensTest, AnyTokenIsSurvived) {
    std::string noise;
    for (int c = 1; c < 256; ++c) noise += static_cast<char>(c);
    std::string manySegments;
    for (int k = 0; k < 400; ++k) manySegments += "1-a";
    const std::vector<std::string> tokens = {
        noise,
        manySegments,
        std::string(600, '1'),
        std::string(600, '.'),
        ",.-/:%$_@",
        ".",
        "1.",
        "-",
        "//",
        "1//2//3",
        "99:99:99",
        "1h",
        "h1",
        "1.2.3.4",
        "a.1.",
        "\xBA\xAA"
        "1",
        "1\xBA\xAA",
        "@@@",
        "http",
        "0202",
    };
    for (const std::string& token : tokens) {
        ClearPass();
        Engine.text = token;
        AddToken(static_cast<int>(token.size()));
        for (bool masculine : {true, false}) ExpandDigitToken(token, 0, masculine, masculine);
    }
    EXPECT_EQ(ExpandDigitToken("", 0, false, true), "");
}

}  // namespace
