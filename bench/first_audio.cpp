// Time to the first audio of an asynchronous TTS_PlayText: from the call to
// its return, which comes once the first piece is rendered and queued on the
// device. Prints one time in milliseconds per run.
//
//   first_audio RUNS TEXT
//
// The audio goes to the ALSA device FALAVOZ_ALSA_DEVICE names ("null" in
// the benchmark), and the speech is stopped after each run.
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "falavoz32.h"

namespace {

void FV_CALL Ended(int32_t, int32_t, int32_t) {}

// Lets the engine finish what a stop leaves, as a host's loop would.
void SettleEngine() {
    const int descriptor = TTS_GetNotificationFd();
    pollfd ready = {descriptor, POLLIN, 0};
    while (descriptor >= 0 && poll(&ready, 1, 50) > 0) WaveCallback(0, 0, 0, 957, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: first_audio RUNS TEXT\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    if (int result = TTS_Init(0, Ended, 0); result != 0) {
        std::fprintf(stderr, "TTS_Init: %d\n", result);
        return 1;
    }
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const int result = TTS_PlayText(argv[2], 1);
        const auto queued = std::chrono::steady_clock::now();
        TTS_StopText();
        SettleEngine();
        if (result != 0) {
            std::fprintf(stderr, "TTS_PlayText: %d\n", result);
            return 1;
        }
        std::printf("%.3f\n", std::chrono::duration<double, std::milli>(queued - start).count());
    }
    return 0;
}
