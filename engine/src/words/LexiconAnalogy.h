// The stressed e or o of a word outside the lexicon, open or closed as in the
// lexicon words that end like it: "bagatela" as "janela", "tabefe" as
// "cafofe". The lexicon's readings carry what its builder learned of the
// language's endings; this reads it back for the words it lacks.
#pragma once

#include <optional>
#include <string>

// Whether the stressed e or o at `vowel` (0-based) of a lower-case word
// without written accents is open, by the lexicon words that share the
// longest ending with it, from that vowel on at least; none when fewer than
// two such words tell.
std::optional<bool> OpenByAnalogy(const std::string& word, size_t vowel);
