// The wave-out device: plays rendered pieces one at a time, and turns the end
// of each into the next step of the speaking or singing chain.
#pragma once

#include "voice/AudioBuffer.h"

class AudioDevice;

// Opens the device at PlaybackRate and queues the buffer, which the device
// then owns until it is released. Asynchronous: returns at once, and the
// completion continues the chain. Synchronous: waits until the buffer has
// played. A result code; on failure the buffer is already freed.
int PlayBuffer(AudioBuffer& buffer, bool asynchronous);
int PauseDevice();
int ResumeDevice();
// Resets the device, which gives the playing buffer back at once. An
// asynchronous chain is ended here (its continuation sees StopRequested), so
// the engine is ready for the next text when this returns. During a
// synchronous wait it may be called from a signal handler.
int ResetDevice();
// The entry of a completion taken from the notification descriptor: releases
// the buffer and runs the speaking or singing continuation. Does nothing when
// no completion is pending.
void HandleWaveOutDone();
// Whether the system has an output device (TTS_Init's device check).
bool OutputDeviceInstalled();

// The device the engine plays on: the system's, unless a test has put its
// own in place (nullptr puts the system's back).
AudioDevice& CurrentAudioDevice();
void UseAudioDevice(AudioDevice* device);
