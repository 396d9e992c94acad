#include "PhonemeLine.h"

#include <locale.h>
#include <stdlib.h>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace fvdsp {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        size_t start = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// A number as mbrola reads it: the longest prefix strtod takes in the C
// locale ("inf", "nan" and hexadecimal included), whatever the host's
// locale. False when the field does not start with a number.
bool readNumber(std::string_view field, double& value) {
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    const std::string text(field);
    char* end = nullptr;
    value = strtod_l(text.c_str(), &end, cLocale);
    return end != text.c_str();
}

std::string formatNumber(double value) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

struct PitchPoint {
    double position;
    double pitch;
};

struct PhoneLine {
    std::string_view name;
    double duration = 0;
    std::vector<PitchPoint> points;
};

// False for a line that is not a phone with its numbers: a comment, a
// command, or a line mbrola will refuse on its own.
bool readPhoneLine(const std::vector<std::string_view>& fields, PhoneLine& phone) {
    if (fields.size() < 2 || fields.size() % 2 != 0) return false;
    if (fields[0].front() == ';' || fields[0] == "#") return false;
    phone.name = fields[0];
    if (!readNumber(fields[1], phone.duration)) return false;
    for (size_t i = 2; i < fields.size(); i += 2) {
        PitchPoint point;
        if (!readNumber(fields[i], point.position) || !readNumber(fields[i + 1], point.pitch)) return false;
        phone.points.push_back(point);
    }
    return true;
}

bool pitchWithinLimits(double pitch) { return pitch >= kLowestPitch && pitch <= kHighestPitch; }

bool withinLimits(const PhoneLine& phone) {
    if (!(phone.duration >= 0 && phone.duration <= kLongestPieceMs)) return false;
    return std::all_of(phone.points.begin(), phone.points.end(), [](const PitchPoint& point) {
        return std::isfinite(point.position) && pitchWithinLimits(point.pitch);
    });
}

// Not a number reads as the lowest value; infinities as the nearest limit.
double clampedPitch(double pitch) {
    return std::isnan(pitch) ? kLowestPitch : std::clamp(pitch, kLowestPitch, kHighestPitch);
}

void bringWithinLimits(PhoneLine& phone) {
    // A duration below zero, or not a number, means no time at all.
    phone.duration = phone.duration > 0 ? std::min(phone.duration, kLongestPieceMs * kMostPieces) : 0;
    for (PitchPoint& point : phone.points) {
        point.pitch = clampedPitch(point.pitch);
        if (!std::isfinite(point.position)) point.position = std::isnan(point.position) ? 0 : 100;
    }
}

// The piece of the phone cut into `pieces` that a point falls in, and its
// position within that piece.
int pieceOf(const PitchPoint& point, int pieces, double& positionInPiece) {
    const double position = std::clamp(point.position, 0.0, 100.0);
    const int piece = std::min(static_cast<int>(position * pieces / 100), pieces - 1);
    positionInPiece = position * pieces - 100.0 * piece;
    return piece;
}

std::string phoneText(std::string_view name, double duration, const std::vector<PitchPoint>& points) {
    std::string text(name);
    text += " " + formatNumber(duration);
    for (const PitchPoint& point : points)
        text += " " + formatNumber(point.position) + " " + formatNumber(point.pitch);
    return text;
}

// The phone as consecutive lines of the same phone, each at most
// kLongestPieceMs long, with its pitch points moved into the piece they
// fall in; mbrola interpolates between them across pieces as across phones.
std::string cutIntoPieces(const PhoneLine& phone, std::string_view lineEnd) {
    const int pieces = static_cast<int>(std::ceil(phone.duration / kLongestPieceMs));
    std::vector<std::vector<PitchPoint>> piecePoints(static_cast<size_t>(pieces));
    for (const PitchPoint& point : phone.points) {
        double position = 0;
        const int piece = pieceOf(point, pieces, position);
        piecePoints[static_cast<size_t>(piece)].push_back({position, point.pitch});
    }
    std::string text;
    double pieceStart = 0;
    for (int k = 0; k < pieces; ++k) {
        // Whole milliseconds where the phone's are whole, and the same total.
        const double pieceEnd =
            k + 1 == pieces ? phone.duration : std::round(phone.duration * (k + 1) / pieces);
        if (k > 0) text += lineEnd;
        text += phoneText(phone.name, pieceEnd - pieceStart, piecePoints[static_cast<size_t>(k)]);
        pieceStart = pieceEnd;
    }
    return text;
}

}  // namespace

std::string WithinMbrolaLimits(std::string_view line, std::string_view lineEnd) {
    PhoneLine phone;
    if (!readPhoneLine(fieldsOf(line), phone) || withinLimits(phone)) return std::string(line);
    bringWithinLimits(phone);
    if (phone.duration <= kLongestPieceMs) return phoneText(phone.name, phone.duration, phone.points);
    return cutIntoPieces(phone, lineEnd);
}

long long PhoneSamples(std::string_view lines, int rate) {
    long long total = 0;
    while (!lines.empty()) {
        const size_t end = std::min(lines.find('\n'), lines.size());
        const std::vector<std::string_view> fields = fieldsOf(lines.substr(0, end));
        lines.remove_prefix(std::min(end + 1, lines.size()));
        if (fields.empty() || fields[0].front() == ';' || fields[0] == "#") continue;
        PhoneLine phone;
        if (!readPhoneLine(fields, phone) || !withinLimits(phone)) return -1;
        total +=
            static_cast<long long>(static_cast<float>(phone.duration) * static_cast<float>(rate) / 1000.0f);
    }
    return total;
}

}  // namespace fvdsp
