// A word that no lexicon or number reader covers, to a phonetic string:
// spelled out letter by letter, or read by the letter rules with a stress mark.
#pragma once

#include <string>
#include <vector>

// What reading a word asks of its token and the tokens beside it. A digit
// token reads each of its segments as a word; these are worked out once for
// the token, so that no segment walks the whole token again.
struct WordContext {
    int tokenIndex = -1;
    bool allCaps = false;         // the token as written is in capitals
    bool longNumber = false;      // the token is a number of more than one character
    bool opensWithMinus = false;  // the token starts with "-" and a digit
    bool isWord = true;           // IsWordToken of the token, and of its neighbours
    bool wordBefore = true;
    bool wordAfter = true;
    bool numericBefore = false;  // the neighbours' texts are numbers
    bool numericAfter = false;
};

WordContext ContextOfToken(int tokenIndex);

// The phonetic string of a lower-case word, token tokenIndex of Tokens.
// numberBefore: the previous token was read as a number. hyphenPause: a "-"
// is read as a pause. Besides the result, a spelled word sets its token's
// phonetic flag (and phraseMark 1 when it is made of letters only), and a
// hyphen read as a pause sets the punct of the token before to '-'.
std::string TranscribeWord(const std::string& lowerText, bool numberBefore, bool hyphenPause, int tokenIndex);
std::string TranscribeWord(const std::string& lowerText, bool numberBefore, bool hyphenPause,
                           const WordContext& context);

// The 1-based position of the letter that carries the stress of a word read
// by rule; 0 when none is found.
int StressPosition(const std::string& word);

// Whether TranscribeWord spells the word out letter by letter: dotted
// initials, a short upper-case word (any upper-case word when option 1 is
// on), or letters that cannot be read as a syllable.
bool IsSpelledOut(const std::string& word, int tokenIndex);
bool IsSpelledOut(const std::string& word, const WordContext& context);

// The letter walk of TranscribeWord for a word of letters that it does not
// spell out, with, for each character of the result (stress marks too), the
// 1-based position of the letter it was read from.
std::string ReadByRuleWithLetters(const std::string& word, std::vector<int>& letterOf);
