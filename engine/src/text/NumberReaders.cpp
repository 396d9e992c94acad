// The number readers: cardinals group by group with their connectors and
// liaison, ordinals from their stems, and amounts of money with their
// currency names, cents and scale words.
//
// Phonetic strings are Windows-1252 bytes written with \x escapes.
#include "text/NumberReaders.h"

#include <algorithm>
#include <cstddef>

#include "core/BuiltinTables.h"
#include "text/DigitTokens.h"
#include "text/Parser.h"
#include "core/TextUtil.h"

namespace {

constexpr const char* kZeroWord = " -z`\xE9-ru- ";
constexpr const char* kFeminineOne = " -`u-ma- ";
constexpr const char* kFeminineTwo = " -d`u-aS- ";
// "e" between the parts of a number is spoken shorter.
constexpr const char* kAndConnector = " \\V0.8 -i- \\V1 ";
constexpr const char* kOrdinalWord = " -\xF4%-di-n`aw- ";
constexpr const char* kMinusWord = "-m`e-noS- ";
constexpr const char* kCentsWord = " -s\xEB-t`a-vo";
constexpr const char* kCommaWord = " -v`i%-gu-la- ";
constexpr const char* kZeroComma = " -z`\xE9-ro- -v`i%-gu-la- ";
constexpr const char* kOf = " -de- ";
constexpr const char* kAndWord = " -e- ";
constexpr int kMaxCardinalDigits = 12;

std::string OnlyDigits(const std::string& s) {
    std::string digits;
    for (char c : s)
        if (IsDigitChar(c)) digits += c;
    return digits;
}

// Blanks and control characters off both ends.
std::string Trim(const std::string& s) {
    size_t first = 0;
    while (first < s.size() && static_cast<unsigned char>(s[first]) <= 0x20) ++first;
    size_t last = s.size();
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= 0x20) --last;
    return s.substr(first, last - first);
}

std::string UnitWord(int digit, bool masculine) {
    if (!masculine && digit == 1) return kFeminineOne;
    if (!masculine && digit == 2) return kFeminineTwo;
    return CharacterNames['0' + digit];
}

// Thousand, million, billion, trillion; singular or plural.
std::string ScaleWord(int scale, bool singular) {
    if (scale < 0 || scale > 4) return "";
    return Thousands[singular ? scale : scale + 5];
}

// Builds a cardinal from left to right. The connector pending before the
// next word is said only when a word follows it.
class CardinalBuilder {
public:
    explicit CardinalBuilder(bool masculine) : masculine_(masculine) {}

    std::string Read(const std::string& digits) {
        const int n = static_cast<int>(digits.size());
        int top = n / 3;
        const int rem = n % 3;
        if (rem == 0) --top;
        int begin = 0;
        for (int g = 0; g <= top; ++g) {
            const int size = (g == 0 && rem != 0) ? rem : 3;
            const std::string group = digits.substr(static_cast<size_t>(begin), static_cast<size_t>(size));
            begin += size;
            connector_ = Connector::kNone;
            if (size == 1) {
                ReadOneDigit(Digit(group, 0), top - g);
            } else if (size == 2) {
                ReadTwoDigits(Digit(group, 0), Digit(group, 1), top - g);
            } else {
                ReadFullGroup(group, g, top);
            }
        }
        return result_;
    }

private:
    enum class Connector { kNone, kAnd, kBlank, kPause };

    static int Digit(const std::string& group, size_t i) { return group[i] - '0'; }

    // The groups before "milhão", "bilhão" and "trilhão" count those masculine
    // words: "vinte e dois milhões de casas", "duzentos milhões de pessoas".
    bool GroupIsMasculine(int scale) const { return masculine_ || scale >= 2; }

    // Liaison: a final s or r joins the vowel of the next word.
    void Liaison() {
        if (EndsWith(result_, "S- ")) {
            result_.replace(result_.size() - 3, 3, "z- ");
        } else if (EndsWith(result_, "%- ")) {
            result_.replace(result_.size() - 3, 3, "r- ");
        }
    }

    void AddWord(const std::string& word) {
        if (connector_ != Connector::kNone) {
            Liaison();
            if (connector_ == Connector::kAnd) result_ += kAndConnector;
            if (connector_ == Connector::kBlank) result_ += " ";
            if (connector_ == Connector::kPause) result_ += "_";
        }
        result_ += word;
    }

