#include "Resampler.h"

#include <soxr.h>

namespace fvdsp {

Resampler::~Resampler() { close(); }

bool Resampler::open(double inRate, double outRate, std::string& error) {
    close();
    soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
    // Without dither the same utterance always gives the same samples.
    io.flags |= SOXR_NO_DITHER;
    soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t err = nullptr;
    soxr_ = soxr_create(inRate, outRate, 1, &err, &io, &quality, nullptr);
    if (err) {
        error = err;
        soxr_delete(soxr_);
        soxr_ = nullptr;
        return false;
    }
    ratio_ = outRate / inRate;
    return true;
}

void Resampler::close() {
    if (soxr_) {
        soxr_delete(soxr_);
        soxr_ = nullptr;
    }
}

void Resampler::process(const int16_t* in, size_t count, std::vector<int16_t>& out) {
    while (count > 0) {
        size_t room = static_cast<size_t>(count * ratio_) + 64;
        size_t start = out.size();
        out.resize(start + room);
        size_t used = 0, made = 0;
        soxr_process(soxr_, in, count, &used, out.data() + start, room, &made);
        out.resize(start + made);
        in += used;
        count -= used;
        if (used == 0 && made == 0) break;
    }
}

void Resampler::finish(std::vector<int16_t>& out) {
    // A null input tells soxr the stream has ended; it then hands out its
    // tail over as many calls as it takes until it gives nothing more.
    const size_t room = 4096;
    for (;;) {
        size_t start = out.size();
        out.resize(start + room);
        size_t made = 0;
        soxr_process(soxr_, nullptr, 0, nullptr, out.data() + start, room, &made);
        out.resize(start + made);
        if (made == 0) break;
    }
    soxr_clear(soxr_);
}

void Resampler::clear() {
    if (soxr_) soxr_clear(soxr_);
}

}  // namespace fvdsp
