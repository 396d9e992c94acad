// The conversion at every host's edge and the messages of the result codes.
#include <gtest/gtest.h>

#include "Encoding.h"
#include "Messages.h"
#include "falavoz32.h"

namespace {

TEST(Utf8ToCp1252, KeepsWhatTheCodePageHolds) {
    EXPECT_EQ(Utf8ToCp1252("Atenção: açaí, pão e € 5"), "Aten\xE7\xE3o: a\xE7\x61\xED, p\xE3o e \x80 5");
    EXPECT_EQ(Utf8ToCp1252("œuvre ‰ •"), "\x9Cuvre \x89 \x95");
}

TEST(Utf8ToCp1252, TypographicMarksBecomePlain) {
    EXPECT_EQ(Utf8ToCp1252("“aspas” e ‘simples’, d’água"), "\"aspas\" e 'simples', d'\xE1gua");
    EXPECT_EQ(Utf8ToCp1252("ontem — hoje – amanhã −3"), "ontem - hoje - amanh\xE3 -3");
    EXPECT_EQ(Utf8ToCp1252("e então…"), "e ent\xE3o...");
    // A range between numbers keeps its dash; a hyphen would make one number.
    EXPECT_EQ(Utf8ToCp1252("1990–2000, 10—20, 3 – 4, –5"),
              "1990\x96"
              "2000, 10\x97"
              "20, 3 - 4, -5");
}

TEST(Utf8ToCp1252, DropsWhatTheEngineCannotRead) {
    EXPECT_EQ(Utf8ToCp1252("bom dia 🙂!"), "bom dia !");
    EXPECT_EQ(Utf8ToCp1252("α e β"), " e ");
    EXPECT_EQ(Utf8ToCp1252("a\u200Bb"), "ab");  // a zero-width space
}

TEST(Utf8ToCp1252, PutsCombiningAccentsOnTheirLetters) {
    // Text from some programs keeps the accent apart from its letter.
    EXPECT_EQ(Utf8ToCp1252("cafe\u0301 pa\u0303o c\u0327a\u0300 vo\u0302 lingu\u0308ic\u0327a"),
              "caf\xE9 p\xE3o \xE7\xE0 v\xF4 ling\xFCi\xE7\x61");
    EXPECT_EQ(Utf8ToCp1252("\u0301x9\u0301"), "x9");  // no letter to take it
}

TEST(Utf8ToCp1252, BytesThatAreNotUtf8AreTakenAsCp1252) {
    EXPECT_EQ(Utf8ToCp1252("p\xE3o"), "p\xE3o");
    EXPECT_EQ(Utf8ToCp1252("fim\xC3"), "fim\xC3");  // a sequence cut short
}

TEST(Cp1252ToUtf8, RoundTripsTheCodePage) {
    std::string all;
    for (int c = 0x20; c <= 0xFF; ++c) all.push_back(static_cast<char>(c));
    // Holes of the code page, and the marks that are read in their plain forms.
    for (char left : std::string("\x81\x8D\x8F\x90\x9D\x82\x84\x85\x91\x92\x93\x94\x96\x97"))
        all.erase(all.find(left), 1);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(MessageForCode, EveryCodeOfTheEngineHasItsMessage) {
    EXPECT_EQ(MessageForCode(FV_NO_DEVICE), "Placa de som não instalada");
    EXPECT_EQ(MessageForCode(FV_FORMAT_UNSUPPORTED), "16 KHZ, 16 bits não suportados pela placa de som");
    EXPECT_EQ(MessageForCode(FV_DEVICE_NO_MEMORY), MessageForCode(FV_NO_MEMORY));
    for (int code = -1; code >= -23; --code) {
        const bool defined = code >= -16 || code == -18 || code <= -21;
        EXPECT_EQ(MessageForCode(code).empty(), !defined) << code;
    }
    EXPECT_EQ(MessageForCode(FV_OK), "");
    EXPECT_EQ(MessageForCode(-99), "");
}

}  // namespace
