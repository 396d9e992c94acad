// Amounts of money: the currency sign, the amount with its cents and an
// optional scale word after it, read with the currency's name.
//
// Phonetic strings are Windows-1252 bytes written with \x escapes.
#include "text/CurrencyAmounts.h"

#include "core/BuiltinTables.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "text/DigitTokens.h"

namespace {

constexpr const char* kMinusWord = "-m`e-noS- ";
constexpr const char* kCentsWord = " -s\xEB-t`a-vo";
constexpr const char* kEuroCentsWord = " -s`\xEB-ti-mu";  // cêntimo
constexpr int kEuro = 5;
constexpr const char* kCommaWord = " -v`i%-gu-la- ";
constexpr const char* kZeroComma = " -z`\xE9-ro- -v`i%-gu-la- ";
constexpr const char* kOf = " -de- ";
constexpr const char* kAndWord = " -e- ";

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
    const std::string digits = DigitsOnly(integer);
    return EndsWith(digits, "000000");
}

// The text of the amount: what follows the currency sign.
std::string AmountText(const std::string& text, int kind) {
    const size_t dollar = text.find('$');
    if (dollar != std::string::npos) return text.substr(dollar + 1);
    // Pound, yen and euro signs are one character, after an optional minus.
    const size_t sign = kind >= 3 && StartsWith(text, "-") ? 1 : 0;
    return sign + 1 <= text.size() ? text.substr(sign + 1) : "";
}

// A sign alone ("$", "€") is a currency only before an amount, or standing
// by itself next to one: "$HOME" is not a dollar amount.
bool AmountMayFollow(const std::string& rest) {
    const size_t digit = StartsWith(rest, "-") ? 1 : 0;
    return rest.empty() || (digit < rest.size() && IsDigitChar(rest[digit]));
}

std::string CentsWord(int kind, bool plural) {
    return std::string(kind == kEuro ? kEuroCentsWord : kCentsWord) + (plural ? "S- " : "- ");
}

}  // namespace

int CurrencyKind(const std::string& lowerText) {
    const std::string text = StartsWith(lowerText, "-") ? lowerText.substr(1) : lowerText;
    if (StartsWith(text, "r$")) return 1;
    if (StartsWith(text, "us$")) return 2;
    if (StartsWith(text, "\xA3")) return 3;  // £
    if (StartsWith(text, "\xA5")) return 4;  // ¥
    if (StartsWith(text, "\x80") && AmountMayFollow(Trim(text.substr(1)))) return kEuro;
    if (StartsWith(text, "$") && AmountMayFollow(Trim(text.substr(1)))) return 2;
    return 0;
}

bool IsCurrencySign(const std::string& lowerText) {
    const int kind = CurrencyKind(lowerText);
    return kind != 0 && !StartsWith(lowerText, "-") && Trim(AmountText(lowerText, kind)).empty();
}

std::string ReadCurrencyAmount(const std::string& text, int kind, int& tokenIndex) {
    if (kind < 1 || kind > kCurrencyKinds) return "";
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
    const std::string singular = Currencies[kind + kCurrencyKinds];
    const std::string name = integer == "1" ? singular : plural;
    const std::string centsWord = CentsWord(kind, !(cents.empty() || cents == " 1"));
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
            words = centsWords + centsWord + kOf + singular;
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
