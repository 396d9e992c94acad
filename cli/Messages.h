// The reader's Portuguese message for each result code of the engine.
#pragma once

#include <string>

// UTF-8; a generic message for a code without one.
std::string MessageForCode(int code);
