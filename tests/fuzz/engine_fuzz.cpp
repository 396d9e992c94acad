// Feeds arbitrary bytes to the engine as text: the phone transcription and a
// whole WAV rendering (against the recording diphone double, so no mbrola
// runs). The engine must survive anything: no crash, no hang, no read
// outside its tables.
#include <cstddef>
#include <cstdint>
#include <string>

#include "TestSupport.h"
#include "core/EngineState.h"
#include "falavoz32.h"

namespace {

RecordingDiphones* diphones = nullptr;

void StartEngine() {
    diphones = new RecordingDiphones();  // lives as long as the fuzzer
    TTS_Init(0, nullptr, 0);
}

// The first byte picks the options a user might have set.
void ApplyOptions(uint8_t bits) {
    TTS_SetOption(1, bits & 1 ? -1 : 0);       // spell capitals
    TTS_SetOption(2, bits & 2 ? -1 : 0);       // detect pauses
    TTS_SetOption(3, bits & 4 ? -1 : 0);       // analyse ambiguities
    TTS_SetOption(5, bits & 8 ? 1 : 0);        // read quotes
    TTS_SetOption(4, bits & 16 ? 100 : 1500);  // small pieces
    TTS_ChangeControlCharacter(bits & 32 ? '#' : '\\');
    TTS_SetMode(bits & 64 ? 20 : 10, 20, bits & 128 ? 1 : 10);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!diphones) StartEngine();
    if (size == 0) return 0;
    ApplyOptions(data[0]);
    // Texts cross the interface as C strings: they end at the first NUL.
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text = text.substr(0, text.find('\0'));
    RVCall(text.c_str());
    TTS_GenPcm(text.c_str(), "/dev/null", 0, 0, data[0] & 1 ? 8 : 16);
    diphones->Clear();
    return 0;
}
