// Phonetic strings to phones: each phoneme code becomes a TPhone record that
// carries its token's pending settings, its word and syllable starts and its
// share of the stress.
#include "words/PhoneticString.h"

#include <algorithm>
#include <cmath>

#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "text/Parser.h"

namespace {

// A stress mark stresses the phones of its syllable and at most the two
// phones after the one it precedes.
constexpr int kStressReach = 3;

float ClampFloat(double value, double low, double high) {
    return static_cast<float>(std::clamp(value, low, high));
}

int TruncateClamped(double value, double low, double high) {
    return static_cast<int>(std::trunc(std::clamp(value, low, high)));
}

// The first phone of a token takes all of the token's pending settings; later
// first phones of further tokens only those that are set.
void PrepareFirstPhone(TPhone& phone, const TIPO_TOKEN& token, int count, int tokenIndex) {
    bool all = count == 0;
    if (all || token.pauseMs != 0) phone.pauseBefore = token.pauseMs;
    if (all || token.pitchValue != 0 || phone.fixedPitch) phone.pitchValue = token.pitchValue;
    if (all || token.durationValue != 0 || phone.fixedDuration) phone.tempoValue = token.durationValue;
    phone.fixedDuration = token.durationAbsolute;
    phone.fixedPitch = token.pitchAbsolute;
    phone.emphasis = token.emphasis;
    if (all || token.level != 0) phone.level = token.level;
    if (all || token.accentToggle != 0) phone.accentToggle = token.accentToggle;
    phone.wordStart = phone.syllableStart = phone.stress = 0;
    phone.duration = 0;
    phone.word = tokenIndex;
}

void PrepareNextPhone(TPhone& phone, const TIPO_TOKEN& token, int tokenIndex) {
    phone.pitchValue = token.pitchValue;
    phone.tempoValue = token.durationValue;
    phone.fixedDuration = token.durationAbsolute;
    phone.fixedPitch = token.pitchAbsolute;
    phone.emphasis = token.emphasis;
    phone.level = token.level;
    phone.accentToggle = token.accentToggle;
    phone.pauseBefore = 0;
    phone.wordStart = phone.syllableStart = phone.stress = 0;
    phone.duration = 0;
    phone.word = tokenIndex;
}

// Reads the control sequence at pos (1-based) into the phone being prepared.
// On success pos is left on the blank that ends it; otherwise unchanged.
void ApplyCommand(const std::string& text, int& pos, TPhone& phone) {
    int end = pos;
    double value = 0;
    if (!ParseCommand(text, end, value)) return;
    std::string command = Mid(text, pos + 1, 2);
    if (command == "VA") {
        phone.tempoValue = ClampFloat(value, 10, 32000);
        phone.fixedDuration = 1;
    } else if (command == "TA") {
        phone.pitchValue = ClampFloat(value, 30, 300);
        phone.fixedPitch = 1;
    } else {
        switch (command.empty() ? 0 : command[0]) {
            case 'V':
                phone.tempoValue = ClampFloat(value, 0.01, 8);
                break;
            case 'T':
                phone.pitchValue = ClampFloat(value, 0.01, 8);
                break;
            case 'P':
                phone.pauseBefore = TruncateClamped(value, 5, 32000);
                break;
            case 'E':
                phone.emphasis = static_cast<uint8_t>(TruncateClamped(value, 0, 255));
                break;
            case 'L':
                phone.level = static_cast<uint8_t>(TruncateClamped(value, 1, 20));
                break;
            case 'I':
                phone.accentToggle = 1;
                break;
            default:
                return;  // not a command: the control character is ignored
        }
    }
    pos = end;
}

}  // namespace

int ReadPhoneticString(const std::string& phonetic, int tokenIndex, int& count) {
    TIPO_TOKEN& token = Tokens[tokenIndex];
    token.firstPhone = count;
    PrepareFirstPhone(PhoneList[count], token, count, tokenIndex);

    std::string text = phonetic;
    if (!token.phonetic && text.find('-') == std::string::npos) text = Syllabify(text);

    int syllableStart = -1;
    int stressRun = -1;
    const int length = static_cast<int>(text.size());
    for (int pos = 1; pos <= length; ++pos) {
        char ch = text[pos - 1];
        TPhone& phone = PhoneList[count];
        if (ch == '`' || ch == '\'') {
            int from = syllableStart == -1 ? count : syllableStart;
            for (int k = from; k <= count; ++k) PhoneList[k].stress = 1;
            stressRun = count;
            token.stressedPhone = count;
        } else if (ch == Engine.controlCharacter) {
            ApplyCommand(text, pos, phone);
        } else if (ch == ' ') {
            phone.wordStart = 1;
        } else if (ch == '-') {
            phone.syllableStart = 1;
            syllableStart = count;
            stressRun = -1;
        } else if (IsPhonemeChar(ch)) {
            if (stressRun == -1) {
                phone.stress = 0;
            } else if (count < stressRun + kStressReach) {
                phone.stress = 1;
            } else {
                phone.stress = 0;
                stressRun = -1;
            }
            phone.symbol = std::string(1, ch);
            phone.word = tokenIndex;
            ++count;
            PrepareNextPhone(PhoneList[count], token, tokenIndex);
            if (count >= kMaxPhonesPerPass) {
                token.lastPhone = count - 1;
                return -1;
            }
        }
    }
    token.lastPhone = count - 1;
    return 0;
}

bool IsStressMark(char c) { return c == '\'' || c == '`'; }

std::string WithoutStressMarks(std::string phonetic) {
    phonetic.erase(std::remove_if(phonetic.begin(), phonetic.end(), IsStressMark), phonetic.end());
    return phonetic;
}
