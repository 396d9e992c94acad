// Speech rendered into WAV files instead of played.
#pragma once

#include <cstdint>
#include <string>

#include "core/EngineState.h"

// The cursor of piecewise rendering; it survives between calls so that
// piece mode 2 can go on with the text of an earlier call.
extern UtteranceCursor RenderCursor;

int GenPcm(const char* source, const char* outputFile, int32_t sourceIsFile, int32_t pieceMode, int32_t bits);

// The 44-byte header of a mono PCM WAV file holding dataBytes of samples.
std::string WavHeader(int32_t sampleRate, int32_t bits, uint32_t dataBytes);
// 16-bit samples to 8-bit unsigned ones, in place; returns the new length.
size_t ConvertTo8Bit(uint8_t* data, size_t length);
