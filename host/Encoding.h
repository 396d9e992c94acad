// The engine speaks Windows-1252; the programs around it speak UTF-8. Every
// host converts at its edge with these two functions.
#pragma once

#include <string>

// Text for the engine. Typographic quotes, dashes and the ellipsis become
// their plain forms, so the engine reads them as punctuation (a dash between
// digits stays the code page's dash, which the engine reads as a range); a letter
// followed by a combining accent becomes the accented letter; a character
// the code page cannot hold (an emoji, a Greek letter) is dropped. A byte
// that does not start valid UTF-8 is taken as Windows-1252 already.
std::string Utf8ToCp1252(const std::string& text);
std::string Cp1252ToUtf8(const std::string& text);
// Appends one code point as UTF-8; a code past Unicode adds nothing.
void AppendUtf8(std::string& out, char32_t code);
