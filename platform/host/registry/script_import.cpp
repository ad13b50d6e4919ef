// Registry scripts into the hive: the text's encoding, its lines (comments,
// continuations), key headers and value lines. The format is described in
// script_syntax.h.

#include "platform/host/control/host_files.h"
#include "platform/host/control/registry_control.h"
#include "platform/host/kernel/strings.h"
#include "platform/host/kernel/utf.h"
#include "platform/host/registry/hive.h"
#include "platform/host/registry/script_syntax.h"

namespace vtsim {

namespace {

using registry::Key;
using registry::script::IsBlank;
using registry::script::ParseQuoted;
using registry::script::ParseValueData;
using registry::script::Trim;

// The line (from 1) that holds the byte at offset; wide text is UTF-16 LE
// after its two-byte byte-order mark.
std::size_t LineOfOffset(const std::string& bytes, std::size_t offset, bool wide)
{
    std::size_t line = 1;
    std::size_t step = wide ? 2 : 1;
    auto unit = [&](std::size_t i) {
        return wide ? (bytes[i + 1] == 0 ? bytes[i] : '\0') : bytes[i];
    };
    for (std::size_t i = wide ? 2 : 0; i + step <= offset; i += step) {
        // LF, CR LF and a lone CR each end a line.
        const bool crBeforeLf =
            unit(i) == '\r' && i + 2 * step <= bytes.size() && unit(i + step) == '\n';
        if (unit(i) == '\n' || (unit(i) == '\r' && !crBeforeLf)) {
            ++line;
        }
    }
    return line;
}

// The content of a line before its comment (a ';' outside quotes).
// *openQuote tells whether the content ends inside a quoted string.
std::u16string_view StripComment(std::u16string_view line, bool* openQuote)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char16_t c = line[i];
        if (quoted && c == u'\\' && i + 1 < line.size() &&
            (line[i + 1] == u'\\' || line[i + 1] == u'"')) {
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
            // A line ends at LF, CR LF or a lone CR.
            std::size_t eol = text.find_first_of(u"\r\n");
            std::u16string_view line = text.substr(0, eol);
            std::size_t next = eol == std::u16string_view::npos ? text.size() : eol + 1;
            if (eol != std::u16string_view::npos && text[eol] == u'\r' && next < text.size() &&
                text[next] == u'\n') {
                ++next;
            }
            text.remove_prefix(next);
            ++lineNo;
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
        // Blanks before the path are layout; those at its end belong to the
        // last key's name (the header's line was trimmed outside the brackets).
        std::u16string_view path = line.substr(1, line.size() - 2);
        while (!path.empty() && registry::script::IsBlank(path.front())) {
            path.remove_prefix(1);
        }
        if (!path.empty() && path.front() == u'-') {
            *why = "deleting keys is not supported";
            return false;
        }
        std::size_t slash = path.find(u'\\');
        std::u16string_view root = path.substr(0, slash);
        if (!internal::NamesEqual(root, u"HKEY_LOCAL_MACHINE") &&
            !internal::NamesEqual(root, u"HKLM")) {
            *why = "only HKEY_LOCAL_MACHINE keys can be imported";
            return false;
        }
        std::u16string_view rest =
            slash == std::u16string_view::npos ? std::u16string_view() : path.substr(slash + 1);
        std::vector<std::u16string_view> elements;
        if (!registry::SplitKeyPath(rest, &elements) ||
            (slash != std::u16string_view::npos && elements.empty())) {
            *why = "invalid key path";
            return false;
        }
        std::lock_guard lock(registry::HiveMutex());
        std::shared_ptr<Key> key = registry::CreatePath(registry::HiveRoot(), elements);
        if (!key) {
            *why = "key path deeper than " + std::to_string(registry::MAX_KEY_DEPTH) + " levels";
            return false;
        }
        current_ = std::move(key);
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
        if (!ParseValueData(line.substr(pos + 1), &type, &data, why)) {
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
        if (!internal::DecodeUtf8(std::string_view(bytes).substr(start), &text, &bad)) {
            return fail(start + bad, false, "invalid UTF-8");
        }
    }
    return ScriptImporter(source).Run(text, error);
}

}  // namespace

bool ImportRegistryScript(const std::string& text, std::string* error)
{
    return ImportBytes(text, "registry script", error);
}

bool ImportRegistryScriptFile(const std::string& path, std::string* error)
{
    std::string bytes;
    if (!ReadHostFile(path, &bytes, error)) {
        return false;
    }
    return ImportBytes(bytes, path, error);
}

}  // namespace vtsim
