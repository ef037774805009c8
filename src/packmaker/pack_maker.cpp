#include "packmaker/pack_maker.h"

#include "archive/errors.h"
#include "packmaker/archive_writer.h"
#include "packmaker/csv_records.h"
#include "packmaker/metadata.h"
#include "packmaker/prepare.h"
#include "packmaker/work_folder.h"
#include "packs/text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace packmaker {
namespace {

// One line of the description: line breaks would end the value early.
std::string OneLine(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    return std::string(packs::Trim(out));
}

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name without its last extension, as QFileInfo::completeBaseName.
std::string BaseName(const std::string& fileName)
{
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

void FillMissing(PictureRecord& record, const PictureRecord& from)
{
    if (record.Title.empty())
        record.Title = from.Title;
    if (record.Author.empty())
        record.Author = from.Author;
    if (record.Year == 0)
        record.Year = from.Year;
}

// The picture's record: a file name in the pack naming first, then the picture's
// own metadata, then the CSV; each field from the first source that has it. A
// picture left without a title is called by its file name.
PictureRecord RecordFor(const SourceFile& source, const CsvRecords* csv,
                        const std::map<std::string, PictureRecord>& given)
{
    if (const auto known = given.find(source.Path); known != given.end()) {
        PictureRecord record = known->second;
        if (record.Title.empty())
            record.Title = BaseName(NameText(FileNameOf(source.Path)));
        return record;
    }
    const std::string fileName = NameText(FileNameOf(source.Path));
    bool structured = false;
    const PictureRecord fromName = RecordFromFileName(fileName, structured);
    PictureRecord record;
    if (structured)
        record = fromName;
    if (source.Kind != SourceKind::Metafile && (record.Title.empty() || record.Author.empty() || record.Year == 0))
        FillMissing(record, ReadEmbeddedRecord(source.Path));
    if (csv)
        if (const PictureRecord* row = FindCsvRecord(*csv, source.Relative, fileName))
            FillMissing(record, *row);
    if (record.Title.empty())
        record.Title = BaseName(fileName);
    return record;
}

struct Slot {
    bool ready = false;
    PreparedPicture prepared;
    PictureRecord record;
};

// Worker threads prepare pictures in any order; the caller takes them in source
// order. Each worker writes into its own slot and output file.
class Preparer {
public:
    Preparer(const std::vector<SourceFile>& pictures, const MakeRequest& request, const CsvRecords* csv,
             const QString& workFolder, const std::atomic<bool>* cancel)
        : pictures_(pictures), request_(request), csv_(csv), folder_(workFolder), cancel_(cancel),
          slots_(pictures.size())
    {
        int threads = request.Threads > 0 ? request.Threads : static_cast<int>(std::thread::hardware_concurrency());
        threads = std::clamp(threads, 1, std::max(1, static_cast<int>(pictures.size())));
        for (int i = 0; i < threads; ++i)
            workers_.emplace_back([this] { Work(); });
    }
    ~Preparer() { Stop(); }

    // The prepared picture `index`; nullopt when the make was cancelled first.
    std::optional<Slot> Take(std::size_t index)
    {
        std::unique_lock lock(mutex_);
        // The cancel flag is set from outside without a notification: look again
        // every few milliseconds.
        while (!ready_.wait_for(lock, std::chrono::milliseconds(20), [&] { return slots_[index].ready || Cancelled(); })) {
        }
        if (!slots_[index].ready)
            return std::nullopt;
        return std::move(slots_[index]);
    }

    void Stop()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (std::thread& t : workers_)
            if (t.joinable())
                t.join();
    }

private:
    bool Cancelled() const { return stopping_ || (cancel_ && cancel_->load()); }

    void Work()
    {
        for (;;) {
            const std::size_t index = next_.fetch_add(1);
            {
                std::lock_guard lock(mutex_);
                if (index >= pictures_.size() || Cancelled())
                    return;
            }
            Slot slot;
            const std::string output = folder_.filePath(QStringLiteral("%1.jpg").arg(index)).toStdString();
            slot.prepared = PreparePicture(pictures_[index], request_.MaxSide, output);
            if (slot.prepared.Ok)
                slot.record = RecordFor(pictures_[index], csv_, request_.Records);
            slot.ready = true;
            {
                std::lock_guard lock(mutex_);
                slots_[index] = std::move(slot);
            }
            ready_.notify_all();
        }
    }

    const std::vector<SourceFile>& pictures_;
    const MakeRequest& request_;
    const CsvRecords* csv_;
    const QDir folder_;
    const std::atomic<bool>* cancel_;
    std::vector<Slot> slots_;
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable ready_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

// A name no other entry has: the same record twice goes into a folder of its own
// ("2/..."), which the reader drops from the title.
std::string UniqueEntryName(const std::string& stem, const std::string& extension, std::set<std::string>& used)
{
    std::string name = FitEntryStem(stem, extension.size()) + extension;
    for (int n = 2; !used.insert(name).second; ++n) {
        const std::string folder = std::to_string(n) + "/";
        name = folder + FitEntryStem(stem, folder.size() + extension.size()) + extension;
    }
    return name;
}

// The source entry's text: for each picture with a source or a title its entry
// name could not hold whole, what is known of it; and the works retired.
std::string SourcesJson(const std::vector<TakenPicture>& taken, const std::map<std::string, WorkSource>& sources,
                        const std::vector<std::string>& retired)
{
    QJsonObject all;
    if (!retired.empty()) {
        QJsonArray ids;
        for (const std::string& id : retired)
            ids.append(QString::fromStdString(id));
        all.insert(QLatin1String(kRetiredKey), ids);
    }
    for (const TakenPicture& picture : taken) {
        const auto source = sources.find(picture.Source);
        const bool shortened = picture.EntryName.find(EntryStem(picture.Record)) == std::string::npos;
        if (source == sources.end() && !shortened)
            continue;
        QJsonObject entry;
        entry.insert(QStringLiteral("title"), QString::fromStdString(picture.Record.Title));
        if (source != sources.end()) {
            entry.insert(QStringLiteral("page"), QString::fromStdString(source->second.Page));
            entry.insert(QStringLiteral("credit"), QString::fromStdString(source->second.Credit));
            entry.insert(QStringLiteral("licence"), QString::fromStdString(source->second.Licence));
            if (!source->second.Id.empty())
                entry.insert(QStringLiteral("id"), QString::fromStdString(source->second.Id));
            if (!source->second.Added.empty())
                entry.insert(QStringLiteral("added"), QString::fromStdString(source->second.Added));
        }
        all.insert(QString::fromStdString(picture.EntryName), entry);
    }
    if (all.isEmpty())
        return {};
    return QJsonDocument(all).toJson(QJsonDocument::Indented).toStdString();
}

bool IsCancelled(const std::atomic<bool>* cancel)
{
    return cancel && cancel->load();
}

} // namespace

std::string FitEntryStem(const std::string& stem, std::size_t reserve)
{
    if (stem.size() + reserve <= kMaxEntryNameBytes)
        return stem;
    std::size_t keep = kMaxEntryNameBytes > reserve + 3 ? kMaxEntryNameBytes - reserve - 3 : 0;
    // Never cut a UTF-8 sequence: back up to the start of a character.
    while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
        --keep;
    return stem.substr(0, keep) + "...";
}

std::string PackDescription(const MakeRequest& request)
{
    std::string text = "[Pack]\r\nName=" + OneLine(request.Name) + "\r\n";
    if (!OneLine(request.Author).empty())
        text += "Author=" + OneLine(request.Author) + "\r\n";
    text += "Icon=" + std::to_string(request.Icon) + "\r\n";
    if (!OneLine(request.Label).empty())
        text += "Label=" + OneLine(request.Label) + "\r\n";
    if (request.PlainCredit)
        text += "Credit=plain\r\n";
    return text;
}

std::string PackFileName(const std::string& name)
{
    std::string file;
    for (const char c : OneLine(name))
        file += (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>'
                 || c == '|')
                    ? '_'
                    : c;
    while (!file.empty() && (file.front() == '.' || file.front() == '-'))
        file.erase(file.begin()); // no hidden file, no option-like name
    if (file.empty())
        file = "pack";
    return file + ".zip";
}

namespace {

// Codes of the system for what stops a make (archive/errors.h).
constexpr int kBadRequest = archiva::ErrorInvalidParameter;
constexpr int kWriteFault = archiva::ErrorWriteFault;
constexpr int kBadData = 13; // the system's "the data is invalid"

core::Error Cancelled()
{
    return core::MakeError(archiva::ErrorCancelled, "cancelled; no pack was written");
}

// Why the request cannot be made at all, before anything is read.
core::Result<void> CheckRequest(const MakeRequest& request)
{
    if (OneLine(request.Name).empty())
        return core::MakeError(kBadRequest, "the pack needs a name");
    if (request.Output.empty())
        return core::MakeError(kBadRequest, "no file to write the pack to");
    if (request.MaxSide < 16)
        return core::MakeError(kBadRequest, "the largest side must be at least 16 pixels");
    if (!request.Password.empty() && !ArchiveWriter::CanEncrypt())
        return core::MakeError(archiva::ErrorNotSupported, "this libzip cannot encrypt with AES-256");
    return core::Ok();
}

// The records of the request's CSV file, if it names one.
core::Result<void> ReadCsv(const MakeRequest& request, CsvRecords& csv)
{
    if (request.CsvPath.empty())
        return core::Ok();
    QFile file(QString::fromStdString(request.CsvPath));
    if (!file.open(QIODevice::ReadOnly))
        return core::MakeError(file.exists() ? archiva::ErrorAccessDenied : archiva::ErrorFileNotFound,
                               request.CsvPath + ": " + file.errorString().toStdString());
    // Read no further than the bound: /dev/zero or a pipe has no size to check first.
    const QByteArray text = file.read(static_cast<qint64>(kMaxCsvBytes) + 1);
    csv = ParseCsvRecords(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!csv.error.empty())
        return core::MakeError(kBadData, request.CsvPath + ": " + csv.error);
    return core::Ok();
}

// One make's archive being written in its work folder.
struct Making {
    const MakeRequest& request;
    const std::function<void(const MakeProgress&)>& progress;
    const std::atomic<bool>* cancel;
    const QDir& work;
    ArchiveWriter& writer;
    MadePack& made;
};

// Prepares the pictures on worker threads and adds them in source order. A
// picture that cannot be read is listed with the files left out.
core::Result<void> AddPictures(Making& m, const std::vector<SourceFile>& pictures, const CsvRecords* csv)
{
    std::set<std::string> used;
    std::string error;
    Preparer preparer(pictures, m.request, csv, m.work.path(), m.cancel);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        std::optional<Slot> slot = preparer.Take(i);
        if (!slot || IsCancelled(m.cancel))
            return Cancelled();
        const SourceFile& source = pictures[i];
        if (!slot->prepared.Ok) {
            m.made.Skipped.push_back({source.Path, slot->prepared.Error});
            continue;
        }
        TakenPicture taken;
        taken.Source = source.Path;
        taken.Record = slot->record;
        taken.EntryName = UniqueEntryName(EntryStem(slot->record), slot->prepared.Extension, used);
        taken.AsIs = slot->prepared.AsIs;
        taken.Width = slot->prepared.Width;
        taken.Height = slot->prepared.Height;
        taken.OutWidth = slot->prepared.OutWidth;
        taken.OutHeight = slot->prepared.OutHeight;
        const bool deflate = slot->prepared.Extension != ".jpg";
        if (!m.writer.Add(taken.EntryName, slot->prepared.DataPath, deflate, m.request.Password, error))
            return core::MakeError(kWriteFault, source.Path + ": " + error);
        m.made.Taken.push_back(std::move(taken));
        if (m.progress) {
            MakeProgress p;
            p.Done = static_cast<int>(i + 1);
            p.Total = static_cast<int>(pictures.size());
            p.Picture = &m.made.Taken.back();
            m.progress(p);
        }
    }
    return core::Ok();
}

// The entry that says where the works come from, when there is anything to say.
core::Result<void> AddSourcesEntry(Making& m)
{
    const std::string text = SourcesJson(m.made.Taken, m.request.WorkSources, m.request.RetiredIds);
    if (text.empty())
        return core::Ok();
    const QString path = m.work.filePath(QString::fromLatin1(kSourcesEntryName));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
        return core::MakeError(kWriteFault, "cannot write in " + m.work.path().toStdString() + ": "
                                                + file.errorString().toStdString());
    file.close();
    std::string error;
    if (!m.writer.Add(kSourcesEntryName, path.toStdString(), true, m.request.Password, error))
        return core::MakeError(kWriteFault, error);
    return core::Ok();
}

// Writes the archive out, reporting its progress, and puts it in its place.
core::Result<void> CloseAndPlace(Making& m, const std::string& written, const std::string& target, int total)
{
    std::string error;
    const bool closed = m.writer.Close(
        [&](double done) {
            if (m.progress) {
                MakeProgress p;
                p.Done = total;
                p.Total = total;
                p.Writing = done;
                m.progress(p);
            }
        },
        [&] { return IsCancelled(m.cancel); }, error);
    if (!closed)
        return IsCancelled(m.cancel) ? Cancelled() : core::MakeError(kWriteFault, "cannot write " + target + ": " + error);
    if (::rename(written.c_str(), target.c_str()) != 0) {
        const int code = errno;
        return core::MakeError(archiva::ErrorFromErrno(code, target), "cannot write " + target + ": " + std::strerror(code));
    }
    return core::Ok();
}

// The make in its work folder beside the output, which goes when it returns,
// whatever happened.
core::Result<void> MakeInWorkFolder(const MakeRequest& request, const std::vector<SourceFile>& pictures,
                                    const CsvRecords* csv, const std::function<void(const MakeProgress&)>& progress,
                                    const std::atomic<bool>* cancel, MadePack& made)
{
    const QFileInfo output(QString::fromStdString(request.Output));
    const QString outputFolder = output.absolutePath();
    if (!QFileInfo(outputFolder).isDir())
        return core::MakeError(archiva::ErrorPathNotFound, "the folder " + outputFolder.toStdString() + " does not exist");
    // What killed makes left here goes first. Reduced pictures, then the archive,
    // wait in a work folder of our own.
    RemoveStaleMakeLeftovers(QFile::encodeName(outputFolder).toStdString());
    int workError = 0;
    const std::string workPath = CreateWorkFolder(QFile::encodeName(outputFolder).toStdString(), workError);
    if (workPath.empty())
        return core::MakeError(archiva::ErrorFromErrno(workError), "cannot write in " + outputFolder.toStdString()
                                                                       + ": " + std::strerror(workError));
    const struct WorkGuard {
        std::string path;
        ~WorkGuard() { RemoveWorkFolder(path); }
    } workGuard{workPath};
    const QDir work(QFile::decodeName(QByteArray::fromStdString(workPath)));

    InitialiseMetadataReader();
    // Qt's cap on one decoded picture (256 MB) would refuse large scans.
    QImageReader::setAllocationLimit(1024);

    ArchiveWriter writer;
    std::string error;
    const std::string target = output.absoluteFilePath().toStdString();
    // libzip writes beside the file it is given: inside the work folder, so a
    // killed make leaves its half-written archive there too.
    const std::string written = work.filePath(QStringLiteral("pack.zip")).toStdString();
    if (!writer.Open(written, error))
        return core::MakeError(kWriteFault, error);

    Making making {request, progress, cancel, work, writer, made};
    AMBIENCE_TRY(AddPictures(making, pictures, csv));
    AMBIENCE_TRY(AddSourcesEntry(making));
    if (made.Taken.empty())
        return core::MakeError(kBadData, "none of the pictures could be read");
    if (!writer.SetComment(PackDescription(request), error))
        return core::MakeError(kWriteFault, error);
    AMBIENCE_TRY(CloseAndPlace(making, written, target, static_cast<int>(pictures.size())));
    made.Archive = target;
    return core::Ok();
}

} // namespace

core::Result<MadePack> MakePack(const MakeRequest& request, const std::function<void(const MakeProgress&)>& progress,
                                const std::atomic<bool>* cancel, MadePack* soFar)
{
    MadePack made;
    const core::Result<void> done = [&]() -> core::Result<void> {
        AMBIENCE_TRY(CheckRequest(request));
        CsvRecords csv;
        AMBIENCE_TRY(ReadCsv(request, csv));
        CollectedSources sources = CollectSources(request.Sources);
        made.Skipped = std::move(sources.Skipped);
        if (sources.Pictures.empty())
            return core::MakeError(archiva::ErrorFileNotFound, "no pictures to make a pack of");
        return MakeInWorkFolder(request, sources.Pictures, request.CsvPath.empty() ? nullptr : &csv, progress, cancel,
                                made);
    }();
    if (done.ok())
        return made;
    if (soFar) {
        soFar->Skipped = std::move(made.Skipped);
        soFar->Taken.clear();
        soFar->Archive.clear();
    }
    return done.error();
}

} // namespace packmaker
