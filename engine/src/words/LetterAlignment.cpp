// Edit-distance alignment: the table of the fewest edits between every two
// prefixes, walked back from the end.
#include "words/LetterAlignment.h"

#include <algorithm>

std::vector<int> AlignCharacters(const std::string& from, const std::string& to) {
    const size_t n = from.size(), m = to.size();
    std::vector<int> origin(m, -1);
    if (n == 0) return origin;
    // cost[i][j]: edits from the first i characters of `from` to the first j of `to`.
    std::vector<std::vector<int>> cost(n + 1, std::vector<int>(m + 1, 0));
    for (size_t i = 0; i <= n; ++i) cost[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= m; ++j) cost[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= n; ++i)
        for (size_t j = 1; j <= m; ++j)
            cost[i][j] = std::min({cost[i - 1][j - 1] + (from[i - 1] == to[j - 1] ? 0 : 1),
                                   cost[i - 1][j] + 1, cost[i][j - 1] + 1});
    // Walking back, a pair of characters is preferred to an insertion or a
    // deletion, so that a replaced character keeps its origin.
    size_t i = n, j = m;
    while (j > 0) {
        const int pair = i > 0 ? cost[i - 1][j - 1] + (from[i - 1] == to[j - 1] ? 0 : 1) : -1;
        if (i > 0 && cost[i][j] == pair) {
            origin[--j] = static_cast<int>(--i);
        } else if (i > 0 && cost[i][j] == cost[i - 1][j] + 1) {
            --i;
        } else {
            origin[--j] = -1;  // inserted: given the origin before it below
        }
    }
    const auto firstKnown = std::find_if(origin.begin(), origin.end(), [](int k) { return k >= 0; });
    int before = firstKnown == origin.end() ? 0 : *firstKnown;
    for (int& k : origin) before = k = k >= 0 ? k : before;
    return origin;
}
