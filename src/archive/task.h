#pragma once
// One extraction job: opens an archive, reads its directory and offers every entry
// to OnEvent, which selects entries for delivery; their decoded bytes go to OnData.
#include "archive/entry.h"
#include "archive/errors.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace archiva {

class zip;

// Events given to task::OnEvent.
constexpr int EventOpened = 1;     // the directory was read; task::Archive() is valid
constexpr int EventEntryBegin = 2; // entry = working copy; the handler may set its Action
constexpr int EventChunk = 3;      // a full 65535-byte chunk is about to be delivered
constexpr int EventEntryEnd = 4;   // the entry finished without error
constexpr int EventError = 6;      // entry = nullptr; Result, ErrorMessage and FailedItem set

class task {
public:
    using EventHandler = std::function<void(int event, task& job, entry* item)>;
    using DataHandler =
        std::function<void(task& job, entry& item, const unsigned char* bytes, std::size_t count)>;

    std::string Password;          // UTF-8 bytes; empty for none
    void* UserData = nullptr;      // the caller's context
    EventHandler OnEvent;          // optional
    DataHandler OnData;            // optional

    int Error = 0;                 // error of the entry in hand; set 1223 to cancel
    int Result = 0;                // last reported error; returned by Run
    std::string ErrorMessage;      // ErrorText of the last reported error
    std::uint64_t TotalSize = 0;   // sum of the uncompressed sizes of all entries
    std::uint64_t DoneSize = 0;    // bytes delivered and entries passed so far
    std::uint8_t DefaultAction = ActionSkip;
    std::string FailedItem;        // entry name or archive path of the last failure

    // Runs the job on the archive at `archivePath`. Callers reading into memory pass
    // an empty `destination`; entries set to ActionExtract are written below a
    // non-empty one. Returns 0 or the last reported error code.
    int Run(const std::string& archivePath, const std::string& destination = {});

    // How many runs this process has started: each one reads the archive's
    // directory, so a caller that must stay linear in the entry count is measured by it.
    static unsigned long RunCount();

    // The archive being processed, during Run only (nullptr otherwise).
    zip* Archive() const { return archive_; }

private:
    zip* archive_ = nullptr;
    void Report();
    void ProcessEntries(zip& archive, const std::string& destination);
};

} // namespace archiva
