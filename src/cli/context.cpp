#include "cli/context.h"

#include "cli/output.h"

#include "core/product.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "settings/option_text.h"
#include "settings/options.h"

namespace cli {

Context::Context()
{
    if (!Product) {
        product_ = std::make_unique<TProduct>(platform::GetSpecialFolder(platform::ProgramFolderCode));
        Product = product_.get();
    }
}

Context::~Context()
{
    if (options_ && Options == options_.get())
        Options = nullptr;
    if (product_ && Product == product_.get())
        Product = nullptr;
}

bool Context::LoadOptions(QString& error)
{
    if (Options)
        return true;
    platform::Registry& store = platform::Registry::CurrentUser();
    try {
        options_ = std::make_unique<TOptions>(store);
    } catch (const platform::RegistryError& e) {
        error = CannotSaveSettings(QString::fromStdString(e.what()));
        return false;
    }
    Options = options_.get();
    notices_ = TakeSettingsNotices(*options_, store);
    return true;
}

bool Context::SaveOptions(QString& error)
{
    if (!Options)
        return true;
    try {
        Options->Save();
    } catch (const platform::RegistryError& e) {
        error = CannotSaveSettings(QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

} // namespace cli
