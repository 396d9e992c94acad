// Character classes and string operations on Windows-1252 text, shared by
// every text stage. Positions are 1-based; a position past the end gives the
// empty string.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The decimal separator of the system, read once when the library loads.
char DecimalSeparator();
void SetDecimalSeparator(char separator);  // for tests

// Text written in UTF-8 (as in the sources and on the command line) in
// Windows-1252; characters the code page lacks become "?".
std::string Utf8To1252(std::string_view utf8);
// Windows-1252 text in UTF-8; the code page's holes become "?".
std::string Utf8From1252(std::string_view text);

unsigned char LowerChar1252(unsigned char c);
unsigned char UpperChar1252(unsigned char c);
std::string LowerCase1252(const std::string& s);
std::string UpperCase1252(const std::string& s);

// Predicates on a string (most look at its first character).
bool IsBlank(const std::string& s);
bool IsWordChar(const std::string& s);
bool IsNumericText(const std::string& s);
bool IsDigits(const std::string& s);
bool HasDigit(const std::string& s);
bool IsLetters(const std::string& s);
bool IsSentenceEnd(const std::string& s);
bool IsVowel(const std::string& s);
int LastAccentPos(const std::string& s);
bool IsAllCaps(const std::string& s);
bool IsUpperText(const std::string& s);
bool IsDottedInitials(const std::string& s);
bool IsGroupedNumber(const std::string& s);
bool IsHardCluster(const std::string& s);
// A lower-case e-mail address ("fulano@site.com.br"), or a web address with
// its scheme, with "www." or with a known domain ("site.com.br/noticias").
bool IsWebAddress(std::string_view lower);
bool IsNamedSymbol(const std::string& s);
bool IsPhonemeSymbol(const std::string& s);

// Single-character forms of the sets.
bool IsBlankChar(char c);
bool IsSeparatorChar(char c);
bool IsNumericChar(char c);
bool IsDigitChar(char c);
// A blank that groups the digits of a number ("1 000"): a space, or the
// no-break space.
bool IsNumberGroupBlank(char c);
bool IsLetterChar(char c);
bool IsVowelChar(char c);
bool IsPhonemeChar(char c);

// String operations.
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
std::string Left(const std::string& s, int n);
std::string Right(const std::string& s, int n);
std::string Mid(const std::string& s, int from, int count);
int PosFrom(int start, const std::string& s, const std::string& sub);
int PosCharFrom(int start, const std::string& s, char ch);
// 0 for the empty string; false when s is not an integer.
bool IntOrZero(const std::string& s, long& value);
// The digits of s, every other character dropped.
std::string DigitsOnly(const std::string& s);
// Blanks and control characters off both ends.
std::string Trim(const std::string& s);
std::string CommaToPoint(const std::string& s);
std::string ToSystemDecimal(const std::string& s);
std::pair<std::string, std::string> SplitAtComma(const std::string& s);
std::string StripLeadingZeros(const std::string& s);
std::string RemoveCharInRange(const std::string& s, char ch, int from, int to);
std::string UpToTab(const std::string& s);
std::string SpellCharacters(const std::string& s);
std::string Syllabify(const std::string& phonetic);

// A list of words written in UTF-8 in the sources, held in Windows-1252 to
// be compared with the text's words.
class WordList {
public:
    WordList(std::initializer_list<std::string_view> utf8Words);
    bool Contains(const std::string& word) const;

private:
    std::vector<std::string> words_;
};

// A unit of measure: its name after a count of one and after any other
// count, and the gender of the number before it ("duas horas", "dois
// quilos").
struct UnitOfMeasure {
    std::string singular;
    std::string plural;
    bool masculine = true;
};
// The unit an abbreviation written after a number names ("kg", "km/h",
// "°C"); false when it names none. A capital counts only where the unit is
// written with it ("L", "°C"): "2KG" is no quantity, "2Kg" is.
bool FindUnit(const std::string& abbreviation, UnitOfMeasure& unit);

// A text file's lines, each followed by CR LF. false when it cannot be read.
bool ReadTextFileLines(const std::string& path, std::string& text);

// The longest line of a data file (the language data, a dictionary); far
// beyond any real one.
constexpr size_t kLongestDataLine = 64 * 1024;
// One line of a data file, without its LF or CR LF; false at the end, as
// std::getline. A line longer than kLongestDataLine sets badbit, as a read
// error would: a file without line ends must not be read into memory whole.
bool ReadDataLine(std::istream& in, std::string& line);
