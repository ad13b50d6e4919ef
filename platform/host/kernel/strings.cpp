// Wide strings: formatting (the printf subset the package uses), copying,
// length and case-insensitive comparison.
#include "platform/host/kernel/strings.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/kernel.h"

namespace vtsim::internal {
namespace {

constexpr SIZE_T kMaxChars = 2147483647;  // largest capacity the string helpers accept

struct Spec {
    bool leftAlign = false;
    bool zeroPad = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;  // -1: none
    char size = 0;       // 'h', 'l' or 0
};

void Pad(std::u16string& out, std::size_t count, char16_t fill)
{
    out.append(count, fill);
}

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
        Pad(out, padding, u' ');
    } else if (spec.zeroPad && numeric && spec.precision < 0) {
        out += prefix;
        Pad(out, padding, u'0');
        out += body;
    } else {
        Pad(out, padding, u' ');
        out += prefix;
        out += body;
    }
}

// Digits of value in base, at least precision of them (precision 0 with
// value 0 prints nothing). Integer formatting runs on drivers' request paths
// (their debug lines), so the digits go to a caller's buffer, not the heap.
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

// Integer arguments: 'h' is 16 bits, none and 'l' are 32 bits (a long is 32
// bits on the target, so "%ld" takes a LONG/DWORD).
void FormatInteger(std::u16string& out, const Spec& spec, char conversion, va_list& args)
{
    std::u16string_view prefix;
    DigitText body;
    if (conversion == 'd' || conversion == 'i') {
        std::int32_t value = va_arg(args, int);
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
        std::uint32_t value = va_arg(args, unsigned int);
        if (spec.size == 'h') {
            value = static_cast<std::uint16_t>(value);
        }
        unsigned base = conversion == 'u' ? 10 : 16;
        if (spec.alternate && base == 16 && value != 0) {
            prefix = conversion == 'X' ? u"0X" : u"0x";
        }
        Digits(body, value, base, conversion == 'X', spec.precision);
    }
    EmitField(out, spec, prefix, body.view(), true);
}

void FormatString(std::u16string& out, const Spec& spec, va_list& args)
{
    std::u16string body;
    if (spec.size == 'h') {
        const char* text = va_arg(args, const char*);
        if (text == nullptr) {
            text = "(null)";
        }
        for (; *text != '\0'; ++text) {
            body.push_back(static_cast<unsigned char>(*text));
        }
    } else {
        const char16_t* text = va_arg(args, const char16_t*);
        body = text != nullptr ? std::u16string(text) : std::u16string(u"(null)");
    }
    if (spec.precision >= 0 && body.size() > static_cast<std::size_t>(spec.precision)) {
        body.resize(static_cast<std::size_t>(spec.precision));
    }
    EmitField(out, spec, u"", body, false);
}

}  // namespace

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
    va_list cursor;
    va_copy(cursor, args);
    for (const char16_t* p = format; *p != u'\0'; ++p) {
        if (*p != u'%') {
            // Copy the literal run up to the next directive in one step.
            const char16_t* run = p;
            while (p[1] != u'\0' && p[1] != u'%') {
                ++p;
            }
            out.append(run, static_cast<std::size_t>(p - run + 1));
            continue;
        }
        const char16_t* start = p++;
        Spec spec;
        for (;; ++p) {
            if (*p == u'-') {
                spec.leftAlign = true;
            } else if (*p == u'0') {
                spec.zeroPad = true;
            } else if (*p == u'+') {
                spec.plus = true;
            } else if (*p == u' ') {
                spec.space = true;
            } else if (*p == u'#') {
                spec.alternate = true;
            } else {
                break;
            }
        }
        if (*p == u'*') {
            spec.width = va_arg(cursor, int);
            if (spec.width < 0) {
                spec.leftAlign = true;
                spec.width = -spec.width;
            }
            ++p;
        } else {
            for (; *p >= u'0' && *p <= u'9'; ++p) {
                spec.width = std::min(spec.width * 10 + (*p - u'0'), 1 << 20);
            }
        }
        if (*p == u'.') {
            ++p;
            spec.precision = 0;
            if (*p == u'*') {
                spec.precision = va_arg(cursor, int);
                if (spec.precision < 0) {
                    spec.precision = -1;
                }
                ++p;
            } else {
                for (; *p >= u'0' && *p <= u'9'; ++p) {
                    spec.precision = std::min(spec.precision * 10 + (*p - u'0'), 1 << 20);
                }
            }
        }
        if (*p == u'h' || *p == u'l') {
            spec.size = static_cast<char>(*p++);
        }
        switch (*p) {
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X':
            FormatInteger(out, spec, static_cast<char>(*p), cursor);
            break;
        case u's':
            FormatString(out, spec, cursor);
            break;
        case u'c':
            EmitField(out, spec, u"", std::u16string(1, static_cast<char16_t>(va_arg(cursor, int))),
                      false);
            break;
        case u'%':
            out.push_back(u'%');
            break;
        case u'\0':
            // A lone '%' (or an unfinished directive) at the end is kept as text.
            out.append(start, p);
            --p;
            break;
        default:
            // Unknown directive: copied as text, no argument consumed.
            out.append(start, p + 1);
            break;
        }
    }
    va_end(cursor);
}

