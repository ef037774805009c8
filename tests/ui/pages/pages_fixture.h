#pragma once
// The product record and the settings over a private store, as the program's
// context makes them, for testing the pages without the window.
#include "core/product.h"
#include "platform/registry.h"
#include "settings/options.h"
#include "support/temp_env.h"

#include <QDir>

#include <memory>

namespace pagestest {

class PagesEnv {
public:
    PagesEnv()
    {
        product = std::make_unique<TProduct>(env.ProgramDir() + QStringLiteral("/"));
        QDir().mkpath(StoreFolder());
        store = std::make_unique<platform::Registry>(StoreFolder() + QStringLiteral("/registry.reg"));
        options = std::make_unique<TOptions>(*store);
    }
    QString StoreFolder() const { return env.Root() + QStringLiteral("/store"); }
    // Stores a value as if the user had set it before, and reloads Options.
    void Store(const char* name, std::int32_t value)
    {
        store->WriteInteger(product->OptionsKey, QString::fromLatin1(name), value);
        options->Load();
    }
    std::int32_t Stored(const char* name) const
    {
        return store->ReadInteger(product->OptionsKey, QString::fromLatin1(name)).value_or(-999);
    }

    TempEnv env;
    std::unique_ptr<TProduct> product;
    std::unique_ptr<platform::Registry> store;
    std::unique_ptr<TOptions> options;
};

} // namespace pagestest
