// The utterance driver: walks a text chunk by chunk and pass by pass
// through the stages, and renders each pass piece by piece.
#pragma once

#include <functional>
#include <string>

#include "voice/AudioBuffer.h"
#include "core/EngineState.h"

// Puts text (plus the trailing blank) into Engine.text and prepares cursor.
void StartText(const std::string& text, UtteranceCursor& cursor);
// Copies the speed and pitch factors and resets the prosody's running states.
void StartUtteranceFactors();
// Runs the stages after parsing on one pass: normalise, grammar, prosody.
// Returns the chunk-finished flag.
bool PreparePass(UtteranceCursor& cursor);

// Receives each rendered piece; returns a result code (0 to go on).
using PieceSink = std::function<int(AudioBuffer&)>;
// The synchronous walk shared by speaking and WAV rendering. With oneChunk it
// stops after the first chunk. Returns the last render or sink result.
int WalkText(UtteranceCursor& cursor, const PieceSink& sink, bool oneChunk);

// Speaking. The cursor of the utterance being spoken lives here because the
// asynchronous form goes on after TTS_PlayText has returned.
extern UtteranceCursor SpeechCursor;
int SpeakSynchronously();
int StartAsynchronousSpeech();
// One step of the asynchronous chain, run each time a piece has played.
int ContinueSpeaking();
// Ends the asynchronous utterance: clears Busy and tells the host the result
// (unless a stop was requested). A failure also marks the text finished.
void EndAsynchronousSpeech(int result);