    void ReadOneDigit(int d, int scale) {
        // 1000 reads "mil", not "um mil".
        if (!(d == 1 && scale == 1)) result_ += UnitWord(d, GroupIsMasculine(scale));
        result_ += ScaleWord(scale, d == 1);
    }

    void ReadTwoDigits(int d1, int d2, int scale) {
        if (d1 == 1) {
            result_ += TensAndTeens[d2];
            result_ += ScaleWord(scale, false);
            return;
        }
        result_ += TensAndTeens[d1 + 8];
        if (d2 != 0) {
            Liaison();
            if (d1 != 2) result_ += kAndConnector;  // the final vowel of "vinte" stands for "e"
            result_ += UnitWord(d2, GroupIsMasculine(scale));
        }
        result_ += ScaleWord(scale, false);
    }

    void ReadFullGroup(const std::string& group, int g, int top) {
        const int h = Digit(group, 0);
        const int t = Digit(group, 1);
        const int u = Digit(group, 2);
        const int scale = top - g;
        if (h != 0) {
            if (t == 0 && u == 0 && g > 0) {
                connector_ = Connector::kAnd;  // "mil e duzentos"
            } else if (g > 0 && g < top - 1 && top > 2) {
                connector_ = Connector::kPause;  // a breath inside a long number
            }
            std::string hundreds = group == "100" ? Hundreds[0] : Hundreds[h];
            if (!GroupIsMasculine(scale) && h >= 2 && hundreds.size() >= 4)
                hundreds.replace(hundreds.size() - 4, 4, "aS- ");
            AddWord(hundreds);
            connector_ = Connector::kAnd;
        } else if (g > 0) {
            connector_ = Connector::kAnd;
        }
        if (t != 0) {
            AddWord(t == 1 ? TensAndTeens[u] : TensAndTeens[t + 8]);
            connector_ = Connector::kAnd;
        }
        if (group == "000") return;
        if (t == 1) {
            result_ += ScaleWord(scale, false);
            return;
        }
        if (t == 2) connector_ = Connector::kBlank;
        if (u != 0) {
            AddWord(UnitWord(u, GroupIsMasculine(scale)));
            result_ += ScaleWord(scale, group == "001");
        } else {
            result_ += ScaleWord(scale, false);
        }
    }

    bool masculine_;
    Connector connector_ = Connector::kNone;
    std::string result_;
};

// The scale word a token after an amount may carry ("R$ 2 milhões").
std::string CurrencyScaleWord(const std::string& word, bool one) {
    if (word == "bi" ||
        word ==
            "bilh\xF5"
            "es" ||
        word == "bilh\xE3o")
        return one ? " -bi-h`@w- -de- " : " -bi-h`o\xEBS- -de- ";
    if (word == "mi" ||
        word ==
            "milh\xF5"
            "es" ||
        word == "milh\xE3o")
        return one ? " -mi-h`@w- -de- " : " -mi-h`o\xEBS- -de- ";
    if (word ==
            "trilh\xF5"
            "es" ||
        word == "trilh\xE3o")
        return one ? " -tri-h`@w- -de- " : " -tri-h`o\xEBS- -de- ";
    if (word == "mil") return " -m`iw- ";
    return "";
}

// The cents as they are read: "05" is " 5", "00" and "0" are nothing.
std::string NormaliseCents(const std::string& cents) {
    std::string out = cents.size() == 2 ? StripLeadingZeros(cents) : cents;
    if (out == "0") return "";
    if (cents.size() == 2 && out.size() == 1) return " " + out;
    return out;
}

// "um milhão de reais": a round million or billion takes "de" before the
// currency name. Thousands dots do not count ("1.000.000" is a round million).
bool EndsInMillions(const std::string& integer) {
    const std::string digits = OnlyDigits(integer);
    return EndsWith(digits, "000000");
}

// The text of the amount: what follows the currency sign.
std::string AmountText(const std::string& text, int kind) {
    const size_t dollar = text.find('$');
    if (dollar != std::string::npos) return text.substr(dollar + 1);
    // Pound and yen signs are one character, after an optional minus.
    const size_t sign = (kind == 3 || kind == 4) && StartsWith(text, "-") ? 1 : 0;
    return sign + 1 <= text.size() ? text.substr(sign + 1) : "";
}

}  // namespace

