// Registry scripts: import into the hive and export of the hive.
//
// A script is UTF-8 (an optional UTF-8 byte-order mark is skipped) or UTF-16
// LE with its byte-order mark, with LF or CR LF line ends. Lines:
//   [HKEY_LOCAL_MACHINE\path] or [HKLM\path]  opens (creating) the key
//   "name"=<data> or @=<data>                  sets a value of the current key
//   ; ...                                      comment (also after a line's content)
// Data forms: "text" (REG_SZ; \\ and \" are escapes, any other backslash is
// taken as it stands), dword:hhhhhhhh, hex:bb,bb,.. (REG_BINARY),
// hex(t):bb,.. (type t in hexadecimal), multi_sz:"a","b" (REG_MULTI_SZ).
// A line ending in a backslash outside quotes continues on the next line. A
// leading "REGEDIT4" or "Windows Registry Editor Version 5.00" line is
// ignored. Deleting keys or values ("[-...]", "name"=-) is not supported.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/host/control/registry_control.h"
#include "platform/host/registry/hive.h"

namespace vtsim {

namespace {

using registry::Key;

// ---- Text encodings ----------------------------------------------------------

// Decodes UTF-8 (without its byte-order mark). On failure *badOffset is the
// offset of the first bad byte.
bool DecodeUtf8(const std::string& bytes, std::size_t start, std::u16string* out, std::size_t* badOffset)
{
    std::size_t i = start;
    while (i < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        char32_t cp = 0;
        std::size_t extra = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            cp = lead & 0x1F;
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            cp = lead & 0x0F;
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            cp = lead & 0x07;
            extra = 3;
        } else {
            *badOffset = i;
            return false;
        }
        if (extra != 0 && i + extra >= bytes.size()) {
            *badOffset = i;
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                *badOffset = i;
                return false;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            *badOffset = i;
            return false;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(cp));
        }
        i += extra + 1;
    }
    return true;
}

// Encodes UTF-16 as UTF-8 (callers pass only well-formed text).
std::string EncodeUtf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::size_t LineOfOffset(const std::string& bytes, std::size_t offset, bool wide)
{
    std::size_t line = 1;
    std::size_t step = wide ? 2 : 1;
    for (std::size_t i = wide ? 2 : 0; i + step <= offset; i += step) {
        if (bytes[i] == '\n' && (!wide || bytes[i + 1] == 0)) {
            ++line;
        }
    }
    return line;
}

// ---- Parsing helpers -----------------------------------------------------------

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

bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix)
{
    return s.size() >= prefix.size() && registry::NamesEqual(s.substr(0, prefix.size()), prefix);
}

// The content of a line before its comment (a ';' outside quotes).
// *openQuote tells whether the content ends inside a quoted string.
std::u16string_view StripComment(std::u16string_view line, bool* openQuote)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char16_t c = line[i];
        if (quoted && c == u'\\' && i + 1 < line.size() && (line[i + 1] == u'\\' || line[i + 1] == u'"')) {
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c == u';' && !quoted) {
            *openQuote = false;
            return line.substr(0, i);
        }
    }
    *openQuote = quoted;
    return line;
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

// Parses a quoted string starting at s[*pos] == '"'; *pos ends after the
// closing quote.
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

// Parses the data after '=' into type and bytes.
bool ParseData(std::u16string_view text, DWORD* type, std::vector<BYTE>* data, std::string* why)
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

bool IsHeaderLine(std::u16string_view line)
{
    line = Trim(line);
    return !line.empty() && line.front() == u'[';
}

// A header line up to its closing bracket: the first ']' after which only
// blanks or a comment follow (so that key names may hold ']' and ';').
std::u16string_view HeaderContent(std::u16string_view line)
{
    line = Trim(line);
    for (std::size_t close = line.find(u']'); close != std::u16string_view::npos;
         close = line.find(u']', close + 1)) {
        std::u16string_view rest = Trim(line.substr(close + 1));
        if (rest.empty() || rest.front() == u';') {
            return line.substr(0, close + 1);
        }
    }
    return line;  // no closing bracket: reported by the header parser
}

class ScriptImporter {
public:
    explicit ScriptImporter(std::string source) : source_(std::move(source)) {}

    bool Run(std::u16string_view text, std::string* error)
    {
        std::size_t lineNo = 0;
        std::size_t logicalStart = 0;
        std::u16string logical;
        bool continuing = false;
        bool sawContent = false;
        while (!text.empty() || continuing) {
            std::size_t eol = text.find(u'\n');
            std::u16string_view line = text.substr(0, eol);
            text.remove_prefix(eol == std::u16string_view::npos ? text.size() : eol + 1);
            ++lineNo;
            if (!line.empty() && line.back() == u'\r') {
                line.remove_suffix(1);
            }
            bool openQuote = false;
            std::u16string_view content = !continuing && IsHeaderLine(line)
                                              ? HeaderContent(line)
                                              : Trim(StripComment(line, &openQuote));
            if (!continuing) {
                logical.clear();
                logicalStart = lineNo;
            }
            bool more = !openQuote && !content.empty() && content.back() == u'\\' &&
                        !(content.front() == u'[');
            if (more) {
                content.remove_suffix(1);
            }
            logical += content;
            continuing = more && !text.empty();
            if (continuing) {
                continue;
            }
            std::u16string_view whole = Trim(logical);
            if (whole.empty()) {
                continue;
            }
            if (!sawContent) {
                sawContent = true;
                if (whole == u"REGEDIT4" || whole == u"Windows Registry Editor Version 5.00") {
                    continue;
                }
            }
            std::string why;
            if (!ParseLine(whole, &why)) {
                if (error != nullptr) {
                    *error = source_ + ":" + std::to_string(logicalStart) + ": " + why;
                }
                return false;
            }
        }
        return true;
    }

private:
    bool ParseLine(std::u16string_view line, std::string* why)
    {
        if (line.front() == u'[') {
            return ParseHeader(line, why);
        }
        if (line.front() == u'@' || line.front() == u'"') {
            return ParseValue(line, why);
        }
        *why = "expected a [key] header or a value line";
        return false;
    }

