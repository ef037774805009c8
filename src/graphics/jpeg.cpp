#include "graphics/jpeg.h"

#include "graphics/jpeg_bands.h"
#include "graphics/large_image.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

namespace graphics {
namespace {

// libjpeg reports errors through error_exit, which must not return: it jumps back
// to the setjmp in the calling function with the error recorded here. Only plain
// data lives between setjmp and a possible longjmp, so nothing is left undestroyed.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    JpegError kind;
    char text[JMSG_LENGTH_MAX];
    bool sawEnd; // the data ended (and libjpeg supplied an end marker)
};

JpegError KindOf(int code)
{
    switch (code) {
    case JERR_NO_SOI:
        return JpegError::NotJpeg;
    case JERR_INPUT_EMPTY:
    case JERR_INPUT_EOF:
        return JpegError::Truncated;
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return JpegError::TooLarge;
    case JERR_CONVERSION_NOTIMPL:
        return JpegError::Unsupported;
    default:
        return JpegError::Damaged;
    }
}

[[noreturn]] void Fail(j_common_ptr cinfo, JpegError kind)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->kind = kind;
    err->pub.format_message(cinfo, err->text);
    std::longjmp(err->jump, 1);
}

[[noreturn]] void OnErrorExit(j_common_ptr cinfo)
{
    Fail(cinfo, KindOf(cinfo->err->msg_code));
}

// A single-scan file that lacks only its end marker still holds the whole picture.
// libjpeg reports the end of the data when its decoder reads ahead in the last row
// of MCUs; it then supplies an end marker, and if bits were really missing it
// warns again (JWRN_HIT_MARKER), which fails the decoding below. With several
// scans (progressive files) a missing tail cannot be told from missing scans.
bool MayLackOnlyTheEndMarker(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return false;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    return !d->progressive_mode && d->input_scan_number == 1 && d->comps_in_scan == d->num_components
           && d->input_iMCU_row + 1 >= d->total_iMCU_rows;
}

// Warnings (level -1) that mean the picture cannot be shown as its author made it
// end the decoding; harmless ones (stray bytes between markers, unusual but valid
// tables) are ignored. Trace messages (level >= 0) are dropped: nothing is printed.
void OnMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    switch (err->pub.msg_code) {
    case JWRN_JPEG_EOF:
        if (!MayLackOnlyTheEndMarker(cinfo))
            Fail(cinfo, JpegError::Truncated);
        err->sawEnd = true;
        break;
    case JWRN_HIT_MARKER:
        Fail(cinfo, err->sawEnd ? JpegError::Truncated : JpegError::Damaged);
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
        Fail(cinfo, JpegError::Damaged);
    default:
        break;
    }
    err->pub.num_warnings++;
}

// A progressive file may consist of any number of scans, each of which costs a
// pass over the whole picture; a limit keeps a hostile file from taking hours.
struct Progress {
    jpeg_progress_mgr pub;
    int maxScans;
};

void OnProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* p = reinterpret_cast<Progress*>(cinfo->progress);
    if (d->input_scan_number > p->maxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        err->kind = JpegError::Damaged;
        std::snprintf(err->text, sizeof err->text, "the picture has more than %d scans", p->maxScans);
        std::longjmp(err->jump, 1);
    }
}

// Adobe's applications write CMYK (and YCCK, which libjpeg turns into CMYK) with
// every channel inverted and mark such files with their APP14 marker; files
// without it hold plain ink amounts. RGB = (255 - C) * (255 - K) / 255 in ink terms.
void CmykToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgb[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
        rgb[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        rgb[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
    }
}

struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    Progress progress;
    JpegLimits limits;
    std::uint8_t* cmykRow; // one row of CMYK samples, malloc'ed
};

void InitDecodeState(DecodeState& s, const JpegLimits& limits)
{
    std::memset(&s.cinfo, 0, sizeof s.cinfo);
    std::memset(&s.err, 0, sizeof s.err);
    std::memset(&s.progress, 0, sizeof s.progress);
    s.limits = limits;
    s.cmykRow = nullptr;
    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = OnErrorExit;
    s.err.pub.emit_message = OnMessage;
    s.progress.pub.progress_monitor = OnProgress;
    s.progress.maxScans = limits.maxScans;
}

