#include "packs/check_pictures.h"

#include "archive/errors.h"
#include "archive/task.h"
#include "graphics/picture.h"
#include "packs/load_picture.h"
#include "packs/pack.h"

#include <map>
#include <vector>

namespace packs {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

struct Check {
    const TPack* pack = nullptr;
    std::map<std::string, std::vector<int>> indices; // entry name -> pictures of that name
    std::vector<bool> reported;
    const std::vector<int>* current = nullptr;        // pictures of the entry being read
    std::vector<std::uint8_t> bytes;
    std::uint64_t declared = 0;
    int overflow = 0;
    const std::function<void(int, int, const graphics::Picture&, const std::string&)>* done = nullptr;

    void Report(const std::vector<int>& which, int code, const graphics::Picture& picture, const std::string& detail)
    {
        for (int i : which) {
            if (reported[static_cast<size_t>(i)])
                continue;
            reported[static_cast<size_t>(i)] = true;
            (*done)(i, code, picture, detail);
        }
    }
};

} // namespace

void DecodeAllPictures(const TPack& pack,
                       const std::function<void(int, int, const graphics::Picture&, const std::string&)>& done)
{
    Check check;
    check.pack = &pack;
    check.done = &done;
    check.reported.assign(pack.Pictures.size(), false);
    for (size_t i = 0; i < pack.Pictures.size(); ++i)
        check.indices[pack.Pictures[i].EntryName].push_back(static_cast<int>(i));

    archiva::task job;
    job.Password = pack.PackPassword;
    job.UserData = &check;
    job.OnEvent = [](int event, archiva::task& t, archiva::entry* item) {
        auto* c = static_cast<Check*>(t.UserData);
        if (event == archiva::EventEntryBegin && item) {
            c->current = nullptr;
            c->bytes.clear();
            c->overflow = 0;
            const auto found = c->indices.find(item->Name);
            // The first entry of a name is the picture, as LoadPicture reads it.
            if (found != c->indices.end() && !c->reported[static_cast<size_t>(found->second.front())]) {
                c->current = &found->second;
                c->declared = item->UncompressedSize;
                item->Action = archiva::ActionDeliver;
            }
        } else if (event == archiva::EventEntryEnd && c->current) {
            graphics::Picture picture;
            std::string detail;
            const int code = DecodePackEntry(std::move(c->bytes), item ? item->Name : std::string(), c->pack->Path,
                                             picture, &detail);
            c->Report(*c->current, code, picture, detail);
            c->current = nullptr;
            c->bytes = {};
        } else if (event == archiva::EventError && c->current) {
            const int code = c->overflow ? c->overflow : t.Result;
            c->Report(*c->current, code, graphics::Picture(),
                      "The picture " + Quoted(t.FailedItem) + " in " + Quoted(c->pack->Path)
                          + " cannot be read: " + archiva::ErrorText(code));
            c->current = nullptr;
            c->bytes = {};
        }
    };
    job.OnData = [](archiva::task& t, archiva::entry&, const unsigned char* data, std::size_t count) {
        auto* c = static_cast<Check*>(t.UserData);
        if (!c->current)
            return;
        const std::uint64_t total = c->bytes.size() + static_cast<std::uint64_t>(count);
        if (total > MaxPictureBytes)
            c->overflow = archiva::ErrorFileTooLarge;
        else if (total > c->declared)
            c->overflow = archiva::ErrorCrc; // more data than the directory announced
        if (c->overflow) {
            // This entry fails; the others are still checked.
            t.Error = c->overflow;
            return;
        }
        c->bytes.insert(c->bytes.end(), data, data + count);
    };

    const int code = job.Run(pack.Path);
    // Whatever the run never reached: the archive could not be read, or the entry is gone.
    for (size_t i = 0; i < pack.Pictures.size(); ++i) {
        if (check.reported[i])
            continue;
        const std::string& name = pack.Pictures[i].EntryName;
        const int missing = code != 0 ? code : archiva::ErrorFileNotFound;
        check.Report({static_cast<int>(i)}, missing, graphics::Picture(),
                     "The picture " + Quoted(name) + " in " + Quoted(pack.Path) + " cannot be read: "
                         + archiva::ErrorText(missing));
    }
}

} // namespace packs
