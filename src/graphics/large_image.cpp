#include "graphics/large_image.h"

#include <cstdlib>
#include <limits>

#include <sys/mman.h>

namespace graphics {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

} // namespace

LargeBuffer::LargeBuffer(std::size_t size)
{
    if (size == 0 || size > std::numeric_limits<std::size_t>::max() / 2)
        return;
    if (size < kHugePage) {
        // Too small to gain: a mapping of its own would only cost two calls.
        data_ = static_cast<std::uint8_t*>(std::calloc(size, 1));
        size_ = data_ ? size : 0;
        return;
    }
    // Whole huge pages, the last one perhaps partly used (a part left to ordinary
    // pages would cost a fault every 4 KiB again), and one more, so that the data
    // can start on a huge-page boundary.
    const std::size_t whole = (size + kHugePage - 1) & ~(kHugePage - 1);
    const std::size_t length = whole + kHugePage;
    void* mapping = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return;
    const auto address = reinterpret_cast<std::uintptr_t>(mapping);
    data_ = reinterpret_cast<std::uint8_t*>((address + kHugePage - 1) & ~(std::uintptr_t(kHugePage) - 1));
    ::madvise(data_, whole, MADV_HUGEPAGE); // only advice: without it, ordinary pages
    mapping_ = mapping;
    length_ = length;
    size_ = size;
}

LargeBuffer::~LargeBuffer()
{
    if (mapping_)
        ::munmap(mapping_, length_);
    else
        std::free(data_);
}

QImage NewLargeImage(int width, int height, QImage::Format format)
{
    if (width <= 0 || height <= 0 || format == QImage::Format_Invalid)
        return {};
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const std::uint64_t rowBytes = ((std::uint64_t(width) * std::uint64_t(depth) + 31) / 32) * 4;
    const std::uint64_t bytes = rowBytes * std::uint64_t(height);
    // Below one huge page there is nothing to gain; past what QImage can address
    // it refuses as it would itself.
    if (bytes < kHugePage || rowBytes > std::uint64_t(std::numeric_limits<int>::max()))
        return QImage(width, height, format);
    auto* buffer = new LargeBuffer(std::size_t(bytes));
    const auto release = [](void* info) { delete static_cast<LargeBuffer*>(info); };
    if (!buffer->data()) {
        release(buffer);
        return {};
    }
    QImage image(buffer->data(), width, height, qsizetype(rowBytes), format, release, buffer);
    if (image.isNull())
        release(buffer);
    return image;
}

} // namespace graphics
