// The phrasing pass: cuts the words of a pass into intonation phrases at
// punctuation and explicit pauses and, when pause detection is on, at the
// places the words' classes suggest, marking short pauses there.
#include "core/EngineState.h"
#include "core/Tokens.h"
#include "prosody/Prosody.h"

namespace {

class PhraseBuilder {
public:
    explicit PhraseBuilder(const PassWords& pass) : pass_(pass) { Open(pass.first); }

    void Walk() {
        for (int i = pass_.first; i < pass_.end; ++i) {
            if (BreakAfter(i)) {
                Close(Tokens[i].punct, i);
            } else if (Engine.options[kOptionDetectPauses] != 0) {
                ApplyGrammarRules(i);
            }
        }
        Finish();
    }

private:
    static constexpr char kInsertedBreak = '1';

    void Open(int w) {
        if (k_ > PhraseTable::kLast) return;
        TPhrase& phrase = Phrases[k_];
        phrase = TPhrase{};
        phrase.firstWord = w;
        phrase.firstPhone = Tokens[w].firstPhone;
        phrase.firstWordLastPhone = Tokens[w].lastPhone;
    }

    // Ends phrase k at word w and opens the next one at w + 1.
    void Close(char mark, int w) {
        if (k_ + 2 > PhraseTable::kLast) return;  // room for the next phrase and the end
        TPhrase& phrase = Phrases[k_];
        phrase.closingMark = mark;
        SetLastWord(phrase, w);
        ++k_;
        Open(w + 1);
    }

    static void SetLastWord(TPhrase& phrase, int w) {
        phrase.lastWord = w;
        phrase.lastPhone = w >= 0 ? Tokens[w].lastPhone : -1;
        phrase.lastWordFirstPhone = w >= 0 ? Tokens[w].firstPhone : 0;
    }

    // The phrase the walk left open takes the last word; the list ends after it.
    void Finish() {
        const int last = pass_.end - 1;
        if (k_ == 0) Phrases[0].closingMark = last >= 0 ? Tokens[last].punct : 0;
        SetLastWord(Phrases[k_], last);
        Phrases[k_ + 1].firstWord = -1;
    }

    void SetPunct(int w, char mark) {
        if (w >= 0) Tokens[w].punct = mark;
    }

    int Distance(int i) const { return i - Phrases[k_].firstWord; }

    bool In(int w, std::string_view letters) const { return IsInClass(pass_, w, letters); }
    bool Sub(int w, char subclass) const { return HasSubclass(pass_, w, subclass); }

    void ApplyGrammarRules(int i) {
        if (RuleA(i)) return;
        if (RuleB(i)) return;
        RuleC(i);
    }

    // A conjunction far enough into a phrase starts a new one; a preceding
    // preposition or pronoun goes with it. True when the rule applied.
    bool RuleA(int i) {
        bool applies = In(i, "C") && !BreakBetween(i, i + 3) && !Sub(i, 'D') && !Sub(i, 'N') &&
                       !In(i - 1, "VT") && !In(i + 1, "VTPE");
        if (!applies) return false;
        if (Distance(i) < 3) return true;
        if (In(i - 1, "TR")) {
            Close(kInsertedBreak, i - 1);
            SetPunct(i - 2, ',');
        } else {
            Close(kInsertedBreak, i);
            SetPunct(i - 1, ',');
        }
        return true;
    }

    // A conjunction of subclass D gets a short pause before it, no new phrase.
    bool RuleB(int i) {
        bool applies = In(i, "C") && Sub(i, 'D') && !In(i - 1, "V") && !In(i + 1, "PE-D") && !In(i + 2, "V");
        if (!applies) return false;
        if (Distance(i) >= 3 && Tokens[i + 1].punct == 0) SetPunct(i - 1, 'A');
        return true;
    }

    void RuleC(int i) {
        if (Sub(i, 'P') && !BreakAfter(i + 1) && !In(i - 1, "VC")) {
            if (Distance(i) >= 2) {
                Close(kInsertedBreak, i);
                SetPunct(i - 1, 'A');
            }
        } else if (Sub(i - 1, 'T') && !In(i, "VDR") && Distance(i) >= 2) {
            Close(kInsertedBreak, i);
            SetPunct(i - 1, ',');
        }
    }

    const PassWords& pass_;
    int k_ = 0;
};

}  // namespace

void PhrasingPass() {
    const PassWords pass = LocatePassWords();
    PhraseBuilder(pass).Walk();
}
