#pragma once
// Desktops that remember their wallpaper by file name do not reload a picture
// whose name has not changed. Each change therefore hands them a fresh copy,
// "ambience-<n>.<ext>" in the data folder. Once the desktop has taken the new
// one, older copies go unless another desktop's setting still names them (an
// account used with two desktops keeps both wallpapers); the newest few stay in
// any case, for desktops whose settings cannot be read.
#include <QSet>
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

    // How many of the newest copies stay whatever names them.
    static constexpr int kKeptCopies = 3;

    // The desktop has taken the picture: copies of earlier changes go, except
    // the newest kKeptCopies (this one among them) and those in namedElsewhere
    // (absolute paths). With
    // usedCopy the fresh copy stays (the desktop refers to it), else it goes too.
    void Finish(bool usedCopy, const QSet<QString>& namedElsewhere = {});

    // True when copies of earlier changes lie in the folder.
    bool HasEarlierCopies() const;

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
