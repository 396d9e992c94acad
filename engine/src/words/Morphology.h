// The morphological analyser: transcribes a word the lexicon lacks from a
// lexicon word it is built on, through a prefix or a suffix rule.
#pragma once

#include <string>

// When word begins with in/im, re, des or em/en and the rest is a lexicon
// word, replaces word by that rest and returns the prefix's phonetic form;
// LexiconRecord then holds the rest's entry. Otherwise returns "" and leaves
// word alone.
std::string SplitPrefix(std::string& word);

// The phonetic string of a word outside the lexicon, or "" when no analysis
// succeeds. On success token tokenIndex takes the grammar tag, vowel class,
// subclass and person of the analysis (an index outside the table only
// gives the string).
std::string AnalyseWord(const std::string& word, int tokenIndex);

// Whether the word ends in "mente", in any case.
bool EndsInMente(const std::string& word);
