// The word-class pass: whole-word corrections by class letter once every
// phone has its duration and pitch. Function words are spoken lower, short
// verbs longer, and with pause detection on a verb far from the last break
// gets a short pause before it or a lowered group around it. An inline I
// control switches the pass off and on again.
#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "prosody/Prosody.h"

namespace {

class WordClassRules {
public:
    explicit WordClassRules(const PassWords& pass) : pass_(pass), lastBreak_(pass.first) {}

    void Walk() {
        // The last word of the pass is never corrected.
        for (int i = pass_.first; i + 1 < pass_.end; ++i) {
            if (Tokens[i].accentToggle == 1) RunningProsody.wordAccentOff = !RunningProsody.wordAccentOff;
            if (!BreakBetween(i, i + 1) && !RunningProsody.wordAccentOff) ApplyRules(i);
            if (BreakAfter(i)) lastBreak_ = i;
        }
    }

private:
    bool In(int w, std::string_view letters) const { return IsInClass(pass_, w, letters); }
    bool Sub(int w, char subclass) const { return HasSubclass(pass_, w, subclass); }
    bool IsEnd(int w) const { return pass_.IsEnd(w); }

    // Multiplies the pitch (pitchFactor) or the duration (durationFactor) of
    // the phones first..last of this pass; 0 leaves that side alone.
    void ScaleRange(int first, int last, float durationFactor, float pitchFactor) const {
        if (first < 0) first = 0;
        if (last >= pass_.endRecord) last = pass_.endRecord - 1;
        for (int j = first; j <= last; ++j) {
            TPhone& phone = PhoneList[j];
            for (PitchPoint& point : phone.points) {
                if (point.position == -1) break;
                if (pitchFactor != 0) point.pitch *= pitchFactor;
                if (point.pitch < kMinimumPitchHz) point.pitch = kMinimumPitchHz;
            }
            if (durationFactor != 0) {
                phone.duration = DurationMs(static_cast<float>(phone.duration) * durationFactor);
            }
            if (phone.duration < kMinimumDurationMs) phone.duration = kMinimumDurationMs;
        }
    }
    void Scale(int w, float pitchFactor) const {
        ScaleRange(Tokens[w].firstPhone, Tokens[w].lastPhone, 0, pitchFactor);
    }
    void Stretch(int w, float durationFactor) const {
        ScaleRange(Tokens[w].firstPhone, Tokens[w].lastPhone, durationFactor, 0);
    }

    void ApplyRules(int i) {
        const std::string& tag = Tokens[i].tag;
        switch (tag.empty() ? 0 : tag[0]) {
            case 'C':
                if (!BreakAfter(i) && !IsEnd(i + 2)) Scale(i, 0.8f);
                break;
            case 'D':
                if (!BreakAfter(i + 1) && !BreakAfter(i + 2) && In(i + 1, "D")) Scale(i, 1.07f);
                break;
            case 'T':
                if (!IsEnd(i + 2)) Scale(i, 0.85f);
                break;
            case 'P':
                if (!BreakAfter(i) && !In(i - 1, "C") && In(i + 1, "-") && !IsEnd(i + 2)) Scale(i, 0.9f);
                break;
            case 'V':
                VerbRule(i);
                break;
            case ' ':
                NumberRule(i);
                break;
            default:
                break;
        }
    }

    void VerbRule(int i) {
        const TIPO_TOKEN& word = Tokens[i];
        if (word.length == 3 || word.length == 4) {
            Stretch(i, 1.25f);
        } else if (word.length <= 2 && LowerCase1252(TokenText(i)) == "\xE9") {  // é
            Stretch(i, 1.5f);
        }
        if (IsEnd(i + 2)) return;
        if (In(i - 1, "V")) {
            Scale(i, 0.94f);
            return;
        }
        if (Engine.options[kOptionDetectPauses] == 0) return;
        if (In(i - 1, "CPEV") || !In(i + 1, "-PETR") || i - lastBreak_ <= 5 || IsEnd(i + 1) || IsEnd(i + 2))
            return;
        if (!BreakAfter(i - 1) && !In(i - 1, "TRD")) {
            Tokens[i - 1].punct = 'A';
            return;
        }
        if (i > 1 && In(i - 1, "TRD")) {
            Tokens[i - 2].punct = 'A';
            return;
        }
        if (In(i + 1, "-PET") && !Sub(i + 1, 'O') && !In(i - 1, "V")) {
            const bool joinsBefore = In(i - 1, "PRD") && !BreakAfter(i - 1);
            const bool joinsAfter = In(i + 1, "PT") && !BreakAfter(i - 1);
            const int first = joinsBefore ? Tokens[i - 1].firstPhone : word.firstPhone;
            const int last = joinsAfter ? Tokens[i + 1].lastPhone : word.lastPhone;
            ScaleRange(first, last, 0, 0.9f);
            lastBreak_ = i;
        }
    }

    // Numbers (class letter blank).
    void NumberRule(int i) {
        if (Tokens[i].phraseMark == 2 && In(i + 1, "R")) return;
        if (Sub(i - 1, 'I')) {
            Scale(i, 1.07f);
            return;
        }
        if (In(i - 2, "V-") && In(i - 1, "R")) Scale(i, 1.08f);
    }

    const PassWords& pass_;
    int lastBreak_;
};

}  // namespace

void WordClassPass() {
    const PassWords pass = LocatePassWords();
    WordClassRules(pass).Walk();
}
