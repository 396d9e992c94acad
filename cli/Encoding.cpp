#include "Encoding.h"

#include <cstdint>

namespace {

// Windows-1252 codes 0x80..0x9F; 0 where the code page leaves a hole.
constexpr char16_t kHigh1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

char FromCodePoint(uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (int k = 0; k < 32; ++k)
        if (kHigh1252[k] && kHigh1252[k] == code) return static_cast<char>(0x80 + k);
    return '?';  // not in the code page
}

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

}  // namespace

std::string Utf8ToCp1252(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) out.push_back(FromCodePoint(DecodeAt(text, i)));
    return out;
}

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) AppendUtf8(out, CodePointOf1252(c));
    return out;
}
