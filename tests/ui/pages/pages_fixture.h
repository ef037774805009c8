#pragma once
// Product and Options over a private store, as the window's global initialisation
// makes them, for testing the pages without the window.
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
        Product = new TProduct(env.ProgramDir() + QStringLiteral("/"));
        QDir().mkpath(StoreFolder());
        store = std::make_unique<platform::Registry>(StoreFolder() + QStringLiteral("/registry.reg"));
        Options = new TOptions(*store);
    }
    ~PagesEnv()
    {
        delete Options;
        Options = nullptr;
        delete Product;
        Product = nullptr;
    }
    QString StoreFolder() const { return env.Root() + QStringLiteral("/store"); }
    // Stores a value as if the user had set it before, and reloads Options.
    void Store(const char* name, std::int32_t value)
    {
        store->WriteInteger(Product->OptionsKey, QString::fromLatin1(name), value);
        Options->Load();
    }
    std::int32_t Stored(const char* name) const
    {
        return store->ReadInteger(Product->OptionsKey, QString::fromLatin1(name)).value_or(-999);
    }

    TempEnv env;
    std::unique_ptr<platform::Registry> store;
};

} // namespace pagestest
