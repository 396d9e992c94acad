// The language data "brport.lng": the lexicon and the two rule tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TIPO_REG_PAL {
    std::string word;
    std::string tag;
    std::string transcription;
    uint8_t firstNumber = 0;
    uint8_t vowelClass = 0;
    std::string subclass;
    int32_t reserved = 0;
};

struct TIPO_HASH_GRAMAT {
    std::string key;
    std::string left;
    std::string right;
    std::string replacement;  // one character
    bool inUse = false;
};

struct TIPO_HASH_MORPH {
    std::string ending;
    uint8_t strip = 0;
    std::string replacement;
    std::string phoneticEnding;
    std::string requiredClass;
    uint8_t mode = 0;
    std::string subclass;
    uint8_t person = 0;
    bool inUse = false;
};

constexpr int kRuleSlots = 256;

extern std::vector<std::string> Lexicon;  // lines of the first section, all of them
extern TIPO_HASH_GRAMAT GrammarRules[kRuleSlots];
extern TIPO_HASH_MORPH SuffixRules[kRuleSlots];

// Finds "brport.lng" beside the program or in the data directory, unless the
// environment variable FALAVOZ_LNG names the file to use.
std::string LanguageDataPath();
// 0, or -5 on any failure. The path overload is for tests.
int LoadLanguageData();
int LoadLanguageData(const std::string& path);

// The word of a lexicon line, in lower case.
std::string LexiconKey(const std::string& line);
// Changes whenever the lexicon is loaded again, for what is derived from it.
unsigned LexiconGeneration();

int RuleHash(const std::string& key);
// The user's dictionary first, then the lexicon; the word in any case.
bool LexiconLookup(const std::string& word, TIPO_REG_PAL& record);
int TagRuleLookup(const std::string& key);
int SuffixRuleLookup(const std::string& ending);
