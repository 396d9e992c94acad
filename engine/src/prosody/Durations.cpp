// Phone durations: the stretchable part of a phone (its inherent duration
// minus its minimum) is scaled by its stress, its neighbours and its place in
// the word and the phrase; the minimum is added back and the whole scaled by
// the speaking rate and the voice level. Single precision throughout, as the
// voice was tuned with it.
#include <cstdlib>
#include <string_view>

#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/Tokens.h"
#include "prosody/Prosody.h"

namespace {

unsigned char CodeOf(const TPhone& phone) {
    return phone.symbol.empty() ? 0 : static_cast<unsigned char>(phone.symbol[0]);
}

uint16_t ClassOf(const TPhone& phone) { return PhoneClass[CodeOf(phone)]; }

bool IsSibilantCoda(const TPhone& phone) { return phone.symbol == "S" || phone.symbol == "%"; }

// Searches from j towards `to` for a stressed phone of j's segment: a segment
// start ends the search without a result.
int StressInSegment(int j, int to, int step) {
    for (int k = j; step < 0 ? k >= to : k <= to; k += step) {
        if (PhoneList[k].wordStart == 1) return -1;
        if (PhoneList[k].stress == 1) return k;
    }
    return -1;
}

float StressFactor(int g, int j) {
    const TPhone& phone = PhoneList[j];
    if (phone.stress == 1) return j == Tokens[g].stressedPhone ? 1.15f : 1.05f;
    if (phone.stress == 2) return 1.1f;
    return 1.0f;
}

// A vowel before another phone of its word, by that phone's class.
float VowelBeforeFactor(const TPhone& next) {
    switch (ClassOf(next)) {
        case kClassFricative:
            return 0.83f;
        case kClassLiquid:
            return 0.9f;
        case kClassPlosive:
            return 0.8f;
        case kClassNasal:
            return 0.85f;
        case kClassVowel:
            return 0.9f;
        default:
            return 1.0f;
    }
}

// How the neighbouring phones shorten or lengthen the current one.
float ContextFactor(int j, int wordLast) {
    const TPhone& previous = PhoneList[j - 1];
    const TPhone& current = PhoneList[j];
    const TPhone& next = PhoneList[j + 1];
    if (IsVowelPhone(current) && j + 1 <= wordLast) {
        if (IsNasalVowel(previous)) return 1.3f;
        if (IsNasalVowel(current) && IsVowelPhone(next)) return 1.3f;
        return VowelBeforeFactor(next);
    }
    const uint16_t nextClass = ClassOf(next);
    const uint16_t currentClass = ClassOf(current);
    if (IsSibilantCoda(current) &&
        (nextClass == kClassLiquid || nextClass == kClassPlosive || nextClass == kClassFricative)) {
        return 1.15f;
    }
    if (IsSibilantCoda(previous) && (currentClass == kClassPlosive || currentClass == kClassFricative)) {
        return 1.1f;
    }
    if (currentClass == kClassGlide && IsVowelPhone(previous)) return 0.9f;
    if ((IsNasalVowel(previous) && IsVowelPhone(current)) ||
        (IsNasalVowel(current) && IsVowelPhone(previous))) {
        return 1.3f;
    }
    if (IsVowelPhone(current) && IsVowelPhone(previous)) return 1.4f;
    if (currentClass == kClassPlosive && IsNasalVowel(next)) return 1.5f;
    static constexpr std::string_view kObstruents = "dkfgptv";
    if (previous.symbol.size() == 1 && kObstruents.find(previous.symbol[0]) != std::string_view::npos &&
        (current.symbol == "r" || current.symbol == "l")) {
        return 0.85f;
    }
    return 1.0f;
}

// By the distance d from the stress: 1 to 3, 4 to 6, above 6, and 0.
float ByStressDistance(int d, float near, float middle, float far, float onStress) {
    if (d == 0) return onStress;
    if (d <= 3) return near;
    if (d <= 6) return middle;
    return far;
}

// Phones lengthen towards the end of a phrase and on the stress; short words
// and one-word utterances are drawn out.
float PositionFactor(const PassWords& pass, int p, int g, int j) {
    const TIPO_TOKEN& word = Tokens[g];
    const TPhone& phone = PhoneList[j];
    const int f = word.firstPhone;
    const int l = word.lastPhone;
    const int d = std::abs(StressDistance(g, j));
    const bool phraseFinal = g == Phrases[p].lastWord;

    float factor;
    if (phraseFinal) {
        if (f + 1 < j && j < l - 1) {
            factor = ByStressDistance(d, 1.05f, 0.95f, 0.9f, 1.6f);
        } else if (j == f && word.length <= 6 && IsStressed(phone)) {
            factor = 1.7f;
        } else {
            factor = d == 0 ? 1.4f : 1.2f;
        }
    } else if (f + 1 <= j && j <= l - 1) {
        factor = ByStressDistance(d, 0.8f, 0.83f, 0.85f, 1.0f);
    } else {
        factor = d == 0 ? 1.0f : 0.85f;
    }

    const TPhone& next = PhoneList[j + 1];
    if (phraseFinal && j == l && IsSibilantCoda(phone) && (!IsVowelPhone(next) || IsNasalVowel(next))) {
        factor *= 1.6f;
    }

    if (word.length <= 2 && word.phraseMark != 2) {
        factor *= IsStressed(phone) ? 1.3f : 1.2f;
    } else if (word.length >= 8 && !IsStressed(phone)) {
        factor *= 0.95f;
    }

    const bool singleWord = pass.chunkEnd == 1;
    if (singleWord && word.length > 2 && word.phraseMark == 2) {
        factor *= 0.6f;
    } else if (singleWord && word.phraseMark != 1 && word.length <= 3) {
        factor *= 1.5f;
    } else if (g == pass.chunkEnd - 1 && Tokens[0].phraseMark != 1 && phone.tempoValue != 0) {
        factor *= 0.6f;
    }
    return factor;
}

void SetTempo(float tempoValue) { RunningProsody.tempo = Engine.currentRateFactor * tempoValue; }

}  // namespace

