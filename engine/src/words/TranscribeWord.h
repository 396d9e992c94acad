// A word that no lexicon or number reader covers, to a phonetic string:
// spelled out letter by letter, or read by the letter rules with a stress mark.
#pragma once

#include <string>
#include <vector>

// The phonetic string of a lower-case word, token tokenIndex of Tokens.
// numberBefore: the previous token was read as a number. hyphenPause: a "-"
// is read as a pause. Besides the result, a spelled word sets its token's
// phonetic flag (and phraseMark 1 when it is made of letters only), and a
// hyphen read as a pause sets the punct of the token before to '-'.
std::string TranscribeWord(const std::string& lowerText, bool numberBefore, bool hyphenPause, int tokenIndex);

// The 1-based position of the letter that carries the stress of a word read
// by rule; 0 when none is found.
int StressPosition(const std::string& word);

// Whether TranscribeWord spells the word out letter by letter: dotted
// initials, a short upper-case word (any upper-case word when option 1 is
// on), or letters that cannot be read as a syllable.
bool IsSpelledOut(const std::string& word, int tokenIndex);

// The letter walk of TranscribeWord for a word of letters that it does not
// spell out, with, for each character of the result (stress marks too), the
// 1-based position of the letter it was read from.
std::string ReadByRuleWithLetters(const std::string& word, std::vector<int>& letterOf);
