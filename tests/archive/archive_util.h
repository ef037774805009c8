#pragma once
// Helpers for the archive tests: a scratch folder, shell tools, file bytes, and a job
// that delivers every entry into memory.
#include "archive/archiva.h"

#include "support/temp_env.h"

#include <map>
#include <string>
#include <vector>

namespace archtest {

// True when `tool` is on the PATH.
bool HasTool(const std::string& tool);
// Runs a shell command in `folder`; returns its exit status.
int Shell(const std::string& folder, const std::string& command);
// Quotes a text for the shell.
std::string Quote(const std::string& text);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Deterministic test content: compressible text mixed with noise.
std::string Payload(std::size_t size, unsigned seed);

struct Delivery {
    int result = 0;
    std::map<std::string, std::string> data;       // name -> delivered bytes
    std::vector<std::pair<std::string, int>> errors; // failed item -> code, in order
    std::vector<std::string> ended;                 // names that reached EventEntryEnd
    std::uint64_t totalSize = 0;
    std::uint64_t doneSize = 0;
};

// Runs a task on `path` that delivers every entry (or only `only` when given).
Delivery DeliverAll(const std::string& path, const std::string& password = {},
                    const std::string& only = {});

// A scratch folder for one test, removed with it.
class Scratch {
public:
    std::string Path(const std::string& name = {}) const
    {
        return env_.Root().toStdString() + (name.empty() ? "" : "/" + name);
    }
    // Writes `files` (name -> contents, "/" makes folders) below `folder`.
    void Put(const std::map<std::string, std::string>& files, const std::string& folder = "in") const;

private:
    TempEnv env_;
};

} // namespace archtest

#define REQUIRE_TOOL(tool)                                                        \
    do {                                                                          \
        if (!archtest::HasTool(tool))                                             \
            GTEST_SKIP() << "tool " << tool << " is not installed";               \
    } while (0)

namespace archtest {

// One entry for MakeZip: `data` is written as given (already compressed/encrypted).
struct RawEntry {
    std::string name;
    std::string data;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint32_t crc = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint16_t time = 0x6000; // 12:00:00
    std::uint16_t date = 0x5A21; // 2025-01-01
    std::string extra;          // central and local extra field
    std::uint32_t externalAttributes = 0;
};

// A single-disk archive of `entries` with `comment`.
std::string MakeZip(const std::vector<RawEntry>& entries, const std::string& comment = {});
// A stored, unencrypted entry of `contents`.
RawEntry StoredEntry(const std::string& name, const std::string& contents);
// A raw-deflated entry of `contents`.
RawEntry DeflatedEntry(const std::string& name, const std::string& contents);
std::uint32_t Crc32(const std::string& bytes);
std::string Le(std::uint64_t value, int bytes);

} // namespace archtest
