// Prosody of one pass of PhoneList: the phrasing pass cuts the words into
// intonation phrases, the duration and pitch pass gives every phone its
// duration and one pitch point, and the word-class pass applies whole-word
// corrections chosen by the words' class letters.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/Tokens.h"

// Resets the running tempo, pitch and level states and the word-accent
// switch at the start of an utterance (from the current speed and pitch).
void ResetProsodyState();
void PhrasingPass();
// Durations and pitch of every phone of the pass.
void DurationPitchPass();
// Whole-word corrections of the durations and pitch, by the words' classes.
void WordClassPass();

// One intonation phrase. An entry whose first word is -1 ends the list.
struct TPhrase {
    int32_t firstWord = -1;
    int32_t lastWord = -1;
    int32_t firstPhone = 0;  // the declination's reference, which may advance
    int32_t lastPhone = -1;
    int32_t firstWordLastPhone = -1;
    int32_t lastWordFirstPhone = 0;
    // What closed the phrase: the last word's punctuation, '1' for a break
    // the grammar rules inserted, 0 for an explicit pause or the text's end.
    char closingMark = 0;
};

using PhraseTable = OffsetArray<TPhrase, -1, 500>;
extern PhraseTable Phrases;

// The states that run from phone to phone through every pass of one call.
struct ProsodyState {
    float tempo = 1.0f;          // speed factor x the last inline tempo factor
    float pitch = 1.0f;          // pitch factor x the last inline pitch factor
    float levelDuration = 1.0f;  // from the last voice level
    float levelPitch = 1.0f;     // from the last voice level
    bool wordAccentOff = false;  // the word-class rules are switched off
};
extern ProsodyState RunningProsody;

// ---- Shared by the prosody units ----

// The words of the current pass: first..end-1. A chunk that did not fit into
// one PhoneList is spoken in several passes; the words of earlier passes keep
// phone ranges that point into a list that now holds other phones, so every
// walk keeps to the words whose phones this pass holds.
struct PassWords {
    int first = 0;
    int end = 0;        // one past the last word of the pass
    int chunkEnd = 0;   // the end marker of the chunk
    int endRecord = 0;  // index of the record that ends PhoneList
    bool IsWord(int w) const { return w >= 0 && w < chunkEnd; }
    bool IsEnd(int w) const { return w >= end; }
};
PassWords LocatePassWords();

// True when word w exists and its class letter (the first character of its
// grammar tag) is one of letters.
bool IsInClass(const PassWords& pass, int w, std::string_view letters);
bool HasSubclass(const PassWords& pass, int w, char subclass);

bool IsVowelPhone(const TPhone& phone);
bool IsNasalVowel(const TPhone& phone);
bool IsStressed(const TPhone& phone);  // main or secondary stress
// Signed distance in phones from phone j to the stress that governs it.
int StressDistance(int g, int j);

// Steps of the duration and pitch pass for phone j of word g in phrase p.
void UpdateLevelFactors(uint8_t level);
void ComputeDuration(const PassWords& pass, int p, int g, int j);
void ComputePitch(const PassWords& pass, int p, int g, int j);

uint16_t DurationMs(float ms);  // truncated toward zero, kept in range
constexpr uint16_t kMinimumDurationMs = 45;
constexpr float kMinimumPitchHz = 25.0f;
