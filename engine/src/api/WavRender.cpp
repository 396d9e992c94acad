// TTS_GenPcm: the stages of synchronous speaking, with each rendered piece
// appended to a WAV file. The header's two sizes are written last, and the
// new file takes the old one's place only when it is complete.
#include "api/WavRender.h"

#include <cstdio>

#include "api/Utterance.h"
#include "core/SafeFile.h"
#include "core/TextUtil.h"
#include "voice/MBrola.h"

UtteranceCursor RenderCursor;

namespace {

enum PieceMode : int32_t { kWholeText = 0, kFirstChunk = 1, kNextChunk = 2 };

constexpr long kRiffSizeOffset = 4;
constexpr long kDataSizeOffset = 40;
constexpr uint32_t kHeaderBytesAfterRiffSize = 36;

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<char>((value >> (8 * k)) & 0xFF));
}

bool WriteSizeAt(std::FILE* file, long offset, uint32_t value) {
    std::string bytes;
    PutLittleEndian(bytes, value, 4);
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fwrite(bytes.data(), 1, 4, file) == 4;
}

uint64_t wavDataLimit = kWavDataLimit;

// The output file being written and the count of sample bytes in it.
struct WavFile {
    SafeFile file;
    uint64_t dataBytes = 0;
    bool failed = false;

    int Append(AudioBuffer& buffer, bool eightBit) {
        size_t length = buffer.length;
        if (eightBit) length = ConvertTo8Bit(buffer.data.get(), length);
        // A piece past the limit would wrap the header's sizes: the text stops.
        if (!failed && !WavDataFits(dataBytes + length)) failed = true;
        if (!failed && length && std::fwrite(buffer.data.get(), 1, length, file.Stream()) != length)
            failed = true;
        if (!failed) dataBytes += length;
        buffer.Free();
        return failed ? kWriteError : kOk;
    }

    bool Finish() {
        if (!failed && WriteSizeAt(file.Stream(), kDataSizeOffset, static_cast<uint32_t>(dataBytes)) &&
            WriteSizeAt(file.Stream(), kRiffSizeOffset,
                        static_cast<uint32_t>(dataBytes + kHeaderBytesAfterRiffSize)))
            return file.Commit();
        file.Abandon();
        return false;
    }
};

}  // namespace

bool WavDataFits(uint64_t dataBytes) { return dataBytes <= wavDataLimit; }

uint64_t SetWavDataLimitForTesting(uint64_t bytes) {
    uint64_t previous = wavDataLimit;
    wavDataLimit = bytes;
    return previous;
}

std::string WavHeader(int32_t sampleRate, int32_t bits, uint32_t dataBytes) {
    const uint32_t blockAlign = bits == 8 ? 1 : 2;
    std::string header = "RIFF";
    PutLittleEndian(header, dataBytes + kHeaderBytesAfterRiffSize, 4);
    header += "WAVEfmt ";
    PutLittleEndian(header, 16, 4);
    PutLittleEndian(header, 1, 2);  // PCM
    PutLittleEndian(header, 1, 2);  // mono
    PutLittleEndian(header, static_cast<uint32_t>(sampleRate), 4);
    PutLittleEndian(header, static_cast<uint32_t>(sampleRate) * blockAlign, 4);
    PutLittleEndian(header, blockAlign, 2);
    PutLittleEndian(header, blockAlign * 8, 2);
    header += "data";
    PutLittleEndian(header, dataBytes, 4);
    return header;
}

// Keeps the high byte of each sample with its top bit inverted: signed
// 16-bit becomes unsigned 8-bit.
size_t ConvertTo8Bit(uint8_t* data, size_t length) {
    size_t samples = length / 2;
    for (size_t k = 0; k < samples; ++k) data[k] = static_cast<uint8_t>(data[2 * k + 1] ^ 0x80);
    return samples;
}

int GenPcm(const char* source, const char* outputFile, int32_t sourceIsFile, int32_t pieceMode,
           int32_t bits) {
    if (!Engine.initialised) return kNotInitialised;
    if (Engine.busy) return kBusy;
    if (pieceMode == kNextChunk && RenderCursor.textFinished) return kNoMorePieces;

    std::string text;
    if (pieceMode != kNextChunk) {
        std::string sourceText = source ? source : "";
        if (sourceIsFile) {
            if (!ReadTextFileLines(sourceText, text)) return kOpenError;
        } else {
            text = sourceText;
        }
    }

    WavFile wav;
    if (!wav.file.Open(outputFile ? outputFile : "", DeviceTarget::kWriteInPlace)) return kWriteError;
    if (pieceMode != kNextChunk) {
        StartText(text, RenderCursor);
        StartUtteranceFactors();
    }
    Engine.busy = true;
    ForgetSynthesisFailure();

    const bool eightBit = bits == 8;
    std::string header = WavHeader(Engine.synthesisRate, eightBit ? 8 : 16, 0);
    if (std::fwrite(header.data(), 1, header.size(), wav.file.Stream()) != header.size()) wav.failed = true;

    int result = WalkTextOnChannels(
        RenderCursor, [&](AudioBuffer& buffer) { return wav.Append(buffer, eightBit); },
        pieceMode != kWholeText);
    if (!wav.Finish() && result == kOk) result = kWriteError;
    // The file keeps what the voice did say.
    result = WithSynthesisFailure(result);
    Engine.busy = false;
    if (result == kWriteError) RenderCursor.textFinished = true;
    if (RenderCursor.textFinished && pieceMode != kWholeText && result == kOk) return kNoMorePieces;
    return result;
}
