// The text the program is given, as the engine reads it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Options.h"

// The text to speak in Windows-1252 with CR LF line ends: the words of the
// command line, the file of -f or the standard input. nullopt when the file
// cannot be read.
std::optional<std::string> ReadInput(const Options& options);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);
