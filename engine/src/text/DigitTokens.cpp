// The digit-token expander. A token is cut into segments of digits,
// separators and other characters; the string of segment classes (its
// pattern, "010" for a number, a separator and a number) chooses the reading.
// The first rule of the table at the end of this file that takes the token
// gives its reading; the segment reading takes everything else.
//
// Phonetic strings are Windows-1252 bytes written with \x escapes.
#include "text/DigitTokens.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "core/BuiltinTables.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "text/NumberReaders.h"
#include "words/Data.h"
#include "words/TranscribeWord.h"

namespace {

constexpr char kDigitClass = '0';
constexpr char kSeparatorClass = '1';
constexpr char kOtherClass = '2';

constexpr const char* kHour = " -`\xF3-ra";
constexpr const char* kMinute = " -mi-n`u-to";
constexpr const char* kSecond = " -se-g`\xFC-do";
constexpr const char* kPercent = " -po%-s`\xEB-to- ";
constexpr const char* kOf = " -di- ";
constexpr const char* kAnd = " -i- ";
constexpr const char* kAndAfterHours = "_ -e- ";
// The vowel class of lexicon entries that are not read by their lexicon form
// inside digit tokens.
constexpr int kNotInDigitTokens = 10;

struct DigitToken {
    std::string written;                // the token as written
    std::vector<std::string> segments;  // lower case
    std::string pattern;                // one class a segment
    WordContext context;                // of the whole token, for the words among its segments
    bool numberBefore = false;
    bool masculine = true;

