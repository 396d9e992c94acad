// The lexicon, indexed by the reverse of its words, answers which words end
// in given letters. The index is built at the first question after each load
// of the language data: one sort of views into the lexicon's lines.
#include "words/LexiconAnalogy.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/TextUtil.h"
#include "words/Data.h"

namespace {

// Fewer words than this do not make an ending's verdict.
constexpr int kFewestVotes = 2;

// The stressed vowel of a lexicon line: the first vowel after the stress
// mark of its transcription; 0 when it has none.
char StressedVowelOf(std::string_view line) {
    const size_t word = line.find('\t');
    const size_t tag = word == std::string_view::npos ? word : line.find('\t', word + 1);
    const size_t mark = tag == std::string_view::npos ? tag : line.find('\'', tag + 1);
    if (mark == std::string_view::npos) return 0;
    for (size_t k = mark + 1; k < line.size() && line[k] != '\t'; ++k)
        if (IsVowelChar(line[k])) return line[k];
    return 0;
}

bool IsOpen(char vowel) { return vowel == '\xE9' || vowel == '\xF3'; }  // é ó

bool IsMidVowel(char vowel) {
    return IsOpen(vowel) || vowel == 'e' || vowel == 'o' || vowel == '\xEA' || vowel == '\xF4';  // ê ô
}

// A lexicon word that can stand for others: plain letters and no written
// accent (so its stress falls by the same rule as the words it is compared
// with), stressed on an e or o. The word is a view into its lexicon line.
struct IndexedWord {
    std::string_view word;
    bool open;
};

bool EndsBefore(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
}

class ReverseIndex {
public:
    const std::vector<IndexedWord>& Words() {
        if (generation_ != LexiconGeneration()) Build();
        return words_;
    }

private:
    void Build() {
        words_.clear();
        for (const std::string& line : Lexicon) {
            const std::string_view view = line;
            const std::string_view word = view.substr(0, view.find('\t'));
            const char vowel = StressedVowelOf(view);
            if (word.empty() || !IsMidVowel(vowel) || !std::all_of(word.begin(), word.end(), IsLetterChar))
                continue;
            if (LastAccentPos(std::string(word)) != 0) continue;
            words_.push_back({word, IsOpen(vowel)});
        }
        std::sort(words_.begin(), words_.end(),
                  [](const IndexedWord& a, const IndexedWord& b) { return EndsBefore(a.word, b.word); });
        generation_ = LexiconGeneration();
    }

    std::vector<IndexedWord> words_;
    unsigned generation_ = 0;
};

ReverseIndex& Index() {
    static ReverseIndex index;
    return index;
}

struct Votes {
    int open = 0;
    int closed = 0;
    int Count() const { return open + closed; }
};

// How the words ending in `ending` (the word itself apart) say their
// stressed e or o.
Votes VotesOf(std::string_view ending, std::string_view word) {
    const std::vector<IndexedWord>& words = Index().Words();
    auto first =
        std::lower_bound(words.begin(), words.end(), ending,
                         [](const IndexedWord& w, std::string_view e) { return EndsBefore(w.word, e); });
    Votes votes;
    for (auto it = first; it != words.end() && EndsWith(it->word, ending); ++it) {
        if (it->word == word) continue;
        ++(it->open ? votes.open : votes.closed);
    }
    return votes;
}

}  // namespace

std::optional<bool> OpenByAnalogy(const std::string& word, size_t vowel) {
    if (vowel >= word.size()) return std::nullopt;
    std::optional<bool> verdict;
    // From the vowel leftwards: the longest ending that enough words share
    // decides.
    for (size_t start = vowel + 1; start-- > 0;) {
        const Votes votes = VotesOf(std::string_view(word).substr(start), word);
        if (votes.Count() < kFewestVotes) break;
        verdict = votes.open > votes.closed;
    }
    return verdict;
}
