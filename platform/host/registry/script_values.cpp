// Value data of registry script lines: quoted strings, dword, hex lists,
// hex(type) lists and multi_sz lists (the forms are listed in script_syntax.h).
#include "platform/host/registry/script_syntax.h"

#include "platform/host/kernel/strings.h"

namespace vtsim::registry::script {

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

std::u16string_view Trim(std::u16string_view s)
{
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool ParseQuoted(std::u16string_view s, std::size_t* pos, std::u16string* out)
{
    out->clear();
    std::size_t i = *pos + 1;
    while (i < s.size()) {
        char16_t c = s[i];
        if (c == u'\\' && i + 1 < s.size() && (s[i + 1] == u'\\' || s[i + 1] == u'"')) {
            out->push_back(s[i + 1]);
            i += 2;
        } else if (c == u'"') {
            *pos = i + 1;
            return true;
        } else {
            out->push_back(c);
            ++i;
        }
    }
    return false;
}

namespace {

bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix)
{
    return s.size() >= prefix.size() && internal::NamesEqual(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// Parses 1 to maxDigits hexadecimal digits making up all of s.
bool ParseHex(std::u16string_view s, std::size_t maxDigits, DWORD* value)
{
    if (s.empty() || s.size() > maxDigits) {
        return false;
    }
    *value = 0;
    for (char16_t c : s) {
        int d = HexDigit(c);
        if (d < 0) {
            return false;
        }
        *value = (*value << 4) | static_cast<DWORD>(d);
    }
    return true;
}

void AppendWide(std::vector<BYTE>* data, std::u16string_view text)
{
    for (char16_t c : text) {
        data->push_back(static_cast<BYTE>(c & 0xFF));
        data->push_back(static_cast<BYTE>(c >> 8));
    }
    data->push_back(0);
    data->push_back(0);
}

bool ParseHexBytes(std::u16string_view list, std::vector<BYTE>* data, std::string* why)
{
    list = Trim(list);
    if (list.empty()) {
        return true;
    }
    while (true) {
        std::size_t comma = list.find(u',');
        std::u16string_view item = Trim(list.substr(0, comma));
        DWORD byte = 0;
        if (!ParseHex(item, 2, &byte)) {
            *why = "bad byte in hex list";
            return false;
        }
        data->push_back(static_cast<BYTE>(byte));
        if (comma == std::u16string_view::npos) {
            return true;
        }
        list.remove_prefix(comma + 1);
    }
}

bool ParseMultiSz(std::u16string_view list, std::vector<BYTE>* data, std::string* why)
{
    list = Trim(list);
    std::size_t pos = 0;
    while (pos < list.size()) {
        if (list[pos] != u'"') {
            *why = "multi_sz expects quoted strings separated by commas";
            return false;
        }
        std::u16string text;
        if (!ParseQuoted(list, &pos, &text)) {
            *why = "unterminated string";
            return false;
        }
        AppendWide(data, text);
        while (pos < list.size() && IsBlank(list[pos])) {
            ++pos;
        }
        if (pos < list.size()) {
            if (list[pos] != u',') {
                *why = "multi_sz expects quoted strings separated by commas";
                return false;
            }
            ++pos;
            while (pos < list.size() && IsBlank(list[pos])) {
                ++pos;
            }
            if (pos == list.size()) {
                *why = "multi_sz list ends with a comma";
                return false;
            }
        }
    }
    data->push_back(0);  // the empty string that ends the list
    data->push_back(0);
    return true;
}

}  // namespace

bool ParseValueData(std::u16string_view text, DWORD* type, std::vector<BYTE>* data,
                    std::string* why)
{
    text = Trim(text);
    if (!text.empty() && text.front() == u'"') {
        std::size_t pos = 0;
        std::u16string value;
        if (!ParseQuoted(text, &pos, &value)) {
            *why = "unterminated string";
            return false;
        }
        if (!Trim(text.substr(pos)).empty()) {
            *why = "unexpected text after the string";
            return false;
        }
        *type = REG_SZ;
        AppendWide(data, value);
        return true;
    }
    if (StartsWithNoCase(text, u"dword:")) {
        DWORD value = 0;
        if (!ParseHex(Trim(text.substr(6)), 8, &value)) {
            *why = "dword expects 1 to 8 hexadecimal digits";
            return false;
        }
        *type = REG_DWORD;
        for (int i = 0; i < 4; ++i) {
            data->push_back(static_cast<BYTE>(value >> (8 * i)));
        }
        return true;
    }
    if (StartsWithNoCase(text, u"hex:")) {
        *type = REG_BINARY;
        return ParseHexBytes(text.substr(4), data, why);
    }
    if (StartsWithNoCase(text, u"hex(")) {
        std::size_t close = text.find(u"):");
        if (close == std::u16string_view::npos || !ParseHex(text.substr(4, close - 4), 8, type)) {
            *why = "hex(type) expects a hexadecimal type";
            return false;
        }
        return ParseHexBytes(text.substr(close + 2), data, why);
    }
    if (StartsWithNoCase(text, u"multi_sz:")) {
        *type = REG_MULTI_SZ;
        return ParseMultiSz(text.substr(9), data, why);
    }
    if (text == u"-") {
        *why = "deleting values is not supported";
        return false;
    }
    *why = "unrecognised value data";
    return false;
}

}  // namespace vtsim::registry::script
