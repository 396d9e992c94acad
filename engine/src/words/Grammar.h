// Grammar tags and vowel quality: the stage between the normaliser and the
// prosody, run once per pass.
#pragma once

// Replaces each ambiguous tag of the chunk by the first tag rule whose left
// and right contexts match the neighbours' tags. The driver runs it twice, so
// that tags resolved in the first run serve as context in the second.
void DisambiguateTags();
// Opens or closes the stressed e and o of each word of the pass by its vowel
// class, and silences the plural ending of a class-10 word after "1".
void AdjustVowelQuality();
