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
#include "words/TranscribeWord.h"
#include "words/UnknownWords.h"
#include "words/WordLookup.h"

namespace {

// Words after which a number counts as feminine whatever their ending.
bool IsFeminineCountWord(const std::string& word) {
    return word == "vezes" || word == "vez" || word == "chance" || word == "chances";
}

char ClassLetter(int i) { return Tokens[i].tag.empty() ? ' ' : Tokens[i].tag[0]; }

// A number (tokens first to last) agrees in gender with the word after it
// ("2 casas"), or with the word before it when it is the last token.
bool IsMasculineNumber(int first, int last, const std::string& text) {
    if (!text.empty() && text.back() == 'o') return true;  // an ordinal such as 1o
    int neighbour = last + 1;
    int punctuated = last;
    if (TokenText(neighbour).empty()) {
        neighbour = first - 1;
        punctuated = first - 1;
    }
    std::string word = LowerCase1252(TokenText(neighbour));
    if (word.empty()) return true;
    std::string before = TokenText(first - 1);
    bool agrees = (EndsWith(word, "a") || EndsWith(word, "as")) && before != "de" && before != "em" &&
                  !BreakAfter(last) && Tokens[punctuated].punct == 0 &&
                  (neighbour == last + 1 || ClassLetter(neighbour) == '-' || ClassLetter(neighbour) == 'P' ||
                   ClassLetter(neighbour) == 'E');
    return !agrees && !IsFeminineCountWord(word);
}

void MarkWithoutPhones(int i, int count) {
    Tokens[i].firstPhone = count;
    Tokens[i].lastPhone = count - 1;
}

int TokenEnd(int i) { return Tokens[i].start + Tokens[i].length; }

// Token next, which begins with a digit, follows token i, which ends in one,
// after exactly one blank and no punctuation.
bool DigitsAfterOneBlank(int i, int next) {
    if (IsEndMarker(next) || Tokens[i].punct != 0 || Tokens[i].length < 1) return false;
    const int gap = TokenEnd(i);
    const std::string& text = Engine.text;
    if (Tokens[next].start != gap + 1 || static_cast<size_t>(gap) >= text.size()) return false;
    return text[static_cast<size_t>(gap - 1)] == ' ' && IsDigitChar(text[static_cast<size_t>(gap - 2)]) &&
           IsDigitChar(text[static_cast<size_t>(gap)]);
}

// A number written in pieces apart ("1 000 000"): token i grows over the
// pieces that go on with it, which then say nothing. Returns the last piece.
// Pieces already inside token i (joined by an earlier pass) count as joined.
int JoinNumberPieces(int i, int count) {
    int last = i;
    while (!IsEndMarker(last + 1) && TokenEnd(last + 1) <= TokenEnd(i)) ++last;
    while (DigitsAfterOneBlank(last, last + 1) && ContinuesNumber(TokenText(i), TokenText(last + 1))) {
        ++last;
        Tokens[i].length = TokenEnd(last) - Tokens[i].start;
    }
    for (int k = i + 1; k <= last; ++k) MarkWithoutPhones(k, count);
    return last;
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

// The digits of an amount, maybe grouped by blanks: "12", "12,50", "1 000".
bool IsAmountText(const std::string& text) {
    if (text.empty() || !IsDigitChar(text.front())) return false;
    for (char c : text)
        if (!IsNumericChar(c) && !IsNumberGroupBlank(c)) return false;
    return true;
}

// "12 €", "12,50€": an amount with its currency sign after it, given as the
// amount with the sign in front; i moves past a sign token. Empty when the
// token is no such amount.
std::string SignMovedToFront(int& i, const std::string& text) {
    if (IsAmountText(text) && Tokens[i].punct == 0 && IsCurrencySign(LowerCase1252(TokenText(i + 1)))) {
        ++i;
        return TokenText(i) + text;
    }
    size_t cut = 0;
    while (cut < text.size() && (IsNumericChar(text[cut]) || text[cut] == ' ')) ++cut;
    const std::string amount = text.substr(0, cut);
    const std::string sign = text.substr(cut);
    if (cut == 0 || !IsAmountText(amount) || !IsCurrencySign(LowerCase1252(sign))) return "";
    return sign + amount;
}

// "200 g", "1,5 l", "30 °C": the unit written apart after a number, which
// then says nothing (the number reads it); i moves past it. Empty when the
// next token is no unit.
std::string UnitAfterNumber(int& i, const std::string& text, int count) {
    UnitOfMeasure unit;
    if (!IsAmountText(text) || Tokens[i].punct != 0 || IsEndMarker(i + 1)) return "";
    const std::string next = TokenText(i + 1);
    if (!FindUnit(next, unit)) return "";
    ++i;
    MarkWithoutPhones(i, count);
    return next;
}

// Words after which a Roman numeral counts the parts of a work or of a law:
// "século XXI", "CAPÍTULO IX", "artigo V".
bool NumbersAPart(const std::string& word) {
    static const WordList kWords = {"século", "capítulo", "parte",  "volume", "tomo",  "ato",
                                    "cena",   "livro",    "título", "artigo", "inciso"};
    return kWords.Contains(word);
}

// "Pedro", "Luís": a capital and then small letters.
bool IsCapitalisedName(const std::string& word) {
    if (word.size() < 2 || !IsLetters(word)) return false;
    const unsigned char initial = static_cast<unsigned char>(word.front());
    return LowerChar1252(initial) != initial && LowerCase1252(word.substr(1)) == word.substr(1);
}

// A Roman numeral where the words before it call for a number: after a
// name, ordinals up to the tenth and cardinals beyond ("D. Pedro II", "Luís
// XIV"), of I, V and X alone, so that "Vitamina C" and "Raio X" stay
// letters; after a part of a work, cardinals ("século XXI"). Empty for any
// other token.
std::string RomanNumeralReading(int i, const std::string& text) {
    const int value = RomanValue(text);
    if (value == 0) return "";
    const std::string before = TokenText(i - 1);
    if (Tokens[i - 1].punct != 0) return "";
    if (NumbersAPart(LowerCase1252(before))) return ReadCardinal(std::to_string(value), true);
    const bool kingsAndPopes = text.find_first_not_of("IVX") == std::string::npos && text != "X";
    if (!kingsAndPopes || !IsCapitalisedName(before)) return "";
    constexpr int kLastOrdinal = 10;
    if (value > kLastOrdinal) return ReadCardinal(std::to_string(value), true);
    return ReadOrdinal(std::to_string(value), !EndsWith(before, "a"));  // "Maria I" is primeira
}

// State of one pass.
struct Pass {
    int count = 0;  // next free PhoneList index
    bool numberBefore = false;
};

// The phonetic string of token i. May move i past the tokens read with it:
// the pieces of a number, its unit, a currency sign or a scale word.
std::string ChoosePhoneticString(int& i, Pass& pass) {
    const int first = i;
    TIPO_TOKEN& token = Tokens[first];
    if (token.phonetic) {
        pass.numberBefore = false;
        return TokenText(first);
    }
    i = JoinNumberPieces(first, pass.count);
    const std::string text = TokenText(first);
    const std::string lower = LowerCase1252(text);

    if (std::string roman = RomanNumeralReading(first, text); !roman.empty()) {
        token.phonetic = 1;
        token.tag = " ";
        pass.numberBefore = true;
        return roman;
    }

    std::string phonetic;
    WordLookup(lower, first, phonetic);
    bool spellCapitals = Engine.options[kOptionSpellCapitals] != 0;
    if (!phonetic.empty() && !(spellCapitals && IsAllCaps(text))) {
        pass.numberBefore = false;
        return phonetic;
    }

    std::string amount = text;
    int kind = CurrencyKind(lower);
    if (kind == 0 && HasDigit(lower)) {
        amount = SignMovedToFront(i, text);
        kind = CurrencyKind(LowerCase1252(amount));
    }
    if (kind != 0) {
        token.tag = " ";
        if (amount == text && AbsorbedIntoNextNumber(i, text)) return "";
        phonetic = ReadCurrencyAmount(amount, kind, i);
        for (int k = first + 1; k <= i; ++k) MarkWithoutPhones(k, pass.count);
        Tokens[first].phraseMark = 2;
        Tokens[first].phonetic = 1;
        pass.numberBefore = true;
        return phonetic;
    }

    if (HasDigit(lower) || lower.find('.') != std::string::npos) {
        token.phraseMark = 2;
        const std::string quantity = text + UnitAfterNumber(i, text, pass.count);
        phonetic = ExpandDigitToken(quantity, first, pass.numberBefore, IsMasculineNumber(first, i, text));
        pass.numberBefore = true;
        token.phonetic = 1;
        token.tag = " ";
        return phonetic;
    }

    phonetic = Engine.letterRulesOnly ? TranscribeWord(lower, pass.numberBefore, false, first)
                                      : ReadUnknownWord(lower, pass.numberBefore, first);
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
