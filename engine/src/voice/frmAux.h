// The engine's auxiliary form TFVAUX, which receives the audio device's
// completions. On POSIX it is a notification descriptor: it becomes readable
// when a queued buffer has played, and the host, polling it, calls
// WaveCallback(0, 0, 0, 957, 0) on its own thread. On Windows it is a hidden
// window whose window procedure calls WaveCallback itself.
#pragma once

// Whether the form can take completions (on Windows its window is made
// here, on the thread that plays).
bool AuxFormReady();
// The descriptor; -1 when the system could not give one, or where the form
// is a window.
int AuxNotificationFd();
// Posts one completion. On POSIX any thread, and safe in a signal handler.
void PostWaveDone();
// Takes the completions posted so far; false when there were none.
bool TakeWaveDone();
// Waits until a completion has been posted, and takes it. On Windows the
// wait dispatches the thread's messages, so the window procedure may take
// the completion first.
void WaitForWaveDone();
