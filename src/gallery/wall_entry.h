#pragma once
// One monitor's part of one desktop change, as the record of the wall keeps it.
#include <QDateTime>
#include <QString>

namespace gallery {

// Where a work comes from, where its pack says so (a museum pack's sources entry).
struct WorkSource {
    QString page;    // web address of the work's page
    QString credit;  // the museum's credit line
    QString licence; // "CC0 1.0 (public domain)"
};

// A picture by the pack's FILE NAME ("monet.zip", not its path) and the entry name
// inside it: the same after the pack is removed and installed again, or moved
// between the program's folder and the user's.
struct PictureKey {
    QString packFile;
    QString entry;
    bool empty() const { return packFile.isEmpty() || entry.isEmpty(); }
    friend bool operator==(const PictureKey&, const PictureKey&) = default;
    friend auto operator<=>(const PictureKey& a, const PictureKey& b) {
        if (auto c = a.packFile.compare(b.packFile); c != 0)
            return c <=> 0;
        return a.entry.compare(b.entry) <=> 0;
    }
};

struct WallEntry {
    qint64 id = 0;     // the row: set by the record, ignored by Add
    qint64 change = 0; // the change the row belongs to: set by the record
    QDateTime time;    // when the change was made; Add fills in "now" when invalid
    QString monitor;   // the monitor's name ("DP-1"); empty for the one screen
    bool primary = true;
    QString packFile;   // file name of the pack; empty for a gradient without art
    QString packName;   // the pack's own name as its description gives it
    QString entry;      // the picture's entry name in the pack
    QString title, year, author;
    QString exposition; // the wallpaper file that was set
    QString thumbnail;  // on reading: the thumbnail's whole path, empty when none
    WorkSource source;
    // On reading, from the person's marks of the picture.
    bool favourite = false;
    bool banned = false;

    PictureKey Key() const { return {packFile, entry}; }
};

} // namespace gallery
