// The engine's auxiliary form TFVAUX, which receives the audio device's
// completions. On this platform it is a notification descriptor: it becomes
// readable when a queued buffer has played, and the host, polling it, calls
// WaveCallback(0, 0, 0, 957, 0) on its own thread.
#pragma once

// The descriptor, -1 when the system could not give one.
int AuxNotificationFd();
// Posts one completion. Any thread; safe in a signal handler.
void PostWaveDone();
// Takes the completions posted so far; false when there were none.
bool TakeWaveDone();
// Waits until a completion has been posted, and takes it.
void WaitForWaveDone();
