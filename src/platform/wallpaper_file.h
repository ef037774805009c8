#pragma once
// Desktops that remember their wallpaper by file name do not reload a picture
// whose name has not changed. Each change therefore hands them a fresh copy,
// "ambience-<n>.<ext>" in the data folder, and the older copies are removed once
// the desktop has taken the new one.
#include <QString>

namespace platform {

class WallpaperCopy {
public:
    explicit WallpaperCopy(QString source) : source_(std::move(source)) {}
    ~WallpaperCopy(); // removes the copy unless Finish(true) was called
    WallpaperCopy(const WallpaperCopy&) = delete;
    WallpaperCopy& operator=(const WallpaperCopy&) = delete;

    // The fresh copy, made on first use; empty with error() set when it fails.
    QString Path();
    QString error() const { return error_; }

    // The desktop has taken the picture: copies of earlier changes go. With
    // usedCopy the fresh copy stays (the desktop refers to it), else it goes too.
    void Finish(bool usedCopy);

    // Folder of the copies: the program's data folder, or the source's folder
    // when no data folder can be named.
    QString Folder() const;

private:
    QString source_;
    QString path_;
    QString error_;
    bool kept_ = false;
};

} // namespace platform
