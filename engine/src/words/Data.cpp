// The language data "brport.lng": a sorted lexicon, the tag rules and the
// suffix rules, read once at every TTS_Init, and the lookups in them.
#include "words/Data.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "core/Platform.h"
#include "core/TextUtil.h"
#include "words/Dict.h"

std::vector<std::string> Lexicon;
TIPO_HASH_GRAMAT GrammarRules[kRuleSlots];
TIPO_HASH_MORPH SuffixRules[kRuleSlots];

namespace {

constexpr char kTab = '\t';
constexpr const char* kDataFileName = "brport.lng";
unsigned LexiconLoads = 0;  // the lexicon's generation

// A line that ends a section: empty, or starting with "*".
bool IsSeparatorLine(const std::string& line) { return line.empty() || line[0] == '*'; }

// The n-th (1-based) field of a lexicon line. Every field is followed by a
// TAB, the last one too; a field without its TAB is empty.
std::string TerminatedField(const std::string& line, int n) {
    size_t start = 0;
    for (int k = 1; k < n; ++k) {
        size_t tab = line.find(kTab, start);
        if (tab == std::string::npos) return "";
        start = tab + 1;
    }
    size_t end = line.find(kTab, start);
    if (end == std::string::npos) return "";
    return line.substr(start, end - start);
}

// The first n TAB-separated fields of a rule line; missing fields are empty,
// fields after the n-th are ignored.
std::vector<std::string> SeparatedFields(const std::string& line, int n) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (static_cast<int>(fields.size()) < n) {
        if (start > line.size()) {
            fields.emplace_back();
            continue;
        }
        size_t tab = line.find(kTab, start);
        if (tab == std::string::npos) tab = line.size();
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    return fields;
}

// A number field of the file: decimal digits, empty for 0. The fields it fills
// are 8-bit, so anything else (a letter, a sign, a value above 255) makes the
// file malformed rather than being silently cut down.
bool ParseByteField(const std::string& field, uint8_t& value) {
    unsigned number = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + static_cast<unsigned>(c - '0');
        if (number > 255) return false;
    }
    value = static_cast<uint8_t>(number);
    return true;
}

bool LexiconNumbersValid(const std::string& line) {
    uint8_t unused = 0;
    return ParseByteField(TerminatedField(line, 4), unused) &&
           ParseByteField(TerminatedField(line, 5), unused);
}

// Open addressing over 256 slots: the home slot, else the first free slot
// above it, else the first free slot below it. -1 when the table is full.
template <class Slot>
int FreeSlotFor(const Slot (&table)[kRuleSlots], const std::string& key) {
    int home = RuleHash(key);
    for (int s = home; s < kRuleSlots; ++s)
        if (!table[s].inUse) return s;
    for (int s = home - 1; s >= 0; --s)
        if (!table[s].inUse) return s;
    return -1;
}

// Probes as FreeSlotFor placed the key: upward from the home slot while the
// slots are in use, then downward from below it.
template <class Slot, class KeyOf>
int FindSlot(const Slot (&table)[kRuleSlots], const std::string& key, KeyOf keyOf) {
    auto holds = [&](int s) { return table[s].inUse && keyOf(table[s]) == key; };
    int home = RuleHash(key);
    if (!table[home].inUse) return -1;
    for (int s = home; s < kRuleSlots && table[s].inUse; ++s)
        if (holds(s)) return s;
    for (int s = home - 1; s >= 0 && table[s].inUse; --s)
        if (holds(s)) return s;
    return -1;
}

void ReportFullTable() { ShowMessage("Erro no hashing"); }

// Section 1. The lexicon takes every line; it is not held to a fixed number
// of slots.
bool LoadLexicon(std::istream& in) {
    Lexicon.clear();
    ++LexiconLoads;
    std::string line;
    while (ReadDataLine(in, line) && !IsSeparatorLine(line)) {
        if (!LexiconNumbersValid(line)) return false;
        Lexicon.push_back(line);
    }
    return !in.bad();
}

// Section 2. The slot is chosen by the key as written; the fields are stored
// trimmed.
bool LoadTagRules(std::istream& in) {
    for (TIPO_HASH_GRAMAT& slot : GrammarRules) slot = TIPO_HASH_GRAMAT{};
    std::string line;
    while (ReadDataLine(in, line) && !IsSeparatorLine(line)) {
        std::vector<std::string> field = SeparatedFields(line, 4);
        int s = FreeSlotFor(GrammarRules, field[0]);
        if (s < 0) {
            ReportFullTable();
            continue;
        }
        TIPO_HASH_GRAMAT& rule = GrammarRules[s];
        rule.key = Trim(field[0]);
        rule.left = Trim(field[1]);
        rule.right = Trim(field[2]);
        rule.replacement = Trim(field[3]).substr(0, 1);
        rule.inUse = true;
    }
    return !in.bad();
}

