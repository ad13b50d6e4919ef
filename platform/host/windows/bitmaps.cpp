// Bitmap objects: decoding device-independent bitmaps, LoadBitmapW,
// DeleteObject and GetObjectW.
#include "platform/host/windows/bitmaps.h"

#include <cstring>
#include <map>
#include <mutex>

#include "platform/host/kernel/counters_and_faults.h"
#include "platform/kernel.h"

namespace vtsim::internal {
namespace {

constexpr int kMaxSide = 16384;
constexpr std::size_t kInfoHeaderSize = 40;

struct BitmapTable {
    std::mutex mutex;
    std::map<HBITMAP, std::shared_ptr<const BitmapPixels>> bitmaps;
    std::uintptr_t next = 0x20000;
};

BitmapTable& Bitmaps()
{
    static BitmapTable* table = new BitmapTable;  // lives until process exit
    return *table;
}

std::uint32_t Opaque(std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    return 0xFF000000u | (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
}

}  // namespace

bool DecodeDib(const std::uint8_t* data, std::size_t size, BitmapPixels* out)
{
    BITMAPINFOHEADER header{};
    if (data == nullptr || size < kInfoHeaderSize) {
        return false;
    }
    std::memcpy(&header, data, sizeof header);
    if (header.biSize < kInfoHeaderSize || header.biSize > size || header.biPlanes != 1 ||
        header.biCompression != BI_RGB || header.biWidth <= 0 || header.biWidth > kMaxSide ||
        header.biHeight == 0 || header.biHeight < -kMaxSide || header.biHeight > kMaxSide) {
        return false;
    }
    const int bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        return false;
    }
    const int width = header.biWidth;
    const bool topDown = header.biHeight < 0;
    const int height = topDown ? -header.biHeight : header.biHeight;

    std::size_t colours = 0;
    if (bits <= 8) {
        colours = header.biClrUsed != 0 ? header.biClrUsed : (std::size_t{1} << bits);
        if (colours > (std::size_t{1} << bits)) {
            return false;
        }
    }
    const std::uint8_t* palette = data + header.biSize;
    const std::size_t paletteBytes = colours * 4;
    if (paletteBytes > size - header.biSize) {
        return false;
    }
    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    const std::uint8_t* rows = palette + paletteBytes;
    if (rowBytes * static_cast<std::size_t>(height) > size - header.biSize - paletteBytes) {
        return false;
    }

    BitmapPixels decoded;
    decoded.width = width;
    decoded.height = height;
    decoded.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row =
            rows + rowBytes * static_cast<std::size_t>(topDown ? y : height - 1 - y);
        std::uint32_t* target = &decoded.pixels[static_cast<std::size_t>(y) * width];
        for (int x = 0; x < width; ++x) {
            if (bits == 24 || bits == 32) {
                const std::uint8_t* pixel = row + static_cast<std::size_t>(x) * (bits / 8);
                target[x] = Opaque(pixel[0], pixel[1], pixel[2]);
                continue;
            }
            const std::size_t bitOffset = static_cast<std::size_t>(x) * bits;
            const unsigned shift = 8 - bits - (bitOffset % 8);
            const std::size_t index = (row[bitOffset / 8] >> shift) & ((1u << bits) - 1);
            if (index >= colours) {
                target[x] = Opaque(0, 0, 0);
                continue;
            }
            const std::uint8_t* entry = palette + index * 4;
            target[x] = Opaque(entry[0], entry[1], entry[2]);
        }
    }
    *out = std::move(decoded);
    return true;
}

HBITMAP CreateBitmapObject(BitmapPixels pixels)
{
    BitmapTable& table = Bitmaps();
    std::lock_guard lock(table.mutex);
    table.next += 4;
    auto handle = reinterpret_cast<HBITMAP>(table.next);
    table.bitmaps.emplace(handle, std::make_shared<const BitmapPixels>(std::move(pixels)));
    Adjust(Counter::Bitmaps, +1);
    return handle;
}

std::shared_ptr<const BitmapPixels> BitmapOf(HBITMAP bitmap)
{
    BitmapTable& table = Bitmaps();
    std::lock_guard lock(table.mutex);
    auto found = table.bitmaps.find(bitmap);
    return found == table.bitmaps.end() ? nullptr : found->second;
}

}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" HBITMAP LoadBitmapW(HINSTANCE module, LPCWSTR name)
{
    HRSRC resource = FindResourceW(module, name, RT_BITMAP);
    if (resource == nullptr) {
        return nullptr;
    }
    const auto* data =
        static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
    BitmapPixels pixels;
    if (!DecodeDib(data, SizeofResource(module, resource), &pixels)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return CreateBitmapObject(std::move(pixels));
}

extern "C" BOOL DeleteObject(HGDIOBJ object)
{
    BitmapTable& table = Bitmaps();
    std::lock_guard lock(table.mutex);
    if (table.bitmaps.erase(static_cast<HBITMAP>(object)) == 0) {
        return FALSE;
    }
    Adjust(Counter::Bitmaps, -1);
    return TRUE;
}

extern "C" int GetObjectW(HGDIOBJ object, int bufferSize, LPVOID buffer)
{
    std::shared_ptr<const BitmapPixels> bitmap = BitmapOf(static_cast<HBITMAP>(object));
    if (!bitmap) {
        return 0;
    }
    if (buffer == nullptr) {
        return static_cast<int>(sizeof(BITMAP));
    }
    if (bufferSize < static_cast<int>(sizeof(BITMAP))) {
        return 0;
    }
    BITMAP description{};
    description.bmWidth = bitmap->width;
    description.bmHeight = bitmap->height;
    description.bmWidthBytes = bitmap->width * 4;
    description.bmPlanes = 1;
    description.bmBitsPixel = 32;
    std::memcpy(buffer, &description, sizeof description);
    return static_cast<int>(sizeof description);
}