// Makes the decompressor and reads the header. Called where a setjmp of s is in
// force: libjpeg's errors jump there.
void OpenDecoder(DecodeState& s, const std::uint8_t* data, std::size_t size)
{
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.mem->max_memory_to_use = s.limits.maxWorkingMemory;
    s.cinfo.progress = &s.progress.pub;
    jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&s.cinfo, TRUE);
}

// Starts the decoder: reads the header, refuses what is too large or not RGB or
// CMYK, and makes out. On failure returns false with err.kind and err.text set.
// The caller destroys the decompressor and frees cmykRow in either case.
bool StartDecode(DecodeState& s, const std::uint8_t* data, std::size_t size, QImage& out)
{
    if (setjmp(s.err.jump))
        return false;

    OpenDecoder(s, data, size);

    // Refuse before anything large is allocated: the header alone can ask for
    // 65535 x 65535 pixels.
    const std::size_t width = s.cinfo.image_width;
    const std::size_t height = s.cinfo.image_height;
    const std::size_t rowBytes = (width * 3 + 3) & ~std::size_t{3};
    if (width == 0 || height == 0 || rowBytes * height > s.limits.maxDecodedBytes) {
        s.err.kind = width == 0 || height == 0 ? JpegError::Damaged : JpegError::TooLarge;
        std::snprintf(s.err.text, sizeof s.err.text,
                      "the picture declares %zu x %zu pixels, more than the %zu MiB allowed when decoded", width,
                      height, s.limits.maxDecodedBytes >> 20);
        if (width == 0 || height == 0)
            std::snprintf(s.err.text, sizeof s.err.text, "the picture declares %zu x %zu pixels", width, height);
        return false;
    }

    const bool cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
    s.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (const int d = s.limits.scaleDenominator; d == 2 || d == 4 || d == 8) {
        s.cinfo.scale_num = 1;
        s.cinfo.scale_denom = static_cast<unsigned>(d);
    }
    jpeg_start_decompress(&s.cinfo);

    const int components = cmyk ? 4 : 3;
    if (s.cinfo.output_components != components) {
        s.err.kind = JpegError::Unsupported;
        std::snprintf(s.err.text, sizeof s.err.text, "unsupported colour layout (%d components)",
                      s.cinfo.output_components);
        return false;
    }
    out = NewLargeImage(static_cast<int>(s.cinfo.output_width), static_cast<int>(s.cinfo.output_height),
                        QImage::Format_RGB888);
    if (out.isNull()) {
        s.err.kind = JpegError::TooLarge;
        std::snprintf(s.err.text, sizeof s.err.text, "not enough memory for %u x %u pixels", s.cinfo.output_width,
                      s.cinfo.output_height);
        return false;
    }
    if (cmyk) {
        s.cmykRow = static_cast<std::uint8_t*>(std::malloc(std::size_t{s.cinfo.output_width} * 4));
        if (!s.cmykRow) {
            s.err.kind = JpegError::TooLarge;
            std::snprintf(s.err.text, sizeof s.err.text, "not enough memory");
            return false;
        }
    }
    return true;
}

// Where decoded rows go: the picture's pixels, taken once, so that two threads
// writing rows of their own never go through QImage's (unsynchronised) detaching.
struct Rows {
    std::uint8_t* bits;
    qsizetype stride;
    int width;
    std::uint8_t* Row(JDIMENSION y) const { return bits + qsizetype(y) * stride; }
};

// Decodes the rows up to end into out; with end at the bottom, also the rest of
// the data up to the end marker. On failure returns false with err set.
bool ReadRows(DecodeState& s, const Rows& out, JDIMENSION end)
{
    if (setjmp(s.err.jump))
        return false;
    const bool inverted = s.cinfo.saw_Adobe_marker;
    while (s.cinfo.output_scanline < end) {
        const JDIMENSION y = s.cinfo.output_scanline;
        JSAMPROW row = s.cmykRow ? s.cmykRow : out.Row(y);
        if (jpeg_read_scanlines(&s.cinfo, &row, 1) != 1) {
            s.err.kind = JpegError::Truncated;
            std::snprintf(s.err.text, sizeof s.err.text, "the data ends inside the picture");
            return false;
        }
        if (s.cmykRow)
            CmykToRgb(s.cmykRow, out.Row(y), out.width, inverted);
    }
    if (end == s.cinfo.output_height)
        jpeg_finish_decompress(&s.cinfo);
    return true;
}

