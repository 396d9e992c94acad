// The phoneme lines mbrola is given: long phones cut into pieces with their
// pitch points, pitches held within range, everything else untouched.
#include "PhonemeLine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using fvdsp::WithinMbrolaLimits;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

double durationOf(const std::string& line) { return std::atof(line.c_str() + line.find(' ') + 1); }

TEST(WithinMbrolaLimits, OrdinaryAndForeignLinesPassUnchanged) {
    for (const char* line :
         {"a 120 50 118.5", "_ 200", "_ 10 50 120", "s2 80 0 100 100 110", "; a 99999 50 -1", "#", "", "a",
          "a xx 50 120", "a 100 50", "oo 310 0 131 100 131\r"}) {
        // A line mbrola refuses (no duration, a lone pitch value) is its to report.
        EXPECT_EQ(WithinMbrolaLimits(line, "\n"), line) << line;
    }
    EXPECT_EQ(WithinMbrolaLimits("a 1000 50 1000", "\n"), "a 1000 50 1000");
}

TEST(WithinMbrolaLimits, ALongPhoneBecomesPiecesOfTheSameLengthInAll) {
    const std::vector<std::string> pieces = linesOf(WithinMbrolaLimits("a 32000 50 94.5", "\n"));
    ASSERT_EQ(pieces.size(), 32u);
    double total = 0;
    for (const std::string& piece : pieces) {
        EXPECT_EQ(piece.substr(0, 2), "a ");
        EXPECT_LE(durationOf(piece), fvdsp::kLongestPieceMs);
        total += durationOf(piece);
    }
    EXPECT_EQ(total, 32000);
    // The point half way through the phone opens the seventeenth piece.
    EXPECT_EQ(pieces[16], "a 1000 0 94.5");
    EXPECT_EQ(pieces[15], "a 1000");

    // Uneven lengths keep whole milliseconds and the total.
    const std::vector<std::string> uneven = linesOf(WithinMbrolaLimits("_ 2500", "\n"));
    ASSERT_EQ(uneven.size(), 3u);
    EXPECT_EQ(durationOf(uneven[0]) + durationOf(uneven[1]) + durationOf(uneven[2]), 2500);
}

TEST(WithinMbrolaLimits, PitchPointsLandInTheirPieceAtTheSameTime) {
    const std::vector<std::string> pieces =
        linesOf(WithinMbrolaLimits("e 3000 0 100 10 110 90 130 100 140", "\n"));
    ASSERT_EQ(pieces.size(), 3u);
    // 0 % and 10 % of 3000 ms are 0 and 300 ms into the first piece; 90 % is
    // 700 ms into the last; its end stays its end.
    EXPECT_EQ(pieces[0], "e 1000 0 100 30 110");
    EXPECT_EQ(pieces[1], "e 1000");
    EXPECT_EQ(pieces[2], "e 1000 70 130 100 140");
}

TEST(WithinMbrolaLimits, ValuesMbrolaFailsOnAreBroughtWithinRange) {
    // A negative pitch corrupts mbrola's memory; a huge one makes it give up.
    EXPECT_EQ(WithinMbrolaLimits("a 100 50 -120", "\n"), "a 100 50 1");
    EXPECT_EQ(WithinMbrolaLimits("a 100 50 99999", "\n"), "a 100 50 1000");
    EXPECT_EQ(WithinMbrolaLimits("a 100 50 nan", "\n"), "a 100 50 1");
    EXPECT_EQ(WithinMbrolaLimits("a 100 inf 120", "\n"), "a 100 100 120");
    // Durations that are not a number, or below zero, last nothing; an
    // endless one lasts the longest a phone may.
    EXPECT_EQ(WithinMbrolaLimits("a nan 50 120", "\n"), "a 0 50 120");
    EXPECT_EQ(WithinMbrolaLimits("a -1e9", "\n"), "a 0");
    EXPECT_EQ(linesOf(WithinMbrolaLimits("a inf", "\n")).size(), size_t(fvdsp::kMostPieces));
    // Numbers are read the way mbrola reads them, whatever the locale.
    EXPECT_EQ(WithinMbrolaLimits("a 1.5e3", "\n"), "a 750\na 750");
}

}  // namespace

TEST(PhoneSamples, CutsEachPhoneToWholeSamplesAsMbrolaDoes) {
    using fvdsp::PhoneSamples;
    // 532.8 + 1627.2 + 1284 + 1243.2 samples, each cut down: mbrola then
    // holds back 95 of the 4687.2 the durations add up to.
    EXPECT_EQ(PhoneSamples("_ 33.3\na 101.7 50 130\nk 80.25\no 77.7 20 110\n", 16000), 4686);
    EXPECT_EQ(PhoneSamples("; a comment\n#\n\n_ 1.125", 16000), 18);
    EXPECT_EQ(PhoneSamples("", 16000), 0);
    // Lines mbrola may read otherwise leave the count unknown.
    EXPECT_EQ(PhoneSamples("a 100\na xx\n", 16000), -1);
    EXPECT_EQ(PhoneSamples("a 100 50\n", 16000), -1);
    EXPECT_EQ(PhoneSamples("a 5000\n", 16000), -1);
}
