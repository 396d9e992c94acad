// The utterance driver: the text goes through the stages chunk by chunk
// (parser), pass by pass (normaliser) and piece by piece (back end).
#include "api/Utterance.h"

#include <deque>
#include <utility>

#include "core/EngineState.h"
#include "prosody/Prosody.h"
#include "text/Normalize.h"
#include "text/Parser.h"
#include "voice/MBrola.h"
#include "voice/WaveOut.h"
#include "words/Grammar.h"

void StartText(const std::string& text, UtteranceCursor& cursor) {
    Engine.text = text + " ";
    cursor = UtteranceCursor{};
    cursor.textLength = static_cast<int32_t>(Engine.text.size());
    cursor.parsePos = 1;
    cursor.textFinished = false;
}

void StartUtteranceFactors() {
    Engine.currentRateFactor = Engine.rateFactor;
    Engine.currentPitchFactor = Engine.pitchFactor;
    ResetProsodyState();
}

static void ParseNextChunk(UtteranceCursor& cursor) {
    cursor.textFinished = ParseChunk(cursor.textLength, cursor.parsePos);
    cursor.tokenPos = 0;
}

namespace {

// The tag rules run twice, so that a word resolved in the first run is
// context for its neighbours in the second.
void ResolveTags() {
    if (!Engine.options[kOptionAnalyseAmbiguities]) return;
    DisambiguateTags();
    DisambiguateTags();
}

struct StageStep {
    Stage stage;
    void (*run)();
};

// The stages after the normaliser, in the order they run.
constexpr StageStep kStagesAfterNormalising[] = {
    {Stage::Grammar, ResolveTags},     {Stage::VowelQuality, AdjustVowelQuality},
    {Stage::Phrasing, PhrasingPass},   {Stage::DurationPitch, DurationPitchPass},
    {Stage::WordClass, WordClassPass},
};

}  // namespace

bool PreparePass(UtteranceCursor& cursor, Stage last) {
    cursor.chunkFinished = NormalizeTokens(cursor.tokenPos);
    for (const StageStep& step : kStagesAfterNormalising) {
        if (step.stage > last) break;
        step.run();
    }
    cursor.phoneCursor = -1;
    return cursor.chunkFinished;
}

int WalkPasses(UtteranceCursor& cursor, Stage last, const PassSink& sink, bool oneChunk) {
    int result = kOk;
    bool failed = false;
    do {
        ParseNextChunk(cursor);
        do {
            PreparePass(cursor, last);
            if (failed) continue;
            result = sink(cursor);
            failed = result != kOk;
        } while (!cursor.chunkFinished);
        if (failed) cursor.textFinished = true;
    } while (!cursor.textFinished && !oneChunk);
    return result;
}

// Renders every piece of the prepared pass into the sink. A failure marks
// the text finished.
static int RenderPass(UtteranceCursor& cursor, const PieceSink& sink) {
    int result = kOk;
    do {
        AudioBuffer buffer;
        result = Render(cursor.phoneCursor, buffer);
        if (result == kOk) result = sink(buffer);
        if (result != kOk) {
            cursor.textFinished = true;
            cursor.phoneCursor = -1;
            break;
        }
    } while (cursor.phoneCursor != -1);
    return result;
}

int WalkText(UtteranceCursor& cursor, const PieceSink& sink, bool oneChunk) {
    return WalkPasses(
        cursor, Stage::WordClass, [&sink](UtteranceCursor& pass) { return RenderPass(pass, sink); },
        oneChunk);
}

namespace {

// Pieces started on the voice channels, oldest first, each waiting for the
// rest of its samples. While one channel synthesises, the next piece's lines
// are composed and go to the next channel; pieces reach the sink in the
// order of the text, as if each had been rendered before the next began.
class PiecePipeline {
public:
    PiecePipeline(UtteranceCursor& cursor, const PieceSink& sink) : cursor_(cursor), sink_(sink) {
        // Only the channels that open take pieces.
        const int wanted = VoiceChannels();
        int usable = 1;
        while (usable < wanted && SelectVoiceChannel(usable)) ++usable;
        SelectVoiceChannel(0);
        channels_ = static_cast<size_t>(usable);
    }
    ~PiecePipeline() {
        Abandon();
        SelectVoiceChannel(0);
    }

    // Every piece of the prepared pass.
    int RenderPass() {
        do {
            int result = StartPiece();
            if (result != kOk) return Fail(result);
        } while (cursor_.phoneCursor != -1);
        return kOk;
    }

