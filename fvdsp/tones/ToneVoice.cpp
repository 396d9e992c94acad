#include "ToneVoice.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace fvdsp {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kAmplitude = 8000;  // a quarter of full scale: loud, never clipped
constexpr int kHeaderRateOffset = 23;
// A phone lasts at most two hours, as the Linux library lets mbrola speak
// one: a huge duration must not take all memory.
constexpr double kLongestPhoneMs = 2 * 3600 * 1000.0;

struct PitchPoint {
    double position;  // percent of the phone
    double hertz;
};

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        size_t begin = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > begin) words.emplace_back(line.substr(begin, i - begin));
    }
    return words;
}

bool Number(const std::string& word, double& value) {
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end != word.c_str() && *end == '\0' && std::isfinite(value);
}

// The pitch at position percent of the phone: straight lines between the
// points, the nearest point's value beyond them.
double PitchAt(const std::vector<PitchPoint>& points, double percent, double otherwise) {
    if (points.empty()) return otherwise;
    if (percent <= points.front().position) return points.front().hertz;
    for (size_t k = 1; k < points.size(); ++k) {
        const PitchPoint& a = points[k - 1];
        const PitchPoint& b = points[k];
        if (percent <= b.position) {
            double span = b.position - a.position;
            return span <= 0 ? b.hertz : a.hertz + (b.hertz - a.hertz) * (percent - a.position) / span;
        }
    }
    return points.back().hertz;
}

bool NameMeans8k(const std::string& path) {
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name.find("8k") != std::string::npos;
}

}  // namespace

bool ToneVoice::Open(const std::string& path) {
    Close();
    unsigned char header[kHeaderRateOffset + 2] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error_ = "Arquivo de voz não encontrado: " + path;
        return false;
    }
    size_t n = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    if (n != sizeof header || std::memcmp(header, "MBROLA", 6) != 0) {
        error_ = "Arquivo de voz inválido: " + path;
        return false;
    }
    rate_ = NameMeans8k(path) ? 8000 : header[kHeaderRateOffset] | header[kHeaderRateOffset + 1] << 8;
    error_.clear();
    return rate_ > 0;
}

void ToneVoice::Close() {
    Reset();
    rate_ = 0;
}

void ToneVoice::Reset() {
    pending_.clear();
    samples_.clear();
    phase_ = 0;
}

int ToneVoice::Write(std::string_view lines) {
    if (rate_ == 0) {
        error_ = "Nenhuma voz aberta.";
        return -1;
    }
    int result = 0;
    pending_.append(lines);
    size_t end;
    while ((end = pending_.find_first_of("\n#")) != std::string::npos) {
        if (pending_[end] == '#') {  // the flush, with or without a line end
            pending_.erase(0, end + 1);
            continue;
        }
        if (Line(std::string_view(pending_).substr(0, end)) != 0) result = -1;
        pending_.erase(0, end + 1);
    }
    return result;
}

int ToneVoice::Line(std::string_view line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == ';') return 0;
    double duration = 0;
    if (words.size() < 2 || !Number(words[1], duration) || duration < 0) {
        error_ = "Linha sem duração: " + std::string(line);
        return -1;
    }
    std::vector<PitchPoint> points;
    for (size_t k = 2; k + 1 < words.size(); k += 2) {
        PitchPoint point{};
        if (Number(words[k], point.position) && Number(words[k + 1], point.hertz) && point.hertz > 0)
            points.push_back(point);
    }
    // As mbrola does, each phone is cut to whole samples.
    duration = std::fmin(duration, kLongestPhoneMs);
    const long count = static_cast<long>(static_cast<float>(duration) * static_cast<float>(rate_) / 1000.0f);
    const bool silent = words[0] == "_";
    for (long s = 0; s < count; ++s) {
        const double hertz = PitchAt(points, 100.0 * s / count, lastPitch_);
        phase_ = std::fmod(phase_ + kTwoPi * hertz / rate_, kTwoPi);
        const double value = silent ? 0 : std::sin(phase_) * kAmplitude * volume_;
        samples_.push_back(static_cast<int16_t>(std::lround(std::fmax(-32767.0, std::fmin(32767.0, value)))));
    }
    if (!points.empty()) lastPitch_ = points.back().hertz;
    return 0;
}

int ToneVoice::Read(int16_t* buffer, int wanted) {
    int n = 0;
    while (n < wanted && !samples_.empty()) {
        buffer[n++] = samples_.front();
        samples_.pop_front();
    }
    return n;
}

}  // namespace fvdsp
