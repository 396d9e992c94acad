// The input parser: cuts the engine's input text into chunks of tokens and
// reads the control sequences and phonetic sections met on the way.
#pragma once

#include <string>

// Fills Tokens with the next chunk from pos (1-based) up to textEnd; returns
// true when the text is finished. pos is left where the next chunk begins.
bool ParseChunk(int textEnd, int& pos);

// Reads a control sequence whose control character stands at pos. On success
// sets value and moves pos to the blank that ends the sequence.
bool ParseCommand(const std::string& text, int& pos, double& value);
