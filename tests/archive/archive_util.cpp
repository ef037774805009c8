#include "archive_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace archtest {

std::string Quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool HasTool(const std::string& tool)
{
    return Shell(".", "command -v " + Quote(tool) + " >/dev/null 2>&1") == 0;
}

int Shell(const std::string& folder, const std::string& command)
{
    std::string line = "cd " + Quote(folder) + " && " + command;
    int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string Payload(std::size_t size, unsigned seed)
{
    std::string out;
    out.reserve(size);
    unsigned state = seed * 2654435761u + 1;
    static const char* words[] = {"gallery ", "colour ", "frame ", "exposition ", "pack "};
    while (out.size() < size) {
        state = state * 1103515245u + 12345u;
        if ((state >> 16) % 4 == 0) {
            for (int i = 0; i < 16 && out.size() < size; ++i) {
                state = state * 1103515245u + 12345u;
                out += char(state >> 24);
            }
        } else {
            out += words[(state >> 20) % 5];
        }
    }
    out.resize(size);
    return out;
}

Delivery DeliverAll(const std::string& path, const std::string& password, const std::string& only)
{
    Delivery d;
    archiva::task job;
    job.Password = password;
    job.UserData = &d;
    job.OnEvent = [&only](int event, archiva::task& t, archiva::entry* item) {
        auto* out = static_cast<Delivery*>(t.UserData);
        if (event == archiva::EventEntryBegin && (only.empty() || item->Name == only)) {
            item->Action = archiva::ActionDeliver;
            out->data[item->Name];
        } else if (event == archiva::EventError) {
            out->errors.emplace_back(t.FailedItem, t.Result);
        } else if (event == archiva::EventEntryEnd) {
            out->ended.push_back(item->Name);
        }
    };
    job.OnData = [](archiva::task& t, archiva::entry& item, const unsigned char* bytes, std::size_t n) {
        static_cast<Delivery*>(t.UserData)->data[item.Name].append(reinterpret_cast<const char*>(bytes), n);
    };
    d.result = job.Run(path);
    d.totalSize = job.TotalSize;
    d.doneSize = job.DoneSize;
    return d;
}

void Scratch::Put(const std::map<std::string, std::string>& files, const std::string& folder) const
{
    for (const auto& [name, bytes] : files) {
        std::filesystem::path p = Path(folder + "/" + name);
        std::filesystem::create_directories(p.parent_path());
        if (!name.empty() && name.back() == '/')
            continue; // a folder only
        WriteBytes(p.string(), bytes);
    }
}

} // namespace archtest

#include <zlib.h>

namespace archtest {

std::string Le(std::uint64_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xFF);
    return out;
}

std::uint32_t Crc32(const std::string& bytes)
{
    return std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

RawEntry StoredEntry(const std::string& name, const std::string& contents)
{
    RawEntry e;
    e.name = name;
    e.data = contents;
    e.crc = Crc32(contents);
    e.uncompressedSize = contents.size();
    return e;
}

RawEntry DeflatedEntry(const std::string& name, const std::string& contents)
{
    RawEntry e = StoredEntry(name, contents);
    e.method = 8;
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, uLong(contents.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(contents.data()));
    z.avail_in = uInt(contents.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    e.data = out;
    return e;
}

std::string MakeZip(const std::vector<RawEntry>& entries, const std::string& comment)
{
    std::string body, central;
    for (const RawEntry& e : entries) {
        std::uint64_t offset = body.size();
        body += Le(0x04034b50, 4) + Le(20, 2) + Le(e.flags, 2) + Le(e.method, 2) + Le(e.time, 2) +
                Le(e.date, 2) + Le(e.crc, 4) + Le(e.data.size(), 4) + Le(e.uncompressedSize, 4) +
                Le(e.name.size(), 2) + Le(e.extra.size(), 2) + e.name + e.extra + e.data;
        central += Le(0x02014b50, 4) + Le(20, 2) + Le(20, 2) + Le(e.flags, 2) + Le(e.method, 2) +
                   Le(e.time, 2) + Le(e.date, 2) + Le(e.crc, 4) + Le(e.data.size(), 4) +
                   Le(e.uncompressedSize, 4) + Le(e.name.size(), 2) + Le(e.extra.size(), 2) +
                   Le(0, 2) + Le(0, 2) + Le(0, 2) + Le(e.externalAttributes, 4) + Le(offset, 4) +
                   e.name + e.extra;
    }
    return body + central + Le(0x06054b50, 4) + Le(0, 2) + Le(0, 2) + Le(entries.size(), 2) +
           Le(entries.size(), 2) + Le(central.size(), 4) + Le(body.size(), 4) +
           Le(comment.size(), 2) + comment;
}

} // namespace archtest
