// The ALSA side of the wave-out device.
#pragma once

// The engine's code for a failure of snd_pcm_open (a negative errno):
// -9 held by another program, -13 no such device, -15 no memory, else -10.
int AlsaOpenErrorCode(int error);
