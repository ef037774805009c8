#pragma once
// The command a mistyped word was most likely meant to be.
#include <QString>
#include <QStringList>

namespace cli {

// Edits (insert, delete, replace, swap two neighbours) that turn a into b, ignoring
// letter case.
int EditDistance(const QString& a, const QString& b);

// The candidate closest to typed: within two edits (one for words of up to four
// letters), else the only one typed begins. Empty when none is close or two are
// equally close.
QString NearestName(const QString& typed, const QStringList& candidates);

} // namespace cli
