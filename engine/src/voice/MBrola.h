// The back end: writes a pass of PhoneList as phoneme lines to the diphone
// library and reads the samples back, one piece at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "voice/AudioBuffer.h"

// The diphone library's functions, called through this table so that tests
// can put a recording double in place of the real library.
struct DiphoneLibrary {
    int (*init)(const char* voicePath);
    void (*close)();
    void (*setVolume)(float ratio);
    int (*write)(const char* lines);
    int (*flush)();
    int (*read)(short* buffer, int wanted);
    void (*reset)();
    int (*lastErrorStr)(char* buffer, int size);
    // Optional (null: one channel). How many voices can synthesise at once,
    // and which of them the calls above go to from now on.
    int (*channels)();
    int (*selectChannel)(int channel);
};

const DiphoneLibrary& RealDiphoneLibrary();
const DiphoneLibrary& Diphones();
void UseDiphoneLibrary(const DiphoneLibrary& library);

// Told the symbol of each phone as its line goes to the library, as the voice
// hears it (VoiceSymbol): the phones after the final changes and the
// transition vowels, without silences. Null for none.
using RenderedPhoneListener = void (*)(const std::string& symbol);
void ListenToRenderedPhones(RenderedPhoneListener listener);

// Starts the library with the voice that use8kVoice selects: 0, or -4.
int StartDiphoneLibrary(int use8kVoice);
std::string VoicePath(int use8kVoice);

// Renders the phones after phoneCursor into a new buffer. phoneCursor becomes
// the last phone rendered, or -1 when the pass is complete. 0 or -8.
int Render(int& phoneCursor, AudioBuffer& buffer);
// Render in two steps: StartRender writes the piece's lines (taking the
// samples that are ready meanwhile), FinishRender waits for the rest. On
// another voice channel the next piece can be started in between, and the
// two synthesise at once.
int StartRender(int& phoneCursor, AudioBuffer& buffer);
void FinishRender(AudioBuffer& buffer);

// The library's voice channels (1 when it has no more), and the choice of
// the one the following calls go to: false when that channel cannot be had
// (the library then stays on channel 0).
int VoiceChannels();
bool SelectVoiceChannel(int channel);

// Reads samples until fewer than asked arrive, or until the buffer holds
// untilBytes; it grows when untilBytes is beyond its capacity, so that no
// sample is lost. Used by singing too. A failure of the library shows its
// message and marks the call failed; what was read stays, and rendering
// goes on, so that the rest of the text is still heard.
void PullSamples(AudioBuffer& buffer, size_t untilBytes = SIZE_MAX);

// Each call that renders starts with no failure, and ends with its result,
// or kSynthesisError when that is kOk and the library failed meanwhile.
void ForgetSynthesisFailure();
int WithSynthesisFailure(int result);

// A pitch value as the library reads it: general format, up to 15
// significant digits of the single-precision value, "." as decimal mark.
std::string FormatPitch(float value);
// The symbol whose diphones the voice speaks for an engine phone symbol: the
// symbol itself, unless the voice does not tell it apart from another.
std::string VoiceSymbol(const std::string& symbol);
// The diphone name of an engine phone symbol.
std::string DiphoneName(const std::string& symbol);
