// TTS_GenPcm: the stages of synchronous speaking, with each rendered piece
// appended to a WAV file. The header's two sizes are written last, and the
// new file takes the old one's place only when it is complete. The same
// rendering goes into a host's descriptor (a pipe, say), where the sizes stay
// those of a stream unless the descriptor can go back to write them.
#include "api/WavRender.h"

#include <algorithm>
#include <cstdio>

#include "api/Utterance.h"
#include "core/DescriptorStream.h"
#include "core/SafeFile.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "voice/MBrola.h"

UtteranceCursor RenderCursor;

namespace {

enum PieceMode : int32_t { kWholeText = 0, kFirstChunk = 1, kNextChunk = 2 };

constexpr long kRiffSizeOffset = 4;
constexpr long kDataSizeOffset = 40;
constexpr uint32_t kHeaderBytesAfterRiffSize = 36;
constexpr int64_t kWavHeaderBytes = 44;

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<char>((value >> (8 * k)) & 0xFF));
}

bool WriteSizeAt(std::FILE* file, int64_t offset, uint32_t value) {
    std::string bytes;
    PutLittleEndian(bytes, value, 4);
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fwrite(bytes.data(), 1, 4, file) == 4;
}

uint64_t wavDataLimit = kWavDataLimit;

struct ProgressReport {
    RenderProgressCallback callback = nullptr;
    void* context = nullptr;
    int32_t rendered = 0;  // never goes back within a text
} progress;

// How many bytes of the text lie before what is still to render: the start
// of the token of the next phone, of the next pass, or the end of the chunk.
int32_t RenderedTextLength(const UtteranceCursor& cursor) {
    if (cursor.textFinished && cursor.chunkFinished && cursor.phoneCursor == -1) return cursor.textLength;
    int32_t next = cursor.parsePos;
    if (cursor.phoneCursor != -1)
        next = Tokens[PhoneList[cursor.phoneCursor].word].start;
    else if (!cursor.chunkFinished)
        next = Tokens[cursor.tokenPos].start;
    if (next < 1) next = cursor.parsePos;  // no token there: the chunk's end
    return std::clamp(next - 1, 0, cursor.textLength);
}

void ReportProgress(const UtteranceCursor& cursor) {
    progress.rendered = std::max(progress.rendered, RenderedTextLength(cursor));
    if (progress.callback) progress.callback(progress.rendered, cursor.textLength, progress.context);
}

// The WAV being written into a stream, and the count of sample bytes in it.
struct WavFile {
    std::FILE* stream = nullptr;
    int64_t start = 0;       // where the header begins
    bool finalSizes = true;  // false: the header keeps a stream's sizes
    uint64_t dataBytes = 0;
    bool failed = false;

    void Append(const uint8_t* data, size_t length) {
        if (!failed && length && std::fwrite(data, 1, length, stream) != length) failed = true;
    }

    int AppendPiece(AudioBuffer& buffer, bool eightBit) {
        size_t length = buffer.length;
        if (eightBit) length = ConvertTo8Bit(buffer.data.get(), length);
        // A piece past the limit would wrap the header's sizes: the text stops.
        if (!failed && !WavDataFits(dataBytes + length)) failed = true;
        Append(buffer.data.get(), length);
        if (!failed) dataBytes += length;
        buffer.Free();
        return failed ? kWriteError : kOk;
    }

    // The two sizes written over the header's, and the stream left at the
    // WAV's end; a stream that cannot go back keeps the sizes it has.
    bool WriteSizes() {
        if (!failed && finalSizes) failed = !WriteSizesAtStart();
        return !failed;
    }

    bool WriteSizesAtStart() {
        return WriteSizeAt(stream, start + kDataSizeOffset, static_cast<uint32_t>(dataBytes)) &&
               WriteSizeAt(stream, start + kRiffSizeOffset,
                           static_cast<uint32_t>(dataBytes + kHeaderBytesAfterRiffSize)) &&
               std::fseek(stream, static_cast<long>(start + kWavHeaderBytes + dataBytes), SEEK_SET) == 0;
    }
};

// The text of a call that starts a new one: the source itself or the lines
// of the file it names. false when the file cannot be read.
bool SourceText(const char* source, int32_t sourceIsFile, std::string& text) {
    std::string sourceText = source ? source : "";
    if (!sourceIsFile) {
        text = sourceText;
        return true;
    }
    return ReadTextFileLines(sourceText, text);
}

// Renders the text (a new one unless pieceMode is kNextChunk) into the WAV:
// header, pieces, and the sizes at the end. Busy is held meanwhile.
int RenderWav(WavFile& wav, const std::string& text, int32_t pieceMode, int32_t bits) {
    if (pieceMode != kNextChunk) {
        StartText(text, RenderCursor);
        StartUtteranceFactors();
        progress.rendered = 0;
    }
    Engine.busy = true;
    ForgetSynthesisFailure();

    const bool eightBit = bits == 8;
    std::string header =
        WavHeader(Engine.synthesisRate, eightBit ? 8 : 16, wav.finalSizes ? 0 : FV_WAV_STREAM_DATA_SIZE);
    wav.Append(reinterpret_cast<const uint8_t*>(header.data()), header.size());

    int result = WalkTextOnChannels(
        RenderCursor,
        [&](AudioBuffer& buffer) {
            int appended = wav.AppendPiece(buffer, eightBit);
            ReportProgress(RenderCursor);
            return appended;
        },
        pieceMode != kWholeText);
    if (!wav.WriteSizes() && result == kOk) result = kWriteError;
    // The file keeps what the voice did say.
    result = WithSynthesisFailure(result);
    Engine.busy = false;
    return result;
}

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
    if (pieceMode != kNextChunk && !SourceText(source, sourceIsFile, text)) return kOpenError;
    SafeFile file;
    if (!file.Open(outputFile ? outputFile : "", DeviceTarget::kWriteInPlace)) return kWriteError;

    WavFile wav;
    wav.stream = file.Stream();
    int result = RenderWav(wav, text, pieceMode, bits);
    // The new file takes the old one's place only when it is whole.
    if ((wav.failed || !file.Commit()) && result == kOk) result = kWriteError;
    if (result == kWriteError) RenderCursor.textFinished = true;
    if (RenderCursor.textFinished && pieceMode != kWholeText && result == kOk) return kNoMorePieces;
    return result;
}

int GenPcmToDescriptor(const char* source, int32_t descriptor, int32_t sourceIsFile, int32_t bits) {
    if (!Engine.initialised) return kNotInitialised;
    if (Engine.busy) return kBusy;

    std::string text;
    if (!SourceText(source, sourceIsFile, text)) return kOpenError;
    DescriptorStream out;
    if (!out.Open(descriptor)) return kWriteError;

    WavFile wav;
    wav.stream = out.Stream();
    wav.start = out.Start();
    wav.finalSizes = out.Rewritable();
    int result = RenderWav(wav, text, kWholeText, bits);
    if (!out.Close() && result == kOk) result = kWriteError;
    return result;
}

void SetRenderProgress(RenderProgressCallback callback, void* context) {
    progress.callback = callback;
    progress.context = context;
}
