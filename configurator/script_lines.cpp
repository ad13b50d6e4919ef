// The registry script's lines as the target reads them.
#include "configurator/script_lines.h"

namespace {

constexpr std::size_t NONE = std::string_view::npos;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

namespace script_lines_detail {

std::string_view StripComment(std::string_view line, bool* openQuote)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '\\' && i + 1 < line.size() &&
            (line[i + 1] == '\\' || line[i + 1] == '"')) {
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            *openQuote = false;
            return Trim(line.substr(0, i));
        }
    }
    *openQuote = quoted;
    return Trim(line);
}

bool IsHeaderLine(std::string_view line)
{
    line = Trim(line);
    return !line.empty() && line.front() == '[';
}

std::string_view HeaderContent(std::string_view line)
{
    line = Trim(line);
    for (std::size_t close = line.find(']'); close != NONE; close = line.find(']', close + 1)) {
        const std::string_view rest = Trim(line.substr(close + 1));
        if (rest.empty() || rest.front() == ';') {
            return line.substr(0, close + 1);
        }
    }
    return line;  // no closing bracket: the target refuses the line
}

std::size_t SkipByteOrderMark(std::string_view text, std::size_t from)
{
    return from == 0 && text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : from;
}

}  // namespace script_lines_detail

std::size_t EndOfPhysicalLine(std::string_view text, std::size_t from, std::size_t* contentEnd)
{
    const std::size_t brk = text.find_first_of("\r\n", from);
    if (brk == NONE) {
        *contentEnd = text.size();
        return text.size();
    }
    *contentEnd = brk;
    if (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') {
        return brk + 2;
    }
    return brk + 1;
}

std::size_t LineNumberAt(std::string_view text, std::size_t offset)
{
    std::size_t number = 1;
    for (std::size_t at = 0; at < offset && at < text.size(); ++at) {
        if (text[at] == '\n' ||
            (text[at] == '\r' && (at + 1 >= text.size() || text[at + 1] != '\n'))) {
            ++number;
        }
    }
    return number;
}

bool ParseHeaderPath(std::string_view content, std::string_view* names, std::size_t maxNames,
                     std::size_t* count)
{
    *count = 0;
    if (content.size() < 2 || content.front() != '[' || content.back() != ']') {
        return false;
    }
    std::string_view path = content.substr(1, content.size() - 2);
    while (!path.empty() && IsBlank(path.front())) {
        path.remove_prefix(1);
    }
    const std::size_t slash = path.find('\\');
    const std::string_view root = path.substr(0, slash);
    if (!NamesEqualNoCase(root, "HKEY_LOCAL_MACHINE") && !NamesEqualNoCase(root, "HKLM")) {
        return false;
    }
    if (slash == NONE) {
        return true;
    }
    path.remove_prefix(slash + 1);
    if (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);  // one trailing separator is allowed
    }
    while (!path.empty()) {
        const std::size_t cut = path.find('\\');
        const std::string_view name = path.substr(0, cut);
        if (name.empty() || *count == maxNames) {
            return false;
        }
        names[(*count)++] = name;
        if (cut == NONE) {
            break;
        }
        path.remove_prefix(cut + 1);
        if (path.empty()) {
            return false;
        }
    }
    return *count != 0;
}

bool ParseValueLine(std::string_view content, std::string* name, std::string_view* data)
{
    name->clear();
    if (content.empty() || content.front() != '"') {
        return false;
    }
    std::size_t at = 1;
    for (;; ++at) {
        if (at >= content.size()) {
            return false;  // the name's closing quote is missing
        }
        const char c = content[at];
        if (c == '\\' && at + 1 < content.size() &&
            (content[at + 1] == '\\' || content[at + 1] == '"')) {
            name->push_back(content[++at]);
        } else if (c == '"') {
            break;
        } else {
            name->push_back(c);
        }
    }
    ++at;
    while (at < content.size() && IsBlank(content[at])) {
        ++at;
    }
    if (at >= content.size() || content[at] != '=') {
        return false;
    }
    *data = Trim(content.substr(at + 1));
    return true;
}

DwordData ParseDwordData(std::string_view data, unsigned long* value)
{
    if (data.size() < 6 || !NamesEqualNoCase(data.substr(0, 6), "dword:")) {
        return DwordData::NotDword;
    }
    const std::string_view digits = Trim(data.substr(6));
    if (digits.empty() || digits.size() > 8) {
        return DwordData::Invalid;
    }
    unsigned long result = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return DwordData::Invalid;
        }
        result = result << 4 | static_cast<unsigned long>(digit);
    }
    *value = result;
    return DwordData::Valid;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string_view TrimBlanks(std::string_view text)
{
    return Trim(text);
}

bool NamesEqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool ContainsNoCase(std::string_view text, std::string_view part)
{
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (NamesEqualNoCase(text.substr(at, part.size()), part)) {
            return true;
        }
    }
    return part.empty();
}