// The data of a picture can only be read from its start, but passing over rows
// (jpeg_skip_scanlines, which gives the following rows exactly as a decoding from
// the top does) costs about half of decoding them. A large picture is therefore
// decoded by two decoders at once: this thread's takes the rows above the split,
// a second one passes over them and decodes the rest. The split is where both
// finish together. 0: the picture is decoded in one go (small, progressive, CMYK,
// or a machine of one core).
JDIMENSION SplitRow(const jpeg_decompress_struct& cinfo)
{
    if (std::thread::hardware_concurrency() < 2 || cinfo.progressive_mode || cinfo.out_color_space != JCS_RGB)
        return 0;
    if (std::size_t{cinfo.output_width} * cinfo.output_height < (std::size_t{1} << 20))
        return 0;
    return cinfo.output_height * 2 / 3;
}

// How the first decoder was set up, copied for the second before it starts.
struct DecodeSetup {
    J_COLOR_SPACE colourSpace;
    unsigned scaleNum, scaleDenom;
    JDIMENSION width, height;
};

// The second decoder: the same settings, rows from first to the bottom.
bool DecodeTail(DecodeState& t, const DecodeSetup& head, const std::uint8_t* data, std::size_t size,
                const Rows& out, JDIMENSION first)
{
    if (setjmp(t.err.jump))
        return false;
    OpenDecoder(t, data, size);
    t.cinfo.out_color_space = head.colourSpace;
    t.cinfo.scale_num = head.scaleNum;
    t.cinfo.scale_denom = head.scaleDenom;
    jpeg_start_decompress(&t.cinfo);
    if (t.cinfo.output_width != head.width || t.cinfo.output_height != head.height) {
        t.err.kind = JpegError::Damaged;
        std::snprintf(t.err.text, sizeof t.err.text, "the picture does not decode the same way twice");
        return false;
    }
    while (t.cinfo.output_scanline < first) {
        if (jpeg_skip_scanlines(&t.cinfo, first - t.cinfo.output_scanline) == 0) {
            t.err.kind = JpegError::Truncated;
            std::snprintf(t.err.text, sizeof t.err.text, "the data ends inside the picture");
            return false;
        }
    }
    return ReadRows(t, out, t.cinfo.output_height);
}

// Runs the decoder, in two parts on two threads where that is quicker. On
// failure returns false with s.err set to the first fault in the order of the
// data, as one decoder would have met it.
bool RunDecode(DecodeState& s, const std::uint8_t* data, std::size_t size, QImage& image)
{
    if (!StartDecode(s, data, size, image))
        return false;
    const Rows out{image.bits(), image.bytesPerLine(), image.width()};
    const JDIMENSION split = SplitRow(s.cinfo);
    if (split == 0)
        return ReadRows(s, out, s.cinfo.output_height);
    auto tail = std::make_unique<DecodeState>();
    InitDecodeState(*tail, s.limits);
    bool tailDone = false;
    std::thread helper;
    try {
        const DecodeSetup setup{s.cinfo.out_color_space, s.cinfo.scale_num, s.cinfo.scale_denom, s.cinfo.output_width,
                                s.cinfo.output_height};
        helper = std::thread([&, setup] { tailDone = DecodeTail(*tail, setup, data, size, out, split); });
    } catch (const std::system_error&) {
        jpeg_destroy_decompress(&tail->cinfo);
        return ReadRows(s, out, s.cinfo.output_height); // no thread to be had
    }
    const bool headDone = ReadRows(s, out, split);
    helper.join();
    jpeg_destroy_decompress(&tail->cinfo);
    if (headDone && !tailDone) {
        s.err.kind = tail->err.kind;
        std::memcpy(s.err.text, tail->err.text, sizeof s.err.text);
    }
    return headDone && tailDone;
}

