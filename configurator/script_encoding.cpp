// UTF-16 registry scripts: to UTF-8 for editing and back.
#include "configurator/script_encoding.h"

#include <cstdint>

namespace {

void PutUtf8(std::string* out, std::uint32_t c)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | c >> 6));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | c >> 12));
        out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | c >> 18));
        out->push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void PutUnit(std::string* out, std::uint32_t unit)
{
    out->push_back(static_cast<char>(unit & 0xFF));
    out->push_back(static_cast<char>(unit >> 8));
}

}  // namespace

bool IsUtf16Script(std::string_view bytes)
{
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

bool IsUtf16BigEndianScript(std::string_view bytes)
{
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
           static_cast<unsigned char>(bytes[1]) == 0xFF;
}

bool DecodeUtf16Script(std::string_view bytes, std::string* text, std::size_t* badOffset)
{
    text->clear();
    if (bytes.size() % 2 != 0) {
        *badOffset = bytes.size() - 1;
        return false;
    }
    auto unitAt = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]) |
                                          static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    for (std::size_t at = 2; at < bytes.size(); at += 2) {
        const std::uint32_t unit = unitAt(at);
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 2 < bytes.size()) {
            const std::uint32_t low = unitAt(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                PutUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                at += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            *badOffset = at;
            return false;
        }
        PutUtf8(text, unit);
    }
    return true;
}

bool EncodeUtf16Script(std::string_view text, std::string* bytes)
{
    bytes->clear();
    bytes->reserve(2 + text.size() * 2);
    PutUnit(bytes, 0xFEFF);
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || at + length > text.size()) {
            return false;
        }
        std::uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            c = c << 6 | (next & 0x3F);
        }
        if (c >= 0x10000) {
            PutUnit(bytes, 0xD800 + ((c - 0x10000) >> 10));
            PutUnit(bytes, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            PutUnit(bytes, c);
        }
        at += length;
    }
    return true;
}