std::string ReadCardinal(const std::string& digits, bool masculine) {
    std::string remaining = OnlyDigits(digits);
    // Too long to read as one number (a code, a telephone with its country
    // prefix): the digits are read one by one rather than left unsaid.
    if (remaining.size() > kMaxCardinalDigits) return SpellCharacters(remaining);
    std::string result;
    size_t zeros = 0;
    while (zeros < remaining.size() && remaining[zeros] == '0') {
        result += kZeroWord;
        ++zeros;
    }
    remaining.erase(0, zeros);
    return result + CardinalBuilder(masculine).Read(remaining);
}

std::string ReadNumber(const std::string& digits, int mode, bool masculine) {
    if (mode == kReadDigitByDigit) return SpellCharacters(digits);
    return ReadCardinal(digits, masculine);
}

std::string ReadOrdinal(const std::string& digits, bool masculine) {
    const std::string value = OnlyDigits(digits);
    if (value.size() >= 4) return ReadCardinal(value, masculine) + kOrdinalWord;
    // Zero has no ordinal: "0º" reads as the number.
    if (value.find_first_not_of('0') == std::string::npos) return ReadCardinal(value, masculine);
    const std::string ending = masculine ? "o- " : "a- ";
    const std::string* stems[3] = {OrdinalHundreds, OrdinalTens, OrdinalUnits};
    const size_t firstPosition = 3 - value.size();
    std::string result;
    for (size_t i = 0; i < value.size(); ++i) {
        const int digit = value[i] - '0';
        // A zero position says nothing: "20º" is "vigésimo", "101º" "centésimo primeiro".
        if (digit == 0) continue;
        result += stems[firstPosition + i][digit] + ending;
    }
    return result;
}

int CurrencyKind(const std::string& lowerText) {
    const std::string text = StartsWith(lowerText, "-") ? lowerText.substr(1) : lowerText;
    if (StartsWith(text, "r$")) return 1;
    if (StartsWith(text, "us$")) return 2;
    if (StartsWith(text, "\xA3")) return 3;  // £
    if (StartsWith(text, "\xA5")) return 4;  // ¥
    return 0;
}

std::string ReadCurrencyAmount(const std::string& text, int kind, int& tokenIndex) {
    if (kind < 1 || kind > 4) return "";
    std::string sign = StartsWith(text, "-") ? kMinusWord : "";
    std::string amount = Trim(AmountText(text, kind));
    if (StartsWith(amount, "-")) {
        sign = kMinusWord;
        amount.erase(0, 1);
    }

    // A sign without an amount says nothing, and leaves the next word alone.
    if (amount.empty()) return "";
    const std::string scale = CurrencyScaleWord(LowerCase1252(TokenText(tokenIndex + 1)), amount == "1");
    auto [integer, rawCents] = SplitAtComma(amount);
    const std::string cents = NormaliseCents(rawCents);
    const std::string integerWords = ExpandDigitToken(integer, tokenIndex, true, true);
    const std::string centsWords = ExpandDigitToken(Trim(cents), tokenIndex, true, true);

    const std::string plural = Currencies[kind];
    const std::string name = integer == "1" ? Currencies[kind + 4] : plural;
    const std::string centsWord = kCentsWord + std::string(cents.empty() || cents == " 1" ? "- " : "S- ");
    const bool hasInteger = !integer.empty();
    const bool hasCents = !cents.empty();
    const bool hasScale = !scale.empty();
    const bool twoCentDigits = cents.size() == 2;

    std::string words;
    if (hasInteger && !hasCents) {
        if (hasScale) {
            words = integerWords + scale + plural;
        } else if (EndsInMillions(integer)) {
            words = integerWords + kOf + name;
        } else {
            words = integerWords + name;
        }
    } else if (!hasInteger && hasCents) {
        if (hasScale) {
            words = kZeroComma + centsWords + scale + plural;
        } else if (twoCentDigits) {
            words = centsWords + centsWord + kOf + Currencies[kind + 4];
        } else {
            words = kZeroComma + centsWords + plural;
        }
    } else if (hasInteger && hasCents) {
        if (hasScale) {
            words = integerWords + kCommaWord + centsWords + scale + plural;
        } else if (EndsInMillions(integer)) {
            words = integerWords + kOf + name + kAndWord + centsWords + centsWord;
        } else if (twoCentDigits) {
            words = integerWords + name + kAndWord + centsWords + centsWord;
        } else {
            words = integerWords + kCommaWord + centsWords + plural;
        }
    }
    if (hasScale) ++tokenIndex;
    return sign + words;
}