const char* Summary(JpegError e)
{
    switch (e) {
    case JpegError::None:
        return "";
    case JpegError::NotJpeg:
        return "Not a JPEG picture";
    case JpegError::Truncated:
        return "Truncated JPEG picture";
    case JpegError::Damaged:
        return "Damaged JPEG picture";
    case JpegError::TooLarge:
        return "JPEG picture too large";
    case JpegError::Unsupported:
        return "Unsupported JPEG picture";
    }
    return "";
}

JpegImage Failed(JpegError kind, const std::string& detail)
{
    JpegImage r;
    r.error = kind;
    r.message = std::string(Summary(kind)) + (detail.empty() ? "" : ": " + detail);
    return r;
}

// Encoder side: the same jump-back error handling.
struct EncodeState {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    std::unique_ptr<LargeBuffer> initial; // ours, in huge pages where the kernel allows
    unsigned char* buffer;                // the initial one, or one jpeg_mem_dest grew into
    unsigned long size;
};

// Encodes rows [firstRow, firstRow + rows) of rgb as a picture of its own.
bool RunEncode(EncodeState& s, const QImage& rgb, int firstRow, int rows, int quality)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_create_compress(&s.cinfo);
    // Room for the largest likely result from the start: the destination would
    // otherwise grow by doubling, copying (and faulting in) each size on the way.
    // Pages of it never written are never touched.
    const std::size_t room = std::size_t(rgb.width()) * std::size_t(rows) * 3 / 2 + 65536;
    s.initial = std::make_unique<LargeBuffer>(room);
    s.buffer = s.initial->data();
    s.size = s.buffer ? static_cast<unsigned long>(room) : 0;
    jpeg_mem_dest(&s.cinfo, &s.buffer, &s.size);
    s.cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    s.cinfo.image_height = static_cast<JDIMENSION>(rows);
    s.cinfo.input_components = 3;
    s.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    // The standard code tables: the same in every band of a picture.
    s.cinfo.optimize_coding = FALSE;
    jpeg_start_compress(&s.cinfo, TRUE);
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(firstRow + static_cast<int>(s.cinfo.next_scanline)));
        jpeg_write_scanlines(&s.cinfo, &row, 1);
    }
    jpeg_finish_compress(&s.cinfo);
    return true;
}

int EncodeWorkers()
{
    static const int count = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
    return count;
}

} // namespace

int CoverScaleDenominator(int width, int height, int canvasWidth, int canvasHeight)
{
    if (width <= 0 || height <= 0 || canvasWidth <= 0 || canvasHeight <= 0)
        return 1;
    // Covering the canvas scales the picture by the larger of the two ratios; no
    // placement draws it larger than that.
    const double cover = std::max(static_cast<double>(canvasWidth) / width, static_cast<double>(canvasHeight) / height);
    for (int d : {8, 4, 2})
        if (cover * d <= 1.0)
            return d;
    return 1;
}

