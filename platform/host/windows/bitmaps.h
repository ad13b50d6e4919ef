// Internal: bitmap objects (HBITMAP), made from device-independent bitmaps.
#pragma once

#include "platform/host/internal_header.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/resources.h"

namespace vtsim::internal {

struct BitmapPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, opaque, rows from the top
};

// Decodes a device-independent bitmap (BITMAPINFOHEADER, its colour table,
// the pixel rows): uncompressed 1, 4, 8, 24 or 32 bits per pixel, rows
// bottom-up or (negative height) top-down, at most 16384 pixels a side.
// False when the data is not such a bitmap or is cut short.
bool DecodeDib(const std::uint8_t* data, std::size_t size, BitmapPixels* out);

// A new bitmap object holding the pixels (counted as a live bitmap until
// DeleteObject).
HBITMAP CreateBitmapObject(BitmapPixels pixels);

// The pixels of a live bitmap object; null for a handle of no bitmap.
std::shared_ptr<const BitmapPixels> BitmapOf(HBITMAP bitmap);

}  // namespace vtsim::internal