    // The pieces still under way, to the sink.
    int Drain() {
        while (!pieces_.empty()) {
            int result = FinishOldest();
            if (result != kOk) return Fail(result);
        }
        return kOk;
    }

private:
    struct Piece {
        AudioBuffer buffer;
        int channel = 0;
    };

    int StartPiece() {
        // A channel takes a new piece only once its last one is out.
        if (pieces_.size() >= channels_) {
            int result = FinishOldest();
            if (result != kOk) return result;
        }
        Piece piece;
        piece.channel = nextChannel_;
        SelectVoiceChannel(piece.channel);
        int result = StartRender(cursor_.phoneCursor, piece.buffer);
        if (result != kOk) {
            // The pieces before it are the text's, as they would have been
            // without the overlap.
            int drained = Drain();
            return drained != kOk ? drained : result;
        }
        nextChannel_ = (nextChannel_ + 1) % static_cast<int>(channels_);
        pieces_.push_back(std::move(piece));
        return kOk;
    }

    int FinishOldest() {
        Piece& piece = pieces_.front();
        SelectVoiceChannel(piece.channel);
        FinishRender(piece.buffer);
        int result = sink_(piece.buffer);
        pieces_.pop_front();
        return result;
    }

    // After a failure the text ends; later pieces are dropped unheard.
    int Fail(int result) {
        Abandon();
        cursor_.textFinished = true;
        cursor_.phoneCursor = -1;
        return result;
    }

    void Abandon() {
        for (const Piece& piece : pieces_) {
            SelectVoiceChannel(piece.channel);
            Diphones().reset();
        }
        pieces_.clear();
    }

    UtteranceCursor& cursor_;
    const PieceSink& sink_;
    size_t channels_ = 1;
    int nextChannel_ = 0;
    std::deque<Piece> pieces_;
};

}  // namespace

int WalkTextOnChannels(UtteranceCursor& cursor, const PieceSink& sink, bool oneChunk) {
    PiecePipeline pipeline(cursor, sink);
    int result = WalkPasses(
        cursor, Stage::WordClass, [&pipeline](UtteranceCursor&) { return pipeline.RenderPass(); }, oneChunk);
    int drained = pipeline.Drain();
    return result != kOk ? result : drained;
}

UtteranceCursor SpeechCursor;

int SpeakSynchronously() {
    int result = WalkText(
        SpeechCursor, [](AudioBuffer& buffer) { return PlayBuffer(buffer, false); }, false);
    Engine.busy = false;
    return WithSynthesisFailure(result);
}

namespace {

// Ends the asynchronous utterance: clears Busy and tells the host the result
// (unless a stop was requested). A failure also marks the text finished.
void EndAsynchronousSpeech(int result) {
    if (result != kOk) {
        SpeechCursor.textFinished = true;
        SpeechCursor.phoneCursor = -1;
    }
    Engine.busy = false;
    if (Engine.callback && !Engine.stopRequested) Engine.callback(0, WithSynthesisFailure(result), 0);
}

void SpeechPiecePlayed(int playError);

int RenderAndQueue(UtteranceCursor& cursor) {
    AudioBuffer buffer;
    int result = Render(cursor.phoneCursor, buffer);
    if (result == kOk) return PlayBuffer(buffer, true, SpeechPiecePlayed);
    cursor.textFinished = true;
    return result;
}

// One step of the asynchronous chain: the next piece of the pass, or the
// next pass (of this chunk or the next one), or the end.
int ContinueSpeaking() {
    UtteranceCursor& cursor = SpeechCursor;
    if (Engine.stopRequested || (cursor.textFinished && cursor.chunkFinished && cursor.phoneCursor == -1)) {
        EndAsynchronousSpeech(kOk);
        return kOk;
    }
    int result = kOk;
    if (cursor.phoneCursor != -1) {
        result = RenderAndQueue(cursor);
    } else if (!(cursor.textFinished && cursor.chunkFinished)) {
        if (cursor.chunkFinished) ParseNextChunk(cursor);
        PreparePass(cursor);
        result = RenderAndQueue(cursor);
    }
    if (result != kOk) EndAsynchronousSpeech(result);
    return result;
}

// A piece has played: the speech goes on, or ends with the device's failure.
void SpeechPiecePlayed(int playError) {
    if (playError != kOk && !Engine.stopRequested)
        EndAsynchronousSpeech(playError);
    else
        ContinueSpeaking();
}

}  // namespace

int StartAsynchronousSpeech() {
    SpeechCursor.tokenPos = 0;
    SpeechCursor.phoneCursor = -1;
    SpeechCursor.textFinished = false;
    SpeechCursor.chunkFinished = true;
    return ContinueSpeaking();
}
