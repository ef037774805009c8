#include "ui/program_icons.h"

#include "resources/resources.h"

#include <QFile>
#include <QPixmap>

namespace ui {

std::vector<QIcon> LoadProgramIcons()
{
    ambience::InitResources();
    std::vector<QIcon> icons;
    for (int index = 0;; ++index) {
        const QString path = QStringLiteral(":/icons/icon%1.png").arg(index);
        if (!QFile::exists(path))
            break;
        const QPixmap pixmap(path);
        if (!pixmap.isNull())
            icons.emplace_back(pixmap);
    }
    return icons;
}

} // namespace ui
