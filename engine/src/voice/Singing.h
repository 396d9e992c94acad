// Singing: a melody of phoneme lines goes to the diphone library unchanged,
// piece by piece, and is played like speech. Lines beginning with ";"
// separate the pieces.
#pragma once

#include <cstdint>
#include <string>

// TTS_PlayMusic: source is the melody itself (sourceIsText != 0) or the name
// of a file of melody lines. A result code.
int PlayMusic(const char* source, int32_t sourceIsText, bool asynchronous);

// Where the next melody line starts in Engine.text.
extern size_t MelodyPosition;
