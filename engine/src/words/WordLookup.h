// What the engine knows of one word: the dictionary, the lexicon, then the
// morphological analyser (not for a word spelled out, see IsSpelledOut).
#pragma once

#include <string>

#include "words/Data.h"

// Token tokenIndex takes the tag, vowel class, subclass and person found (an
// index outside the table gives the phonetic string alone). An empty phonetic
// string leaves the word to the letter rules. Returns the entry found: the
// word's own, or for an analysed word its base's; an empty entry for none.
TIPO_REG_PAL WordLookup(const std::string& word, int tokenIndex, std::string& phonetic);
