// Feeds arbitrary bytes to the engine as text: the phone transcription and a
// whole WAV rendering into a file (against the recording diphone double, so
// no mbrola runs). The engine must survive anything: no crash, no hang, no
// read outside its tables; and the WAV file it leaves must describe itself.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "FileBytes.h"
#include "FuzzSupport.h"
#include "core/SafeFile.h"
#include "falavoz32.h"

namespace {

constexpr size_t kWavHeaderBytes = 44;

// The header's two sizes must match the file, and 16-bit samples come whole.
// (Only the header is read: the samples run to megabytes.)
void CheckWavFile(const std::string& path, int bits) {
    const uintmax_t fileBytes = std::filesystem::file_size(path);
    std::string header(kWavHeaderBytes, '\0');
    std::ifstream(path, std::ios::binary).read(header.data(), static_cast<std::streamsize>(header.size()));
    if (fileBytes < kWavHeaderBytes || header.compare(0, 4, "RIFF") != 0 || header.compare(8, 4, "WAVE") != 0)
        fuzz::Finding("the WAV file has no header");
    const uint32_t dataBytes = Le32(header, 40);
    if (Le32(header, 4) != fileBytes - 8 || dataBytes != fileBytes - kWavHeaderBytes)
        fuzz::Finding("the WAV header's sizes do not match the file");
    if (Le16(header, 34) != bits || (bits == 16 && dataBytes % 2 != 0))
        fuzz::Finding("the WAV samples are not of the bits asked for");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RecordingDiphones& voice = fuzz::StartedEngine();
    static const std::string wavPath = fuzz::PathIn("speech.wav");
    if (size == 0) return 0;
    fuzz::ApplyOptions(data[0]);
    const std::string text = fuzz::CText(data + 1, size - 1);
    RVCall(text.c_str());

    const int bits = data[0] & 1 ? 8 : 16;
    std::filesystem::remove(wavPath);
    if (TTS_GenPcm(text.c_str(), wavPath.c_str(), 0, 0, bits) == FV_OK) CheckWavFile(wavPath, bits);
    if (std::filesystem::exists(TemporaryNameFor(wavPath)))
        fuzz::Finding("the rendering left its temporary file behind");
    voice.Clear();
    return 0;
}
