// The two tables every stage of an utterance shares, the token table filled
// by the parser and the phone list filled by the normaliser, with what the
// stages ask of them. Both are global and indexed from -1, so that "the entry
// before the first" can always be read.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

// A fixed-size array indexed First..Last. An index outside that range is a
// programming error; it aborts rather than touch memory it does not own.
template <class T, int First, int Last>
class OffsetArray {
public:
    static constexpr int kFirst = First;
    static constexpr int kLast = Last;

    T& operator[](int i) {
        if (i < First || i > Last) std::abort();
        return items_[i - First];
    }
    const T& operator[](int i) const {
        if (i < First || i > Last) std::abort();
        return items_[i - First];
    }

private:
    T items_[Last - First + 1]{};
};

struct TIPO_TOKEN {
    int32_t start = 0;   // 1-based position in the input text; -1 in the end marker
    int32_t length = 0;  // characters; -1 in the end marker
    int32_t firstPhone = 0;
    int32_t lastPhone = -1;
    int32_t stressedPhone = -1;
    std::string tag;       // grammar tag, up to 3 characters; first is the class letter
    std::string subclass;  // one character beside the tag
    uint8_t vowelClass = 0;
    uint8_t person = 0;
    char punct = 0;  // punctuation after the token; 0 = none
    uint8_t phraseMark = 0;
    uint8_t phonetic = 0;  // the text is already a transcription
    // Pending settings of control sequences read before the token.
    uint8_t level = 0;
    uint8_t emphasis = 0;
    uint16_t pauseMs = 0;
    float durationValue = 0;
    float pitchValue = 0;
    uint8_t accentToggle = 0;
    uint8_t durationAbsolute = 0;
    uint8_t pitchAbsolute = 0;
    // Set by the word-class pass: the back end lifts this token's pitch base.
    uint8_t raisedPitch = 0;
};

struct PitchPoint {
    int32_t position = -1;  // percent of the phone's duration; -1 ends the list
    float pitch = 0;        // Hz
};

struct TPhone {
    std::string symbol;     // up to 3 characters; " " ends the list, "_" pause, "!" skipped
    int32_t word = 0;       // index of the phone's token
    uint8_t stress = 0;     // 0 none, 1 stressed, 2 secondary
    uint16_t duration = 0;  // ms
    PitchPoint points[3];
    uint8_t wordStart = 0;
    uint8_t syllableStart = 0;
    uint8_t emphasis = 0;
    uint8_t level = 0;
    int32_t pauseBefore = 0;  // ms of silence before the phone
    float tempoValue = 0;
    float pitchValue = 0;
    uint8_t accentToggle = 0;
    uint8_t fixedDuration = 0;
    uint8_t fixedPitch = 0;
};

constexpr int kMaxTokensPerChunk = 499;  // tokens 0..498 and the end marker
constexpr int kMaxPhonesPerPass = 2999;  // phones 0..2998 and the end record

using TokenTable = OffsetArray<TIPO_TOKEN, -1, 500>;
using PhoneTable = OffsetArray<TPhone, -1, 3000>;

extern TokenTable Tokens;
extern PhoneTable PhoneList;

inline bool IsEndRecord(const TPhone& phone) { return phone.symbol == " "; }

// ---- Checked access ----

bool TokenInTable(int i);
// The token at i; nullptr outside the table.
TIPO_TOKEN* TokenAt(int i);
// For reading: outside the table, an empty token.
const TIPO_TOKEN& TokenOrEmpty(int i);
bool PhoneInTable(int i);

// ---- The tokens of the current chunk ----

// Empties token i (and the pending settings of the one after it).
void ClearToken(int i);
// The token's characters in the engine's input text; "" for none.
std::string TokenText(int i);
// The entry that ends the chunk; anything outside the table counts as one.
bool IsEndMarker(int i);
// Punctuation after token i, a pause before the next, or the chunk's end.
bool BreakAfter(int i);
bool BreakBetween(int a, int b);
// Letters and the joiners - " ' _ & only; a token without text counts as one.
bool IsWordToken(int i);

// ---- The input text around the tokens (1-based positions) ----

// A currency sign at pos: R$, US$, £ or ¥.
bool CurrencyAt(int pos);
// Whether the first character after the separators from pos is a capital.
bool NextWordCapitalised(int pos);
