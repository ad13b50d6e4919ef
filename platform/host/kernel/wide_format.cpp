// Wide-string formatting (the printf subset the package uses) at once: the
// directives' fields and digits. The walker that reads the directives is
// shared with the records of format_records.cpp, so that a record takes
// exactly the arguments that the formatting consumes.
#include "platform/host/kernel/wide_format.h"

#include "platform/host/kernel/format_walk.h"

namespace vtsim::internal {
namespace formatting {
namespace {

// Places body (with its prefix such as "-" or "0x") in the field.
void EmitField(std::u16string& out, const Spec& spec, std::u16string_view prefix,
               std::u16string_view body, bool numeric)
{
    std::size_t length = prefix.size() + body.size();
    std::size_t padding = spec.width > 0 && static_cast<std::size_t>(spec.width) > length
                              ? static_cast<std::size_t>(spec.width) - length
                              : 0;
    if (spec.leftAlign) {
        out += prefix;
        out += body;
        out.append(padding, u' ');
    } else if (spec.zeroPad && numeric && spec.precision < 0) {
        out += prefix;
        out.append(padding, u'0');
        out += body;
    } else {
        out.append(padding, u' ');
        out += prefix;
        out += body;
    }
}

// Digits of value in base, at least precision of them (precision 0 with
// value 0 prints nothing), in a caller's buffer rather than on the heap.
struct DigitText {
    std::u16string padded;  // used only for precisions beyond the buffer
    char16_t buffer[40];
    std::size_t length = 0;
    std::u16string_view view() const
    {
        return padded.empty() ? std::u16string_view(
                                    buffer + sizeof(buffer) / sizeof(buffer[0]) - length, length)
                              : std::u16string_view(padded);
    }
};

void Digits(DigitText& text, std::uint64_t value, unsigned base, bool upper, int precision)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    constexpr std::size_t capacity = sizeof(text.buffer) / sizeof(text.buffer[0]);
    char16_t* end = text.buffer + capacity;
    char16_t* p = end;
    while (value != 0) {
        *--p = static_cast<char16_t>(digits[value % base]);
        value /= base;
    }
    std::size_t count = static_cast<std::size_t>(end - p);
    std::size_t minimum = precision < 0 ? 1 : static_cast<std::size_t>(precision);
    if (minimum <= capacity) {
        while (count < minimum) {
            *--p = u'0';
            ++count;
        }
        text.length = count;
    } else {
        text.padded.assign(minimum - count, u'0');
        text.padded.append(p, count);
    }
}

}  // namespace

void TextSink::Integer(const Spec& spec, char conversion, int argument)
{
    std::u16string_view prefix;
    DigitText body;
    if (conversion == 'd' || conversion == 'i') {
        std::int32_t value = argument;
        if (spec.size == 'h') {
            value = static_cast<std::int16_t>(value);
        }
        std::int64_t wide = value;
        if (wide < 0) {
            prefix = u"-";
        } else if (spec.plus) {
            prefix = u"+";
        } else if (spec.space) {
            prefix = u" ";
        }
        Digits(body, static_cast<std::uint64_t>(wide < 0 ? -wide : wide), 10, false,
               spec.precision);
    } else {
        std::uint32_t value = static_cast<std::uint32_t>(argument);
        if (spec.size == 'h') {
            value = static_cast<std::uint16_t>(value);
        }
        unsigned base = conversion == 'u' ? 10 : 16;
        if (spec.alternate && base == 16 && value != 0) {
            prefix = conversion == 'X' ? u"0X" : u"0x";
        }
        Digits(body, value, base, conversion == 'X', spec.precision);
    }
    EmitField(out_, spec, prefix, body.view(), true);
}

void TextSink::Char(const Spec& spec, char16_t value)
{
    EmitField(out_, spec, u"", std::u16string_view(&value, 1), false);
}

void TextSink::String(const Spec& spec, std::u16string_view text)
{
    if (spec.precision >= 0 && text.size() > static_cast<std::size_t>(spec.precision)) {
        text = text.substr(0, static_cast<std::size_t>(spec.precision));
    }
    EmitField(out_, spec, u"", text, false);
}

}  // namespace formatting

using formatting::CallArgs;
using formatting::TextSink;
using formatting::WalkFormat;

std::u16string FormatWide(LPCWSTR format, va_list args)
{
    std::u16string out;
    AppendFormatted(out, format, args);
    return out;
}

void AppendFormatted(std::u16string& out, LPCWSTR format, va_list args)
{
    if (format == nullptr) {
        return;
    }
    CallArgs call(args);
    TextSink sink(out);
    WalkFormat(format, call, sink);
}

}  // namespace vtsim::internal
