// Singing a melody written as phoneme lines.
#include "voice/Singing.h"

#include <algorithm>

#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "voice/AudioBuffer.h"
#include "voice/MBrola.h"
#include "voice/WaveOut.h"

size_t MelodyPosition = 0;

namespace {

bool MelodyFinished() { return MelodyPosition >= Engine.text.size(); }

// The next line of the melody, without its CR LF.
std::string NextLine() {
    const std::string& melody = Engine.text;
    const size_t start = std::min(MelodyPosition, melody.size());
    const size_t end = melody.find("\r\n", start);
    if (end == std::string::npos) {
        MelodyPosition = melody.size();
        return melody.substr(start);
    }
    MelodyPosition = end + 2;
    return melody.substr(start, end - start);
}

bool IsSeparator(const std::string& line) { return !line.empty() && line[0] == ';'; }

void WriteLine(const std::string& line) { Diphones().write((line + "\r\n").c_str()); }
void WriteFlush() { Diphones().write("#"); }

size_t PieceLimitBytes() { return static_cast<size_t>(std::max<int32_t>(Engine.chunkLimitMs, 0)) * 33; }
size_t BufferBytes() { return static_cast<size_t>(std::max<int32_t>(Engine.chunkLimitMs, 0)) * 35; }
size_t OneMoreSecond() { return 2 * static_cast<size_t>(std::max<int32_t>(Engine.synthesisRate, 0)); }

// A piece is full when one more second would not fit under its limit.
size_t FullPieceBytes() {
    return PieceLimitBytes() >= OneMoreSecond() ? PieceLimitBytes() - OneMoreSecond() + 1 : 0;
}

bool BufferFull(const AudioBuffer& buffer) { return buffer.length >= FullPieceBytes(); }

// Reads what the library has ready while the piece has room.
void PullMelodySamples(AudioBuffer& buffer) { PullSamples(buffer, FullPieceBytes()); }

// The samples of the melody's last piece that did not fit into its buffer
// wait in the library: one more piece takes them.
bool tailPending = false;

bool SingingFinished() { return MelodyFinished() && !tailPending; }

// Writes the lines of the next piece, up to a separator line, the melody's
// end, or a full buffer, and takes the samples as they come.
void WriteNextPiece(AudioBuffer& buffer) {
    const std::string first = NextLine();
    WriteLine(IsSeparator(first) ? "_ 10 1 125" : first);
    // A melody whose last line opens a piece (one line long, say) is
    // flushed too, so that its samples are not left inside the library.
    if (MelodyFinished()) {
        WriteFlush();
        PullMelodySamples(buffer);
    }
    while (!MelodyFinished()) {
        const std::string line = NextLine();
        const bool separator = IsSeparator(line);
        if (separator) {
            WriteLine("_ 10");
            WriteFlush();
        } else {
            WriteLine(line);
            if (MelodyFinished()) WriteFlush();
        }
        PullMelodySamples(buffer);
        if (separator || BufferFull(buffer)) break;
    }
}

void SingingPiecePlayed(int playError);

// Renders the next piece, or the rest of the last one, and plays it.
int SingPiece(bool asynchronous) {
    AudioBuffer buffer;
    if (!buffer.Allocate(BufferBytes())) return kNoMemory;
    if (tailPending)
        PullMelodySamples(buffer);
    else
        WriteNextPiece(buffer);
    tailPending = MelodyFinished() && BufferFull(buffer);
    return PlayBuffer(buffer, asynchronous, SingingPiecePlayed);
}

// Ends the singing: clears Busy and the music mode and tells the host
// (unless a stop was requested).
void EndSinging(int result) {
    Engine.busy = false;
    Engine.musicMode = false;
    if (Engine.callback && !Engine.stopRequested) Engine.callback(0, WithSynthesisFailure(result), 0);
}

// One step of the asynchronous singing chain.
int ContinueSinging() {
    if (Engine.stopRequested || SingingFinished()) {
        EndSinging(kOk);
        return kOk;
    }
    const int result = SingPiece(true);
    if (result != kOk) EndSinging(result);
    return result;
}

// A piece has played: the singing goes on, or ends with the device's failure.
void SingingPiecePlayed(int playError) {
    if (playError != kOk && !Engine.stopRequested)
        EndSinging(playError);
    else
        ContinueSinging();
}

}  // namespace

int PlayMusic(const char* source, int32_t sourceIsText, bool asynchronous) {
    if (!Engine.initialised) return kNotInitialised;
    if (Engine.busy) return kBusy;
    std::string melody = source ? source : "";
    if (!sourceIsText) {
        const std::string fileName = melody;
        if (!ReadTextFileLines(fileName, melody)) return kOpenError;
    }
    {
        AudioBuffer probe;
        if (!probe.Allocate(BufferBytes())) return kNoMemory;
    }
    Engine.text = melody;
    MelodyPosition = 0;
    tailPending = false;
    Engine.busy = true;
    Engine.musicMode = true;
    Engine.stopRequested = false;
    ForgetSynthesisFailure();
    Diphones().reset();

    int result = SingPiece(asynchronous);
    if (asynchronous) {
        if (result != kOk) EndSinging(result);
        return result;
    }
    while (result == kOk && !SingingFinished() && !Engine.stopRequested) result = SingPiece(false);
    Engine.busy = false;
    Engine.musicMode = false;
    return WithSynthesisFailure(result);
}
