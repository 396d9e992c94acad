// The exported MBROLA library functions, over one MbrolaVoice.
#include "FvDsp32.h"

#include "MbrolaVoice.h"

#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Two mbrola processes keep two processors busy; more would only wait for
// the host to write their pieces out in order.
constexpr int kMostChannels = 2;

struct Channels {
    fvdsp::MbrolaVoice voices[kMostChannels];
    int selected = 0;
};

Channels& channels() {
    static Channels instance;
    return instance;
}

fvdsp::MbrolaVoice& voice() { return channels().voices[channels().selected]; }

// One per processor, unless FALAVOZ_VOICE_CHANNELS sets the number.
int channelCount() {
    if (const char* wanted = std::getenv("FALAVOZ_VOICE_CHANNELS"); wanted && *wanted)
        return std::clamp(std::atoi(wanted), 1, kMostChannels);
    return static_cast<int>(std::clamp<long>(::sysconf(_SC_NPROCESSORS_ONLN), 1, kMostChannels));
}

// Our messages are UTF-8 inside; the interface speaks Windows-1252. Bytes
// that are not valid UTF-8 are passed on as they are.
std::string toWindows1252(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        bool valid = length > 0 && i + length <= text.size();
        char32_t code = length == 1 ? c : length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
        for (size_t k = 1; valid && k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
            out += static_cast<char>(code);
        else if (code == 0x20AC)
            out += '\x80';
        else
            out += '?';
        i += length;
    }
    return out;
}

}  // namespace

extern "C" {

FVDSP_API int FVDSP_CALL init_MBR(const char* voicePath) {
    try {
        close_MBR();
        return voice().open(voicePath ? voicePath : "") ? 0 : 1;
    } catch (...) {
        return 2;
    }
}

FVDSP_API void FVDSP_CALL close_MBR(void) {
    try {
        for (fvdsp::MbrolaVoice& channel : channels().voices) channel.close();
        channels().selected = 0;
    } catch (...) {
    }
}

FVDSP_API void FVDSP_CALL SetVolume_MBR(float volumeRatio) {
    for (fvdsp::MbrolaVoice& channel : channels().voices) channel.setVolume(volumeRatio);
}

FVDSP_API int FVDSP_CALL voiceChannels_MBR(void) {
    try {
        return channelCount();
    } catch (...) {
        return 1;
    }
}

FVDSP_API int FVDSP_CALL selectVoice_MBR(int channel) {
    try {
        Channels& all = channels();
        fvdsp::MbrolaVoice& first = all.voices[0];
        if (channel < 0 || channel >= kMostChannels || !first.isOpen()) return -1;
        fvdsp::MbrolaVoice& chosen = all.voices[channel];
        if (!chosen.isOpen() && !chosen.open(first.path())) {
            all.selected = 0;
            return -1;
        }
        all.selected = channel;
        return 0;
    } catch (...) {
        channels().selected = 0;
        return -1;
    }
}

FVDSP_API int FVDSP_CALL write_MBR(const char* lines) {
    try {
        return voice().write(lines);
    } catch (...) {
        return -2;
    }
}

FVDSP_API int FVDSP_CALL flush_MBR(void) {
    try {
        return voice().flush();
    } catch (...) {
        return -2;
    }
}

FVDSP_API int FVDSP_CALL read_MBR(short* buffer, int wanted) {
    static_assert(sizeof(short) == sizeof(int16_t));
    try {
        return voice().read(reinterpret_cast<int16_t*>(buffer), wanted);
    } catch (...) {
        return -2;
    }
}

FVDSP_API void FVDSP_CALL reset_MBR(void) {
    try {
        voice().reset();
    } catch (...) {
    }
}

FVDSP_API int FVDSP_CALL lastErrorStr_MBR(char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    try {
        std::string text = toWindows1252(voice().error());
        size_t length = std::min(text.size(), static_cast<size_t>(size) - 1);
        std::memcpy(buffer, text.data(), length);
        buffer[length] = '\0';
        return static_cast<int>(length);
    } catch (...) {
        buffer[0] = '\0';
        return 0;
    }
}

}  // extern "C"
