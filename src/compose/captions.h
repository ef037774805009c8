#pragma once
// The texts written on an exposition and shown for a picture.
#include <QString>

namespace compose {

// What the captions are written from: a picture's record, in the composer's own terms.
struct PictureCaption {
    QString Title;
    QString Author;
    int Year = 0; // 0: unknown
    // The pack says its works are public domain ("Credit=plain"): the credit line
    // names the artist without the copyright sign.
    bool PlainCredit = false;
};

// Title, then ", year" when the year is not 0.
QString TitleLine(const PictureCaption& record);
// Empty without an author, else the copyright sign, a blank and the author; the
// author alone for a record with PlainCredit.
QString CreditLine(const PictureCaption& record);
// "Title (year, author)" with the empty parts left out; longer than maximum
// characters: its first maximum - 5 characters and "...".
QString ShortDescription(const PictureCaption& record, int maximum);
// Every character followed by n blanks, then blanks and control characters
// trimmed from both ends.
QString SpaceLetters(const QString& text, int n);

} // namespace compose
