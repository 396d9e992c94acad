// The number readers: cardinals and ordinals read out as phonetic strings (a blank before each word, "-"
// before each syllable, "`" before the stressed vowel, inline control sequences).
#pragma once

#include <string>

// How ReadNumber reads its digits.
enum NumberReadingMode : int {
    kReadDigitByDigit = 1,
    kReadCardinal = 2,
};

// A cardinal of up to 12 digits; "." thousands separators are allowed and
// any other character that is not a digit is ignored. Longer numbers read
// as nothing.
std::string ReadCardinal(const std::string& digits, bool masculine);
// kReadDigitByDigit spells the characters one by one; any other mode reads a
// cardinal.
std::string ReadNumber(const std::string& digits, int mode, bool masculine);
// An ordinal ("1" masculine reads primeiro); four digits or more read as a
// cardinal followed by "ordinal".
std::string ReadOrdinal(const std::string& digits, bool masculine);
// The value of a Roman numeral written in capitals as Roman numerals are
// written ("XIV", "MCMXC"), from 1 to 3999; 0 for anything else ("MIL",
// "VIVI", "IIII", "xiv").
int RomanValue(const std::string& numeral);
