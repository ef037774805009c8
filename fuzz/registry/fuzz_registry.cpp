// The store's file parser on arbitrary bytes. Besides not crashing, what it keeps
// must write out as a clean file that reads back the same, and writing that again
// must give the same bytes: damage never spreads into the next file.
#include "platform/registry_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const platform::RegistryParseResult first = platform::ParseRegistryText(bytes);
    const QByteArray written = platform::SerializeRegistry(first.document);
    const platform::RegistryParseResult second = platform::ParseRegistryText(written);
    if (second.Damaged() || !(second.document == first.document))
        std::abort();
    if (platform::SerializeRegistry(second.document) != written)
        std::abort();
    // Lookups on whatever came out.
    for (const auto& key : first.document.keys) {
        if (!first.document.HasKey(key.path))
            std::abort();
        for (const auto& [name, value] : key.values) {
            if (!first.document.FindValue(key.path, name))
                std::abort();
        }
    }
    return 0;
}
