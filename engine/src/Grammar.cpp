// Grammar tags and vowel quality. The rules that resolve ambiguous tags and
// open or close the stressed e and o come with the lexicon's rule tables;
// until then both stages leave the pass as the normaliser made it.
#include "Grammar.h"

void DisambiguateTags() {}

void AdjustVowelQuality() {}
