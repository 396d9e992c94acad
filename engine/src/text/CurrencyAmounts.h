// Amounts of money read out as phonetic strings.
#pragma once

#include <string>

// 0 when the token does not begin with a currency sign, else the kind:
// 1 real, 2 dollar, 3 pound, 4 yen, 5 euro.
int CurrencyKind(const std::string& lowerText);
// The token is a currency sign and nothing else ("R$", "€").
bool IsCurrencySign(const std::string& lowerText);
// An amount of money such as "R$ 1.250,50". The token after tokenIndex may
// carry a scale word ("mil", "milhões", ...); when it is read, tokenIndex is
// advanced past it.
std::string ReadCurrencyAmount(const std::string& text, int kind, int& tokenIndex);
