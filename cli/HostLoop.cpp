#include "HostLoop.h"

#include <csignal>

#include "System.h"

namespace {

// Set while a synchronous call waits inside the engine: then only the
// interrupt can stop it, and the engine allows TTS_StopText there.
volatile std::sig_atomic_t waitingInEngine = 0;

void StopSpeechIfWaitingInEngine() {
    if (waitingInEngine) TTS_StopText();
}

// The end of asynchronous speech or singing, as the engine reports it.
bool speechEnded = false;
int speechResult = 0;

// What a host program's message loop does: waits on the engine's
// notification descriptor and hands each completion back to the engine,
// until the engine reports the end. An interrupt stops the speech from here.
AloudEnd PumpUntilTheEnd() {
    {
        InterruptsHeldBack held;
        const int descriptor = TTS_GetNotificationFd();
        while (!speechEnded && !Interrupted())
            if (WaitUntilReadable(descriptor)) WaveCallback(0, 0, 0, 957, 0);
        if (Interrupted() && !speechEnded) TTS_StopText();  // ends the chain at once, without the callback
    }
    return {Interrupted(), speechResult};
}

}  // namespace

void StopSpeechOnInterrupt() { CatchInterrupts(StopSpeechIfWaitingInEngine); }

void FV_CALL OnSpeechEnd(int32_t, int32_t result, int32_t) {
    speechEnded = true;
    speechResult = result;
}

AloudEnd RunAloud(const std::function<int32_t(uint8_t asynchronous)>& start, bool asynchronous) {
    if (Interrupted()) return {true, 0};
    waitingInEngine = !asynchronous;
    const int result = start(asynchronous ? 1 : 0);
    waitingInEngine = 0;
    // An asynchronous start that failed has ended already.
    if (asynchronous && result == 0) return PumpUntilTheEnd();
    return {Interrupted(), result};
}
