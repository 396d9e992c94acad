// A stand-in for a diphone voice where MBROLA's synthesiser cannot be had:
// every phone line becomes a sine tone of the phone's duration that follows
// its pitch points; "_" is silence. It reads the lines MBROLA reads and
// gives the samples at the voice's rate, so the engine runs unchanged.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace fvdsp {

class ToneVoice {
public:
    // Takes the voice database at path: its header must be MBROLA's. The
    // rate is the database's, or 8000 Hz when the file's name says 8k.
    bool Open(const std::string& path);
    void Close();
    void SetVolume(float ratio) { volume_ = ratio; }
    // Lines ended by LF or CR LF; a "#" line flushes, a ";" line is a
    // comment. 0, or -1 for a line whose duration is not a number.
    int Write(std::string_view lines);
    int Read(int16_t* buffer, int wanted);
    void Reset();
    const std::string& Error() const { return error_; }
    int Rate() const { return rate_; }

private:
    int Line(std::string_view line);

    std::string pending_;  // a line not yet ended
    std::deque<int16_t> samples_;
    std::string error_;
    float volume_ = 1.0f;
    int rate_ = 0;
    double phase_ = 0;
    double lastPitch_ = 120;
};

}  // namespace fvdsp
