// Speaking aloud as a program with a window does: the engine's end callback,
// the wait on its notification descriptor, and Ctrl+C.
#pragma once

#include <cstdint>
#include <functional>

#include "falavoz32.h"

// From here on, Ctrl+C (or SIGTERM) while speaking stops the speech and the
// program ends the ordinary way, so that the engine and its voice close
// cleanly. A second Ctrl+C does not wait any longer.
void StopSpeechOnInterrupt();

// The engine's end callback, to hand to TTS_Init.
void FV_CALL OnSpeechEnd(int32_t reserved1, int32_t result, int32_t reserved2);

// How speaking aloud ended.
struct AloudEnd {
    bool interrupted = false;
    int result = 0;  // the engine's, when not interrupted
};

// Starts speech or singing through start (given 1 for the asynchronous
// chain, else 0) and sees it to its end.
AloudEnd RunAloud(const std::function<int32_t(uint8_t asynchronous)>& start, bool asynchronous);
