// Which character of one string another string's characters came from, for
// readings that later stages edit after the letter walk made them.
#pragma once

#include <string>
#include <vector>

// For each character of `to`, the index in `from` of the character it stands
// for, by the fewest edits that turn `from` into `to`: a kept or replaced
// character stands for its original, an inserted one for the character
// before it (at the start, for the first one). All -1 when `from` is empty.
std::vector<int> AlignCharacters(const std::string& from, const std::string& to);
