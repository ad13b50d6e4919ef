// Internal: dialog templates in their binary form, read by the dialog
// manager and written by the resource compiler (vtrc), so that both hold
// the one layout.
//
// The extended form (DLGTEMPLATEEX, what DIALOGEX compiles to), all fields
// little-endian, WORD-aligned strings:
//   WORD dlgVer (1), WORD signature (0xFFFF), DWORD helpID, DWORD exStyle,
//   DWORD style, WORD cDlgItems, short x, y, cx, cy,
//   menu, windowClass (each: 0x0000 none | 0xFFFF ordinal | string),
//   WCHAR title[] (terminated),
//   with DS_SETFONT or DS_SHELLFONT: WORD pointsize, WORD weight,
//   BYTE italic, BYTE charset, WCHAR typeface[];
// then each item, DWORD-aligned from the template's start:
//   DWORD helpID, DWORD exStyle, DWORD style, short x, y, cx, cy, DWORD id,
//   windowClass (0xFFFF ordinal | string), title (0xFFFF ordinal | string),
//   WORD extraCount, extraCount bytes of creation data.
// The classic form (DLGTEMPLATE and DLGITEMTEMPLATE) has no version,
// signature or help ids, WORD item ids, and font fields pointsize and
// typeface only; it is read, never written.
#pragma once

#include "platform/host/internal_header.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vtsim::internal {

// A string or a 16-bit ordinal (a class atom, a resource id); none when
// both are empty.
struct NameOrOrdinal {
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    std::u16string text;
    bool empty() const
    {
        return !isOrdinal && text.empty();
    }
};

struct DialogItemTemplate {
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t cx = 0;
    std::int16_t cy = 0;
    std::uint32_t id = 0;
    NameOrOrdinal windowClass;  // ordinal: 0x80 Button, 0x81 Edit, 0x82 Static, 0x85 ComboBox
    NameOrOrdinal title;
    std::vector<std::uint8_t> creationData;
};

struct DialogTemplateData {
    bool extended = true;
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t cx = 0;
    std::int16_t cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string title;
    // Present when style has DS_SETFONT (0x40) or DS_SHELLFONT.
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t charset = 0;
    std::u16string typeface;
    std::vector<DialogItemTemplate> items;

    bool HasFont() const
    {
        return (style & 0x40) != 0;
    }
};

// Reads a template (either form) of at most size bytes at data. False when
// it is cut short or its strings are unterminated within size.
bool ReadDialogTemplate(const void* data, std::size_t size, DialogTemplateData* out);

// Writes the extended form of a template, as a resource compiler does.
std::vector<std::uint8_t> WriteDialogTemplate(const DialogTemplateData& dialog);

}  // namespace vtsim::internal
