// The engine speaks Windows-1252; the terminal speaks UTF-8.
#pragma once

#include <string>

std::string Utf8ToCp1252(const std::string& text);
std::string Cp1252ToUtf8(const std::string& text);
