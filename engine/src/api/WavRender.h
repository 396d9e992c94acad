// Speech rendered into WAV files instead of played.
#pragma once

#include <cstdint>
#include <string>

#include "core/EngineState.h"
#include "falavoz32.h"

// The cursor of piecewise rendering; it survives between calls so that
// piece mode 2 can go on with the text of an earlier call.
extern UtteranceCursor RenderCursor;

// The most sample bytes a WAV file can describe: its RIFF size, 36 bytes
// more, must fit in 32 bits (kept even, a whole number of 16-bit samples).
constexpr uint64_t kWavDataLimit = (UINT32_MAX - 36) & ~uint64_t{1};
// Whether a file of dataBytes sample bytes stays within the limit in force.
bool WavDataFits(uint64_t dataBytes);
// Lowers the limit for a test, which cannot write 4 GiB; returns the one
// it replaces.
uint64_t SetWavDataLimitForTesting(uint64_t bytes);

int GenPcm(const char* source, const char* outputFile, int32_t sourceIsFile, int32_t pieceMode, int32_t bits);
int GenPcmToDescriptor(const char* source, int32_t descriptor, int32_t sourceIsFile, int32_t bits);
void SetRenderProgress(RenderProgressCallback callback, void* context);

// The 44-byte header of a mono PCM WAV file holding dataBytes of samples.
std::string WavHeader(int32_t sampleRate, int32_t bits, uint32_t dataBytes);
// 16-bit samples to 8-bit unsigned ones, in place; returns the new length.
size_t ConvertTo8Bit(uint8_t* data, size_t length);
