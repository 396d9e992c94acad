// Feeds arbitrary bytes to the engine as a melody: TTS_PlayMusic sings them
// as text or from a file, at once or asynchronously, against the recording
// diphone double and a test device that plays each piece the moment it
// starts. The singing must end, whatever the lines say.
//
// The input: its first byte picks the options, as for speech; in its second,
// bit 0 gives the melody as a file, bit 1 sings it asynchronously; the rest
// is the melody.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ClockedDevice.h"
#include "FuzzSupport.h"
#include "core/EngineState.h"
#include "falavoz32.h"

namespace {

// The double gives as many samples as the lines ask for, so a melody can
// ask for days of silence: the work grows with them, which is no fault. It
// answers this many reads of an input (a few minutes of audio), then none.
constexpr int kReadsAnswered = 256;

// What a host's message loop does until the asynchronous singing ends. The
// device has played each piece as it started, so its completion is waiting.
void PumpUntilSilent() {
    while (Engine.busy)
        if (!Pump()) fuzz::Finding("asynchronous singing waits for a piece that has played");
    while (Pump()) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RecordingDiphones& voice = []() -> RecordingDiphones& {
        RecordingDiphones& v = fuzz::StartedEngine();
        v.onRead = [&v] {
            if (v.readCalls > kReadsAnswered) v.pendingSamples = 0;
        };
        return v;
    }();
    static ClockedDevice* device = [] {
        auto* made = new ClockedDevice();  // lives as long as the fuzzer
        made->playInstantly = true;
        return made;
    }();
    static const std::string path = fuzz::PathIn("melody.pho");
    if (size < 2) return 0;

    fuzz::ApplyOptions(data[0]);
    const bool fromFile = data[1] & 1;
    const bool asynchronous = data[1] & 2;
    std::string source;
    if (fromFile) {
        fuzz::WriteBytes(path, data + 2, size - 2);
        source = path;
    } else {
        source = fuzz::CText(data + 2, size - 2);
    }
    const int result = TTS_PlayMusic(source.c_str(), fromFile ? 0 : 1, asynchronous ? 1 : 0);
    if (asynchronous && result == FV_OK) PumpUntilSilent();
    if (Engine.busy || Engine.musicMode) fuzz::Finding("the singing did not end");

    device->pieces.clear();
    voice.Clear();
    return 0;
}