int StressDistance(int g, int j) {
    const TIPO_TOKEN& word = Tokens[g];
    const bool stressed = PhoneList[j].stress == 1;
    if (!word.phonetic) return stressed ? 0 : word.stressedPhone - j;
    // A phonetic section may hold several words, each with its own stress.
    int found = StressInSegment(j, word.firstPhone, -1);
    if (found < 0) found = StressInSegment(j, word.lastPhone, +1);
    if (found < 0) return word.stressedPhone - j;
    return stressed ? 0 : found - j;
}

void ComputeDuration(const PassWords& pass, int p, int g, int j) {
    TPhone& phone = PhoneList[j];
    if (phone.level != 0) UpdateLevelFactors(phone.level);
    if (phone.fixedDuration == 1) {
        phone.duration = DurationMs(phone.tempoValue);
        return;
    }
    // A pause whose length an earlier stage set keeps it, whatever the rate.
    if (phone.symbol == "_" && phone.duration != 0) {
        if (phone.tempoValue != 0) SetTempo(phone.tempoValue);
        return;
    }
    if (phone.tempoValue != 0) SetTempo(phone.tempoValue);

    const unsigned char k = CodeOf(phone);
    const float stretchable = static_cast<float>(InherentDuration[k] - MinimumDuration[k]);
    const float stretch = StressFactor(g, j) * stretchable * ContextFactor(j, Tokens[g].lastPhone) *
                          PositionFactor(pass, p, g, j);
    float d = (static_cast<float>(MinimumDuration[k]) + stretch) * RunningProsody.tempo *
              RunningProsody.levelDuration;
    if (phone.symbol == "i" && phone.stress == 1) d *= 1.4f;
    phone.duration = DurationMs(d);
}
