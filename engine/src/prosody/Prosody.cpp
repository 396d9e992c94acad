// The duration and pitch pass: phrases, words and phones in order, each phone
// its duration and then its pitch point, and the running states of one
// utterance that carry from pass to pass.
#include "prosody/Prosody.h"

#include <algorithm>
#include <cmath>

#include "core/BuiltinTables.h"
#include "core/EngineState.h"
#include "core/Tokens.h"

PhraseTable Phrases;
ProsodyState RunningProsody;

void ResetProsodyState() {
    RunningProsody = ProsodyState{};
    RunningProsody.tempo = Engine.currentRateFactor;
    RunningProsody.pitch = Engine.currentPitchFactor;
}

namespace {

int FindEndRecord() {
    int e = 0;
    while (e < kMaxPhonesPerPass && !IsEndRecord(PhoneList[e])) ++e;
    return e;
}

int FindChunkEnd() {
    int i = 0;
    while (i < TokenTable::kLast && !IsEndMarker(i)) ++i;
    return i;
}

// A word belongs to the pass when its phones are phones of this pass (or it
// has none, pointing inside the list).
bool HoldsItsPhones(int w, int endRecord) {
    const TIPO_TOKEN& word = Tokens[w];
    if (word.lastPhone < word.firstPhone) return word.firstPhone >= 0 && word.firstPhone <= endRecord;
    return word.firstPhone >= 0 && word.lastPhone < endRecord && PhoneList[word.firstPhone].word == w &&
           PhoneList[word.lastPhone].word == w;
}

bool IsEmptyAtListStart(int w) { return Tokens[w].firstPhone == 0 && Tokens[w].lastPhone < 0; }

}  // namespace

PassWords LocatePassWords() {
    PassWords pass;
    pass.endRecord = FindEndRecord();
    pass.chunkEnd = FindChunkEnd();
    int first = pass.chunkEnd;
    if (pass.endRecord > 0 && pass.IsWord(PhoneList[0].word)) first = PhoneList[0].word;
    // Words without phones that open the pass point at phone 0.
    while (first > 0 && IsEmptyAtListStart(first - 1)) --first;
    int end = first;
    while (end < pass.chunkEnd && HoldsItsPhones(end, pass.endRecord)) ++end;
    pass.first = first;
    pass.end = end;
    return pass;
}

bool IsInClass(const PassWords& pass, int w, std::string_view letters) {
    if (!pass.IsWord(w) || Tokens[w].tag.empty()) return false;
    const char letter = Tokens[w].tag[0];
    return letter != 0 && letters.find(letter) != std::string_view::npos;
}

bool HasSubclass(const PassWords& pass, int w, char subclass) {
    return pass.IsWord(w) && Tokens[w].subclass.size() == 1 && Tokens[w].subclass[0] == subclass;
}

bool IsVowelPhone(const TPhone& phone) {
    return !phone.symbol.empty() && PhoneClassOf(phone.symbol[0]) == kClassVowel;
}

bool IsNasalVowel(const TPhone& phone) {
    static constexpr std::string_view kNasalVowels = "\xE4\xEB\xEF\xF6\xFC";  // ä ë ï ö ü
    return !phone.symbol.empty() && kNasalVowels.find(phone.symbol) != std::string_view::npos;
}

bool IsStressed(const TPhone& phone) { return phone.stress == 1 || phone.stress == 2; }

uint16_t DurationMs(float ms) {
    if (!(ms > 0.0f)) return 0;
    return static_cast<uint16_t>(std::min(std::trunc(ms), 65535.0f));
}

void UpdateLevelFactors(uint8_t level) {
    const float v = level;
    if (level < 4) {
        RunningProsody.levelDuration = 2.5f - 0.75f / v;
    } else if (level <= 6) {
        RunningProsody.levelDuration = 2.0f - 0.75f / v;
    } else {
        RunningProsody.levelDuration = 1.0f;
    }
    RunningProsody.levelPitch = level <= 10 ? 1.0f - (10.0f - v) * 0.07f : 1.0f - (10.0f - v) * 0.13f;
}

namespace {

float& PitchOf(TPhone& phone) { return phone.points[0].pitch; }

void AddMs(TPhone& phone, int ms) {
    phone.duration = static_cast<uint16_t>(std::clamp(phone.duration + ms, 0, 65535));
}

// Emphasis stretches and raises the phone after its duration and pitch.
void ApplyEmphasis(TPhone& phone) {
    if (phone.emphasis == 1) {
        phone.duration = DurationMs(static_cast<float>(phone.duration) * 1.2f);
        PitchOf(phone) *= 1.1f;
    } else if (phone.emphasis == 2) {
        phone.duration = DurationMs(static_cast<float>(phone.duration) * 1.1f);
        PitchOf(phone) *= 1.05f;
    }
}

void ApplyFloors(TPhone& phone) {
    if (phone.duration < kMinimumDurationMs) phone.duration = kMinimumDurationMs;
    if (PitchOf(phone) < kMinimumPitchHz) PitchOf(phone) = kMinimumPitchHz;
}

// A question lifts the stressed syllable of its last word; an exclamation
// lifts and lengthens it and draws out the rest of the word.
void ApplySentencePunctuation(int g) {
    const TIPO_TOKEN& word = Tokens[g];
    const int stressed = word.stressedPhone;
    const bool hasStress = stressed >= word.firstPhone && stressed <= word.lastPhone;
    if (word.punct == '?') {
        if (hasStress) PitchOf(PhoneList[stressed]) += 30.0f;
    } else if (word.punct == '!') {
        for (int j = word.firstPhone; j <= word.lastPhone; ++j) {
            TPhone& phone = PhoneList[j];
            if (j == stressed) {
                PitchOf(phone) += 27.0f;
                AddMs(phone, 60);
            } else if (phone.stress == 1) {
                AddMs(phone, 40);
            } else {
                PitchOf(phone) -= 5.0f;
                AddMs(phone, 25);
            }
        }
    }
}

void ProsodyOfWord(const PassWords& pass, int p, int g) {
    const TIPO_TOKEN& word = Tokens[g];
    for (int j = word.firstPhone; j <= word.lastPhone; ++j) {
        ComputeDuration(pass, p, g, j);
        ComputePitch(pass, p, g, j);
        ApplyEmphasis(PhoneList[j]);
        ApplyFloors(PhoneList[j]);
    }
    ApplySentencePunctuation(g);
}

// The record after the last phone carries the settings of control sequences
// at the end of the chunk; they hold for the next pass.
void TakeSettingsOf(const TPhone& phone) {
    if (phone.level != 0) UpdateLevelFactors(phone.level);
    if (phone.tempoValue != 0 && !phone.fixedDuration) {
        RunningProsody.tempo = Engine.currentRateFactor * phone.tempoValue;
    }
    if (phone.pitchValue > 0 && !phone.fixedPitch) {
        RunningProsody.pitch = Engine.currentPitchFactor * phone.pitchValue;
    }
}

}  // namespace

void DurationPitchPass() {
    const PassWords pass = LocatePassWords();
    for (int p = 0; p < PhraseTable::kLast && Phrases[p].firstWord != -1; ++p) {
        for (int g = Phrases[p].firstWord; g <= Phrases[p].lastWord; ++g) {
            if (g >= pass.first && g < pass.end) ProsodyOfWord(pass, p, g);
        }
    }
    TakeSettingsOf(PhoneList[pass.endRecord]);
}
