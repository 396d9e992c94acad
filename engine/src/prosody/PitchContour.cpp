// The pitch contour: every phone gets one pitch point, a base of 100 Hz plus
// an excursion of up to 20 Hz shaped by the accent of its word and by its
// place in the phrase (declination, and a final fall or rise chosen by the
// phrase's punctuation), times the speaker's pitch and the inline controls.
#include <cstdlib>

#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "prosody/Prosody.h"

namespace {

bool StartsSegment(int j) { return PhoneList[j].wordStart == 1; }

// How much the phone's word and stress lift it.
float AccentFactor(const PassWords& pass, int g, int j) {
    const TPhone& phone = PhoneList[j];
    const TIPO_TOKEN& word = Tokens[g];
    if (phone.stress == 1) {
        // A word of class D leans on the next word unless a verb or the like precedes it.
        if (IsInClass(pass, g, "D") && !IsInClass(pass, g - 1, "VPER") && word.punct == 0) return 0.85f;
        return j == word.stressedPhone ? 1.35f : 1.25f;
    }
    if (phone.stress == 2) return 1.25f;
    if (phone.symbol == "a" && j == word.lastPhone) return 0.6f;
    return 1.0f;
}

// The pitch falls along the phrase, down to a floor that it keeps: once
// below 0.2 the reference phone moves along with the phone.
float Declination(TPhrase& phrase, int j) {
    const float decl = 1.0f - static_cast<float>(j - phrase.firstPhone) * 0.007f;
    if (decl < 0.2f) ++phrase.firstPhone;
    return decl;
}

// True unless j lies before the last segment of a compound token.
bool InLastSegment(int g, int j) {
    const TIPO_TOKEN& word = Tokens[g];
    if (word.phraseMark != 2) return true;
    for (int k = j; k <= word.lastPhone; ++k) {
        if (StartsSegment(k)) return false;
    }
    return true;
}

struct PhoneInWord {
    int f;          // the word's first phone
    int l;          // the word's last phone
    int D;          // signed stress distance
    int d;          // its size
    bool interior;  // away from both edges of the word and of its segments
};

// Before a comma the phrase stays up, with a dip after the stress.
float CommaFinalShape(const PhoneInWord& at, int j, float decl) {
    if (at.interior) {
        if (at.d >= 1 && at.d <= 3) return decl * 0.8f;
        if (at.d == 4 || at.d == 5) return decl * 0.85f;
        if (at.d > 6) return decl * 0.89f;
        return decl * 0.93f;  // 0 or 6
    }
    if (j < at.f + 2) return decl * 0.7f;
    return at.d == 0 ? decl * 1.0f : decl * 0.65f;
}

// The last word of a phrase falls to the end.
float FinalShape(const TIPO_TOKEN& word, const PhoneInWord& at, int j, float decl) {
    float value;
    if (at.interior) {
        const float v = at.D > 0 ? decl * 1.3f : decl;
        if (at.d == 0) {
            value = v * 0.78f;
        } else if (at.d <= 3) {
            value = v * 0.5f;
        } else if (at.d <= 5) {
            value = v * 0.58f;
        } else {
            value = v * 0.68f;
        }
        if (word.length > 5) value *= 1.14f;
    } else {
        const int n = at.l - at.f;
        if (n < 3) {
            value = at.D == 0 ? decl * 0.45f : decl * 0.35f;
        } else if (n <= 4) {
            value = at.D == 0 && j >= at.l - 3 ? decl * 0.3f : decl * 0.35f;
        } else if (j < at.f + 2 && at.f + 3 < at.l) {
            value = decl * 0.7f;
        } else {
            value = at.D == 0 ? decl * 0.6f * 0.3f : decl * 0.6f * 0.35f;
        }
    }
    if (word.length <= 6 && IsStressed(PhoneList[j]) && j <= at.l - 1) {
        value *= 1.45f;
    } else if (value > 0.4f) {
        value -= 0.2f;
    }
    return value;
}

float InnerShape(const PhoneInWord& at, int j, float decl) {
    if (at.interior) {
        if (at.d >= 1 && at.d <= 3) return decl * 0.78f;
        if (at.d == 4 || at.d == 5) return decl * 0.83f;
        if (at.d > 6) return decl * 0.95f;
        return decl * 1.1f;  // 0 or 6
    }
    if (at.l - at.f < 5) return at.d == 0 ? decl * 0.85f : decl * 0.7f;
    if (j > at.f + 1) return at.d == 0 ? decl * 0.95f : decl * 0.93f;
    return at.d == 0 ? decl * 0.85f : decl * 0.7f;
}

// The shape of the contour at phone j of word g in phrase p.
float ShapeFactor(const PassWords& pass, int p, int g, int j) {
    TPhrase& phrase = Phrases[p];
    const TIPO_TOKEN& word = Tokens[g];
    PhoneInWord at;
    at.f = word.firstPhone;
    at.l = word.lastPhone;
    at.D = StressDistance(g, j);
    at.d = std::abs(at.D);
    at.interior = at.f + 1 < j && at.l - 1 > j && !StartsSegment(j) && !StartsSegment(j + 1);

    const float decl = Declination(phrase, j);
    const bool phraseFinal = g == phrase.lastWord;
    float shape;
    if (phraseFinal && word.punct == ',') {
        shape = CommaFinalShape(at, j, decl);
    } else if (phraseFinal && InLastSegment(g, j)) {
        shape = FinalShape(word, at, j, decl);
    } else {
        shape = InnerShape(at, j, decl);
    }

    const char previousMark = p > 0 ? Phrases[p - 1].closingMark : 0;
    // Inside a parenthesis a compound token is spoken low and falling.
    if (previousMark == '(' && word.phraseMark == 2) {
        if (StartsSegment(j) || StartsSegment(j - 1)) shape *= 1.1f;
        if (IsStressed(PhoneList[j])) shape *= 1.15f;
        const float r = 1.0f - static_cast<float>(j - at.f) * 0.004f;
        shape *= r <= 0.6f ? r : 0.6f;
    }
    if (g == phrase.firstWord && previousMark == ',') shape *= 0.85f;
    if (g == phrase.lastWord - 1) shape *= IsInClass(pass, g, "D") ? 1.4f : 1.05f;
    if (previousMark == '(') shape *= 0.5f;
    return shape;
}

}  // namespace

void ComputePitch(const PassWords& pass, int p, int g, int j) {
    TPhone& phone = PhoneList[j];
    const int32_t position =
        PitchPosition[static_cast<unsigned char>(phone.symbol.empty() ? 0 : phone.symbol[0])];
    float pitch;
    if (phone.fixedPitch == 1) {
        pitch = phone.pitchValue;
    } else {
        if (phone.pitchValue > 0) RunningProsody.pitch = Engine.currentPitchFactor * phone.pitchValue;
        const float excursion = 20.0f * AccentFactor(pass, g, j) * ShapeFactor(pass, p, g, j);
        pitch = (100.0f + excursion) * RunningProsody.pitch * RunningProsody.levelPitch;
    }
    phone.points[0] = {position, pitch};
    phone.points[1] = {-1, 0.0f};
}