    const std::string& Segment(size_t i) const { return segments[i]; }
};

char ClassOf(char c) {
    if (IsDigitChar(c)) return kDigitClass;
    const bool separator = std::string_view("/:%$_-,.@").find(c) != std::string_view::npos;
    return separator ? kSeparatorClass : kOtherClass;
}

// A point that groups thousands ("1.000") or follows initials ("a.b.c")
// stays inside its segment.
bool KeepsPointsInSegments(const std::string& text) {
    if (IsNumericText(text)) return IsGroupedNumber(text);
    return IsDottedInitials(text) || (text.size() == 2 && text[1] == '.');
}

// "1 000 000", "25 000", "1 000,50": a first group of one to three digits,
// then groups of exactly three after a blank or a no-break space, and maybe
// decimals. "10 20 30" is three numbers.
bool IsBlankGroupedNumber(std::string_view text) {
    const size_t comma = text.find(',');
    const std::string_view integer = text.substr(0, comma);
    if (comma != std::string_view::npos && !IsDigits(std::string(text.substr(comma + 1)))) return false;
    size_t groups = 0;
    size_t begin = 0;
    while (begin <= integer.size()) {
        size_t end = begin;
        while (end < integer.size() && !IsNumberGroupBlank(integer[end])) ++end;
        const std::string group(integer.substr(begin, end - begin));
        const bool sized = groups == 0 ? !group.empty() && group.size() <= 3 : group.size() == 3;
        if (!sized || !IsDigits(group)) return false;
        ++groups;
        begin = end + 1;
    }
    return groups > 1;
}

// The token with the blanks of a grouped number at its start taken out:
// "1 000 000" is "1000000", "1 000km" "1000km".
std::string WithoutGroupBlanks(const std::string& text) {
    size_t end = 0;
    while (end < text.size() && (IsDigitChar(text[end]) || IsNumberGroupBlank(text[end]) || text[end] == ','))
        ++end;
    std::string number = text.substr(0, end);
    if (!IsBlankGroupedNumber(number)) return text;
    std::erase_if(number, IsNumberGroupBlank);
    return number + text.substr(end);
}

// Every segment is kept, however many the token has.
void CutIntoSegments(const std::string& lower, DigitToken& token) {
    const bool keepPoints = KeepsPointsInSegments(lower);
    for (size_t i = 0; i < lower.size(); ++i) {
        const char c = lower[i];
        const char cls = ClassOf(c);
        const bool joins = c == '.' && i > 0 && keepPoints;
        if (token.segments.empty() || (!joins && cls != token.pattern.back())) {
            token.segments.emplace_back();
            token.pattern += cls;
        }
        token.segments.back() += c;
    }
}

// The value of a digit segment; large values stop growing at a bound far
// beyond every limit tested here.
long long ValueOf(const std::string& digits) {
    constexpr long long kBound = 1000000000000LL;
    long long value = 0;
    for (char c : digits) {
        if (!IsDigitChar(c)) continue;
        value = value * 10 + (c - '0');
        if (value > kBound) return kBound;
    }
    return value;
}

std::string Cardinal(const std::string& digits, bool masculine) {
    return ReadNumber(digits, kReadCardinal, masculine);
}

// A number read for its amount: "05" reads cinco.
std::string Amount(const std::string& digits, bool masculine) {
    return Cardinal(StripLeadingZeros(digits), masculine);
}

// The places after a decimal comma: up to three read as a number ("2,75"),
// more one digit at a time ("3,14159": um quatro um cinco nove).
std::string DecimalPlaces(const std::string& digits, bool masculine) {
    constexpr size_t kPlacesReadAsNumber = 3;
    if (digits.size() > kPlacesReadAsNumber) return ReadNumber(digits, kReadDigitByDigit, masculine);
    return Cardinal(digits, masculine);
}

std::string PluralEnding(long long count) { return count == 1 ? "- " : "S- "; }

// Midnight is "zero hora", as one o'clock is "uma hora".
std::string HourWord(long long hours) { return " \\V1.3" + std::string(kHour) + (hours <= 1 ? "- " : "S- "); }

// The reading of a word inside a digit token: its lexicon form, or the
// letter rules.
std::string WordReading(const DigitToken& token, const std::string& word, bool hyphenPause) {
    TIPO_REG_PAL record;
    if (!word.empty() && LexiconLookup(word, record) && record.vowelClass != kNotInDigitTokens)
        return record.transcription;
    return TranscribeWord(word, token.numberBefore, hyphenPause, token.context);
}

// "10h30", "10:30": the hour, and the minutes when there are any.
std::string ClockReading(const std::string& hours, const std::string& minutes) {
    const long long m = ValueOf(minutes);
    std::string out = " \\V1.15 " + Amount(hours, false) + HourWord(ValueOf(hours)) + " \\V1 ";
    if (m != 0) out += kAndAfterHours + Amount(minutes, true) + kMinute + PluralEnding(m);
    return out;
}

bool IsClockTime(const std::string& hours, const std::string& minutes) {
    return hours.size() < 3 && minutes.size() == 2 && ValueOf(hours) < 24 && ValueOf(minutes) < 60;
}

// A quantity's unit: its name when it is a known abbreviation, which also
// decides the gender ("duas toneladas", but "dois gramas"); else the
// abbreviation read as a word, the number keeping its own gender.
struct UnitReading {
    std::string word;
    bool masculine;
};

UnitReading ReadUnit(const DigitToken& token, const std::string& written, const std::string& count) {
    UnitOfMeasure unit;
    if (!FindUnit(written, unit))
        return {TranscribeWord(LowerCase1252(written), token.numberBefore, true, token.context),
                token.masculine};
    return {ValueOf(count) == 1 ? unit.singular : unit.plural, unit.masculine};
}

bool LastCharacterIsLowerCase(const DigitToken& token) {
    const unsigned char last = static_cast<unsigned char>(token.written.back());
    return UpperChar1252(last) != last;
}

// ---- The rules, in the order they are tried --------------------------------

using Reading = std::optional<std::string>;

Reading PlainNumber(const DigitToken& t) {
    if (t.pattern != "0") return std::nullopt;
    return Cardinal(t.Segment(0), t.masculine);
}

struct DateParts {
    std::string day, month, year;
};

// "25/12/2005", "15.03.2024", "15-03-2024", "2024-03-15". Slashes take any
// day, month and year in range; points and hyphens, which also write
// versions and codes, only a day and a month of one or two digits and a
// year of two or four, or a year of four first.
std::optional<DateParts> DateOf(const DigitToken& t) {
    if (t.pattern != "01010" || t.Segment(1) != t.Segment(3)) return std::nullopt;
    const std::string& mark = t.Segment(1);
    if (mark != "/" && mark != "." && mark != "-") return std::nullopt;
    const bool yearFirst = t.Segment(0).size() == 4 && mark != ".";
    DateParts date{t.Segment(0), t.Segment(2), t.Segment(4)};
    if (yearFirst) std::swap(date.day, date.year);
    const long long day = ValueOf(date.day);
    const long long month = ValueOf(date.month);
    if (day > 31 || month > 12 || ValueOf(date.year) > 9999) return std::nullopt;
    if (mark == "/" && !yearFirst) return date;
    const bool shortDayAndMonth = date.day.size() <= 2 && date.month.size() <= 2;
    const bool yearOfTwoOrFour = date.year.size() == 2 || date.year.size() == 4;
    if (!shortDayAndMonth || !yearOfTwoOrFour || day == 0 || month == 0) return std::nullopt;
    return date;
}

// Words before a day and month that mark the pair as a date: "no dia 3/4",
// "sexta-feira, 3/4".
bool MarksADate(const std::string& word) {
    static const WordList kWords = {"dia",   "dias",   "data",   "datas", "desde",  "feira",  "segunda",
                                    "terça", "quarta", "quinta", "sexta", "sábado", "domingo"};
    return kWords.Contains(word);
}

bool IsDayAndMonth(long long day, long long month) {
    return day >= 1 && day <= 31 && month >= 1 && month <= 12;
}

// "3/4" is a fraction, but "25/12", "15/03", "12/12" (no fraction is written
// so) and "dia 3/4" are dates.
bool PairIsADate(const DigitToken& t) {
    const std::string& first = t.Segment(0);
    const std::string& second = t.Segment(2);
    if (!IsDayAndMonth(ValueOf(first), ValueOf(second))) return false;
    const bool leadingZero = first.front() == '0' || second.front() == '0';
    const bool improper = ValueOf(first) >= ValueOf(second);
    return leadingZero || improper || MarksADate(LowerCase1252(TokenText(t.context.tokenIndex - 1)));
}

bool IsFractionShape(const std::string& numerator, const std::string& denominator) {
    constexpr long long kLargestParts = 1000;
    return numerator.size() <= 3 && ValueOf(numerator) >= 1 && ValueOf(denominator) >= 2 &&
           ValueOf(denominator) <= kLargestParts && numerator.front() != '0' && denominator.front() != '0';
}

// "1/2 das pessoas": a half of something counted is "meio", whatever follows.
bool HalfOf(const DigitToken& t) {
    static const WordList kOf = {"de", "da", "do", "das", "dos"};
    return kOf.Contains(LowerCase1252(TokenText(t.context.tokenIndex + 1)));
}

// The parts a denominator cuts the whole into, as the lexicon reads them:
// meio, terço, the ordinals up to décimo, centésimo and milésimo. Empty for
// the others, whose parts are "avos".
std::string PartWord(long long parts) {
    switch (parts) {
        case 2:
            return "meio";
        case 3:
            return "ter\xE7o";
        case 4:
            return "quarto";
        case 5:
            return "quinto";
        case 6:
            return "sexto";
        case 7:
            return "s\xE9timo";
        case 8:
            return "oitavo";
        case 9:
            return "nono";
        case 10:
            return "d\xE9"
                   "cimo";
        case 100:
            return "cent\xE9simo";
        case 1000:
            return "mil\xE9simo";
        default:
            return "";
    }
}

// "3/4" três quartos, "1/2" meio, "5/16" cinco dezesseis avos. The parts are
// masculine ("dois terços"); only the half agrees with what it measures
// ("meia xícara", "meio litro").
std::string FractionReading(const DigitToken& t, const std::string& numerator,
                            const std::string& denominator) {
    const long long count = ValueOf(numerator);
    const long long parts = ValueOf(denominator);
    std::string word = PartWord(parts);
    if (word.empty())
        return Cardinal(numerator, true) + Cardinal(denominator, true) + WordReading(t, "avos", true);
    const bool feminineHalf = parts == 2 && !t.masculine && !HalfOf(t);
    if (feminineHalf) word.back() = 'a';
    if (count != 1) word += 's';
    if (parts == 2 && count == 1) return WordReading(t, word, true);  // "meio litro", not "um meio"
    return Cardinal(numerator, !feminineHalf) + WordReading(t, word, true);
}

// "25/12", "no dia 3/4"
Reading DayAndMonth(const DigitToken& t) {
    if (t.pattern != "010" || t.Segment(1) != "/" || !PairIsADate(t)) return std::nullopt;
    return Amount(t.Segment(0), true) + kOf + Months[ValueOf(t.Segment(2))];
}

// "3/4", "1/2", "5/16"
Reading Fraction(const DigitToken& t) {
    if (t.pattern != "010" || t.Segment(1) != "/") return std::nullopt;
    if (!IsFractionShape(t.Segment(0), t.Segment(2))) return std::nullopt;
    return FractionReading(t, t.Segment(0), t.Segment(2));
}

// "2 1/2": dois e meio.
Reading MixedFraction(const DigitToken& t) {
    if (t.pattern != "02010" || t.Segment(1) != " " || t.Segment(3) != "/") return std::nullopt;
    if (!IsFractionShape(t.Segment(2), t.Segment(4))) return std::nullopt;
    return Cardinal(t.Segment(0), t.masculine) + kAnd + FractionReading(t, t.Segment(2), t.Segment(4));
}

Reading Date(const DigitToken& t) {
    const std::optional<DateParts> date = DateOf(t);
    if (!date) return std::nullopt;
    return Amount(date->day, true) + kOf + Months[ValueOf(date->month)] + kOf + Cardinal(date->year, true);
}

// "10:30:15"
Reading TimeWithSeconds(const DigitToken& t) {
    if (t.pattern != "01010" || t.Segment(1) != ":" || t.Segment(3) != ":") return std::nullopt;
    const long long h = ValueOf(t.Segment(0));
    const long long m = ValueOf(t.Segment(2));
    const long long s = ValueOf(t.Segment(4));
    if (h > 23 || m > 59 || s > 59) return std::nullopt;
    return " \\V1.15 " + Amount(t.Segment(0), false) + HourWord(h) + " \\V1 _" + Amount(t.Segment(2), true) +
           kMinute + PluralEnding(m) + kAnd + Amount(t.Segment(4), true) + kSecond + PluralEnding(s);
}

// "5min30s"
Reading Duration(const DigitToken& t) {
    if (t.pattern != "0202" || t.Segment(1) != "min" || t.Segment(3) != "s") return std::nullopt;
    const long long m = ValueOf(t.Segment(0));
    const long long s = ValueOf(t.Segment(2));
    return " \\V1.15 " + Amount(t.Segment(0), true) + " \\V1.3" + kMinute + PluralEnding(m) + " \\V1 _" +
           kAnd + Amount(t.Segment(2), true) + kSecond + PluralEnding(s);
}

// "10:30", "10h30m", "10h30", "07h"
Reading ClockTime(const DigitToken& t) {
    const bool colon = t.pattern == "010" && t.Segment(1) == ":";
    const bool hoursAndMinutes = t.pattern == "0202" && t.Segment(1) == "h" && t.Segment(3) == "m";
    const bool hoursThenMinutes = t.pattern == "020" && t.Segment(1) == "h";
    const bool hoursOnly = t.pattern == "02" && (t.Segment(1) == "h" || t.Segment(1) == "hs");
    if (!(colon || hoursAndMinutes || hoursThenMinutes || hoursOnly)) return std::nullopt;
    const std::string minutes = hoursOnly ? "00" : t.Segment(2);
    if (!IsClockTime(t.Segment(0), minutes)) return std::nullopt;
    return ClockReading(t.Segment(0), minutes);
}

// "3333-4444": telephone numbers and codes, digit by digit.
Reading DigitsAroundHyphen(const DigitToken& t) {
    if (t.pattern != "010" || t.Segment(1) != "-") return std::nullopt;
    return ReadNumber(t.Segment(0), kReadDigitByDigit, true) + "_" +
           ReadNumber(t.Segment(2), kReadDigitByDigit, true);
}

// "1º", "2ª", "3o", "4a"
Reading Ordinal(const DigitToken& t) {
    if (t.pattern != "02" || !IsDigits(t.Segment(0))) return std::nullopt;
    const std::string& mark = t.Segment(1);
    if (mark == "o" || mark == "\xBA") return ReadOrdinal(t.Segment(0), true);
    if (mark == "a" || mark == "\xAA") return ReadOrdinal(t.Segment(0), false);
    return std::nullopt;
}

// "50%"
Reading Percentage(const DigitToken& t) {
    if (t.pattern != "01" || t.Segment(1) != "%") return std::nullopt;
    return Cardinal(t.Segment(0), true) + kPercent;
}

// "3,14159": the integer and the places, with the pause the segment reading
// puts after each number.
Reading Decimal(const DigitToken& t) {
    if (t.pattern != "010" || t.Segment(1) != ",") return std::nullopt;
    return Cardinal(t.Segment(0), t.masculine) + " _ " + WordReading(t, t.Segment(1), true) +
           DecimalPlaces(t.Segment(2), t.masculine) + " _ ";
}

// "2,5%"
Reading DecimalPercentage(const DigitToken& t) {
    if (t.pattern != "0101" || t.Segment(3) != "%") return std::nullopt;
    return Cardinal(t.Segment(0), true) + SpellCharacters(t.Segment(1)) + DecimalPlaces(t.Segment(2), true) +
           kPercent;
}

// "2kg", "1,5l", "100km/h", "30°C", and "5x" with a word for a unit. The
// number before a decimal mark says the unit's number: "1,5 litro".
Reading QuantityWithUnit(const DigitToken& t) {
    const bool decimal = StartsWith(t.pattern, "010") && (t.Segment(1) == "," || t.Segment(1) == ".");
    const size_t numberSegments = decimal ? 3 : 1;
    if (t.pattern.front() != kDigitClass || t.pattern.size() <= numberSegments) return std::nullopt;
    size_t numberLength = 0;
    for (size_t k = 0; k < numberSegments; ++k) numberLength += t.Segment(k).size();
    const std::string written = t.written.substr(numberLength);
    UnitOfMeasure known;
    const bool wordForUnit = t.pattern.size() == numberSegments + 1 && LastCharacterIsLowerCase(t);
    if (!FindUnit(written, known) && !wordForUnit) return std::nullopt;
    const UnitReading unit = ReadUnit(t, written, t.Segment(0));
    std::string number = Amount(t.Segment(0), unit.masculine);
    if (decimal)
        number += TranscribeWord(t.Segment(1), t.numberBefore, true, t.context) +
                  DecimalPlaces(t.Segment(2), unit.masculine);
    return number + unit.word;
}

// ---- Web and e-mail addresses ----------------------------------------------

// The marks inside an address, said by name.
const char* AddressMarkName(char mark) {
    switch (mark) {
        case '.':
            return " -p`\xF6-tu- ";
        case '/':
            return " -b`a-Ra- ";
        case '-':
            return " -`i-f\xEBi- ";
        case '_':
            return " -su-bli-\xF1`a-du- ";
        case '@':
            return " -a-R`o-ba- ";
        case ':':
            return " -d`oyS- -p`\xF6-tuS- ";
        default:
            return "";
    }
}

// A run of letters in an address: the domains everyone says as words, and
// words the lexicon knows, are read; "www", "http", "br" and every other run
// are spelled.
std::string AddressWordReading(const std::string& word) {
    static constexpr std::pair<std::string_view, const char*> kSaid[] = {
        {"com", " -k`\xF6- "},
        {"org", " -`\xF3%g- "},
        {"gov", " -g`\xF3v- "},
        {"net", " -n`\xE9t- "},
    };
    for (const auto& [said, phonetic] : kSaid)
        if (word == said) return phonetic;
    TIPO_REG_PAL record;
    const bool spelledAlways = word == "www" || word == "http" || word == "https" || word == "br";
    if (!spelledAlways && LexiconLookup(word, record) && record.vowelClass != kNotInDigitTokens)
        return record.transcription;
    return SpellCharacters(word);
}

// The pieces of an address in order: runs of letters, runs of digits, and
// each other character alone.
std::vector<std::string> AddressPieces(const std::string& lower) {
    std::vector<std::string> pieces;
    for (size_t i = 0; i < lower.size();) {
        size_t end = i + 1;
        if (IsLetterChar(lower[i]) || IsDigitChar(lower[i])) {
            const bool letters = IsLetterChar(lower[i]);
            while (end < lower.size() && (letters ? IsLetterChar(lower[end]) : IsDigitChar(lower[end])))
                ++end;
        }
        pieces.push_back(lower.substr(i, end - i));
        i = end;
    }
    return pieces;
}

// "fulano@site.com.br", "www.site.com.br": part by part, a little slower, the
// first part and the site's name a little higher.
Reading Address(const DigitToken& t) {
    const std::string lower = LowerCase1252(t.written);
    if (!IsWebAddress(lower)) return std::nullopt;
    const std::vector<std::string> pieces = AddressPieces(lower);
    // The site's name follows the "@", the scheme or "www.".
    size_t site = 0;
    for (size_t k = 0; k + 1 < pieces.size(); ++k)
        if (pieces[k] == "@" || pieces[k] == "www" || pieces[k] == "/") site = k + 1;
    if (site < pieces.size() && pieces[site] == ".") ++site;
    std::string out;
    for (size_t k = 0; k < pieces.size(); ++k) {
        const std::string& piece = pieces[k];
        std::string reading;
        if (IsDigitChar(piece.front())) {
            reading = Cardinal(piece, true);
        } else if (IsLetterChar(piece.front())) {
            reading = AddressWordReading(piece);
        } else {
            reading = AddressMarkName(piece.front());
            if (reading.empty()) reading = SpellCharacters(piece);
        }
        if (k == 0) reading = " \\T1.1 " + reading + " \\T1 ";
        if (k == site && k != 0) reading = " \\T1.2 " + reading + " \\T1 ";
        out += reading;
    }
    return " \\V1.2 " + out + " \\V1 ";
}

// Everything else, piece by piece: numbers as cardinals, the rest as words
// (short ones a little slower), with a pause after each piece but the
// decimal marks.
std::string SegmentReading(const DigitToken& t) {
    std::string out;
    for (size_t k = 0; k < t.segments.size(); ++k) {
        const std::string& segment = t.Segment(k);
        if (t.pattern[k] == kDigitClass) {
            out += Cardinal(segment, t.masculine);
        } else {
            const std::string word = WordReading(t, segment, true);
            out += word.size() >= 8 ? word : " \\V1.2 " + word + " \\V1 ";
        }
        if (segment != "," && segment != ".") out += " _ ";
    }
    return out;
}

using Rule = Reading (*)(const DigitToken&);

constexpr Rule kRules[] = {
    PlainNumber,     Date,     DayAndMonth,       Fraction,           MixedFraction,
    TimeWithSeconds, Duration, ClockTime,         DigitsAroundHyphen, Ordinal,
    Percentage,      Decimal,  DecimalPercentage, QuantityWithUnit,   Address,
};

// The number at the end of a token: its digits and group blanks, after a
// currency sign or nothing ("1 000", "R$ 1"). Empty when letters come before.
std::string_view TrailingNumber(std::string_view written) {
    size_t begin = written.size();
    while (begin > 0 && (IsDigitChar(written[begin - 1]) || IsNumberGroupBlank(written[begin - 1]))) --begin;
    if (begin > 0 && std::string_view("$\x80\xA3\xA5").find(written[begin - 1]) == std::string_view::npos)
        return {};
    while (begin < written.size() && IsNumberGroupBlank(written[begin])) ++begin;
    return written.substr(begin);
}

}  // namespace

bool ContinuesNumber(const std::string& written, const std::string& next) {
    const std::string_view number = TrailingNumber(written);
    if (number.empty()) return false;
    if (IsBlankGroupedNumber(std::string(number) + ' ' + next)) return true;
    // "2 1/2": a whole number and a proper fraction.
    const size_t slash = next.find('/');
    if (number.size() > 3 || !IsDigits(std::string(number)) || slash == std::string::npos) return false;
    const std::string numerator = next.substr(0, slash);
    const std::string denominator = next.substr(slash + 1);
    return IsDigits(numerator) && IsDigits(denominator) && IsFractionShape(numerator, denominator) &&
           ValueOf(numerator) < ValueOf(denominator);
}

std::string ExpandDigitToken(const std::string& text, int tokenIndex, bool numberBefore, bool masculine) {
    if (text.empty()) return "";
    const std::string digits = WithoutGroupBlanks(text);
    DigitToken token;
    token.written = digits;
    token.context = ContextOfToken(tokenIndex);
    token.numberBefore = numberBefore;
    token.masculine = masculine;
    CutIntoSegments(LowerCase1252(digits), token);
    for (Rule rule : kRules)
        if (Reading reading = rule(token)) return *reading;
    return SegmentReading(token);
}
