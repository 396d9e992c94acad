// The normaliser: gives every token a phonetic string and its phones.
#pragma once

// One pass over Tokens from next; true when the end marker was reached.
bool NormalizeTokens(int& next);
