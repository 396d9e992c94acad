// Turns a phonetic string into phones appended to PhoneList.
#pragma once

#include <string>

// Returns 0, or -1 when PhoneList became full. count is the index of the phone
// being prepared and carries over between tokens of one pass.
int ReadPhoneticString(const std::string& phonetic, int tokenIndex, int& count);

// The stress marks of phonetic strings: "'" in the lexicon, "`" in readings
// made by rule.
bool IsStressMark(char c);
std::string WithoutStressMarks(std::string phonetic);
