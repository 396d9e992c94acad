// One letter of a word, in its context, to phoneme codes.
#include "words/LetterRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TextUtil.h"

namespace {

// A letter of a word (in UTF-8), what it gives, and the last letter it
// consumes (1-based, counted in letters).
struct LetterCase {
    const char* word;
    int position;
    const char* phonemes;
    int lastConsumed;
};

void ExpectLetters(const std::vector<LetterCase>& cases) {
    for (const LetterCase& c : cases) {
        int position = c.position;
        std::string phonemes = "stale";
        TranscribeLetter(Utf8To1252(c.word), position, phonemes);
        EXPECT_EQ(phonemes, Utf8To1252(c.phonemes)) << c.word << " at " << c.position;
        EXPECT_EQ(position, c.lastConsumed) << c.word << " at " << c.position;
    }
}

TEST(LetterRules, DigraphsConsumeTheLettersAfterTheFirst) {
    ExpectLetters({
        {"chuva", 1, "x", 2},
        {"banho", 3, "ñ", 4},
        {"filho", 3, "h", 4},
        {"tchau", 1, "x", 3},
        {"show", 1, "x", 2},
        {"carro", 3, "R", 4},
        {"massa", 3, "s", 4},
        {"nascer", 3, "s", 4},
        {"desça", 3, "s", 4},
        {"ficção", 3, "ks", 4},
        {"guerra", 1, "g", 2},
        {"agüentar", 2, "gw", 3},
        {"quase", 1, "kw", 2},
        {"queijo", 1, "k", 2},
        {"equação", 2, "k", 3},
        {"cinqüenta", 4, "kw", 5},
        {"hora", 1, "", 1},
        {"bolla", 4, "", 4},  // the second l of "ll"
    });
}

TEST(LetterRules, NasalClosureSwallowsTheNasalConsonant) {
    ExpectLetters({
        {"campo", 2, "ä", 3},
        {"canto", 2, "ä", 3},
        {"tempo", 2, "ë", 3},
        {"bem", 2, "ë", 3},
        {"lindo", 2, "ï", 3},
        {"ponte", 2, "ö", 3},
        {"mundo", 2, "ü", 3},
        {"fins", 2, "ïS", 4},  // the s after the swallowed n closes the syllable
        {"honra", 2, "öR", 4},
        {"banho", 2, "a", 2},  // before "nh" the vowel stays oral
        {"cama", 2, "@", 2},   // before m and a vowel: raised, not nasal
        {"cana", 2, "@", 2},
        {"amo", 1, "a", 1},
        {"câmera", 2, "@", 2},
        {"pão", 2, "@w", 3},
        {"mãe", 2, "@", 2},
        {"limões", 4, "oëS", 6},
        {"põe", 2, "o", 2},
    });
}

TEST(LetterRules, CodaLRAndSAfterAVowel) {
    ExpectLetters({
        {"sal", 2, "aw", 3},
        {"alto", 1, "aw", 2},
        {"mil", 2, "iw", 3},
        {"falha", 2, "a", 2},  // l of "lh" is no coda
        {"futebol", 6, "ów", 7},
        {"raul", 2, "aw", 3},  // the u is taken, the l read on its own
        {"mar", 2, "a%", 3},
        {"porta", 2, "o%", 3},
        {"vir", 2, "i%", 3},
        {"perspectiva", 2, "e%", 4},  // the s of "rs" before a consonant is silent
        {"casas", 4, "aS", 5},
        {"festa", 2, "eS", 3},
        {"mais", 3, "yS", 4},
        {"assim", 1, "a", 1},  // "ss" is no coda
        {"tenro", 2, "ëR", 4},
    });
}

TEST(LetterRules, VowelQualityAndGlides) {
    ExpectLetters({
        {"lee", 2, "i", 3},
        {"leem", 2, "e", 2},
        {"café", 4, "é", 4},
        {"avó", 3, "ó", 3},
        {"frio", 3, "y", 3},
        {"saída", 3, "i", 3},
        {"muito", 3, "y", 3},
        {"água", 3, "w", 3},
        {"cuidado", 2, "u", 2},
        {"suar", 2, "u", 2},
        {"quilo", 3, "i", 3},
        {"guitarra", 3, "i", 3},  // after the silent u of "gui" too
        {"seguir", 5, "i%", 6},
        {"yeti", 1, "i", 1},
        {"show", 4, "u", 4},
    });
}

TEST(LetterRules, SAndXInTheirContexts) {
    ExpectLetters({
        {"casa", 3, "z", 3},      {"sapo", 1, "s", 1},       {"sprite", 1, "iS", 1},
        {"gás", 3, "S", 3},       {"gass", 3, "S", 4},       {"casão", 3, "z", 3},
        {"ansioso", 3, "s", 3},   {"xadrez", 1, "x", 1},     {"exame", 2, "z", 2},
        {"texto", 3, "S", 3},     {"sexo", 3, "kys", 3},     {"mexer", 3, "x", 3},
        {"exceto", 2, "s", 3},    {"tórax", 5, "kyS", 5},    {"fixo", 3, "kys", 3},
        {"reflexo", 6, "kys", 6}, {"complexo", 7, "kys", 7}, {"proximidade", 4, "s", 4},
        {"próximo", 4, "s", 4},   {"baixo", 4, "x", 4},      {"extra", 2, "S", 2},
        {"xyz", 1, "kysi", 2},
    });
}

TEST(LetterRules, ConsonantsByWhatFollows) {
    ExpectLetters({
        {"casa", 1, "k", 1},
        {"cedo", 1, "s", 1},
        {"pacto", 3, "ki", 3},
        {"clube", 1, "k", 1},
        {"câmera", 1, "k", 1},
        {"câncer", 1, "k", 1},
        {"gato", 1, "g", 1},
        {"gente", 1, "j", 1},
        {"água", 2, "g", 2},  // the u before a is read
        {"agora", 2, "g", 2},
        {"largo", 4, "g", 4},
        {"rato", 1, "R", 1},
        {"prato", 2, "r", 2},
        {"cantar", 6, "%", 6},
        {"zero", 1, "z", 1},
        {"paz", 3, "S", 3},
        {"tatu", 1, "t", 1},
    });
}

TEST(LetterRules, PositionsOutsideTheWordGiveNothing) {
    for (int position : {0, -3, 5, 100}) {
        int p = position;
        std::string phonemes = "stale";
        TranscribeLetter("casa", p, phonemes);
        EXPECT_EQ(phonemes, "");
        EXPECT_EQ(p, position);
    }
    int p = 1;
    std::string phonemes;
    TranscribeLetter("", p, phonemes);
    EXPECT_EQ(phonemes, "");
}

// Every byte at every place of a short word: the position only moves forward
// and stays inside the word.
TEST(LetterRules, AnyByteKeepsThePositionInsideTheWord) {
    const std::string frames[] = {"?", "a?", "?a", "a?s", "es?", "?rs", "am?", "?ão"};
    for (const std::string& frame : frames) {
        for (int b = 1; b < 256; ++b) {
            std::string word = frame;
            for (char& c : word)
                if (c == '?') c = static_cast<char>(b);
            for (int start = 1; start <= static_cast<int>(word.size()); ++start) {
                int p = start;
                std::string phonemes;
                TranscribeLetter(word, p, phonemes);
                EXPECT_GE(p, start);
                EXPECT_LE(p, static_cast<int>(word.size()));
            }
        }
    }
}

}  // namespace
