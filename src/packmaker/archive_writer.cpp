#include "packmaker/archive_writer.h"

#include <zip.h>

namespace packmaker {
namespace {

std::string ErrorOf(zip_t* archive)
{
    return zip_strerror(archive);
}

} // namespace

ArchiveWriter::~ArchiveWriter()
{
    Discard();
}

bool ArchiveWriter::CanEncrypt()
{
    return zip_encryption_method_supported(ZIP_EM_AES_256, 1) != 0;
}

bool ArchiveWriter::Open(const std::string& path, std::string& error)
{
    Discard();
    int code = 0;
    archive_ = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive_) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        error = "cannot make " + path + ": " + zip_error_strerror(&e);
        zip_error_fini(&e);
        return false;
    }
    return true;
}

bool ArchiveWriter::Add(const std::string& entryName, const std::string& dataPath, bool deflate,
                        const std::string& password, std::string& error)
{
    zip_source_t* source = zip_source_file(archive_, dataPath.c_str(), 0, -1);
    if (!source) {
        error = "cannot read " + dataPath + ": " + ErrorOf(archive_);
        return false;
    }
    const zip_int64_t index = zip_file_add(archive_, entryName.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        error = "cannot add \"" + entryName + "\": " + ErrorOf(archive_);
        return false;
    }
    const auto i = static_cast<zip_uint64_t>(index);
    if (zip_set_file_compression(archive_, i, deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) != 0
        || (!password.empty() && zip_file_set_encryption(archive_, i, ZIP_EM_AES_256, password.c_str()) != 0)) {
        error = "cannot set up \"" + entryName + "\": " + ErrorOf(archive_);
        return false;
    }
    return true;
}

bool ArchiveWriter::SetComment(const std::string& comment, std::string& error)
{
    if (zip_set_archive_comment(archive_, comment.data(), static_cast<zip_uint16_t>(comment.size())) != 0) {
        error = std::string("cannot set the description: ") + ErrorOf(archive_);
        return false;
    }
    return true;
}

bool ArchiveWriter::Close(const std::function<void(double)>& progress, const std::function<bool()>& cancelled,
                          std::string& error)
{
    progress_ = progress;
    cancelled_ = cancelled;
    if (progress_)
        zip_register_progress_callback_with_state(
            archive_, 0.01, [](zip_t*, double done, void* self) { static_cast<ArchiveWriter*>(self)->progress_(done); },
            nullptr, this);
    if (cancelled_)
        zip_register_cancel_callback_with_state(
            archive_, [](zip_t*, void* self) { return static_cast<ArchiveWriter*>(self)->cancelled_() ? 1 : 0; },
            nullptr, this);
    if (zip_close(archive_) != 0) {
        error = ErrorOf(archive_);
        Discard();
        return false;
    }
    archive_ = nullptr;
    return true;
}

void ArchiveWriter::Discard()
{
    if (archive_)
        zip_discard(archive_);
    archive_ = nullptr;
}

} // namespace packmaker
