// The morphological analyser: transcribes a word the lexicon lacks from a
// lexicon word it is built on, through a prefix or a suffix rule.
#pragma once

#include <string>

#include "words/Data.h"

// When word begins with in/im, re, des or em/en and the rest is a lexicon
// word, replaces word by that rest, puts the rest's entry in entry and
// returns the prefix's phonetic form. Otherwise returns "" and leaves word
// alone.
std::string SplitPrefix(std::string& word, TIPO_REG_PAL& entry);

// The phonetic string of a word outside the lexicon, or "" when no analysis
// succeeds. On success token tokenIndex takes the grammar tag, vowel class,
// subclass and person of the analysis (an index outside the table only
// gives the string), and base the entry of the word it was built on (an
// empty entry after a failure).
std::string AnalyseWord(const std::string& word, int tokenIndex, TIPO_REG_PAL& base);
std::string AnalyseWord(const std::string& word, int tokenIndex);

// Whether the word ends in "mente", in any case.
bool EndsInMente(const std::string& word);
