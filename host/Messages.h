// The Portuguese message for each result code of the engine, as the reader
// shows it in its error box and the command line prints it.
#pragma once

#include <string>

// UTF-8; empty for success and for a code the engine does not define.
std::string MessageForCode(int code);
