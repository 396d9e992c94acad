// The user's exception dictionary.
#pragma once

#include <string>

bool DictIsEmpty();
// Exact lookup of a lower-case word: the whole entry "word<TAB>transcription".
bool DictLookup(const std::string& word, std::string& entry);
void DictClear();
