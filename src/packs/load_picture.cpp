#include "packs/load_picture.h"

#include "archive/errors.h"
#include "archive/file_ops.h"
#include "archive/task.h"
#include "graphics/picture.h"
#include "graphics/picture_loader.h"
#include "packs/pack.h"

#include <algorithm>

namespace packs {
namespace {

// Memory reserved up front from the declared size; beyond it the buffer grows as
// data arrives, so a false size in a damaged directory costs nothing.
constexpr std::uint64_t kTrustedReserve = 16ull << 20;

struct Delivery {
    const std::string* wanted = nullptr;
    std::vector<std::uint8_t>* bytes = nullptr;
    bool found = false;
    bool delivering = false;
    std::uint64_t declared = 0;
    int overflow = 0; // our own reason for cancelling the job
};

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

int ReadPackEntry(const std::string& archivePath, const std::string& entryName, const std::string& password,
                  std::vector<std::uint8_t>& bytes, std::string* detail)
{
    bytes.clear();
    if (detail)
        detail->clear();

    Delivery delivery;
    delivery.wanted = &entryName;
    delivery.bytes = &bytes;

    archiva::task job;
    job.Password = password;
    job.UserData = &delivery;
    job.OnEvent = [](int event, archiva::task& t, archiva::entry* item) {
        auto* d = static_cast<Delivery*>(t.UserData);
        if (event == archiva::EventEntryBegin && item) {
            d->delivering = false;
            // Only the first entry of that name: a duplicate must not be appended.
            if (!d->found && item->Name == *d->wanted) {
                d->found = true;
                d->delivering = true;
                d->declared = item->UncompressedSize;
                item->Action = archiva::ActionDeliver;
                d->bytes->reserve(static_cast<std::size_t>(std::min(item->UncompressedSize, kTrustedReserve)));
            }
        }
    };
    job.OnData = [](archiva::task& t, archiva::entry&, const unsigned char* data, std::size_t count) {
        auto* d = static_cast<Delivery*>(t.UserData);
        if (!d->delivering)
            return;
        const std::uint64_t total = d->bytes->size() + static_cast<std::uint64_t>(count);
        if (total > MaxPictureBytes) {
            d->overflow = archiva::ErrorFileTooLarge;
        } else if (total > d->declared) {
            // More data than the directory announced: the entry is damaged.
            d->overflow = archiva::ErrorCrc;
        }
        if (d->overflow) {
            t.Error = archiva::ErrorCancelled;
            return;
        }
        d->bytes->insert(d->bytes->end(), data, data + count);
    };

    int code = job.Run(archivePath);
    if (delivery.overflow)
        code = delivery.overflow;
    if (code == 0 && !delivery.found)
        code = archiva::ErrorFileNotFound;
    if (code != 0) {
        bytes.clear();
        bytes.shrink_to_fit();
        if (detail) {
            if (delivery.overflow == archiva::ErrorFileTooLarge)
                *detail = "The picture " + Quoted(entryName) + " is larger than any picture this program reads";
            else if (code == archiva::ErrorFileNotFound && job.Result == 0)
                *detail = "The picture " + Quoted(entryName) + " is not in the pack file " + Quoted(archivePath)
                          + " any more";
            else
                *detail = "Cannot read the picture " + Quoted(entryName) + " from " + Quoted(archivePath) + ": "
                          + archiva::ErrorText(code);
        }
    }
    return code;
}

int LoadPicture(const TPack& pack, graphics::Picture& target, int index, std::string* detail, QSize canvas)
{
    target.Clear();
    if (detail)
        detail->clear();
    if (index < 0 || static_cast<std::size_t>(index) >= pack.Pictures.size()) {
        if (detail)
            *detail = "The pack " + Quoted(pack.Name) + " has no picture number " + std::to_string(index + 1);
        return archiva::ErrorInvalidParameter;
    }
    // Copies: the pack record may be replaced while the entry is read.
    const std::string path = pack.Path;
    const std::string password = pack.PackPassword;
    const std::string entryName = pack.Pictures[static_cast<std::size_t>(index)].EntryName;

    std::vector<std::uint8_t> bytes;
    if (const int code = ReadPackEntry(path, entryName, password, bytes, detail); code != 0)
        return code;

    return DecodePackEntry(std::move(bytes), entryName, path, target, detail, canvas);
}

int CheckPackPassword(const TPack& pack, const std::string& password, int index)
{
    if (pack.Pictures.empty())
        return archiva::ErrorInvalidParameter;
    if (index < 0 || static_cast<std::size_t>(index) >= pack.Pictures.size())
        index = 0;
    std::vector<std::uint8_t> bytes;
    return ReadPackEntry(pack.Path, pack.Pictures[static_cast<std::size_t>(index)].EntryName, password, bytes);
}

int DecodePackEntry(std::vector<std::uint8_t> bytes, const std::string& entryName, const std::string& archivePath,
                    graphics::Picture& target, std::string* detail, QSize canvas)
{
    std::string error;
    graphics::Picture picture;
    if (bytes.empty())
        error = "the entry is empty";
    else
        picture = graphics::LoadPictureData(std::move(bytes), archiva::LowerExtension(entryName), error, canvas);
    if (picture.IsEmpty()) {
        if (detail)
            *detail = "The picture " + Quoted(entryName) + " in " + Quoted(archivePath) + " cannot be decoded: "
                      + (error.empty() ? std::string("unknown reason") : error);
        return archiva::ErrorCrc;
    }
    target = std::move(picture);
    return 0;
}

} // namespace packs
