// Wide strings: formatted copies, copying, length and case-insensitive
// comparison.
#include "platform/host/kernel/strings.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/host/kernel/wide_format.h"
#include "platform/kernel.h"

namespace vtsim::internal {
namespace {

constexpr SIZE_T kMaxChars = 2147483647;  // largest capacity the string helpers accept

}  // namespace

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
