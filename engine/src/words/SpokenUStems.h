// The stems in which the u after q or g is spoken before e and i too
// ("frequente", "linguística"). Their one home is data/lexicon/spoken_u.txt;
// the build turns that file into the source of this list.
#pragma once

#include <span>

// The stems, in UTF-8 and without written accents, in the order of the file.
std::span<const char* const> SpokenUStemsUtf8();
