// Written forms of numbers, dates, amounts and quantities as they appear in
// real texts, each compared with the same reading written in words, or in a
// form the readers already know where the readers' own words ("minutos",
// "quilogramas") differ in vowel quality from the lexicon's. The phones are
// compared without the short pauses the readers put between the parts of a
// number; a plain number in the written-out text stands for its cardinal
// (where the word after it would not change its gender).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTest.h"
#include "TestSupport.h"
#include "core/TextUtil.h"
#include "falavoz32.h"

namespace {

struct Reading {
    const char* written;  // UTF-8
    const char* spoken;   // UTF-8
};

class WrittenFormsTest : public EngineTest {
protected:
    void SetUp() override { ASSERT_EQ(TTS_Init(0, nullptr, 0), FV_OK); }

    // The phones of a text without its pauses.
    static std::string Words(const std::string& utf8) {
        std::string phones = RVCall(Utf8To1252(utf8).c_str());
        std::erase(phones, '_');
        return phones;
    }

    static void ExpectReadings(const std::vector<Reading>& readings) {
        for (const Reading& r : readings) EXPECT_EQ(Words(r.written), Words(r.spoken)) << r.written;
    }

    RecordingDiphones diphones_;
};

TEST_F(WrittenFormsTest, LongDecimalsAreReadDigitByDigitAfterTheComma) {
    ExpectReadings({
        {"3,14159", "3 vírgula 1 4 1 5 9"},
        {"0,0001", "0 vírgula 0 0 0 1"},
        {"1.234,56789", "1234,5 6 7 8 9"},
        // Up to three places the decimals are a number.
        {"3,5", "3 vírgula 5"},
        {"2,75", "dois vírgula 75"},
        {"3,141", "3 vírgula 141"},
    });
}

TEST_F(WrittenFormsTest, HoursWithALeadingZeroReadTheHourAlone) {
    ExpectReadings({
        {"00h", "zero hora"},
        {"07h", "sete horas"},
        {"01h", "uma hora"},
        {"01h30", "1h30"},
        {"00:45", "0h45"},
        // Neighbours: hours without the zero, and hours past the clock.
        {"7h", "sete horas"},
        {"36h", "trinta e seis horas"},
        {"007", "zero zero sete"},
    });
}

TEST_F(WrittenFormsTest, ALeadingZeroIsNotSaidBeforeAUnit) {
    ExpectReadings({
        {"05kg", "5kg"},
        {"01kg", "1kg"},
        {"00kg", "0kg"},
    });
}

TEST_F(WrittenFormsTest, ThousandsGroupedByBlanksAreOneNumber) {
    ExpectReadings({
        {"1 000 000", "1000000"},
        {"25 000", "25000"},
        {"25\u00A0000", "25000"},
        {"1\u00A0000\u00A0000", "1000000"},
        {"2 000 casas", "2000 casas"},
        {"1 000,5", "1000,5"},
        {"R$ 2 500,50", "R$ 2500,50"},
        {"R$1 000 mil", "R$1000 mil"},
        // Not thousands: groups other than three digits, or a first group
        // of four.
        {"10 20 30", "10, 20, 30"},
        {"1 0000", "1, 0000"},
        {"2024 100", "2024, 100"},
        {"1 000, 000", "1000, 000"},
    });
}

TEST_F(WrittenFormsTest, DatesWithPointsHyphensOrTheYearFirst) {
    ExpectReadings({
        {"15.03.2024", "15/03/2024"},
        {"15-03-2024", "15/03/2024"},
        {"2024-03-15", "15/03/2024"},
        {"2024/03/15", "15/03/2024"},
        {"1.5.24", "1/5/24"},
        {"15/03/24", "quinze de março de 24"},
        {"31.12.1999", "trinta e um de dezembro de 1999"},
    });
    // Impossible dates, versions and codes are read piece by piece.
    for (const char* other : {"32.01.2024", "15.13.2024", "00.01.2024", "1.2.3", "15.03.202", "2024.03.15",
                              "11-3333-4444", "10-20-30", "2024-13-01"})
        EXPECT_EQ(Words(other).find("di"), std::string::npos) << other;
}

TEST_F(WrittenFormsTest, FractionsNameTheirParts) {
    ExpectReadings({
        {"3/4 de xícara", "3 quartos de xícara"},
        {"1/2 litro", "meio litro"},
        {"1/2 xícara", "meia xícara"},
        {"1/2 das pessoas", "meio das pessoas"},
        {"2/3 dos votos", "dois terços dos votos"},
        {"2/3 das pessoas", "dois terços das pessoas"},
        {"1/3", "um terço"},
        {"3/100", "3 centésimos"},
        {"7/10", "7 décimos"},
        {"5/16", "5 16 avos"},
        {"1/20", "um 20 avos"},
        {"2 1/2", "dois e meio"},
        {"2 1/2 xícaras", "duas e meia xícaras"},
        {"1 3/4 de xícara", "um e 3 quartos de xícara"},
    });
}

TEST_F(WrittenFormsTest, DayAndMonthPairsThatCanOnlyBeDatesOrThatTheWordsMarkAsDates) {
    ExpectReadings({
        {"25/12", "25 de dezembro"},
        {"15/03", "quinze de março"},
        {"01/02", "um de fevereiro"},
        {"no dia 3/4", "no dia 3 de abril"},
        {"sexta-feira, 3/4", "sexta-feira, 3 de abril"},
        {"3/4/2024", "3 de abril de 2024"},
        {"1/2/24", "um de fevereiro de 24"},
        // Fractions beside them.
        {"em 3/4 dos casos", "em 3 quartos dos casos"},
        {"40/3", "quarenta terços"},
    });
    // Neither a date nor a fraction: read piece by piece.
    for (const char* other : {"1/0", "0/5", "3/2000", "40/1500"})
        EXPECT_NE(Words(other).find("baRa"), std::string::npos) << other << " reads its slash";
}

TEST_F(WrittenFormsTest, EurosAndDollarsWithTheSignBeforeOrAfter) {
    EXPECT_EQ(Words("€12"), Words("12 euros"));
    EXPECT_EQ(Words("€1"), Words("um euro"));
    EXPECT_EQ(Words("€12,50"), Words("12 euros") + "e" + Words("50 cêntimos"));
    EXPECT_EQ(Words("$12"), Words("US$12"));
    const std::string billions = Words("R$2 bilhões");
    EXPECT_EQ(Words("€2 bilhões"), billions.substr(0, billions.find("Re")) + Words("euros"));
    ExpectReadings({
        {"€ 12", "€12"},
        {"12 €", "€12"},
        {"12€", "€12"},
        {"12,50 €", "€12,50"},
        {"1 000 €", "€1000"},
        {"€ 2 bilhões", "€2 bilhões"},
        {"$ 12", "US$12"},
        {"$ 12 mil", "US$12 mil"},
        {"R$ 12", "R$12"},
        {"12 R$", "R$12"},
        {"R$ 2,5 milhões", "R$2,5 milhões"},
    });
    // A dollar sign that no amount follows is no currency.
    EXPECT_EQ(Words("$HOME").find("d\xF3lar"), std::string::npos);
    EXPECT_EQ(Words("12 casas €"), Words("12 casas"));
}

TEST_F(WrittenFormsTest, UnitsWrittenApartFromTheNumber) {
    ExpectReadings({
        {"200 g", "200g"},
        {"5 km", "5km"},
        {"1,5 l", "1,5l"},
        {"2 h", "duas horas"},
        {"1 h", "uma hora"},
        {"10 min", "10min"},
        {"30 s", "30s"},
        {"20 cm", "20cm"},
        {"500 mL", "500ml"},
        {"1 L", "1l"},
        {"2 t de areia", "2t de areia"},
        {"1 000 km", "1000km"},
        {"100 km/h", "100km/h"},
        {"30 °C", "30°C"},
        {"25 ºC", "25°C"},
        {"50 m²", "50m²"},
        {"3 m³", "3m³"},
    });
}

TEST_F(WrittenFormsTest, UnitsAgreeWithTheirNumber) {
    ExpectReadings({
        {"1 kg", "um quilo"},
        {"2 kg", "2 quilos"},
        {"5 km", "5 quilômetros"},
        {"1 km", "um quilômetro"},
        {"20 cm", "20 centímetros"},
        {"10 min", "10 minutos"},
        {"1 km/h", "um quilômetro por hora"},
        {"100 km/h", "100 quilômetros por hora"},
        {"30 °C", "30 graus celsius"},
        {"1 ºC", "um grau celsius"},
        {"50 m²", "50 metros quadrados"},
        {"3 m³", "3 metros cúbicos"},
    });
    EXPECT_TRUE(Words("1 m²").ends_with("metrukwadradu"));
    EXPECT_TRUE(Words("1,5 l").ends_with("litru")) << "the number before the comma says the unit's number";
    EXPECT_TRUE(Words("2,5 l").ends_with("litruS"));
    EXPECT_TRUE(Words("2 t").starts_with("duaS")) << "toneladas are feminine";
    EXPECT_TRUE(Words("2 g").starts_with("doyS")) << "gramas are masculine";
}

TEST_F(WrittenFormsTest, ALetterWithoutANumberBeforeItIsNoUnit) {
    EXPECT_NE(Words("item g"), Words("item gramas"));
    EXPECT_NE(Words("o m"), Words("o metro"));
    EXPECT_NE(Words("2, g"), Words("2g")) << "punctuation keeps the letter apart";
    EXPECT_NE(Words("3 S"), Words("3s")) << "a capital the unit is not written with";
    EXPECT_NE(Words("2 KG"), Words("2kg"));
}

TEST_F(WrittenFormsTest, RomanNumeralsAfterNamesAreOrdinalsUpToTheTenth) {
    ExpectReadings({
        {"D. Pedro II", "D. Pedro 2º"},
        {"João Paulo II", "João Paulo 2º"},
        {"Henrique VIII", "Henrique 8º"},
        {"Carlos V", "Carlos 5º"},
        {"Maria I", "Maria 1ª"},
        {"Luís XIV", "Luís 14"},
        {"Luís XIV foi rei", "Luís 14 foi rei"},
        {"João XXIII", "João 23"},
    });
}

TEST_F(WrittenFormsTest, RomanNumeralsAfterAPartOfAWorkAreCardinals) {
    ExpectReadings({
        {"século XXI", "século 21"},
        {"Século XIX", "século 19"},
        {"CAPÍTULO IX", "CAPÍTULO 9"},
        {"capítulo IV", "capítulo 4"},
        {"parte II", "parte 2"},
        {"volume III", "volume 3"},
        {"tomo I", "tomo 1"},
        {"ato V", "ato 5"},
        {"cena VI", "cena 6"},
        {"livro X", "livro 10"},
        {"título VII", "título 7"},
        {"artigo XL", "artigo 40"},
        {"inciso LXXIV", "inciso 74"},
        {"século MCMXC", "século 1990"},
    });
}

TEST_F(WrittenFormsTest, CapitalsThatAreNotRomanNumeralsThere) {
    const std::vector<std::string> texts = {
        "O MIL",  "o CD",       "um DVD", "o CIVIL", "eu VIVI", "Vitamina C", "Raio X",
        "Pedro,", "século xxi", "e II",   "Bloco D", "CD",      "MIL",        "século IIII",
    };
    for (const std::string& text : texts) {
        const size_t blank = text.rfind(' ');
        const std::string word = blank == std::string::npos ? text : text.substr(blank + 1);
        const std::string numeral = Words(text);
        EXPECT_EQ(numeral.substr(numeral.size() - Words(word).size()), Words(word)) << text;
    }
    EXPECT_NE(Words("Pedro, II"), Words("Pedro, 2º")) << "a pause parts the name from the letters";
}

TEST_F(WrittenFormsTest, AddressesArePartByPart) {
    ExpectReadings({
        {"www.google.com.br", "www ponto google ponto com ponto br"},
        {"fulano@gmail.com", "fulano arroba gmail ponto com"},
        {"joao.silva@folha.com.br", "J.O.A.O. ponto silva arroba folha ponto com ponto br"},
        {"http://www.site.com", "h t t p dois pontos barra barra www ponto site ponto com"},
        {"https://gov.br/saude", "h t t p s dois pontos barra barra gov ponto br barra saude"},
        {"meu_nome@uol.org", "meu sublinhado nome arroba uol ponto órg"},
        {"site-novo.com.br", "site hífen novo ponto com ponto br"},
        {"portal2.gov.br", "portal 2 ponto gov ponto br"},
        {"Veja em www.site.net.", "Veja em www ponto site ponto net."},
    });
    // Not addresses: initials, abbreviations, decimals and compound words.
    ExpectReadings({
        {"a.b.c", "a.b.c"},
        {"guarda-chuva", "guarda chuva"},
        {"1.5", "1 ponto 5"},
    });
}

}  // namespace
