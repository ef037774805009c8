#pragma once
// The program's one view of 24-bit pixels (R, G, B bytes, rows stride bytes
// apart) that pixel kernels work on. The view does not own the pixels.
#include <cstddef>
#include <cstdint>

namespace core {

template <typename Byte>
struct BasicPixelView {
    Byte* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;

    Byte* Row(int y) const { return pixels + y * stride; }
};

using PixelView = BasicPixelView<std::uint8_t>;
using ConstPixelView = BasicPixelView<const std::uint8_t>;

} // namespace core
