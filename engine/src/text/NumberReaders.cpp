// The number readers: cardinals group by group with their connectors and
// liaison, and ordinals from their stems.
//
// Phonetic strings are Windows-1252 bytes written with \x escapes.
#include "text/NumberReaders.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "core/BuiltinTables.h"
#include "core/TextUtil.h"

namespace {

constexpr const char* kZeroWord = " -z`\xE9-ru- ";
constexpr const char* kFeminineOne = " -`u-ma- ";
constexpr const char* kFeminineTwo = " -d`u-aS- ";
// "e" between the parts of a number is spoken shorter.
constexpr const char* kAndConnector = " \\V0.8 -i- \\V1 ";
constexpr const char* kOrdinalWord = " -\xF4%-di-n`aw- ";
constexpr int kMaxCardinalDigits = 12;

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

}  // namespace

std::string ReadCardinal(const std::string& digits, bool masculine) {
    std::string remaining = DigitsOnly(digits);
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
    const std::string value = DigitsOnly(digits);
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

namespace {

struct RomanDigit {
    int value;
    const char* written;
};

// The forms a numeral is written with, largest first: each is taken as many
// times as it fits.
constexpr RomanDigit kRomanDigits[] = {
    {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
    {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"},
};

std::string RomanNumeral(int value) {
    std::string written;
    for (const RomanDigit& digit : kRomanDigits)
        for (; value >= digit.value; value -= digit.value) written += digit.written;
    return written;
}

}  // namespace

int RomanValue(const std::string& numeral) {
    constexpr size_t kLongest = 15;  // MMMDCCCLXXXVIII
    if (numeral.empty() || numeral.size() > kLongest) return 0;
    int value = 0;
    size_t pos = 0;
    for (const RomanDigit& digit : kRomanDigits) {
        const std::string_view written = digit.written;
        while (numeral.compare(pos, written.size(), written) == 0) {
            value += digit.value;
            pos += written.size();
        }
    }
    // Only the numeral's own way of writing its value counts: "IIII" and
    // "VX" are not numerals.
    if (pos != numeral.size() || value > 3999 || RomanNumeral(value) != numeral) return 0;
    return value;
}
