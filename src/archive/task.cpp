#include "archive/task.h"

#include <atomic>

#include "archive/decoder.h"
#include "archive/extract.h"
#include "archive/zip.h"

namespace archiva {

void task::Report()
{
    Result = Error;
    if (OnEvent) {
        ErrorMessage = ErrorText(Error);
        OnEvent(EventError, *this, nullptr);
    }
}

void task::ProcessEntries(zip& archive, const std::string& destination)
{
    archive.decoder_ = std::make_unique<decoder>();
    for (const zip_entry& source : archive.Entries) {
        Error = 0;
        FailedItem.clear();
        entry item = source;
        item.Action = DefaultAction;
        if (!destination.empty())
            item.Name = destination + (destination.back() == '/' ? "" : "/") + item.Name;
        const std::uint64_t doneBefore = DoneSize;

        if (OnEvent)
            OnEvent(EventEntryBegin, *this, &item);

        std::uint32_t crc = source.Crc; // entries not decoded pass the check
        if (Error == 0 && item.Action == ActionDeliver && !item.IsDirectory())
            crc = archive.decoder_->Decode(archive, source, *this, item);
        else if (Error == 0 && item.Action == ActionExtract && !destination.empty())
            crc = ExtractEntry(*archive.decoder_, archive, source, *this, item);
        else if (Error == 0 && item.Action == ActionExtract)
            Error = ErrorInvalidParameter; // extraction needs a destination folder

        // AE-2 leaves the CRC at 0 and relies on the authentication code instead.
        const bool crcStored = source.AesStrength() == 0 || source.AesVersion == 1;
        if (Error == 0 && !archive.Error && crcStored && crc != source.Crc)
            Error = ErrorCrc;

        // Progress ends at the entry's full size whatever was delivered.
        DoneSize = doneBefore + source.UncompressedSize;
        if (DoneSize < doneBefore)
            DoneSize = UINT64_MAX;

        if (archive.Error || Error == ErrorCancelled)
            break;
        if (Error) {
            FailedItem = item.Name;
            Report();
        } else if (OnEvent) {
            OnEvent(EventEntryEnd, *this, &item);
        }
    }
    archive.decoder_.reset();
}

namespace {
std::atomic<unsigned long> runs{0};
} // namespace

unsigned long task::RunCount() { return runs.load(); }

int task::Run(const std::string& archivePath, const std::string& destination)
{
    ++runs;
    Error = 0;
    Result = 0;
    TotalSize = 0;
    DoneSize = 0;
    FailedItem.clear();
    ErrorMessage.clear();

    zip archive(archivePath);
    archive_ = &archive;
    archive.Task = this;
    if (archive.IsOpen()) {
        TotalSize = archive.ReadDirectory();
        if (!archive.Error) {
            if (OnEvent)
                OnEvent(EventOpened, *this, nullptr);
            if (Error == 0)
                ProcessEntries(archive, destination);
        }
    }
    if (archive.Error)
        Error = archive.Error;
    // A file error, a cancellation, or an error a handler raised on opening is the
    // archive's failure rather than one entry's.
    if (archive.Error || Error == ErrorCancelled || (Error != 0 && FailedItem.empty() && Result == 0)) {
        FailedItem = archivePath;
        Report();
    }
    archive_ = nullptr;
    return Result;
}

} // namespace archiva
