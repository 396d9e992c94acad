// What the fuzz targets share: the recording diphone double in place of
// mbrola, a private folder for the files they write, the options a user
// might set, and the way a broken property ends the run.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "TestSupport.h"
#include "falavoz32.h"

namespace fuzz {

// A property of the engine does not hold: says which and crashes, so that
// libFuzzer keeps the input as a finding.
[[noreturn]] inline void Finding(const std::string& what) {
    std::fprintf(stderr, "FINDING: %s\n", what.c_str());
    std::fflush(stderr);
    __builtin_trap();
}

// The recording double, installed for the life of the fuzzer (no mbrola
// runs). Make it before the first TTS_Init.
inline RecordingDiphones& TestVoice() {
    static RecordingDiphones* voice = new RecordingDiphones();
    return *voice;
}

// The engine, started once on the recording double; a start that fails is
// a finding.
inline RecordingDiphones& StartedEngine() {
    static RecordingDiphones& voice = TestVoice();
    static const bool started = TTS_Init(0, nullptr, 0) == FV_OK;
    if (!started) Finding("the engine does not start");
    return voice;
}

// A folder of this process's own under TMPDIR for the files a target
// writes (run_fuzz.sh points TMPDIR at memory, where the syncs of the
// engine's saves cost nothing), removed when the fuzzer exits normally.
inline const std::string& PrivateFolder() {
    static const std::string* folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "falavoz-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        auto* made = new std::string(pattern);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(PrivateFolder(), ignored);
        });
        return made;
    }();
    return *folder;
}

inline std::string PathIn(const std::string& name) { return PrivateFolder() + "/" + name; }

inline void WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

// Texts cross the interface as C strings: they end at the first NUL.
inline std::string CText(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    return text.substr(0, text.find('\0'));
}

// One byte picks the options a user might have set.
inline void ApplyOptions(uint8_t bits) {
    TTS_SetOption(1, bits & 1 ? -1 : 0);       // spell capitals
    TTS_SetOption(2, bits & 2 ? -1 : 0);       // detect pauses
    TTS_SetOption(3, bits & 4 ? -1 : 0);       // analyse ambiguities
    TTS_SetOption(5, bits & 8 ? 1 : 0);        // read quotes
    TTS_SetOption(4, bits & 16 ? 100 : 1500);  // small pieces
    TTS_ChangeControlCharacter(bits & 32 ? '#' : '\\');
    TTS_SetMode(bits & 64 ? 20 : 10, 20, bits & 128 ? 1 : 10);
}

}  // namespace fuzz