char16_t FoldCase(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 0x20);
    }
    return c;
}

bool NamesEqual(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

namespace {

// Copies text into dst, cutting it to cch - 1 characters; always terminated.
HRESULT CopyLimited(LPWSTR dst, SIZE_T cch, const char16_t* text, std::size_t length)
{
    std::size_t fits = std::min<std::size_t>(length, cch - 1);
    std::copy(text, text + fits, dst);
    dst[fits] = u'\0';
    return fits == length ? S_OK : STRSAFE_E_INSUFFICIENT_BUFFER;
}

}  // namespace
}  // namespace vtsim::internal

extern "C" HRESULT StringCchVPrintfW(LPWSTR dst, SIZE_T cch, LPCWSTR format, va_list args)
{
    if (dst == nullptr || cch == 0 || cch > vtsim::internal::kMaxChars) {
        return STRSAFE_E_INVALID_PARAMETER;
    }
    if (format == nullptr) {
        dst[0] = u'\0';
        return STRSAFE_E_INVALID_PARAMETER;
    }
    std::u16string text = vtsim::internal::FormatWide(format, args);
    return vtsim::internal::CopyLimited(dst, cch, text.data(), text.size());
}

extern "C" HRESULT StringCchPrintfW(LPWSTR dst, SIZE_T cch, LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    HRESULT result = StringCchVPrintfW(dst, cch, format, args);
    va_end(args);
    return result;
}

extern "C" HRESULT StringCchCopyW(LPWSTR dst, SIZE_T cch, LPCWSTR src)
{
    if (dst == nullptr || cch == 0 || cch > vtsim::internal::kMaxChars) {
        return STRSAFE_E_INVALID_PARAMETER;
    }
    if (src == nullptr) {
        dst[0] = u'\0';
        return STRSAFE_E_INVALID_PARAMETER;
    }
    // Reads at most cch characters of src, so an unterminated source that is
    // longer than the destination is never overrun.
    std::size_t length = 0;
    while (length < cch && src[length] != u'\0') {
        ++length;
    }
    return vtsim::internal::CopyLimited(dst, cch, src, length);
}

extern "C" int lstrlenW(LPCWSTR text)
{
    if (text == nullptr) {
        return 0;
    }
    std::size_t length = 0;
    while (text[length] != u'\0') {
        ++length;
    }
    return static_cast<int>(length);
}

extern "C" int lstrcmpiW(LPCWSTR a, LPCWSTR b)
{
    if (a == nullptr) {
        a = u"";
    }
    if (b == nullptr) {
        b = u"";
    }
    for (;; ++a, ++b) {
        int difference = vtsim::internal::FoldCase(*a) - vtsim::internal::FoldCase(*b);
        if (difference != 0) {
            return difference;
        }
        if (*a == u'\0') {
            return 0;
        }
    }
}
