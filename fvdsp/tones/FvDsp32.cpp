// The exported MBROLA library functions, over one ToneVoice.
#include "FvDsp32.h"

#include <algorithm>
#include <cstring>

#include "ToneVoice.h"

namespace {

fvdsp::ToneVoice voice;

}  // namespace

extern "C" {

FVDSP_API int FVDSP_CALL init_MBR(const char* voicePath) {
    return voice.Open(voicePath ? voicePath : "") ? 0 : 1;
}

FVDSP_API void FVDSP_CALL close_MBR(void) { voice.Close(); }

FVDSP_API void FVDSP_CALL SetVolume_MBR(float volumeRatio) { voice.SetVolume(volumeRatio); }

FVDSP_API int FVDSP_CALL write_MBR(const char* lines) { return voice.Write(lines ? lines : ""); }

FVDSP_API int FVDSP_CALL flush_MBR(void) { return voice.Write("#"); }

FVDSP_API int FVDSP_CALL read_MBR(short* buffer, int wanted) {
    return buffer && wanted > 0 ? voice.Read(reinterpret_cast<int16_t*>(buffer), wanted) : 0;
}

FVDSP_API void FVDSP_CALL reset_MBR(void) { voice.Reset(); }

FVDSP_API int FVDSP_CALL lastErrorStr_MBR(char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const std::string& text = voice.Error();
    size_t length = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

}  // extern "C"
