// The user's exception dictionary. Empty until dictionaries can be loaded.
#include "Dict.h"

bool DictIsEmpty() { return true; }

bool DictLookup(const std::string&, std::string&) { return false; }

void DictClear() {}
