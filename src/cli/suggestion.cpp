#include "cli/suggestion.h"

#include <algorithm>
#include <vector>

namespace cli {

int EditDistance(const QString& first, const QString& second)
{
    // Optimal string alignment distance: Levenshtein with swaps of neighbours, so
    // "nxet" is one edit from "next".
    const QString a = first.toCaseFolded();
    const QString b = second.toCaseFolded();
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    std::vector<std::vector<int>> d(static_cast<size_t>(n + 1), std::vector<int>(static_cast<size_t>(m + 1)));
    for (qsizetype i = 0; i <= n; ++i)
        d[i][0] = static_cast<int>(i);
    for (qsizetype j = 0; j <= m; ++j)
        d[0][j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= n; ++i)
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[n][m];
}

QString NearestName(const QString& typed, const QStringList& candidates)
{
    if (typed.isEmpty())
        return {};
    const int allowed = typed.size() <= 4 ? 1 : 2;
    int best = allowed + 1;
    QStringList nearest;
    for (const QString& candidate : candidates) {
        const int distance = EditDistance(typed, candidate);
        if (distance < best) {
            best = distance;
            nearest = {candidate};
        } else if (distance == best && best <= allowed) { // a tie within reach, not one just beyond it
            nearest << candidate;
        }
    }
    if (nearest.size() == 1)
        return nearest.first();
    if (!nearest.isEmpty())
        return {};
    QStringList beginning;
    for (const QString& candidate : candidates)
        if (candidate.startsWith(typed, Qt::CaseInsensitive))
            beginning << candidate;
    return beginning.size() == 1 ? beginning.first() : QString();
}

} // namespace cli
