// Letter-to-phoneme rules of Brazilian Portuguese: one letter of a word, seen
// in its context, to phoneme codes. The fallback for words that neither the
// lexicon nor the user's dictionary knows.
#pragma once

#include <string>

// Transcribes the letter at position (1-based) of a lower-case word into
// phonemes (overwritten). A rule may consume letters after the current one;
// on return position points at the last letter consumed, never past the end
// of the word. Letters without rules here (b d f j k p v, digits, symbols)
// and positions outside the word give no phonemes.
void TranscribeLetter(const std::string& word, int& position, std::string& phonemes);

// The letters TranscribeLetter has rules for.
bool IsRuleLetter(char c);
