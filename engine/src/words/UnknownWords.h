// A word that neither the lexicon nor the analyser knows. The letter rules
// read it, helped by what its spelling implies: the open vowel of endings
// such as -ela and -oide, the full i of -ia and -io, the spoken u of "qua",
// the glide of -em and -am, a known word after a prefix such as "anti", and
// the adjective inside an adverb in -mente.
#pragma once

#include <string>
#include <vector>

// The phonetic string of a lower-case word, token tokenIndex of Tokens, in
// the notation of TranscribeWord, which reads every word this does not help
// with (and numbers, symbols, spelled words).
std::string ReadUnknownWord(const std::string& lowerText, bool numberBefore, int tokenIndex);

// The adjective inside an adverb in -mente without its last five letters
// ("politica", "amavel"), or the base of another derived word, with the
// written accent that its ending implies ("política", "amável"); empty when
// the ending implies none or the word has an accent.
std::string AdjectiveWithAccent(const std::string& base);

// A word read phone by phone by the letter rules with what its spelling
// implies, as ReadUnknownWord reads a word in which it finds no prefix or
// adverb, but with the stressed e and o as written: the language data
// generator starts from it and decides those itself.
struct RuleReading {
    std::string phones;        // phoneme codes, one a phone, without marks
    std::vector<int> letters;  // for each phone, the 0-based position of its letter in the word
    int stressedPhone = -1;    // -1 when the rules find no stress
};

// Empty phones for a word without a vowel or one that TranscribeWord spells out.
RuleReading ReadByRulesWithLetters(const std::string& lowerText);
