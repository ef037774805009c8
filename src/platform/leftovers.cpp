#include "platform/leftovers.h"

#include "platform/atomic_file.h"
#include "platform/autostart.h"
#include "platform/folders.h"
#include "platform/registry.h"

#include <QFileInfo>
#include <QSet>

namespace platform {

int RemoveStaleTemporaryFilesAtStart()
{
    QSet<QString> folders;
    for (const QString& folder : {GetSpecialFolder(CSIDL_APPDATA), GetSpecialFolder(ProgramFolderCode), GetSpecialFolder(UserPacksFolderCode),
                                  QFileInfo(Registry::DefaultPath()).absolutePath(),
                                  QFileInfo(AutostartFilePath()).absolutePath()})
        if (!folder.isEmpty())
            folders.insert(QFileInfo(folder).absoluteFilePath());
    int removed = 0;
    for (const QString& folder : std::as_const(folders))
        removed += RemoveStaleTemporaryFilesIn(folder);
    return removed;
}

} // namespace platform
