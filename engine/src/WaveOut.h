// The wave-out device: plays rendered pieces.
#pragma once

#include "AudioBuffer.h"

// Queues the buffer (which the device then owns) and, when synchronous,
// waits until it has played. A result code.
int PlayBuffer(AudioBuffer& buffer, bool asynchronous);
int PauseDevice();
int ResumeDevice();
int ResetDevice();
