// The shared tables and what the stages ask of them.
#include "core/Tokens.h"

#include <algorithm>
#include <string_view>

#include "core/EngineState.h"
#include "core/TextUtil.h"

TokenTable Tokens;
PhoneTable PhoneList;

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// The settings of control sequences that wait for a token to apply to.
void ClearPendingSettings(TIPO_TOKEN& token) {
    token.level = 0;
    token.emphasis = 0;
    token.pauseMs = 0;
    token.durationValue = 0;
    token.pitchValue = 0;
    token.accentToggle = 0;
    token.durationAbsolute = 0;
    token.pitchAbsolute = 0;
}

}  // namespace

// ---- Checked access ----

bool TokenInTable(int i) { return i >= TokenTable::kFirst && i <= TokenTable::kLast; }

TIPO_TOKEN* TokenAt(int i) { return TokenInTable(i) ? &Tokens[i] : nullptr; }

const TIPO_TOKEN& TokenOrEmpty(int i) {
    static const TIPO_TOKEN kEmpty;
    const TIPO_TOKEN* token = TokenAt(i);
    return token ? *token : kEmpty;
}

bool PhoneInTable(int i) { return i >= PhoneTable::kFirst && i <= PhoneTable::kLast; }

// ---- The tokens of the current chunk ----

void ClearToken(int i) {
    TIPO_TOKEN* token = TokenAt(i);
    if (!token) return;
    token->length = 0;
    token->punct = 0;
    token->phonetic = 0;
    token->phraseMark = 0;
    if (TIPO_TOKEN* next = TokenAt(i + 1)) ClearPendingSettings(*next);
}

std::string TokenText(int i) {
    const TIPO_TOKEN* token = i >= 0 ? TokenAt(i) : nullptr;
    if (!token || token->start <= 0 || token->length <= 0) return "";
    return Mid(Engine.text, token->start, token->length);
}

bool IsEndMarker(int i) { return !TokenInTable(i) || Tokens[i].start == -1; }

bool BreakAfter(int i) {
    if (!TokenInTable(i) || !TokenInTable(i + 1)) return true;
    const TIPO_TOKEN& following = Tokens[i + 1];
    return Tokens[i].punct != 0 || following.pauseMs != 0 || IsEndMarker(i + 1);
}

bool BreakBetween(int a, int b) {
    if (b < a) return false;
    for (int i = a; i <= b; ++i) {
        if (BreakAfter(i)) return true;  // always so once i leaves the table
    }
    return false;
}

bool IsWordToken(int i) {
    const TIPO_TOKEN* token = TokenAt(i);
    if (!token || i < 0 || token->start <= 0 || token->length <= 0) return true;
    static const std::string kJoiners = "-\"'_&";
    // Read in place: the reading of a word asks this of its neighbours.
    const std::string_view text(Engine.text);
    const size_t from = static_cast<size_t>(token->start - 1);
    const std::string_view word =
        from < text.size() ? text.substr(from, static_cast<size_t>(token->length)) : std::string_view();
    return std::all_of(word.begin(), word.end(),
                       [](char c) { return IsLetterChar(c) || kJoiners.find(c) != std::string::npos; });
}

// ---- The input text around the tokens ----

bool CurrencyAt(int pos) {
    const std::string& text = Engine.text;
    if (pos < 1 || pos > static_cast<int>(text.size())) return false;
    const unsigned char c = Byte(text[pos - 1]);
    if (c == 0xA3 || c == 0xA5) return true;  // £ ¥
    return LowerCase1252(Mid(text, pos, 2)) == "r$" || LowerCase1252(Mid(text, pos, 3)) == "us$";
}

bool NextWordCapitalised(int pos) {
    const std::string& text = Engine.text;
    for (int p = std::max(pos, 1); p <= static_cast<int>(text.size()); ++p) {
        const char c = text[p - 1];
        if (IsSeparatorChar(c)) continue;
        return Byte(c) == UpperChar1252(Byte(c));
    }
    return false;
}
