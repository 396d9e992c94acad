// The normaliser: one pass over the chunk's tokens, each token's phonetic
// string read into PhoneList until the end marker or a full list.
#include "Normalize.h"

#include "Parser.h"
#include "PhoneticString.h"
#include "Tables.h"

namespace {

// The phonetic string of token i. Phonetic sections are already
// transcriptions; words, numbers and symbols are read by the text stages
// that fill this in.
std::string PhoneticStringOf(int i) {
    if (Tokens[i].phonetic) return TokenText(i);
    return "";
}

void EndPass(int count) { PhoneList[count].symbol.assign(1, ' '); }

}  // namespace

bool NormalizeTokens(int& next) {
    PhoneList[0].stress = 0;
    int count = 0;
    for (int i = next;; ++i) {
        if (IsEndMarker(i)) {
            ReadPhoneticString("", i, count);
            EndPass(count);
            return true;
        }
        std::string phonetic = PhoneticStringOf(i);
        if (phonetic.empty()) {
            Tokens[i].firstPhone = count;
            Tokens[i].lastPhone = count - 1;
            continue;
        }
        if (ReadPhoneticString(phonetic, i, count) == 0) continue;

        // PhoneList is full. A token that may fit in an empty list is read
        // again by the next pass; one that cannot (it already started this
        // pass, or is a phonetic section) is cut here, so no token is
        // retried forever.
        const TIPO_TOKEN& token = Tokens[i];
        bool retry = i > next && token.length <= 2998 && !token.phonetic;
        if (retry) {
            count = Tokens[i - 1].lastPhone + 1;
            EndPass(count);
            next = i;
        } else {
            EndPass(count);
            next = i + 1;
        }
        return false;
    }
}
