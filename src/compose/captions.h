#pragma once
// The texts written on an exposition and shown for a picture.
#include <QString>

struct TPic;

namespace compose {

// Title, then ", year" when the year is not 0.
QString TitleLine(const TPic& record);
// Empty without an author, else the copyright sign, a blank and the author.
QString CreditLine(const TPic& record);
// "Title (year, author)" with the empty parts left out; longer than maximum
// characters: its first maximum - 5 characters and "...".
QString ShortDescription(const TPic& record, int maximum);
// Every character followed by n blanks, then blanks and control characters
// trimmed from both ends.
QString SpaceLetters(const QString& text, int n);

} // namespace compose
