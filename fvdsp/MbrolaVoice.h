// The voice behind the library interface: phoneme lines go to Debian's
// mbrola program, its 16 kHz samples come back (resampled to 8 kHz for the
// 8 kHz voice) and wait in a queue until they are read.
//
// mbrola only hands out the last samples of an utterance when its input
// ends or a "#" line flushes it, and its output is a few samples shorter
// than the durations add up to, so the byte count never tells where an
// utterance ends. One mbrola process serves utterance after utterance:
// after each utterance's "#" it is sent a phone the voice does not have,
// and its warning about that phone on stderr comes only once the
// utterance's samples are all on stdout. What mbrola keeps back after a
// flush is less than one period of the voice; a short silence completing
// that period, whose samples are dropped, leaves it as a fresh process
// would be, so every utterance sounds the same as in a process of its own.
//
// When mbrola does not answer that phone at open, or its sample count ever
// disagrees with the durations sent, each utterance gets a process of its
// own again: the "#" line ends it, its stdin is closed there, and the end
// of its stdout is the end of the utterance. One more process, started
// with the same arguments, then waits as a spare with its voice loaded.
#pragma once

#include "ChildProcess.h"
#include "Resampler.h"

#include <poll.h>
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
    const std::string& path() const { return voicePath_; }

    // Takes effect from the next utterance.
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
        size_t sent = 0;          // bytes of text already in mbrola's stdin
        bool ended = false;       // its "#" line has been written
        bool hasPhones = false;   // holds at least one phoneme line
        bool started = false;     // some of it has gone to mbrola
        bool markerSent = false;  // the end marker follows its text
        long long samples = 0;    // what mbrola owes for its phones; -1 when unsure
    };
    using Clock = std::chrono::steady_clock;

    Utterance& currentUtterance();
    void append(const char* text, size_t size);
    void endLine();

    bool pump(int timeoutMs);
    bool transfer(int timeoutMs);
    void addPollFds(std::vector<pollfd>& fds) const;
    bool feedInput();
    bool drainOutput();
    bool drainErrors();
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

    // The long-lived child.
    void dropEmptyUtterances();
    bool childFitsNextUtterance();
    bool awaitingMarker() const;
    void takeMarker();
    void endUtteranceInChild();
    void finishPad();
    void retireChild();
    void stopReusing();
    bool childBusy() const;
    int probe(int& samples);
    bool childInputPending() const;
    bool endedUtterancePending() const;
    size_t available() const { return samples_.size() - head_; }
    void dropOutput();
    void fail(const std::string& message);

    bool open_ = false;
    std::string voicePath_;
    std::string program_;  // the mbrola program, found at open
    bool eightK_ = false;
    float volume_ = 1.0f;

    std::deque<Utterance> utterances_;
    std::string line_;  // the line being written, up to now; it joins its utterance when whole

    ChildProcess child_;
    std::vector<std::string> childArgv_;
    bool keepChild_ = false;  // child_ serves utterance after utterance

    int period_ = 0;                 // the voice's period in samples; 0: a process per utterance
    bool reuse_ = false;             // new children are kept across utterances
    bool checkingReuse_ = false;     // the marker is on trial, at open
    long long owedSamples_ = 0;      // by durations sent to the kept child
    long long receivedSamples_ = 0;  // from the kept child, before resampling
    int markersSeen_ = 0;            // marker warnings not yet acted on
    bool padding_ = false;           // the aligning silence is on its way
    Clock::time_point lastActivity_;
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
    std::vector<int16_t> scratch_;  // samples on their way to the resampler, or dropped
    size_t head_ = 0;               // samples_ before head_ have been read
    int oddByte_ = -1;              // first byte of a sample whose second byte is still to come

    bool failed_ = false;       // an error that read still has to report
    bool startFailed_ = false;  // the last failure was mbrola not starting
    std::string error_;
};

}  // namespace fvdsp