    bool ParseHeader(std::u16string_view line, std::string* why)
    {
        if (line.back() != u']') {
            *why = "key header without a closing ']'";
            return false;
        }
        std::u16string_view path = Trim(line.substr(1, line.size() - 2));
        if (!path.empty() && path.front() == u'-') {
            *why = "deleting keys is not supported";
            return false;
        }
        std::size_t slash = path.find(u'\\');
        std::u16string_view root = path.substr(0, slash);
        if (!registry::NamesEqual(root, u"HKEY_LOCAL_MACHINE") && !registry::NamesEqual(root, u"HKLM")) {
            *why = "only HKEY_LOCAL_MACHINE keys can be imported";
            return false;
        }
        std::u16string_view rest = slash == std::u16string_view::npos ? std::u16string_view() : path.substr(slash + 1);
        std::vector<std::u16string_view> elements;
        if (!registry::SplitKeyPath(rest, &elements) || (slash != std::u16string_view::npos && elements.empty())) {
            *why = "invalid key path";
            return false;
        }
        std::lock_guard lock(registry::HiveMutex());
        current_ = registry::CreatePath(registry::HiveRoot(), elements);
        return true;
    }

    bool ParseValue(std::u16string_view line, std::string* why)
    {
        std::u16string name;
        std::size_t pos = 0;
        if (line.front() == u'@') {
            pos = 1;
        } else if (!ParseQuoted(line, &pos, &name)) {
            *why = "unterminated value name";
            return false;
        }
        if (!registry::IsValidValueName(name)) {
            *why = "invalid value name";
            return false;
        }
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        if (pos >= line.size() || line[pos] != u'=') {
            *why = "expected '=' after the value name";
            return false;
        }
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        if (!ParseData(line.substr(pos + 1), &type, &data, why)) {
            return false;
        }
        if (!current_) {
            *why = "value line before any key header";
            return false;
        }
        std::lock_guard lock(registry::HiveMutex());
        current_->SetValue(name, type, data.data(), data.size());
        return true;
    }

    std::string source_;
    std::shared_ptr<Key> current_;
};

bool ImportBytes(const std::string& bytes, const std::string& source, std::string* error)
{
    std::u16string text;
    auto fail = [&](std::size_t offset, bool wide, const std::string& why) {
        if (error != nullptr) {
            *error = source + ":" + std::to_string(LineOfOffset(bytes, offset, wide)) + ": " + why;
        }
        return false;
    };
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        if (bytes.size() % 2 != 0) {
            return fail(bytes.size() - 1, true, "UTF-16 text with an odd number of bytes");
        }
        for (std::size_t i = 2; i < bytes.size(); i += 2) {
            text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
               static_cast<unsigned char>(bytes[1]) == 0xFF) {
        return fail(0, false, "UTF-16 big-endian text is not supported");
    } else {
        std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        std::size_t bad = 0;
        if (!DecodeUtf8(bytes, start, &text, &bad)) {
            return fail(bad, false, "invalid UTF-8");
        }
    }
    return ScriptImporter(source).Run(text, error);
}

// ---- Export ------------------------------------------------------------------------

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
            return "\"" + EncodeUtf8(Escape(wide)) + "\"";
        }
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        char text[16];
        DWORD v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                  (static_cast<DWORD>(value.data[3]) << 24);
        std::snprintf(text, sizeof(text), "dword:%08x", v);
        return text;
    }
    if (value.type == REG_MULTI_SZ && AsWide(value.data, &wide) && !wide.empty() && wide.back() == 0) {
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
            out += (first ? "\"" : ",\"") + EncodeUtf8(Escape(rest.substr(0, end))) + "\"";
            first = false;
            rest.remove_prefix(end + 1);
        }
        if (ok) {
            return out;
        }
    }
    std::string prefix = value.type == REG_BINARY ? "hex:" : "hex(" + [&] {
        char text[16];
        std::snprintf(text, sizeof(text), "%x", value.type);
        return std::string(text);
    }() + "):";
    return prefix + HexList(value.data, prefixLength + prefix.size());
}

void ExportKey(const Key& key, const std::string& path, std::string* out)
{
    if (!path.empty() || !key.values.empty()) {
        *out += "[HKEY_LOCAL_MACHINE" + (path.empty() ? "" : "\\" + path) + "]\n";
        for (const auto& value : key.values) {
            std::string name = value.name.empty() ? "@" : "\"" + EncodeUtf8(Escape(value.name)) + "\"";
            *out += name + "=" + FormatData(value, name.size() + 1) + "\n";
        }
        *out += "\n";
    }
    for (const auto& subkey : key.subkeys) {
        ExportKey(*subkey, path.empty() ? EncodeUtf8(subkey->name) : path + "\\" + EncodeUtf8(subkey->name), out);
    }
}

}  // namespace

bool ImportRegistryScript(const std::string& text, std::string* error)
{
    return ImportBytes(text, "registry script", error);
}

bool ImportRegistryScriptFile(const std::string& path, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error != nullptr) {
            *error = path + ": cannot open the file";
        }
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ImportBytes(bytes, path, error);
}

std::string ExportRegistryScript()
{
    std::string out;
    std::lock_guard lock(registry::HiveMutex());
    ExportKey(*registry::HiveRoot(), "", &out);
    return out;
}

}  // namespace vtsim
