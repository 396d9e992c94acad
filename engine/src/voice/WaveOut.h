// The wave-out device: plays rendered pieces one at a time, and hands the end
// of each to the continuation the chain that queued it gave.
#pragma once

#include "voice/AudioBuffer.h"

class AudioDevice;

// What runs when an asynchronously queued buffer is done: 0 when it played
// (or was reset), else the device's failure while playing.
using PlayedContinuation = void (*)(int playError);

// Opens the device at PlaybackRate and queues the buffer, which the device
// then owns until it is released. Asynchronous: returns at once, and
// whenPlayed (when given) runs on the completion. Synchronous: waits until
// the buffer has played. A result code; on failure the buffer is already
// freed.
int PlayBuffer(AudioBuffer& buffer, bool asynchronous, PlayedContinuation whenPlayed = nullptr);
int PauseDevice();
int ResumeDevice();
// Resets the device, which gives the playing buffer back at once. An
// asynchronous chain is ended here (its continuation sees StopRequested), so
// the engine is ready for the next text when this returns. During a
// synchronous wait it may be called from a signal handler.
int ResetDevice();
// The entry of a completion taken from the notification descriptor: releases
// the buffer and runs its continuation. Does nothing when no completion is
// pending.
void HandleWaveOutDone();
// Whether the system has an output device (TTS_Init's device check).
bool OutputDeviceInstalled();

// The device the engine plays on: the system's, unless a test has put its
// own in place (nullptr puts the system's back).
AudioDevice& CurrentAudioDevice();
void UseAudioDevice(AudioDevice* device);
