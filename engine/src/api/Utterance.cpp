// The utterance driver: the text goes through the stages chunk by chunk
// (parser), pass by pass (normaliser) and piece by piece (back end).
#include "api/Utterance.h"

#include "words/Grammar.h"
#include "voice/MBrola.h"
#include "text/Normalize.h"
#include "text/Parser.h"
#include "prosody/Prosody.h"
#include "voice/WaveOut.h"

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

bool PreparePass(UtteranceCursor& cursor) {
    cursor.chunkFinished = NormalizeTokens(cursor.tokenPos);
    if (Engine.options[kOptionAnalyseAmbiguities]) {
        DisambiguateTags();
        DisambiguateTags();
    }
    AdjustVowelQuality();
    PhrasingPass();
    DurationPitchPass();
    cursor.phoneCursor = -1;
    return cursor.chunkFinished;
}

// Renders every piece of the prepared pass into the sink. A failure marks
// the text finished; the rest of the chunk's passes still run their stages.
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
    int result = kOk;
    bool failed = false;
    do {
        ParseNextChunk(cursor);
        do {
            PreparePass(cursor);
            if (failed) continue;
            result = RenderPass(cursor, sink);
            failed = result != kOk;
        } while (!cursor.chunkFinished);
        if (failed) cursor.textFinished = true;
    } while (!cursor.textFinished && !oneChunk);
    return result;
}

UtteranceCursor SpeechCursor;

int SpeakSynchronously() {
    int result = WalkText(
        SpeechCursor, [](AudioBuffer& buffer) { return PlayBuffer(buffer, false); }, false);
    Engine.busy = false;
    return result;
}

int StartAsynchronousSpeech() {
    SpeechCursor.tokenPos = 0;
    SpeechCursor.phoneCursor = -1;
    SpeechCursor.textFinished = false;
    SpeechCursor.chunkFinished = true;
    return ContinueSpeaking();
}

void EndAsynchronousSpeech(int result) {
    if (result != kOk) {
        SpeechCursor.textFinished = true;
        SpeechCursor.phoneCursor = -1;
    }
    Engine.busy = false;
    if (Engine.callback && !Engine.stopRequested) Engine.callback(0, result, 0);
}

static void SpeechPiecePlayed(int playError);

static int RenderAndQueue(UtteranceCursor& cursor) {
    AudioBuffer buffer;
    int result = Render(cursor.phoneCursor, buffer);
    if (result == kOk) return PlayBuffer(buffer, true, SpeechPiecePlayed);
    cursor.textFinished = true;
    return result;
}

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
static void SpeechPiecePlayed(int playError) {
    if (playError != kOk && !Engine.stopRequested)
        EndAsynchronousSpeech(playError);
    else
        ContinueSpeaking();
}
