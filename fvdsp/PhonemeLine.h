// Keeps phoneme lines within what the mbrola program survives.
//
// mbrola computes at most 2000 pitch periods per diphone and gives up with
// "PANIC, check your pitch" when a diphone needs more: a phone of several
// seconds, or a pitch far above a voice's range, ends the whole utterance.
// A negative pitch is worse: it corrupts mbrola's memory and kills it; and
// a duration that is not a number has it write gigabytes of noise.
// Lines are otherwise passed on as they stand, errors included: mbrola
// reports those itself.
#pragma once

#include <string>
#include <string_view>

namespace fvdsp {

// A longer phone is cut into pieces of at most this, each a line of the same
// phone. A diphone then spans at most this long, and at the highest pitch
// below that needs 1000 periods, half of mbrola's limit.
constexpr double kLongestPieceMs = 1000;
// More pieces than this (two hours of one phone) and the phone is cut short.
constexpr int kMostPieces = 7200;
// Pitch values are held between these, in hertz: far beyond any voice, and
// short of what mbrola fails on.
constexpr double kLowestPitch = 1;
constexpr double kHighestPitch = 1000;

// The line (without its line end) as mbrola can take it: itself, or several
// lines, each ended by lineEnd except the last.
std::string WithinMbrolaLimits(std::string_view line, std::string_view lineEnd);

// How many samples mbrola owes for the phones of these lines at rate
// samples per second: it cuts each phone's duration to whole samples in
// single precision. -1 when a line is not one it is sure to read that way.
long long PhoneSamples(std::string_view lines, int rate);

}  // namespace fvdsp
