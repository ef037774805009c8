#include "platform/wallpaper.h"

namespace platform {
namespace {

class RefusingSetter final : public WallpaperSetter {
public:
    using WallpaperSetter::Set;
    WallpaperResult Set(const WallpaperRequest& request) override
    {
        WallpaperResult result;
        result.detail = QStringLiteral("No way of setting the wallpaper was chosen for %1.").arg(request.file);
        return result;
    }
};

RefusingSetter refusing;
WallpaperSetter* active = nullptr;

} // namespace

WallpaperResult RecordingWallpaperSetter::Set(const WallpaperRequest& request)
{
    const QString& path = request.file;
    files << path;
    requests.push_back(request);
    WallpaperResult result;
    result.file = path;
    if (accept) {
        result.ok = true;
        result.method = QStringLiteral("recorded");
        result.description = QStringLiteral("Recorded (no desktop involved)");
    } else {
        result.detail = QStringLiteral("No desktop took %1 (recorded only).").arg(path);
    }
    return result;
}

WallpaperSetter& ActiveWallpaperSetter()
{
    return active ? *active : refusing;
}

void InstallWallpaperSetter(WallpaperSetter* setter)
{
    active = setter;
}

} // namespace platform
