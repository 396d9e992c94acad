// TFVAUX on POSIX: a non-blocking pipe. A completion is one byte written to
// it; taking the completions empties it.
#include "voice/frmAux.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "falavoz32.h"

namespace {

// Created when the library loads, as the hidden form is. The descriptors
// stay open until the process ends, because a device thread may still post.
struct AuxPipe {
    int fds[2] = {-1, -1};
    AuxPipe() {
        if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) fds[0] = fds[1] = -1;
    }
} auxPipe;

}  // namespace

bool AuxFormReady() { return auxPipe.fds[0] >= 0; }

int AuxNotificationFd() { return auxPipe.fds[0]; }

void PostWaveDone() {
    const char done = 1;
    if (auxPipe.fds[1] < 0) return;
    while (write(auxPipe.fds[1], &done, 1) < 0 && errno == EINTR) {
    }
}

bool TakeWaveDone() {
    if (auxPipe.fds[0] < 0) return false;
    bool taken = false;
    char drain[64];
    for (;;) {
        ssize_t n = read(auxPipe.fds[0], drain, sizeof drain);
        if (n > 0) {
            taken = true;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return taken;
    }
}

void WaitForWaveDone() {
    if (auxPipe.fds[0] < 0) return;
    while (!TakeWaveDone()) {
        pollfd readable = {auxPipe.fds[0], POLLIN, 0};
        poll(&readable, 1, -1);  // a signal only makes it look again
    }
}

extern "C" FV_EXPORT int32_t FV_CALL TTS_GetNotificationFd(void) { return AuxNotificationFd(); }
