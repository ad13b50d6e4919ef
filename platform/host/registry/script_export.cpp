// The hive as a registry script (the format that script_import.cpp reads;
// see script_syntax.h). Strings that the quoted form cannot carry unchanged
// are written as hex(t) lists, so a script read back gives the same bytes.
#include <cstdio>
#include <mutex>

#include "platform/host/control/registry_control.h"
#include "platform/host/kernel/utf.h"
#include "platform/host/registry/hive.h"

namespace vtsim {

namespace {

using registry::Key;

std::u16string Escape(std::u16string_view text)
{
    std::u16string out;
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') {
            out.push_back(u'\\');
        }
        out.push_back(c);
    }
    return out;
}

// text escaped and in double quotes, as UTF-8. Built by appending: GCC 12
// at -O3 reports a false -Wrestrict inside std::string when a literal is
// put in front of a temporary string ("\"" + text).
std::string Quoted(std::u16string_view text)
{
    std::string out = "\"";
    out += internal::ToUtf8(Escape(text));
    out += '"';
    return out;
}

// The stored bytes as UTF-16 units, when they are an even number.
bool AsWide(const std::vector<BYTE>& data, std::u16string* text)
{
    if (data.size() % 2 != 0) {
        return false;
    }
    text->clear();
    for (std::size_t i = 0; i < data.size(); i += 2) {
        text->push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    return true;
}

// Strings that a quoted form carries unchanged (no line breaks or other
// control characters, no NUL, well-formed UTF-16).
bool Quotable(std::u16string_view text)
{
    return registry::IsPlainText(text);
}

std::string HexList(const std::vector<BYTE>& data, std::size_t prefixLength)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    std::size_t column = prefixLength;
    for (std::size_t i = 0; i < data.size(); ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 0xF]);
        column += 2;
        if (i + 1 < data.size()) {
            out.push_back(',');
            ++column;
            if (column >= 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    return out;
}

std::string FormatData(const registry::Value& value, std::size_t prefixLength)
{
    std::u16string wide;
    if (value.type == REG_SZ && AsWide(value.data, &wide) && !wide.empty() && wide.back() == 0) {
        wide.pop_back();
        if (Quotable(wide)) {
            return Quoted(wide);
        }
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        char text[16];
        DWORD v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                  (static_cast<DWORD>(value.data[3]) << 24);
        std::snprintf(text, sizeof(text), "dword:%08x", v);
        return text;
    }
    if (value.type == REG_MULTI_SZ && AsWide(value.data, &wide) && !wide.empty() &&
        wide.back() == 0) {
        // a\0b\0\0 -> "a","b"; a lone terminator -> an empty list.
        wide.pop_back();
        std::string out = "multi_sz:";
        bool ok = true;
        bool first = true;
        std::u16string_view rest = wide;
        while (!rest.empty()) {
            std::size_t end = rest.find(u'\0');
            if (end == std::u16string_view::npos || end == 0 || !Quotable(rest.substr(0, end))) {
                ok = false;
                break;
            }
            if (!first) {
                out += ',';
            }
            out += Quoted(rest.substr(0, end));
            first = false;
            rest.remove_prefix(end + 1);
        }
        if (ok) {
            return out;
        }
    }
    char prefix[24] = "hex:";
    if (value.type != REG_BINARY) {
        std::snprintf(prefix, sizeof(prefix), "hex(%x):", value.type);
    }
    std::string out(prefix);
    out += HexList(value.data, prefixLength + out.size());
    return out;
}

void ExportKey(const Key& key, const std::string& path, std::string* out)
{
    if (!path.empty() || !key.values().empty()) {
        *out += "[HKEY_LOCAL_MACHINE";
        if (!path.empty()) {
            *out += '\\';
            *out += path;
        }
        *out += "]\n";
        for (const auto& value : key.values()) {
            const std::string name = value.name.empty() ? "@" : Quoted(value.name);
            *out += name;
            *out += '=';
            *out += FormatData(value, name.size() + 1);
            *out += '\n';
        }
        *out += "\n";
    }
    for (const auto& subkey : key.subkeys()) {
        ExportKey(*subkey,
                  path.empty() ? internal::ToUtf8(subkey->name())
                               : path + "\\" + internal::ToUtf8(subkey->name()),
                  out);
    }
}

}  // namespace

std::string ExportRegistryScript()
{
    std::string out;
    std::lock_guard lock(registry::HiveMutex());
    ExportKey(*registry::HiveRoot(), "", &out);
    return out;
}

}  // namespace vtsim