// Section 3. The fields are taken as they stand.
bool LoadSuffixRules(std::istream& in) {
    for (TIPO_HASH_MORPH& slot : SuffixRules) slot = TIPO_HASH_MORPH{};
    std::string line;
    while (ReadDataLine(in, line) && !IsSeparatorLine(line)) {
        std::vector<std::string> field = SeparatedFields(line, 8);
        TIPO_HASH_MORPH rule;
        if (!ParseByteField(field[1], rule.strip) || !ParseByteField(field[5], rule.mode) ||
            !ParseByteField(field[7], rule.person))
            return false;
        rule.ending = field[0];
        rule.replacement = field[2];
        rule.phoneticEnding = field[3];
        rule.requiredClass = field[4];
        rule.subclass = field[6];
        rule.inUse = true;
        int s = FreeSlotFor(SuffixRules, rule.ending);
        if (s < 0) {
            ReportFullTable();
            continue;
        }
        SuffixRules[s] = rule;
    }
    return !in.bad();
}

void FillFromLexiconLine(const std::string& line, TIPO_REG_PAL& record) {
    record.word = TerminatedField(line, 1);
    record.tag = TerminatedField(line, 2);
    record.transcription = TerminatedField(line, 3);
    // The numbers were checked when the file was loaded.
    record.firstNumber = 0;
    record.vowelClass = 0;
    ParseByteField(TerminatedField(line, 4), record.firstNumber);
    ParseByteField(TerminatedField(line, 5), record.vowelClass);
    record.subclass = TerminatedField(line, 6).substr(0, 1);
    record.reserved = 0;
}

// An entry of the user's dictionary is "word<TAB>transcription".
void FillFromDictionaryEntry(const std::string& entry, TIPO_REG_PAL& record) {
    size_t tab = entry.find(kTab);
    record.word = entry.substr(0, tab);
    record.transcription = tab == std::string::npos ? std::string() : entry.substr(tab + 1);
    record.tag = "-";
    record.firstNumber = 0;
    record.vowelClass = 0;
    record.subclass = " ";
    record.reserved = 0;
}

// Bisection over the sorted lexicon; -1 when the word is not there. An
// unsorted lexicon does not fail: words out of order are simply not found.
int FindInLexicon(const std::string& lowerWord) {
    int lo = 0;
    int hi = static_cast<int>(Lexicon.size()) - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        std::string key = LexiconKey(Lexicon[mid]);
        if (lowerWord == key) return mid;
        if (lowerWord < key)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return -1;
}

}  // namespace

std::string LexiconKey(const std::string& line) {
    size_t tab = line.find(kTab);
    return LowerCase1252(tab == std::string::npos ? line : line.substr(0, tab));
}

unsigned LexiconGeneration() { return LexiconLoads; }

// FALAVOZ_LNG names another language data file (for tests, and for tuning
// the data without touching the installed file).
std::string LanguageDataPath() {
    const char* chosen = std::getenv("FALAVOZ_LNG");
    if (chosen && *chosen) return chosen;
    std::string path = JoinPath(ExecutableDirectory(), kDataFileName);
    if (FileExists(path)) return path;
    return JoinPath(SystemDataDirectory(), kDataFileName);
}

int LoadLanguageData() { return LoadLanguageData(LanguageDataPath()); }

int LoadLanguageData(const std::string& path) {
    // Only a regular file: a FIFO would keep the start waiting for a writer.
    if (!FileExists(path)) return -5;
    std::ifstream in(path, std::ios::binary);
    if (!in) return -5;
    if (!LoadLexicon(in) || !LoadTagRules(in) || !LoadSuffixRules(in)) return -5;
    return 0;
}

// The weighted sum of the key's bytes, held in 16 bits as it runs (so even an
// unusually long key wraps instead of overflowing), modulo 255: home slots are
// 0 to 254, slot 255 is reached only by probing.
int RuleHash(const std::string& key) {
    uint16_t sum = 0;
    uint32_t weight = 0;
    for (unsigned char c : key) {
        ++weight;
        sum = static_cast<uint16_t>(sum + weight * c);
    }
    return sum % 255;
}

bool LexiconLookup(const std::string& word, TIPO_REG_PAL& record) {
    std::string w = LowerCase1252(word);
    if (!DictIsEmpty()) {
        std::string entry;
        if (DictLookup(w, entry)) {
            FillFromDictionaryEntry(entry, record);
            return true;
        }
    }
    int index = FindInLexicon(w);
    if (index < 0) return false;
    FillFromLexiconLine(Lexicon[index], record);
    return true;
}

int TagRuleLookup(const std::string& key) {
    return FindSlot(GrammarRules, key,
                    [](const TIPO_HASH_GRAMAT& rule) -> const std::string& { return rule.key; });
}

int SuffixRuleLookup(const std::string& ending) {
    return FindSlot(SuffixRules, ending,
                    [](const TIPO_HASH_MORPH& rule) -> const std::string& { return rule.ending; });
}
