// One call of the keyring store per process, for the keyring test:
//   keychain_probe SERVICE read KEY | write KEY TEXT | forget KEY
// Prints "found: TEXT", "none" or "written"/"forgotten"; "error: ..." and exit 1
// when the store failed.
#include "platform/keychain_secret_store.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4) {
        std::fputs("usage: keychain_probe SERVICE read KEY | write KEY TEXT | forget KEY\n", stderr);
        return 2;
    }
    platform::KeychainSecretStore store(QString::fromUtf8(argv[1]), 20000);
    const std::string key = argv[3];
    auto fail = [](const core::Error& error) {
        std::printf("error: %s\n", error.text.c_str());
        return 1;
    };
    if (std::strcmp(argv[2], "read") == 0) {
        auto read = store.Read(key);
        if (!read.ok())
            return fail(read.error());
        if (*read)
            std::printf("found: %s\n", (*read)->c_str());
        else
            std::puts("none");
    } else if (std::strcmp(argv[2], "write") == 0 && argc == 5) {
        if (auto written = store.Write(key, argv[4]); !written.ok())
            return fail(written.error());
        std::puts("written");
    } else if (std::strcmp(argv[2], "forget") == 0) {
        if (auto forgotten = store.Forget(key); !forgotten.ok())
            return fail(forgotten.error());
        std::puts("forgotten");
    } else {
        return 2;
    }
    return 0;
}
