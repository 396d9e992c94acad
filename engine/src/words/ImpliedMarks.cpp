// The marks that written Portuguese leaves out and the letter rules need:
// the open e or o and the full i of a stressed vowel, the diaeresis of a
// spoken u, one s for "sc", a strong r after l or s. Where a mark is not sure,
// the word is left as written.
#include "words/ImpliedMarks.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "core/TextUtil.h"
#include "words/LexiconAnalogy.h"
#include "words/SpokenUStems.h"
#include "words/TranscribeWord.h"

namespace {

bool IsConsonantLetter(char c) {
    return c != 0 && std::string_view("bcdfghjklmnpqrstvxz").find(c) != std::string_view::npos;
}

struct OpenEnding {
    std::string plain;
    std::string marked;
    bool pluralToo;
};

// Endings whose stressed e or o is open in nearly all the words that have
// them ("janela", "biblioteca", "papel", "escola", "anzol", "celulose",
// "asteroide"; counted over a pronunciation dictionary, each kept only where
// at least two words in three agree). Their plurals in -s share them, but
// for -eses, which is mostly the plural of -ês ("ingleses").
const std::vector<OpenEnding>& OpenEndings() {
    static const std::vector<OpenEnding> table = [] {
        const std::pair<const char*, const char*> utf8[] = {
            {"ela", "éla"},   {"eca", "éca"},   {"eco", "éco"},   {"ete", "éte"},   {"eia", "éia"},
            {"el", "él"},     {"ese", "ése"},   {"esta", "ésta"}, {"este", "éste"}, {"estre", "éstre"},
            {"esso", "ésso"}, {"erra", "érra"}, {"erno", "érno"}, {"erto", "érto"}, {"eras", "éras"},
            {"ola", "óla"},   {"oca", "óca"},   {"ota", "óta"},   {"ote", "óte"},   {"ol", "ól"},
            {"ose", "óse"},   {"osa", "ósa"},   {"osos", "ósos"}, {"osta", "ósta"}, {"oro", "óro"},
            {"orte", "órte"}, {"oça", "óça"},   {"ova", "óva"},   {"oide", "óide"}, {"oia", "óia"},
        };
        std::vector<OpenEnding> endings;
        for (const auto& [plain, marked] : utf8)
            endings.push_back({Utf8To1252(plain), Utf8To1252(marked), std::string_view(plain) != "ese"});
        return endings;
    }();
    return table;
}

// Whether the word ends in the ending, or in its plural where that counts.
bool HasEnding(const std::string& word, const OpenEnding& ending) {
    const std::string& letters = ending.plain;
    if (word.size() <= letters.size()) return false;
    if (EndsWith(word, letters)) return true;
    return ending.pluralToo && IsVowelChar(letters.back()) && word.back() == 's' &&
           word.size() > letters.size() + 1 &&
           EndsWith(std::string_view(word).substr(0, word.size() - 1), letters);
}

void MarkOpenEnding(std::string& word) {
    for (const OpenEnding& ending : OpenEndings()) {
        if (!HasEnding(word, ending)) continue;
        const size_t at = word.rfind(ending.plain);
        word.replace(at, ending.plain.size(), ending.marked);
        return;
    }
}

// The stressed e or o opens as it does in the lexicon words that end like the
// word; where they do not tell, as the ending says.
void MarkOpenStressedVowel(std::string& word) {
    const int stress = StressPosition(word);
    const size_t v = static_cast<size_t>(stress - 1);
    if (stress > 0 && (word[v] == 'e' || word[v] == 'o')) {
        if (const std::optional<bool> open = OpenByAnalogy(word, v)) {
            if (*open) word[v] = word[v] == 'e' ? '\xE9' : '\xF3';  // é ó
            return;
        }
    }
    MarkOpenEnding(word);
}

// An unaccented word ending in a consonant and -ia, -io, -ias, -ios or -iam
// is stressed on a full i ("academia", "navio", "faziam"): a stress before it
// would have been written.
void MarkHiatus(std::string& word) {
    for (std::string_view ending : {"ia", "io", "ias", "ios", "iam"}) {
        if (!EndsWith(word, ending) || word.size() < ending.size() + 2) continue;
        const size_t i = word.size() - ending.size();
        if (IsConsonantLetter(word[i - 1])) word[i] = '\xED';  // í
        return;
    }
}

// Stems whose u after q or g is spoken before e and i too ("frequente",
// "tranquilo", "linguística"), as the diaeresis used to show.
const std::vector<std::string>& SpokenUStems() {
    static const std::vector<std::string> stems = [] {
        std::vector<std::string> inCp1252;
        for (const char* utf8 : SpokenUStemsUtf8()) inCp1252.push_back(Utf8To1252(utf8));
        return inCp1252;
    }();
    return stems;
}

// The u of "qu" and "gu" before a or o is spoken ("quando", "aquarela",
// "guarda"), and in the stems above before e and i too: it takes the
// diaeresis that the rules read as a glide. Before a vowel that ends the
// word, alone or with s or m, it is left alone, where it may be stressed
// ("averigua"), unless a written accent puts the stress elsewhere ("língua",
// "ubíquo"); before "-ar", "-al", "-az" it is not ("averiguar", "igual",
// "loquaz"). The positions are those of the word as written.
std::vector<size_t> SpokenUPositions(const std::string& word) {
    static const std::string aOrO = Utf8To1252("aoáóâãõ");
    std::vector<size_t> positions;
    for (size_t u = 1; u + 1 < word.size(); ++u) {
        if (word[u] != 'u' || (word[u - 1] != 'q' && word[u - 1] != 'g')) continue;
        if (aOrO.find(word[u + 1]) == std::string::npos) continue;
        const std::string_view after = std::string_view(word).substr(u + 2);
        const bool stressedElsewhere = LastAccentPos(word) != 0;  // "ubíquo", "língua"
        const bool endsTheWord = after.empty() || after == "s" || after == "m";
        if (stressedElsewhere || !endsTheWord) positions.push_back(u);
    }
    // The stems are written without accents ("consequência").
    static const std::string accented = Utf8To1252("áéíóúâêô"), plainVowels = "aeiouaeo";
    std::string plain = word;
    for (char& c : plain)
        if (const size_t k = accented.find(c); k != std::string::npos) c = plainVowels[k];
    for (const std::string& stem : SpokenUStems()) {
        const size_t at = plain.find(stem);
        if (at == std::string::npos) continue;
        const size_t u = plain.find_last_of('u', at + stem.size() - 1);
        if (u != std::string::npos && u >= at) positions.push_back(u);
    }
    return positions;
}

// An r after l or s is strong ("palrar", "Israel"); written "rr", the rules
// read it so.
void MarkStrongR(std::string& word) {
    for (size_t r = 2; r + 1 < word.size(); ++r) {
        const bool afterLOrS = word[r - 1] == 'l' || word[r - 1] == 's';
        if (word[r] == 'r' && afterLOrS && IsVowelChar(word[r - 2]) && IsVowelChar(word[r + 1]))
            word.insert(r, 1, 'r');
    }
}

// "sc" before e or i and "sç" after a vowel sound one s ("nascer",
// "piscina", "desça"); written "ss", the rules read them so.
void MarkSingleS(std::string& word) {
    static const std::string eOrI = Utf8To1252("eiéíê");
    static const std::string aOU = Utf8To1252("aouáóú");
    for (size_t s = 1; s + 2 < word.size(); ++s) {
        if (word[s] != 's' || !IsVowelChar(word[s - 1])) continue;
        const char next = word[s + 1];
        const char after = word[s + 2];
        const bool softC = next == 'c' && eOrI.find(after) != std::string::npos;
        const bool cedilla = next == '\xE7' && aOU.find(after) != std::string::npos;  // ç
        if (softC || cedilla) word[s + 1] = 's';
    }
}

}  // namespace

std::string WithImpliedMarks(const std::string& word, bool guessOpenVowel) {
    std::string marked = word;
    // A final -eei is e, stressed e, i ("passeei"): the rules would merge the
    // two e into one i.
    if (EndsWith(word, "eei")) marked[marked.size() - 2] = '\xEA';  // ê
    if (LastAccentPos(word) == 0) {
        if (guessOpenVowel) MarkOpenStressedVowel(marked);
        MarkHiatus(marked);
    }
    for (size_t u : SpokenUPositions(word)) marked[u] = '\xFC';  // ü
    MarkSingleS(marked);
    MarkStrongR(marked);
    return marked;
}
