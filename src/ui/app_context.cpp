#include "ui/app_context.h"

#include "core/random.h"
#include "gallery/wall_record.h"
#include "platform/folders.h"
#include "platform/notification_area.h"
#include "platform/priority.h"
#include "platform/registry.h"
#include "platform/secret_store.h"
#include "settings/options.h"

namespace ui {

QString SettingsNotSavedText(const QString& problem)
{
    return QStringLiteral("The settings cannot be saved (%1). Ambience works with them as they are, but "
                          "changes will not be kept after it ends.")
        .arg(problem);
}

AppContext::AppContext(platform::Registry& store, platform::WallpaperSetter& setter, platform::SecretStore* secrets,
                       platform::NotificationAreaWatch* area)
    : product_(platform::GetSpecialFolder(platform::ProgramFolderCode)), store_(store), setter_(setter),
      ownSecrets_(secrets ? nullptr : std::make_unique<platform::MemorySecretStore>()),
      secrets_(secrets ? secrets : ownSecrets_.get()),
      ownArea_(area ? nullptr : std::make_unique<platform::NoNotificationArea>()), area_(area ? area : ownArea_.get()),
      catalogue_(&store)
{
    platform::SetIdlePriority();
    RandomizeFromEnvironmentOrClock();
    options_ = std::make_unique<TOptions>(store_);
    // An unwritable store does not stop the program: it works with the settings in
    // memory, and says so once.
    if (!options_->SaveProblem().isEmpty())
        notices_ << SettingsNotSavedText(options_->SaveProblem());
    for (const QString& problem : options_->LoadProblems())
        notices_ << QStringLiteral("A stored setting could not be read and keeps its default: %1.").arg(problem);
    const QString backup = store_.TakeDamageNotice();
    if (!backup.isEmpty())
        notices_ << QStringLiteral("The settings file %1 was damaged. It was kept as %2 and the "
                                   "settings that could not be read were reset to their defaults.")
                        .arg(store_.FilePath(), backup);
    // Without its record the program still changes the wallpaper; it only
    // forgets what it showed.
    auto record = gallery::WallRecord::Open(gallery::RecordFileIn(platform::GetSpecialFolder(platform::CSIDL_APPDATA)));
    if (record.ok())
        record_ = std::move(record).value();
    else
        notices_ << QStringLiteral("%1 Ambience works on without its history, favourites and banned pictures.")
                        .arg(QString::fromStdString(record.error().text));
}

AppContext::~AppContext() = default;

} // namespace ui
