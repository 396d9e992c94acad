// Streaming sample-rate conversion of 16-bit mono audio (libsoxr).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct soxr;

namespace fvdsp {

class Resampler {
public:
    Resampler() = default;
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Prepares a conversion from inRate to outRate; false with the reason
    // in error when the library refuses it.
    bool open(double inRate, double outRate, std::string& error);
    bool isOpen() const { return soxr_ != nullptr; }
    void close();

    // Appends the output for count more input samples to out.
    void process(const int16_t* in, size_t count, std::vector<int16_t>& out);

    // Appends what the filter still holds at the end of a stream and makes
    // the converter ready for a new, unrelated stream.
    void finish(std::vector<int16_t>& out);

    // Forgets the current stream without producing its tail.
    void clear();

private:
    soxr* soxr_ = nullptr;
    double ratio_ = 1.0;
};

}  // namespace fvdsp
