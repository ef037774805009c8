#pragma once
#include <QString>
// The global initialisation and its reverse: idle priority, the random seed,
// Product, Options and the empty PackList, created in this order and released in
// the order PackList, Options, Product after the settings were saved.
#include <QStringList>

namespace ui {

// What the user is told, once, when the settings cannot be saved.
QString SettingsNotSavedText(const QString& problem);

class TAppGlobals {
public:
    TAppGlobals();
    ~TAppGlobals();
    TAppGlobals(const TAppGlobals&) = delete;
    TAppGlobals& operator=(const TAppGlobals&) = delete;

    // Texts to show the user once the window exists: problems met while loading the
    // settings, and a notice when the settings file was damaged and set aside.
    const QStringList& StartupNotices() const { return notices_; }

    // Releases PackList (its packs store their current picture). The agent goes
    // next, then Release() ends Options and Product. Both are safe to call twice.
    void ReleasePackList();
    void Release();

private:
    QStringList notices_;
    bool released_ = false;
};

} // namespace ui
