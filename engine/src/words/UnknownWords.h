// A word that neither the lexicon nor the analyser knows. The letter rules
// read it, helped by what its spelling implies: the open vowel of endings
// such as -ela and -oide, the full i of -ia and -io, the spoken u of "qua",
// the glide of -em and -am, a known word after a prefix such as "anti", and
// the adjective inside an adverb in -mente.
#pragma once

#include <string>

// The phonetic string of a lower-case word, token tokenIndex of Tokens, in
// the notation of TranscribeWord, which reads every word this does not help
// with (and numbers, symbols, spelled words).
std::string ReadUnknownWord(const std::string& lowerText, bool numberBefore, int tokenIndex);
