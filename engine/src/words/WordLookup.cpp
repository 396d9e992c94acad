// The lookup of one word in what the engine knows.
#include "words/WordLookup.h"

#include "core/Tokens.h"
#include "words/Morphology.h"
#include "words/TranscribeWord.h"

namespace {

void TakeLexiconFields(TIPO_TOKEN& token, const TIPO_REG_PAL& entry) {
    token.tag = entry.tag.substr(0, 3);
    token.vowelClass = entry.vowelClass;
    token.subclass = entry.subclass;
}

// Neither listed nor analysed: an adverb by its ending, else untagged.
void TakeUnknownWordFields(TIPO_TOKEN& token, const std::string& word) {
    token.tag = (EndsInMente(word) && word.size() > 6) ? "D" : "-";
    token.vowelClass = 0;
    token.subclass = " ";
}

}  // namespace

TIPO_REG_PAL WordLookup(const std::string& word, int tokenIndex, std::string& phonetic) {
    TIPO_TOKEN* token = TokenAt(tokenIndex);
    if (token) token->person = 0;
    TIPO_REG_PAL entry;
    if (LexiconLookup(word, entry)) {
        phonetic = entry.transcription;
        if (token) TakeLexiconFields(*token, entry);
        return entry;
    }
    // A word the engine spells out is no form of a lexicon word: "DNA" is
    // not a form of "dner" (the suffix rule of "leva" from "levar").
    phonetic = IsSpelledOut(word, tokenIndex) ? "" : AnalyseWord(word, tokenIndex, entry);
    if (phonetic.empty() && token) TakeUnknownWordFields(*token, word);
    return entry;
}
