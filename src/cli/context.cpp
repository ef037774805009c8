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

void Context::LoadOptions()
{
    if (Options)
        return;
    platform::Registry& store = platform::Registry::CurrentUser();
    // A store that cannot be written does not stop a command that only reads; one
    // that must save says so when it saves.
    options_ = std::make_unique<TOptions>(store);
    Options = options_.get();
    notices_ = TakeSettingsNotices(*options_, store);
}

bool Context::SaveOptions(QString& error)
{
    if (!Options)
        return true;
    try {
        Options->Save();
    } catch (const platform::RegistryError&) {
        error = CannotSaveSettings(Options->SaveProblem());
        return false;
    }
    return true;
}

} // namespace cli
