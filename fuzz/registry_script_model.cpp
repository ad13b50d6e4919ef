// The model of the registry script operations: the script format's rules,
// written plainly, for the fuzzer to hold RegistryScript to.
#include "fuzz/registry_script_model.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>
#include <vector>

#include "configurator/registry_script.h"

namespace {

constexpr std::size_t NONE = std::string::npos;

bool IsBreak(char c)
{
    return c == '\r' || c == '\n';
}

std::size_t EndOfBreak(const std::string& text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\n') {
            return i + 1;
        }
        if (text[i] == '\r') {
            return i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
        }
    }
    return text.size();
}

// The lines of text split at every CR and LF: (start, length).
std::vector<std::pair<std::size_t, std::size_t>> Lines(const std::string& text)
{
    std::vector<std::pair<std::size_t, std::size_t>> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || IsBreak(text[i])) {
            lines.emplace_back(start, i - start);
            start = i + 1;
        }
    }
    return lines;
}

}  // namespace

Span ModelLocate(const std::string& text, const std::string& key, int n)
{
    Span span{false, text.size(), text.size(), text.size()};
    const std::string search = key + "\\Template" + std::to_string(n) + "]";
    if (search.size() > RegistryScript::MAX_SEARCH_TEXT) {
        return span;
    }
    for (auto [lineStart, length] : Lines(text)) {
        const std::string line = text.substr(lineStart, length);
        const std::size_t at = line.find(search);
        if (line.find(';') != NONE || at == NONE) {
            continue;
        }
        const std::size_t bracket = line.rfind('[', at == 0 ? NONE : at - 1);
        span.found = true;
        span.start = lineStart + (at != 0 && bracket != NONE ? bracket : 0);
        span.values = EndOfBreak(text, lineStart + at + search.size());
        // The next '[' with only blanks before it on its line.
        bool blanksOnly = true;
        for (std::size_t i = span.values; i < text.size(); ++i) {
            if (IsBreak(text[i])) {
                blanksOnly = true;
            } else if (text[i] == '[' && blanksOnly) {
                span.end = i;
                break;
            } else if (text[i] != ' ' && text[i] != '\t') {
                blanksOnly = false;
            }
        }
        break;
    }
    return span;
}

int ModelScan(const std::string& text, const std::string& prefix)
{
    auto lower = [](std::string s) {
        for (char& c : s) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return s;
    };
    const std::string wanted = lower(prefix);
    int numbers = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t stop = text.find('\n', start);
        if (stop == NONE) {
            stop = text.size();
        }
        const std::string line = lower(text.substr(start, stop - start));
        const std::size_t at = line.find(wanted);
        if (line.find(';') == NONE && at != NONE) {
            const std::string digits = line.substr(at + wanted.size(), 2);
            if (!digits.empty() && std::isdigit(static_cast<unsigned char>(digits[0]))) {
                int number = digits[0] - '0';
                if (digits.size() == 2 && std::isdigit(static_cast<unsigned char>(digits[1]))) {
                    number = number * 10 + digits[1] - '0';
                }
                if (number <= 15) {
                    numbers |= 1 << number;
                }
            }
        }
        start = stop + 1;
    }
    return numbers;
}

std::string ModelValueLine(const std::string& name, DWORD type, const std::string& data, DWORD size)
{
    std::string line = "\"" + name + "\"";
    char piece[16];
    if (type == REG_DWORD) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), 4);
        std::snprintf(piece, sizeof piece, "%x", static_cast<unsigned>(value));
        line += std::string("=dword:") + piece;
    } else if (type == REG_SZ) {
        line +=
            "=\"" + data.substr(0, std::min<std::size_t>(size, std::strlen(data.c_str()))) + "\"";
    } else if (type == REG_BINARY) {
        line += "=hex:";
        for (DWORD i = 0; i < size; ++i) {
            std::snprintf(piece, sizeof piece, i ? ",%02X" : "%02X",
                          static_cast<unsigned char>(data[i]));
            line += piece;
        }
    } else {
        return {};
    }
    line += "\r\n";
    return line.size() > RegistryScript::MAX_VALUE_LINE ? std::string() : line;
}

std::string ModelWrite(const std::string& text, const Span& span, const std::string& name,
                       const std::string& line)
{
    if (!span.found || name.empty() || line.empty()) {
        return text;
    }
    const std::size_t at = text.substr(span.values, span.end - span.values).find(name);
    if (at != NONE) {
        const std::size_t nameAt = span.values + at;
        const std::size_t from = nameAt > span.values ? nameAt - 1 : span.values;
        return text.substr(0, from) + line + text.substr(EndOfBreak(text, nameAt + name.size()));
    }
    if (span.end == text.size()) {
        return text + "\n" + line;
    }
    // After the section's last line that is neither blank nor a comment.
    std::size_t insertAt = span.values;
    for (auto [lineStart, length] : Lines(text)) {
        if (lineStart < span.values || lineStart + length >= span.end) {
            continue;
        }
        const std::string content = text.substr(lineStart, length);
        if (content.find(';') == NONE && content.find_first_not_of(" \t") != NONE) {
            insertAt = EndOfBreak(text, lineStart + length);
        }
    }
    return text.substr(0, insertAt) + line + text.substr(insertAt);
}

std::string AsBytes(DWORD value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}
