// registry_writer FILE write PREFIX COUNT   writes PREFIX0..PREFIX<COUNT-1> = index
// registry_writer FILE crash NAME VALUE     dies (exit 3) after the temporary file
//                                           is complete and before the rename
#include "platform/atomic_file.h"
#include "platform/registry.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: registry_writer FILE write|crash NAME COUNT|VALUE\n");
        return 2;
    }
    platform::Registry store(QString::fromLocal8Bit(argv[1]));
    const QString mode = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    const int number = std::atoi(argv[4]);
    const QString key = QStringLiteral("\\Software\\Test");
    try {
        if (mode == QLatin1String("write")) {
            for (int i = 0; i < number; ++i)
                store.WriteInteger(key, name + QString::number(i), i);
            return 0;
        }
        if (mode == QLatin1String("crash")) {
            platform::testing::SetBeforeReplaceHook([](const QString&) { ::_exit(3); });
            store.WriteInteger(key, name, number);
            return 0; // not reached
        }
    } catch (const platform::RegistryError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 2;
}
