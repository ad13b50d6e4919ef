// Dialog templates in binary form: reading both forms, writing the extended
// one.
#include "platform/host/windows/dialog_template.h"

#include <cstring>

namespace vtsim::internal {
namespace {

constexpr std::uint16_t kOrdinalMark = 0xFFFF;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;

class Reader {
public:
    Reader(const std::uint8_t* start, std::size_t size) : start_(start), size_(size) {}

    bool Word(std::uint16_t* value)
    {
        return Bytes(value, sizeof *value);
    }
    bool Dword(std::uint32_t* value)
    {
        return Bytes(value, sizeof *value);
    }
    bool Short(std::int16_t* value)
    {
        return Bytes(value, sizeof *value);
    }
    bool Byte(std::uint8_t* value)
    {
        return Bytes(value, sizeof *value);
    }
    bool String(std::u16string* text)
    {
        text->clear();
        for (;;) {
            std::uint16_t c = 0;
            if (!Word(&c)) {
                return false;
            }
            if (c == 0) {
                return true;
            }
            text->push_back(static_cast<char16_t>(c));
        }
    }
    bool NameOrId(NameOrOrdinal* name)
    {
        std::uint16_t first = 0;
        if (!Word(&first)) {
            return false;
        }
        *name = {};
        if (first == 0) {
            return true;
        }
        if (first == kOrdinalMark) {
            name->isOrdinal = true;
            return Word(&name->ordinal);
        }
        name->text.push_back(static_cast<char16_t>(first));
        std::u16string rest;
        if (!String(&rest)) {
            return false;
        }
        name->text += rest;
        return true;
    }
    bool Skip(std::size_t count)
    {
        if (count > size_ - offset_) {
            return false;
        }
        offset_ += count;
        return true;
    }
    bool AlignTo(std::size_t unit)
    {
        std::size_t misaligned = offset_ % unit;
        return misaligned == 0 || Skip(unit - misaligned);
    }
    bool Copy(std::vector<std::uint8_t>* out, std::size_t count)
    {
        if (count > size_ - offset_) {
            return false;
        }
        out->assign(start_ + offset_, start_ + offset_ + count);
        offset_ += count;
        return true;
    }

private:
    bool Bytes(void* value, std::size_t count)
    {
        if (count > size_ - offset_) {
            return false;
        }
        std::memcpy(value, start_ + offset_, count);
        offset_ += count;
        return true;
    }

    const std::uint8_t* start_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

bool ReadItem(Reader& reader, bool extended, DialogItemTemplate* item)
{
    if (!reader.AlignTo(4)) {
        return false;
    }
    if (extended) {
        if (!reader.Dword(&item->helpId) || !reader.Dword(&item->exStyle) ||
            !reader.Dword(&item->style)) {
            return false;
        }
    } else if (!reader.Dword(&item->style) || !reader.Dword(&item->exStyle)) {
        return false;
    }
    if (!reader.Short(&item->x) || !reader.Short(&item->y) || !reader.Short(&item->cx) ||
        !reader.Short(&item->cy)) {
        return false;
    }
    if (extended) {
        if (!reader.Dword(&item->id)) {
            return false;
        }
    } else {
        std::uint16_t id = 0;
        if (!reader.Word(&id)) {
            return false;
        }
        item->id = id;
    }
    std::uint16_t extra = 0;
    if (!reader.NameOrId(&item->windowClass) || !reader.NameOrId(&item->title) ||
        !reader.Word(&extra)) {
        return false;
    }
    // The classic form counts the size word itself in a non-zero count.
    std::size_t dataBytes = extended || extra == 0 ? extra : extra - sizeof(std::uint16_t);
    if (!extended && extra != 0 && extra < sizeof(std::uint16_t)) {
        return false;
    }
    return reader.Copy(&item->creationData, dataBytes);
}

class Writer {
public:
    void Word(std::uint16_t value)
    {
        Append(&value, sizeof value);
    }
    void Dword(std::uint32_t value)
    {
        Append(&value, sizeof value);
    }
    void Short(std::int16_t value)
    {
        Append(&value, sizeof value);
    }
    void Byte(std::uint8_t value)
    {
        bytes.push_back(value);
    }
    void String(const std::u16string& text)
    {
        for (char16_t c : text) {
            Word(static_cast<std::uint16_t>(c));
        }
        Word(0);
    }
    void NameOrId(const NameOrOrdinal& name)
    {
        if (name.isOrdinal) {
            Word(kOrdinalMark);
            Word(name.ordinal);
        } else if (name.text.empty()) {
            Word(0);
        } else {
            String(name.text);
        }
    }
    void AlignTo(std::size_t unit)
    {
        while (bytes.size() % unit != 0) {
            bytes.push_back(0);
        }
    }

