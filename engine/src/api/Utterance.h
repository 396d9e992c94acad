// The utterance driver: walks a text chunk by chunk and pass by pass
// through the list of stages, and renders each pass piece by piece.
#pragma once

#include <functional>
#include <string>

#include "core/EngineState.h"
#include "voice/AudioBuffer.h"

// The stages a pass of a chunk goes through after the parser, in order.
enum class Stage {
    Normalise,      // words, numbers and symbols to phones (the whole chunk, pass by pass)
    Grammar,        // ambiguous grammar tags resolved from their neighbours
    VowelQuality,   // stressed e and o opened or closed by the word's class
    Phrasing,       // the words cut into intonation phrases
    DurationPitch,  // every phone's duration and pitch point
    WordClass,      // whole-word corrections chosen by the words' classes
};

// Puts text (plus the trailing blank) into Engine.text and prepares cursor.
void StartText(const std::string& text, UtteranceCursor& cursor);
// Copies the speed and pitch factors and resets the prosody's running states.
void StartUtteranceFactors();
// Runs the stages of the next pass in order, up to and including last.
// Returns the chunk-finished flag.
bool PreparePass(UtteranceCursor& cursor, Stage last = Stage::WordClass);

// Receives each prepared pass; returns a result code (0 to go on).
using PassSink = std::function<int(UtteranceCursor&)>;
// Walks the text chunk by chunk (parser) and pass by pass, preparing each
// pass up to last and handing it to the sink. After a sink's failure the
// chunk's remaining passes still run their stages, and the walk ends with
// the chunk. With oneChunk it stops after the first chunk. Returns the last
// sink result.
int WalkPasses(UtteranceCursor& cursor, Stage last, const PassSink& sink, bool oneChunk);

// Receives each rendered piece; returns a result code (0 to go on).
using PieceSink = std::function<int(AudioBuffer&)>;
// The synchronous walk shared by speaking and WAV rendering: every stage,
// then the back end, piece by piece. Returns the last render or sink result.
int WalkText(UtteranceCursor& cursor, const PieceSink& sink, bool oneChunk);
// The same walk with the pieces' synthesis overlapping: on the library's
// voice channels, and with the next pass prepared while the last piece is
// synthesised. The sink gets the same pieces in the same order.
int WalkTextOnChannels(UtteranceCursor& cursor, const PieceSink& sink, bool oneChunk);

// Speaking. The cursor of the utterance being spoken lives here because the
// asynchronous form goes on after TTS_PlayText has returned.
extern UtteranceCursor SpeechCursor;
int SpeakSynchronously();
// Starts the asynchronous chain: each piece is rendered when the one before
// it has played. At its end Busy is cleared and the host told the result
// (unless a stop was requested).
int StartAsynchronousSpeech();
