// The voice behind the library interface: phoneme lines go to Debian's
// mbrola program, its 16 kHz samples come back (resampled to 8 kHz for the
// 8 kHz voice) and wait in a queue until they are read.
//
// mbrola only hands out the last samples of an utterance when its input
// ends, and its output is a few samples shorter than the durations add up
// to, so the byte count never tells where an utterance ends. Each utterance
// therefore gets its own mbrola process: the "#" line ends it, its stdin is
// closed there, and the end of its stdout is the end of the utterance.
//
// Loading the voice takes mbrola several milliseconds, as long as saying a
// short sentence. So one more process, started with the same arguments,
// waits as a spare: the next utterance takes it, with its voice loaded, and
// a new spare loads on another core while this one speaks.
#pragma once

#include "ChildProcess.h"
#include "Resampler.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace fvdsp {

class MbrolaVoice {
public:
    MbrolaVoice() = default;
    MbrolaVoice(const MbrolaVoice&) = delete;
    MbrolaVoice& operator=(const MbrolaVoice&) = delete;

    // Checks the voice database at path and that mbrola accepts it.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return open_; }

    // Takes effect from the next mbrola process started.
    void setVolume(float ratio);

    int write(const char* text);
    int flush();
    int read(int16_t* buffer, int wanted);
    void reset();

    // The last error, in Portuguese (UTF-8).
    const std::string& error() const { return error_; }

private:
    // The text of one utterance for one mbrola process.
    struct Utterance {
        std::string text;
        size_t sent = 0;         // bytes of text already in mbrola's stdin
        bool ended = false;      // its "#" line has been written
        bool hasPhones = false;  // holds at least one phoneme line
    };
    using Clock = std::chrono::steady_clock;

    Utterance& currentUtterance();
    void append(const char* text, size_t size);
    void endLine();

    bool pump(int timeoutMs);
    bool transfer();
    void waitForChild(int timeoutMs);
    bool feedInput();
    bool drainOutput();
    void drainErrors();
    void takeSamples(const char* bytes, size_t size);
    void takeErrorText(const char* text, size_t size);
    void finishChild();
    bool startChild();
    std::vector<std::string> mbrolaArgv() const;
    bool takeSpare(const std::vector<std::string>& argv);
    void startSpare(const std::vector<std::string>& argv);
    void dropSpare();
    void abandonChild(const std::string& reason);
    bool stalled(Clock::time_point lastProgress) const;

    bool childInputPending() const;
    bool endedUtterancePending() const;
    size_t available() const { return samples_.size() - head_; }
    void dropOutput();
    void fail(const std::string& message);

    bool open_ = false;
    std::string voicePath_;
    bool eightK_ = false;
    float volume_ = 1.0f;

    std::deque<Utterance> utterances_;
    std::string line_;  // the line being written, up to now; it joins its utterance when whole

    ChildProcess child_;
    bool inputLost_ = false;    // the child stopped reading before its input ended
    std::string errorLine_;     // the child's stderr line being received
    std::string childMessage_;  // its first stderr line that is not a warning

    // The next utterance's process, started but not yet given any input; the
    // arguments it was started with tell whether it still fits.
    ChildProcess spare_;
    std::vector<std::string> spareArgv_;

    Resampler resampler_;
    std::vector<char> readBuffer_;
    std::vector<int16_t> samples_;
    size_t head_ = 0;   // samples_ before head_ have been read
    int oddByte_ = -1;  // first byte of a sample whose second byte is still to come

    bool failed_ = false;       // an error that read still has to report
    bool startFailed_ = false;  // the last failure was mbrola not starting
    std::string error_;
};

}  // namespace fvdsp
