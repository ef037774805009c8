#pragma once
// Pictures of many megabytes (a decoded photograph, a screen-sized canvas, a
// wallpaper file being written) are written once, top to bottom, right after they
// are made. Each 4 KiB page the kernel hands out on first touch costs a fault, and
// on a virtual machine a fault costs tens of microseconds: thousands of them came
// to half the time of an export. Such memory is asked for in huge pages where the
// kernel allows it.
#include <QImage>

#include <cstddef>
#include <cstdint>

namespace graphics {

// At least size bytes, zeroed, released when the buffer goes; in huge pages from
// one huge page on. data() is null when the memory cannot be had.
class LargeBuffer {
public:
    explicit LargeBuffer(std::size_t size);
    ~LargeBuffer();
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    void* mapping_ = nullptr;
    std::size_t length_ = 0;
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// An image of width x height pixels of format, or a null image when the memory
// cannot be had (as QImage does). Its pixels are undefined, as with QImage.
QImage NewLargeImage(int width, int height, QImage::Format format);

} // namespace graphics
