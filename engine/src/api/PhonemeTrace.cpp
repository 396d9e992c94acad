// Phoneme line tracing: a diphone library that shows every text written to
// it to the host, or only the phones the lines name, and passes it on to the
// real library unless told not to.
#include <string>

#include "core/EngineState.h"
#include "voice/MBrola.h"

namespace {

struct Trace {
    PhonemeTraceCallback callback = nullptr;
    void* context = nullptr;
    bool synthesise = true;
    bool phones = false;  // the host is told the phones instead of the lines
    // The library in place before tracing, given back when tracing ends.
    const DiphoneLibrary* inner = nullptr;
} trace;

int TracedInit(const char* path) { return trace.synthesise ? trace.inner->init(path) : 0; }
void TracedClose() {
    if (trace.synthesise) trace.inner->close();
}
void TracedSetVolume(float ratio) {
    if (trace.synthesise) trace.inner->setVolume(ratio);
}
int TracedWrite(const char* lines) {
    // The callback may end the tracing; the lines in hand still go where
    // they were going.
    const Trace current = trace;
    if (current.callback && !current.phones) current.callback(lines, current.context);
    return current.synthesise ? current.inner->write(lines) : 0;
}
int TracedFlush() { return trace.synthesise ? trace.inner->flush() : 0; }
int TracedRead(short* buffer, int wanted) { return trace.synthesise ? trace.inner->read(buffer, wanted) : 0; }
void TracedReset() {
    if (trace.synthesise) trace.inner->reset();
}
int TracedLastError(char* buffer, int size) {
    if (trace.synthesise) return trace.inner->lastErrorStr(buffer, size);
    if (size > 0) buffer[0] = '\0';
    return 0;
}

// One channel: the lines are shown in the order they are spoken.
const DiphoneLibrary kTracedLibrary = {TracedInit, TracedClose, TracedSetVolume, TracedWrite, TracedFlush,
                                       TracedRead, TracedReset, TracedLastError, nullptr,     nullptr};

void TracedPhone(const std::string& symbol) {
    if (trace.callback) trace.callback(symbol.c_str(), trace.context);
}

}  // namespace

extern "C" FV_EXPORT int32_t FV_CALL TTS_SetPhonemeTrace(PhonemeTraceCallback callback, void* context,
                                                         int32_t mode) {
    bool tracing = Diphones().write == TracedWrite;
    if (!callback) {
        if (tracing) UseDiphoneLibrary(*trace.inner);
        ListenToRenderedPhones(nullptr);
        trace = Trace{};
        return kOk;
    }
    if (!tracing) trace.inner = &Diphones();
    trace.callback = callback;
    trace.context = context;
    trace.synthesise = (mode & FV_TRACE_SYNTHESISE) != 0;
    trace.phones = (mode & FV_TRACE_PHONES) != 0;
    UseDiphoneLibrary(kTracedLibrary);
    ListenToRenderedPhones(trace.phones ? TracedPhone : nullptr);
    return kOk;
}