    std::vector<std::uint8_t> bytes;

private:
    void Append(const void* value, std::size_t count)
    {
        const auto* first = static_cast<const std::uint8_t*>(value);
        bytes.insert(bytes.end(), first, first + count);
    }
};

}  // namespace

bool ReadDialogTemplate(const void* data, std::size_t size, DialogTemplateData* out)
{
    if (data == nullptr || out == nullptr) {
        return false;
    }
    Reader reader(static_cast<const std::uint8_t*>(data), size);
    DialogTemplateData dialog;
    std::uint16_t version = 0;
    std::uint16_t signature = 0;
    if (!reader.Word(&version) || !reader.Word(&signature)) {
        return false;
    }
    std::uint16_t count = 0;
    dialog.extended = version == 1 && signature == kExtendedSignature;
    if (dialog.extended) {
        if (!reader.Dword(&dialog.helpId) || !reader.Dword(&dialog.exStyle) ||
            !reader.Dword(&dialog.style)) {
            return false;
        }
    } else {
        // The classic form starts with the style, whose two words were read.
        dialog.style = static_cast<std::uint32_t>(version) | (std::uint32_t{signature} << 16);
        if (!reader.Dword(&dialog.exStyle)) {
            return false;
        }
    }
    if (!reader.Word(&count) || !reader.Short(&dialog.x) || !reader.Short(&dialog.y) ||
        !reader.Short(&dialog.cx) || !reader.Short(&dialog.cy) || !reader.NameOrId(&dialog.menu) ||
        !reader.NameOrId(&dialog.windowClass) || !reader.String(&dialog.title)) {
        return false;
    }
    if (dialog.HasFont()) {
        if (!reader.Word(&dialog.pointSize)) {
            return false;
        }
        if (dialog.extended && (!reader.Word(&dialog.weight) || !reader.Byte(&dialog.italic) ||
                                !reader.Byte(&dialog.charset))) {
            return false;
        }
        if (!reader.String(&dialog.typeface)) {
            return false;
        }
    }
    dialog.items.resize(count);
    for (DialogItemTemplate& item : dialog.items) {
        if (!ReadItem(reader, dialog.extended, &item)) {
            return false;
        }
    }
    *out = std::move(dialog);
    return true;
}

std::vector<std::uint8_t> WriteDialogTemplate(const DialogTemplateData& dialog)
{
    Writer writer;
    writer.Word(1);
    writer.Word(kExtendedSignature);
    writer.Dword(dialog.helpId);
    writer.Dword(dialog.exStyle);
    writer.Dword(dialog.style);
    writer.Word(static_cast<std::uint16_t>(dialog.items.size()));
    writer.Short(dialog.x);
    writer.Short(dialog.y);
    writer.Short(dialog.cx);
    writer.Short(dialog.cy);
    writer.NameOrId(dialog.menu);
    writer.NameOrId(dialog.windowClass);
    writer.String(dialog.title);
    if (dialog.HasFont()) {
        writer.Word(dialog.pointSize);
        writer.Word(dialog.weight);
        writer.Byte(dialog.italic);
        writer.Byte(dialog.charset);
        writer.String(dialog.typeface);
    }
    for (const DialogItemTemplate& item : dialog.items) {
        writer.AlignTo(4);
        writer.Dword(item.helpId);
        writer.Dword(item.exStyle);
        writer.Dword(item.style);
        writer.Short(item.x);
        writer.Short(item.y);
        writer.Short(item.cx);
        writer.Short(item.cy);
        writer.Dword(item.id);
        writer.NameOrId(item.windowClass);
        writer.NameOrId(item.title);
        writer.Word(static_cast<std::uint16_t>(item.creationData.size()));
        writer.bytes.insert(writer.bytes.end(), item.creationData.begin(), item.creationData.end());
    }
    return writer.bytes;
}

}  // namespace vtsim::internal
