// What the module says for a character or a key the server names.
#pragma once

#include <string>

// A character (UTF-8) spelled out, in Windows-1252 for the engine.
std::string SpokenCharacter(const std::string& character);
// A key as speech-dispatcher names it ("a", "space", "shift_a", "kp-enter"),
// in words for the engine.
std::string SpokenKey(const std::string& key);
