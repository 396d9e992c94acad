// Tables built into the engine and filled at every TTS_Init: character
// names, number words, months, currencies and the per-phone tables.
#pragma once

#include <cstdint>
#include <string>

extern std::string CharacterNames[256];
extern std::string TensAndTeens[21];
extern std::string Hundreds[10];
extern std::string Thousands[10];
extern std::string OrdinalUnits[11];
extern std::string OrdinalTens[11];
extern std::string OrdinalHundreds[11];
// The currencies the amount reader knows: the plural name of kind k is
// Currencies[k], the singular Currencies[k + kCurrencyKinds].
constexpr int kCurrencyKinds = 5;
extern std::string Currencies[2 * kCurrencyKinds + 1];
extern std::string Months[13];

extern uint16_t InherentDuration[256];
extern uint16_t MinimumDuration[256];
extern uint16_t PhoneClass[256];
extern uint16_t PitchPosition[256];

enum PhoneClassValue : uint16_t {
    kClassNone = 0,
    kClassVowel = 1,
    kClassFricative = 2,
    kClassLiquid = 3,
    kClassPlosive = 4,
    kClassNasal = 5,
    kClassGlide = 6,
};

void FillBuiltinTables();

inline uint16_t PhoneClassOf(char c) { return PhoneClass[static_cast<unsigned char>(c)]; }
