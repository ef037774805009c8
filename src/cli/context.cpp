#include "cli/context.h"

#include "cli/output.h"

#include "gallery/wall_record.h"

#include <QFileInfo>
#include "platform/folders.h"
#include "platform/keychain_secret_store.h"
#include "platform/registry.h"
#include "platform/wallpaper.h"
#include "settings/option_text.h"
#include "settings/options.h"

namespace cli {

Context::Context()
    : product_(platform::GetSpecialFolder(platform::ProgramFolderCode)), store_(platform::Registry::CurrentUser())
{
}

Context::~Context() = default;

platform::WallpaperSetter& Context::Setter()
{
    if (!setter_)
        setter_ = std::make_unique<platform::DesktopWallpaperSetter>();
    return *setter_;
}

namespace {

QString RecordFile() { return gallery::RecordFileIn(platform::GetSpecialFolder(platform::CSIDL_APPDATA)); }

} // namespace

bool Context::RecordExists() const { return QFileInfo::exists(RecordFile()); }

gallery::WallRecord* Context::Record()
{
    if (!recordOpened_) {
        recordOpened_ = true;
        auto opened = gallery::WallRecord::Open(RecordFile());
        if (opened.ok()) {
            record_ = std::move(opened).value();
        } else {
            recordProblem_ = QString::fromStdString(opened.error().text);
            notices_ << recordProblem_;
        }
    }
    return record_.get();
}

platform::SecretStore& Context::Secrets()
{
    if (!secrets_)
        secrets_ = std::make_unique<platform::KeychainSecretStore>(product_.ProductName);
    return *secrets_;
}

TOptions& Context::LoadOptions()
{
    if (!options_) {
        // A store that cannot be written does not stop a command that only reads;
        // one that must save says so when it saves.
        options_ = std::make_unique<TOptions>(store_);
        notices_ << TakeSettingsNotices(*options_, store_);
    }
    return *options_;
}

bool Context::SaveOptions(QString& error)
{
    if (!options_)
        return true;
    try {
        options_->Save();
    } catch (const platform::RegistryError&) {
        error = CannotSaveSettings(options_->SaveProblem());
        return false;
    }
    return true;
}

} // namespace cli