bool LooksLikeJpeg(std::span<const std::uint8_t> data)
{
    return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

JpegImage DecodeJpeg(std::span<const std::uint8_t> data, const JpegLimits& limits)
{
    if (data.empty())
        return Failed(JpegError::NotJpeg, "the data is empty");
    if (!LooksLikeJpeg(data))
        return Failed(data.size() < 3 && data[0] == 0xFF ? JpegError::Truncated : JpegError::NotJpeg,
                      data.size() < 3 ? "the data is too short" : "the data does not start with a JPEG marker");

    auto state = std::make_unique<DecodeState>();
    DecodeState& s = *state;
    InitDecodeState(s, limits);

    QImage image;
    const bool ok = RunDecode(s, data.data(), data.size(), image);
    jpeg_destroy_decompress(&s.cinfo);
    std::free(s.cmykRow);
    if (!ok)
        return Failed(s.err.kind, s.err.text);
    JpegImage r;
    r.image = std::move(image);
    return r;
}

namespace {

std::vector<std::unique_ptr<EncodeState>> NewEncodeStates(int count)
{
    std::vector<std::unique_ptr<EncodeState>> states;
    for (int i = 0; i < count; ++i) {
        auto state = std::make_unique<EncodeState>();
        EncodeState& s = *state;
        std::memset(&s.cinfo, 0, sizeof s.cinfo);
        std::memset(&s.err, 0, sizeof s.err);
        s.buffer = nullptr;
        s.size = 0;
        s.cinfo.err = jpeg_std_error(&s.err.pub);
        s.err.pub.error_exit = OnErrorExit;
        s.err.pub.emit_message = [](j_common_ptr, int) {};
        states.push_back(std::move(state));
    }
    return states;
}

void FreeEncodeStates(const std::vector<std::unique_ptr<EncodeState>>& states)
{
    for (const auto& s : states) {
        // jpeg_mem_dest frees the buffers it made on the way, never the one it was given.
        if (!s->initial || s->buffer != s->initial->data())
            std::free(s->buffer);
    }
}

// Encodes the bands of plan into states, the cores taking them in turn (this
// thread too). Empty when all went well, else why the first that failed did.
std::string EncodeBands(const std::vector<std::unique_ptr<EncodeState>>& states, const JpegBands& plan,
                        const QImage& rgb, int quality)
{
    std::vector<char> done(states.size(), 0);
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < plan.count; i = next++) {
            EncodeState& s = *states[static_cast<std::size_t>(i)];
            const int first = plan.count == 1 ? 0 : i * plan.rows;
            const int rows = plan.count == 1 ? rgb.height() : std::min(plan.rows, rgb.height() - first);
            done[static_cast<std::size_t>(i)] = RunEncode(s, rgb, first, rows, quality);
            jpeg_destroy_compress(&s.cinfo);
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < std::min(plan.count, EncodeWorkers()); ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no thread to be had: the bands are done here
        }
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    for (std::size_t i = 0; i < states.size(); ++i)
        if (!done[i])
            return std::string("JPEG encoding failed: ") + states[i]->err.text;
    return {};
}

// Encodes image and hands the bytes to use while they are at hand: a result of
// megabytes is written out without a copy. A large picture is encoded in bands
// on every core.
bool Encode(const QImage& image, int quality, const std::function<void(const std::uint8_t*, std::size_t)>& use,
            std::string& error)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        error = "there is no picture to encode";
        return false;
    }
    if (image.width() > JPEG_MAX_DIMENSION || image.height() > JPEG_MAX_DIMENSION) {
        error = "the picture is larger than a JPEG file can hold (" + std::to_string(JPEG_MAX_DIMENSION)
                + " pixels a side)";
        return false;
    }
    const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) {
        error = "not enough memory to convert the picture";
        return false;
    }
    const JpegBands plan = PlanJpegBands(rgb.width(), rgb.height(), EncodeWorkers());
    const std::vector<std::unique_ptr<EncodeState>> states = NewEncodeStates(plan.count);
    error = EncodeBands(states, plan, rgb, std::clamp(quality, 1, 100));
    if (error.empty() && plan.count == 1) {
        use(states[0]->buffer, states[0]->size);
    } else if (error.empty()) {
        std::vector<std::span<const std::uint8_t>> bands;
        for (const auto& s : states)
            bands.emplace_back(s->buffer, s->size);
        const LargeBuffer joined(JoinedJpegRoom(bands));
        const std::size_t size =
            joined.data() ? JoinJpegBands(bands, rgb.height(), plan.interval, {joined.data(), joined.size()}) : 0;
        if (size > 0)
            use(joined.data(), size);
        else
            error = joined.data() ? "JPEG encoding failed: the bands of the picture could not be joined"
                                  : "not enough memory for the encoded picture";
    }
    FreeEncodeStates(states);
    return error.empty();
}

} // namespace

bool EncodeJpeg(const QImage& image, int quality, std::vector<std::uint8_t>& out, std::string& error)
{
    out.clear();
    return Encode(
        image, quality, [&out](const std::uint8_t* bytes, std::size_t size) { out.assign(bytes, bytes + size); },
        error);
}

core::Result<void> SaveJpeg(const QImage& image, const QString& path, int quality)
{
    std::string error;
    core::Result<void> written = core::Ok();
    if (!Encode(
            image, quality,
            [&](const std::uint8_t* bytes, std::size_t size) {
                written = WritePictureFile(path, QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)));
            },
            error))
        return WriteFailure(path, EINVAL, error);
    return written;
}

} // namespace graphics
