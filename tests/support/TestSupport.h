// Shared helpers of the engine's tests: a recording stand-in for the diphone
// library, and a way to build a pass of tokens and phones by hand.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Tokens.h"
#include "voice/MBrola.h"

// Puts a diphone library in place for the life of the object and restores
// the one that was there before.
class ScopedDiphoneLibrary {
public:
    explicit ScopedDiphoneLibrary(const DiphoneLibrary& library);
    ~ScopedDiphoneLibrary();
    ScopedDiphoneLibrary(const ScopedDiphoneLibrary&) = delete;
    ScopedDiphoneLibrary& operator=(const ScopedDiphoneLibrary&) = delete;

private:
    const DiphoneLibrary* previous_;
};

// A diphone library that records what the engine sends it and answers reads
// with silence: every line written queues its duration (the number after the
// name) times samplesPerMs samples at once, which read delivers until a reset
// drops them. So a piece holds (sum of its durations) x samplesPerMs samples,
// as far as its buffer has room.
// Constructing one installs it; only one may exist at a time.
class RecordingDiphones {
public:
    RecordingDiphones();
    ~RecordingDiphones();
    RecordingDiphones(const RecordingDiphones&) = delete;
    RecordingDiphones& operator=(const RecordingDiphones&) = delete;

    // Forgets what was recorded (the settings below stay).
    void Clear();
    // The lines of the last piece: those written between the last two resets
    // that had lines between them (a render ends with a reset).
    std::vector<std::string> LastPiece() const;

    // What was written, every call in order, as one text.
    std::string written;
    // The same, one entry a line without its CR LF; a "#" is an entry of its own.
    std::vector<std::string> lines;
    std::string voicePath;  // of the last init
    int initCalls = 0;
    int closeCalls = 0;
    int flushCalls = 0;  // flush_MBR calls; "#" lines are not counted here
    int resetCalls = 0;
    int readCalls = 0;
    int largestRead = 0;  // the most samples asked for in one read
    float volume = 1.0f;  // of the last SetVolume
    long long pendingSamples = 0;

    // Settings.
    bool failInit = false;   // init returns 1
    bool failReads = false;  // read returns -1 and the error text is errorText
    std::string errorText = "read failed";
    int samplesPerMs = 16;  // 16 kHz
    // Runs at each read, before it answers: what happens while a piece is
    // rendered (a stop from a signal handler, say).
    std::function<void()> onRead;

private:
    friend struct RecordingCalls;
    void Take(const std::string& text);
    void EndLine();

    std::string partialLine_;
    size_t linesAtReset_ = 0;
    size_t lastPieceBegin_ = 0;
    size_t lastPieceEnd_ = 0;
    ScopedDiphoneLibrary installed_;
};

// The duration (second field) of a phoneme line; 0 when it has none.
int LineDuration(const std::string& line);

// Building a pass by hand for back-end tests. ClearPass empties Tokens and
// PhoneList (leaving the end marker and the end record at index 0) and puts
// the engine fields the back end reads back to their start-up values
// (ChunkLimitMs 46000, pitch factor 1, 16 kHz).
void ClearPass();
// Appends a token of `length` characters; the end marker follows it.
int AddToken(int length, char punct = 0);
// Appends a phone of token `token`; the end record follows it. A pitch above
// 0 gives the phone one pitch point at 50 %.
int AddPhone(const std::string& symbol, int token, int duration = 80, float pitch = 120);
// A token whose phones are the single characters of symbols (its length).
int AddWord(const std::string& symbols, char punct = 0, int duration = 80, float pitch = 120);
int PhoneCount();
int TokenCount();

// Windows-1252 phone strings as UTF-8, for readable failure messages (the
// phone symbols are all in the Latin-1 range).
std::string Latin1ToUtf8(const std::string& text);

// The phone symbols of a phonetic string read as a phonetic token's (as the
// normaliser reads the strings of numbers), on a pass of its own.
std::string PhoneSymbolsOf(const std::string& phonetic);
