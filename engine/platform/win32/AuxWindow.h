// The window of the hidden form TFVAUX, to which the wave-out device posts
// its completions.
#pragma once

#include <windows.h>

// Creates the window on the calling thread the first time; nullptr when the
// system refused it.
HWND AuxWindow();
