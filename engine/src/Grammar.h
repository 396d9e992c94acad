// Grammar tags and vowel quality.
#pragma once

void DisambiguateTags();
void AdjustVowelQuality();
