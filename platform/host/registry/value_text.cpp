// Text forms of registry values and names (see value_text.h).
#include "platform/host/registry/value_text.h"

#include <cstring>

namespace vtsim::internal {

std::u16string ValueCharacters(const std::vector<BYTE>& data)
{
    std::u16string s(data.size() / 2, u'\0');
    if (!s.empty()) {
        std::memcpy(s.data(), data.data(), s.size() * 2);
    }
    return s.substr(0, s.find(u'\0'));
}

bool ParseHexDword(std::u16string_view text, DWORD* out)
{
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 8) {
        return false;
    }
    DWORD v = 0;
    for (char16_t c : text) {
        const int d = c >= u'0' && c <= u'9'   ? c - u'0'
                      : c >= u'a' && c <= u'f' ? c - u'a' + 10
                      : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                               : -1;
        if (d < 0) {
            return false;
        }
        v = (v << 4) | static_cast<DWORD>(d);
    }
    *out = v;
    return true;
}

bool ParseHexList(const std::vector<BYTE>& data, std::vector<DWORD>* out)
{
    std::u16string all(data.size() / 2, u'\0');
    if (!all.empty()) {
        std::memcpy(all.data(), data.data(), all.size() * 2);
    }
    std::size_t start = 0;
    while (start < all.size() && all[start] != u'\0') {
        std::size_t end = all.find(u'\0', start);
        if (end == std::u16string::npos) {
            end = all.size();
        }
        DWORD v;
        if (!ParseHexDword(std::u16string_view(all).substr(start, end - start), &v)) {
            return false;
        }
        out->push_back(v);
        start = end + 1;
    }
    return true;
}

std::string NarrowAscii(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

std::u16string WidenAscii(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

}  // namespace vtsim::internal
