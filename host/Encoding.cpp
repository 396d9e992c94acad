#include "Encoding.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Windows-1252 codes 0x80..0x9F; 0 where the code page leaves a hole.
constexpr char16_t kHigh1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Typographic characters the engine reads best in their plain forms.
struct PlainForm {
    char32_t code;
    const char* plain;
};
constexpr PlainForm kPlainForms[] = {
    {0x2018, "'"},  {0x2019, "'"},  {0x201A, "'"},  {0x201B, "'"},  {0x2032, "'"}, {0x201C, "\""},
    {0x201D, "\""}, {0x201E, "\""}, {0x201F, "\""}, {0x2033, "\""}, {0x2010, "-"}, {0x2011, "-"},
    {0x2012, "-"},  {0x2013, "-"},  {0x2014, "-"},  {0x2015, "-"},  {0x2212, "-"}, {0x2026, "..."},
    {0x2028, "\n"}, {0x2029, "\n"}, {0x2002, " "},  {0x2003, " "},  {0x2009, " "}, {0x202F, " "},
};

// A combining accent after a letter: the bases it takes and the accented
// letters they make, position by position (all in Latin-1).
struct CombiningMark {
    char32_t code;
    const char* bases;
    const char* accented;
};
constexpr CombiningMark kCombiningMarks[] = {
    {0x0300, "AEIOUaeiou", "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9"},
    {0x0301, "AEIOUYaeiouy", "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD"},
    {0x0302, "AEIOUaeiou", "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB"},
    {0x0303, "AONaon", "\xC3\xD5\xD1\xE3\xF5\xF1"},
    {0x0308, "AEIOUaeiouy", "\xC4\xCB\xCF\xD6\xDC\xE4\xEB\xEF\xF6\xFC\xFF"},
    {0x0327, "Cc", "\xC7\xE7"},
};

uint32_t CodePointOf1252(unsigned char c) {
    if (c >= 0x80 && c < 0xA0) return kHigh1252[c - 0x80] ? kHigh1252[c - 0x80] : '?';
    return c;
}

// Decodes one UTF-8 sequence at text[i]; a byte that does not start a valid
// sequence is taken as Windows-1252, so a file that was never UTF-8 still
// reads sensibly.
uint32_t DecodeAt(const std::string& text, size_t& i) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = lead >= 0xF0 && lead < 0xF5   ? 3
                : lead >= 0xE0 && lead < 0xF0 ? 2
                : lead >= 0xC2 && lead < 0xE0 ? 1
                                              : 0;
    if (lead < 0x80 || extra == 0 || i + extra >= text.size()) {
        ++i;
        return CodePointOf1252(lead);
    }
    uint32_t code = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return CodePointOf1252(lead);
        }
        code = (code << 6) | (next & 0x3F);
    }
    i += extra + 1;
    return code;
}

// Puts a combining accent on the letter just written, where Latin-1 has the
// accented letter; a mark on anything else is dropped.
void Combine(std::string& out, const CombiningMark& mark) {
    if (out.empty()) return;
    if (const char* base = std::strchr(mark.bases, out.back()); base && *base)
        out.back() = mark.accented[base - mark.bases];
}

bool IsDigit(uint32_t code) { return code >= '0' && code <= '9'; }

// Between two digits a dash marks a range (1990–2000): the engine reads the
// code page's own dash there as two numbers, where a hyphen would join them
// into one string of digits.
bool IsRangeDash(uint32_t code, const std::string& out, uint32_t next) {
    return (code == 0x2013 || code == 0x2014) && !out.empty() &&
           IsDigit(static_cast<unsigned char>(out.back())) && IsDigit(next);
}

void AppendCp1252(std::string& out, uint32_t code, uint32_t next) {
    if (IsRangeDash(code, out, next)) {
        out.push_back(code == 0x2013 ? '\x96' : '\x97');
        return;
    }
    for (const PlainForm& form : kPlainForms)
        if (form.code == code) {
            out += form.plain;
            return;
        }
    for (const CombiningMark& mark : kCombiningMarks)
        if (mark.code == code) {
            Combine(out, mark);
            return;
        }
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        out.push_back(static_cast<char>(code));
        return;
    }
    for (int k = 0; k < 32; ++k)
        if (kHigh1252[k] && kHigh1252[k] == code) {
            out.push_back(static_cast<char>(0x80 + k));
            return;
        }
    // Not in the code page: nothing the engine could read, so nothing.
}

}  // namespace

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x110000) {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

std::string Utf8ToCp1252(const std::string& text) {
    std::vector<uint32_t> codes;
    for (size_t i = 0; i < text.size();) codes.push_back(DecodeAt(text, i));
    std::string out;
    for (size_t k = 0; k < codes.size(); ++k)
        AppendCp1252(out, codes[k], k + 1 < codes.size() ? codes[k + 1] : 0);
    return out;
}

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) AppendUtf8(out, CodePointOf1252(c));
    return out;
}
