// The digit-token expander: reads a token that holds a digit or a point
// (numbers, dates, clock times, durations, ranges and telephone numbers,
// ordinals, percentages, quantities with units, web and e-mail addresses).
#pragma once

#include <string>

// The phonetic string of the token text (as written; letters may be in any
// case). masculine is the gender chosen for a plain number; numberBefore
// says that the token before was read as a number.
std::string ExpandDigitToken(const std::string& text, int tokenIndex, bool numberBefore, bool masculine);

// Whether next, written after a blank, goes on with the number that ends
// written: "000" after "1" or "R$ 1" ("1 000", thousands grouped by blanks).
bool ContinuesNumber(const std::string& written, const std::string& next);
