// The spelling the letter rules read for a word outside the lexicon: with
// the accents and diaeresis that the written word leaves out, where its
// ending, its letters or the lexicon's words that end like it make them near
// certain ("janela" as "janéla", "academia" as "academía", "quando" as
// "qüando").
#pragma once

#include <string>

// The word (lower case, Windows-1252) with those marks; its length is the
// same but for the r doubled after l or s. Without guessOpenVowel the
// stressed e and o stay as written, for the language data generator, which
// learns them itself.
std::string WithImpliedMarks(const std::string& word, bool guessOpenVowel = true);
