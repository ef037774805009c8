#pragma once
// What the desktop program is made of, made once by its entry (tests make their
// own) and passed to the window, which passes it on: the application record, the
// settings store and the settings over it, the catalogue of packs, the
// wallpaper setter, the record of the wall and the watch of the notification area. Making it sets the idle priority and seeds the random
// generator, as the program's start does.
#include "core/product.h"
#include "packs/pack_list.h"

#include <QString>
#include <QStringList>

#include <memory>

class TOptions;
namespace gallery { class WallRecord; }
namespace platform {
class NotificationAreaWatch;
class Registry;
class SecretStore;
class WallpaperSetter;
} // namespace platform

namespace ui {

// What the user is told, once, when the settings cannot be saved.
QString SettingsNotSavedText(const QString& problem);

class AppContext {
public:
    // Loads the settings from store; setter receives every wallpaper. Both must
    // outlive the context.
    // secrets keeps pack passwords (the desktop's keyring); without one they are
    // kept in memory for the run.
    // area tells whether the desktop has a notification area (the tray icon, the
    // Options page and a login start follow it); without one there is none.
    AppContext(platform::Registry& store, platform::WallpaperSetter& setter, platform::SecretStore* secrets = nullptr,
               platform::NotificationAreaWatch* area = nullptr);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    const TProduct& Product() const { return product_; }
    platform::Registry& Store() { return store_; }
    TOptions& Options() { return *options_; }
    TPackList& Catalogue() { return catalogue_; }
    platform::WallpaperSetter& Setter() { return setter_; }
    // The record of the wall (every change's pictures, favourites, banned
    // pictures); null when it could not be opened, which StartupNotices() tells.
    gallery::WallRecord* Record() { return record_.get(); }
    platform::SecretStore& Secrets() { return *secrets_; }
    platform::NotificationAreaWatch& NotificationArea() { return *area_; }

    // Texts to show the user once the window exists: problems met while loading the
    // settings, and a notice when the settings file was damaged and set aside.
    const QStringList& StartupNotices() const { return notices_; }

private:
    TProduct product_;
    platform::Registry& store_;
    platform::WallpaperSetter& setter_;
    std::unique_ptr<platform::SecretStore> ownSecrets_;
    platform::SecretStore* secrets_;
    std::unique_ptr<platform::NotificationAreaWatch> ownArea_;
    platform::NotificationAreaWatch* area_;
    std::unique_ptr<TOptions> options_;
    TPackList catalogue_;
    std::unique_ptr<gallery::WallRecord> record_;
    QStringList notices_;
};

} // namespace ui
