#include "ui/app_globals.h"

#include "core/product.h"
#include "core/random.h"
#include "packs/pack_list.h"
#include "platform/folders.h"
#include "platform/priority.h"
#include "platform/registry.h"
#include "settings/options.h"

namespace ui {

QString SettingsNotSavedText(const QString& problem)
{
    return QStringLiteral("The settings cannot be saved (%1). Ambience works with them as they are, but "
                          "changes will not be kept after it ends.")
        .arg(problem);
}

TAppGlobals::TAppGlobals()
{
    platform::SetIdlePriority();
    RandomizeFromEnvironmentOrClock();
    Product = new TProduct(platform::GetSpecialFolder(platform::ProgramFolderCode));

    platform::Registry& store = platform::Registry::CurrentUser();
    Options = new TOptions(store);
    // An unwritable store does not stop the program: it works with the settings in
    // memory, and says so once.
    if (!Options->SaveProblem().isEmpty())
        notices_ << SettingsNotSavedText(Options->SaveProblem());
    for (const QString& problem : Options->LoadProblems())
            notices_ << QStringLiteral("A stored setting could not be read and keeps its default: %1.").arg(problem);
    const QString backup = store.TakeDamageNotice();
    if (!backup.isEmpty())
        notices_ << QStringLiteral("The settings file %1 was damaged. It was kept as %2 and the "
                                   "settings that could not be read were reset to their defaults.")
                        .arg(store.FilePath(), backup);

    PackList = new TPackList();
}

TAppGlobals::~TAppGlobals()
{
    Release();
}

void TAppGlobals::ReleasePackList()
{
    delete PackList;
    PackList = nullptr;
}

void TAppGlobals::Release()
{
    if (released_)
        return;
    released_ = true;
    ReleasePackList();
    delete Options;
    Options = nullptr;
    delete Product;
    Product = nullptr;
}

} // namespace ui
