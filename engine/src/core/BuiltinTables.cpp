// Tables built into the engine: the spoken name of every character, the
// words for numbers, ordinals, currencies and months, and the per-phone
// duration, class and pitch tables of the prosody stage.
//
// All strings are phonetic strings of Windows-1252 bytes, written with \x
// escapes; where an escape is followed by a hex digit the literal is split.
#include "core/BuiltinTables.h"

#include <cstddef>

std::string CharacterNames[256];
std::string TensAndTeens[21];
std::string Hundreds[10];
std::string Thousands[10];
std::string OrdinalUnits[11];
std::string OrdinalTens[11];
std::string OrdinalHundreds[11];
std::string Currencies[2 * kCurrencyKinds + 1];
std::string Months[13];

uint16_t InherentDuration[256];
uint16_t MinimumDuration[256];
uint16_t PhoneClass[256];
uint16_t PitchPosition[256];

namespace {

struct CharacterName {
    unsigned char code;
    const char* name;
};

// Characters without an entry have no name and are not spoken.
constexpr CharacterName kCharacterNames[] = {
    {33, " -eS-kla-ma-s`@w- "},                  // !
    {34, " ___-`aS-paS-___ "},                   // quotation mark
    {35, " -suS-te-n`i-du- "},                   // #
    {36, " -si-fr`@w- "},                        // $
    {37, " -po%-s`\xEB-tu- "},                   // %
    {38, " _-`e-_ "},                            // &
    {39, " _-a-p`\xF3S-tro-fu-_ "},              // '
    {40, " _-`a-bre- -pa-r`\xEB-te-seS-_ "},     // (
    {41, " _-f`\xE9-xa- -pa-r`\xEB-te-seS-_ "},  // )
    {42, " -aS-te-r`iS-ku- "},                   // asterisk
    {43, " -mayS- "},                            // +
    {44, " -v`i%-gu-la- "},                      // ,
    {45, " -`i-f\xEB- "},                        // -
    {46, " -p`\xF6-tu- "},                       // .
    {47, " -b`a-Ra- "},                          // /
    {48, " -z`\xE9-ru- "},                       // 0
    {49, " \\V1.2 -`\xFC- \\V1 "},               // 1
    {50, " -d`oyS- "},                           // 2
    {51, " -tr`eS- "},                           // 3
    {52, " -kw`a-tru- "},                        // 4
    {53, " -s`\xEF-ku- "},                       // 5
    {54, " -s`eyS- "},                           // 6
    {55, " -s`\xE9-ti- "},                       // 7
    {56, " -`oy-tu- "},                          // 8
    {57, " -n`\xF3-vi- "},                       // 9
    {58, " -d`oyS- -p`\xF6-tuS- "},              // :
    {59, " -p`\xF6-to- -e- -v`i%-gu-la- "},      // ;
    {60, " -me-n`\xF3%-ke- "},                   // <
    {61, " -i-gw`aw- "},                         // =
    {62, " -may-`o%-ke- "},                      // >
    {63, " -\xEF-te-Ro-ga-s`@w- "},              // ?
    {64, " -a-R`o-ba- "},                        // @
    {65, " -`a- "},                              // A
    {66, " -b`e- "},                             // B
    {67, " -s`e- "},                             // C
    {68, " -d`e- "},                             // D
    {69, " -`e- "},                              // E
    {70, " -`\xE9-fe- "},                        // F
    {71, " -j`e- "},                             // G
    {72, " -a-g`a- "},                           // H
    {73, " -`i- "},                              // I
    {74, " -j`\xF3-ta- "},                       // J
    {75, " -k`a- "},                             // K
    {76, " -`\xE9-le- "},                        // L
    {77, " -`e-me- "},                           // M
    {78, " -`e-ne- "},                           // N
    {79, " -`o- "},                              // O
    {80, " -p`e- "},                             // P
    {81, " -k`e- "},                             // Q
    {82, " -`\xE9-Re- "},                        // R
    {83, " -`\xE9-se- "},                        // S
    {84, " -t`e- "},                             // T
    {85, " -`u- "},                              // U
    {86, " -v`e- "},                             // V
    {87, " -d`a-blyu- "},                        // W
    {88, " -x`iS- "},                            // X
    {89, " -`i-py-su-l\xF6- "},                  // Y
    {90, " -z`e- "},                             // Z
    {91, " _-`a-bre- -kow-x`e-te-_ "},           // [
    {92, " _-b`a-Ra- -\xEF-ve%-t`i-da-_ "},      // backslash
    {93, " _-f`\xE9-xa- -kow-x`e-te-_ "},        // ]
    {94, " -si%-k\xFC-fl`\xE9-ky-su- "},         // ^
    {95, " -su-bli-\xF1`a-do- "},                // low line
    {96, " -kr`a-ze- "},                         // grave accent
    {123, " _-`a-bre- -x`a-ve-_ "},              // {
    {124, " -tr`a-su- "},                        // vertical bar
    {125, " _-f`\xE9-xa- -x`a-ve-_ "},           // }
    {126, " -t`iw- "},                           // ~
    {133, " -Re-ti-s`\xEB-siaS- "},              // …
    {137, " -p`o%-m`iw- "},                      // ‰
    {145, " __-`aS-paS-__ "},                    // ‘
    {146, " __-`aS-paS-__ "},                    // ’
    {147, " __-`aS-paS-__ "},                    // “
    {148, " __-`aS-paS-__ "},                    // ”
    {153, " -t`e-_-`eme- "},                     // ™
    {162, " -s\xEB-t`a-vuS- "},                  // ¢
    {166, " -tr`a-su- "},                        // ¦
    {169, " __-s`e-__ "},                        // ©
    {174, " __-`\xE9-Re-__ "},                   // ®
    {176, " -gr`awS- "},                         // °
    {177, " -m`ayS-__-m`e-nuS- "},               // ±
    {178, " -d`oyS- "},                          // ²
    {179, " -tr`eS- "},                          // ³
    {181, " -m`i- "},                            // µ
    {188, " -\xFC-kw`a%-tu- "},                  // ¼
    {189, " -m`eyu- "},                          // ½
    {190, " -tr`eS-kw`a%-tuS- "},                // ¾
    {192, " -aa- "},                             // À
    {193, " -a- "},                              // Á
    {194, " -@- "},                              // Â
    {195, " -@- "},                              // Ã
    {199, " -se-si-d`i-ha- "},                   // Ç
    {201, " -\xE9- "},                           // É
    {202, " -e- "},                              // Ê
    {205, " -i- "},                              // Í
    {206, " -i- "},                              // Î
    {211, " -\xF3- "},                           // Ó
    {212, " -o- "},                              // Ô
    {218, " -u- "},                              // Ú
    {220, " -u- "},                              // Ü
    {223, " -b`\xE9-ta- "},                      // ß
    {247, " -di-vi-d`i-du- "},                   // ÷
};

// Lower-case letters are spoken like their capitals: a to z, and the accented
// letters that have a name of their own (lower-case code, capital code).
constexpr unsigned char kAccentedLowerToUpper[][2] = {
    {225, 193}, {226, 194}, {227, 195}, {224, 192},  // á â ã à
    {233, 201}, {234, 202}, {237, 205}, {238, 206},  // é ê í î
    {244, 212}, {243, 211}, {250, 218}, {252, 220},  // ô ó ú ü
    {231, 199},                                      // ç
};

// Tens and teens: 10 to 19 at 0 to 9, then 20, 30, ... 90 at 10 to 17.
constexpr const char* kTensAndTeens[21] = {
    " -d`\xE9S- ",           // 0
    " -`\xF6-zi- ",          // 1
    " -d`o-zi- ",            // 2
    " -tr`e-zi- ",           // 3
    " -ka-t`o%-zi- ",        // 4
    " -k`\xEF-zi- ",         // 5
    " -di-ze-s`eyS- ",       // 6
    " -di-ze-s`\xE9-ti- ",   // 7
    " -di-z`oy-tu- ",        // 8
    " -di-ze-n`\xF3-vi- ",   // 9
    " -v`\xEF-ti- ",         // 10
    " -tr`\xEF-ta- ",        // 11
    " -kwa-r`\xEB-ta- ",     // 12
    " -s\xEF-kw`\xEB-ta- ",  // 13
    " -se-s`\xEB-ta- ",      // 14
    " -se-t`\xEB-ta- ",      // 15
    " -oy-t`\xEB-ta- ",      // 16
    " -no-v`\xEB-ta- ",      // 17
    "",                      // 18
    "",                      // 19
    "",                      // 20
};

// Hundreds: 0 is exactly one hundred, 1 one hundred followed by more.
constexpr const char* kHundreds[10] = {
    " -s`\xEB- ",               // 0
    " -s`\xEB-tu- ",            // 1
    " -du-z`\xEB-tuS- ",        // 2
    " -tre-z`\xEB-tuS- ",       // 3
    " -kwa-tru-s`\xEB-tuS- ",   // 4
    " -ki-\xF1`\xEB-tuS- ",     // 5
    " -sei-s`\xEB-tuS- ",       // 6
    " -s\xE9-ti-s`\xEB-tuS- ",  // 7
    " -oy-tu-s`\xEB-tuS- ",     // 8
    " -n\xF3-vi-s`\xEB-tuS- ",  // 9
};

// Powers of a thousand: 1 to 4 singular (thousand, million, billion,
// trillion), 6 to 9 plural.
constexpr const char* kThousands[10] = {
    "",                                // 0
    " \\V1.15 -m`iw- \\V1 ",           // 1
    " \\T1.03 -mi-h`@w-  \\T1 ",       // 2
    " \\T1.03 -bi-h`@w-  \\T1 ",       // 3
    " \\T1.03 -tri-h`@w-  \\T1 ",      // 4
    "",                                // 5
    " \\V1.2 -m`iw- \\V1 ",            // 6
    " \\T1.03 -mi-h`o\xEBS-  \\T1 ",   // 7
    " \\T1.03 -bi-h`o\xEBS-  \\T1 ",   // 8
    " \\T1.03 -tri-h`o\xEBS-  \\T1 ",  // 9
};

// Ordinals end without their final vowel and blank: the caller appends
// the gender ending.
constexpr const char* kOrdinalUnits[11] = {
    "",               // 0
    " -pri-m`ey-r",   // 1
    " -se-g`\xFC-d",  // 2
    " -te%-s`ey-r",   // 3
    " -kw`a%-t",      // 4
    " -k`\xEF-t",     // 5
    " -s`eS-t",       // 6
    " -s`e-ti-m",     // 7
    " -oy-t`a-v",     // 8
    " -n`o-n",        // 9
    "",               // 10
};

constexpr const char* kOrdinalTens[11] = {
    "",                         // 0
    " -d`\xE9-sim",             // 1
    " -vi-j`\xE9-sim",          // 2
    " -tri-j`\xE9-sim",         // 3
    " -kwa-dra-j`\xE9-sim",     // 4
    " -kw\xEF-kwa-j`\xE9-sim",  // 5
    " -seky-sa-j`\xE9-sim",     // 6
    " -sep-ta-j`\xE9-sim",      // 7
    " -opy-ta-j`\xE9-sim",      // 8
    " -no-na-j`\xE9-sim",       // 9
    "",                         // 10
};

constexpr const char* kOrdinalHundreds[11] = {
    "",                               // 0
    " -s\xEB-t`\xE9-sim",             // 1
    " -du-s\xEB-t`\xE9-sim",          // 2
    " -tri-s\xEB-t`\xE9-sim",         // 3
    " -kwa-dri-j\xEB-t`\xE9-sim",     // 4
    " -kw\xEF-kwa-j\xEB-t`\xE9-sim",  // 5
    " -seky-sa-j\xEB-t`\xE9-sim",     // 6
    " -sepy-ta-j\xEB-t`\xE9-sim",     // 7
    " -opy-ta-j\xEB-t`\xE9-sim",      // 8
    " -no-na-j\xEB-t`\xE9-sim",       // 9
    "",                               // 10
};

// Currencies: real, dollar, pound, yen, euro; 1 to 5 plural, 6 to 10
// singular.
constexpr const char* kCurrencies[2 * kCurrencyKinds + 1] = {
    "",                   // 0
    " -Re-`ayS- ",        // 1
    " -d`\xF3-la-reS- ",  // 2
    " -l`i-braS-",        // 3
    " -i-`\xEBS-",        // 4
    " -`e-u-ruS- ",       // 5
    " -Re-`aw- ",         // 6
    " -d`\xF3-la%- ",     // 7
    " -l`i-bra-",         // 8
    " -i-`\xEB-",         // 9
    " -`e-u-ru- ",        // 10
};

// Months, 1 to 12; 0 reads a zero month.
constexpr const char* kMonths[13] = {
    " -z`\xE9-ro- ",       // 0
    " -ja-n`e-y-ru- ",     // 1
    " -fe-ve-r`e-y-ru- ",  // 2
    " -m`a%-su- ",         // 3
    " -a-br`iw- ",         // 4
    " -m`ay-u- ",          // 5
    " -j`u-\xF1u- ",       // 6
    " -j`u-hu- ",          // 7
    " -a-g`oS-tu- ",       // 8
    " -se-t`\xEB-bru- ",   // 9
    " -ow-t`u-bru- ",      // 10
    " -no-v`\xEB-bru- ",   // 11
    " -de-z`\xEB-bru- ",   // 12
};

struct PhoneProperties {
    const char* codes;          // first characters of the phone codes sharing the row
    uint16_t inherentDuration;  // ms
    uint16_t minimumDuration;   // ms
    uint16_t phoneClass;
    uint16_t pitchPosition;  // percent of the phone's duration
};

constexpr PhoneProperties kPhoneProperties[] = {
    {"aeiou\xE9\xEA\xF3\xF4@", 80, 50, kClassVowel, 50},  // a e i o u é ê ó ô @
    {"\xE4\xEB\xEF\xF6\xFC", 110, 73, kClassVowel, 50},   // ä ë ï ö ü
    {"bdkpt", 64, 40, kClassPlosive, 50},                 // b d k p t
    {"g", 81, 40, kClassPlosive, 50},                     // g
    {"fjsSvz", 75, 45, kClassFricative, 50},              // f j s S v z
    {"x", 95, 65, kClassFricative, 50},                   // x
    {"lr%R", 75, 45, kClassLiquid, 50},                   // l r % R
    {"h", 115, 70, kClassLiquid, 50},                     // h
    {"mn", 75, 45, kClassNasal, 50},                      // m n
    {"\xF1", 115, 70, kClassNasal, 50},                   // ñ
    {"wy", 69, 45, kClassGlide, 50},                      // w y
    {"_", 80, 80, kClassNone, 50},                        // _
};

template <std::size_t N>
void CopyTable(std::string (&table)[N], const char* const (&source)[N]) {
    for (std::size_t i = 0; i < N; ++i) table[i] = source[i];
}

void FillCharacterNames() {
    for (std::string& name : CharacterNames) name.clear();
    for (const CharacterName& entry : kCharacterNames) CharacterNames[entry.code] = entry.name;
    for (unsigned char c = 'a'; c <= 'z'; ++c) CharacterNames[c] = CharacterNames[c - 'a' + 'A'];
    for (const auto& pair : kAccentedLowerToUpper) CharacterNames[pair[0]] = CharacterNames[pair[1]];
}

void FillPhoneTables() {
    for (int i = 0; i < 256; ++i) {
        InherentDuration[i] = 0;
        MinimumDuration[i] = 0;
        PhoneClass[i] = kClassNone;
        PitchPosition[i] = 0;
    }
    for (const PhoneProperties& row : kPhoneProperties) {
        for (const char* p = row.codes; *p; ++p) {
            unsigned char code = static_cast<unsigned char>(*p);
            InherentDuration[code] = row.inherentDuration;
            MinimumDuration[code] = row.minimumDuration;
            PhoneClass[code] = row.phoneClass;
            PitchPosition[code] = row.pitchPosition;
        }
    }
}

}  // namespace

void FillBuiltinTables() {
    FillCharacterNames();
    CopyTable(TensAndTeens, kTensAndTeens);
    CopyTable(Hundreds, kHundreds);
    CopyTable(Thousands, kThousands);
    CopyTable(OrdinalUnits, kOrdinalUnits);
    CopyTable(OrdinalTens, kOrdinalTens);
    CopyTable(OrdinalHundreds, kOrdinalHundreds);
    CopyTable(Currencies, kCurrencies);
    CopyTable(Months, kMonths);
    FillPhoneTables();
}
