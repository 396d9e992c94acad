// The normaliser: one pass over the chunk's tokens. Each token gets a
// phonetic string (its own phonetic section, the lexicon, a currency amount,
// a number or date read out, or the letter rules) and the string's phones go
// into PhoneList, until the end marker or a full list.
#include "text/Normalize.h"

#include "core/EngineState.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "text/CurrencyAmounts.h"
#include "text/DigitTokens.h"
#include "text/NumberReaders.h"
#include "words/Data.h"
#include "words/PhoneticString.h"
#include "words/UnknownWords.h"
#include "words/WordLookup.h"

namespace {

// Words after which a number counts as feminine whatever their ending.
bool IsFeminineCountWord(const std::string& word) {
    return word == "vezes" || word == "vez" || word == "chance" || word == "chances";
}

char ClassLetter(int i) { return Tokens[i].tag.empty() ? ' ' : Tokens[i].tag[0]; }

// A number agrees in gender with the word after it ("2 casas"), or with the
// word before it when it is the last token.
bool IsMasculineNumber(int i, const std::string& text) {
    if (!text.empty() && text.back() == 'o') return true;  // an ordinal such as 1o
    int neighbour = i + 1;
    int punctuated = i;
    if (TokenText(neighbour).empty()) {
        neighbour = i - 1;
        punctuated = i - 1;
    }
    std::string word = LowerCase1252(TokenText(neighbour));
    if (word.empty()) return true;
    std::string before = TokenText(i - 1);
    bool agrees = (EndsWith(word, "a") || EndsWith(word, "as")) && before != "de" && before != "em" &&
                  !BreakAfter(i) && Tokens[punctuated].punct == 0 &&
                  (neighbour == i + 1 || ClassLetter(neighbour) == '-' || ClassLetter(neighbour) == 'P' ||
                   ClassLetter(neighbour) == 'E');
    return !agrees && !IsFeminineCountWord(word);
}

void MarkWithoutPhones(int i, int count) {
    Tokens[i].firstPhone = count;
    Tokens[i].lastPhone = count - 1;
}

// "R$" followed by a number token: the number token takes the sign in, and
// this one says nothing.
bool AbsorbedIntoNextNumber(int i, const std::string& text) {
    if (!(EndsWith(text, "$") || text.size() == 1)) return false;
    if (!IsNumericText(TokenText(i + 1))) return false;
    Tokens[i + 1].length += Tokens[i + 1].start - Tokens[i].start;
    Tokens[i + 1].start = Tokens[i].start;
    return true;
}

// State of one pass.
struct Pass {
    int count = 0;  // next free PhoneList index
    bool numberBefore = false;
};

// The phonetic string of token i. May move i past tokens a currency amount
// consumed.
std::string ChoosePhoneticString(int& i, Pass& pass) {
    TIPO_TOKEN& token = Tokens[i];
    const std::string text = TokenText(i);
    const std::string lower = LowerCase1252(text);

    if (token.phonetic) {
        pass.numberBefore = false;
        return text;
    }

    std::string phonetic;
    WordLookup(lower, i, phonetic);
    bool spellCapitals = Engine.options[kOptionSpellCapitals] != 0;
    if (!phonetic.empty() && !(spellCapitals && IsAllCaps(text))) {
        pass.numberBefore = false;
        return phonetic;
    }

    if (int kind = CurrencyKind(lower); kind != 0) {
        token.tag = " ";
        if (AbsorbedIntoNextNumber(i, text)) return "";
        int first = i;
        phonetic = ReadCurrencyAmount(text, kind, i);
        for (int k = first + 1; k <= i; ++k) MarkWithoutPhones(k, pass.count);
        Tokens[first].phraseMark = 2;
        Tokens[first].phonetic = 1;
        pass.numberBefore = true;
        return phonetic;
    }

    if (HasDigit(lower) || lower.find('.') != std::string::npos) {
        token.phraseMark = 2;
        phonetic = ExpandDigitToken(text, i, pass.numberBefore, IsMasculineNumber(i, text));
        pass.numberBefore = true;
        token.phonetic = 1;
        token.tag = " ";
        return phonetic;
    }

    phonetic = ReadUnknownWord(lower, pass.numberBefore, i);
    pass.numberBefore = false;
    return phonetic;
}

void EndPass(int count) { PhoneList[count].symbol.assign(1, ' '); }

}  // namespace

bool NormalizeTokens(int& next) {
    PhoneList[0].stress = 0;
    Pass pass;
    for (int i = next;; ++i) {
        if (IsEndMarker(i)) {
            ReadPhoneticString("", i, pass.count);
            EndPass(pass.count);
            return true;
        }
        const int first = i;
        std::string phonetic = ChoosePhoneticString(i, pass);
        if (phonetic.empty()) {
            MarkWithoutPhones(first, pass.count);
            continue;
        }
        if (ReadPhoneticString(phonetic, first, pass.count) == 0) continue;

        // PhoneList is full. A token that may fit in an empty list is read
        // again by the next pass; one that cannot (it already started this
        // pass, or is a phonetic section) is cut here, so no token is
        // retried forever.
        const TIPO_TOKEN& token = Tokens[first];
        bool retry = first > next && token.length <= 2998 && !token.phonetic;
        if (retry) {
            pass.count = Tokens[first - 1].lastPhone + 1;
            EndPass(pass.count);
            next = first;
        } else {
            EndPass(pass.count);
            next = i + 1;
        }
        return false;
    }
}
