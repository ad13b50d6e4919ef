// Searching the registry script's text.
#include "configurator/script_text.h"

namespace {

constexpr std::size_t NONE = std::string_view::npos;

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

std::size_t FindOutsideComments(std::string_view text, std::string_view needle)
{
    std::size_t found = NONE;
    ForEachLine(text, LineBreaks::CrAndLf, [&](const ScriptLine& line) {
        if (IsCommentLine(line.text)) {
            return false;
        }
        std::size_t at = line.text.find(needle);
        if (at == NONE) {
            return false;
        }
        found = line.offset + at;
        return true;
    });
    return found;
}

std::size_t FindNoCase(std::string_view text, std::string_view needle)
{
    if (needle.size() > text.size()) {
        return NONE;
    }
    for (std::size_t at = 0; at + needle.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < needle.size() && LowerAscii(text[at + i]) == LowerAscii(needle[i])) {
            ++i;
        }
        if (i == needle.size()) {
            return at;
        }
    }
    return NONE;
}

std::size_t StartOfLine(std::string_view text, std::size_t pos)
{
    if (pos == 0) {
        return 0;
    }
    std::size_t brk = text.find_last_of("\r\n", pos - 1);
    return brk == NONE ? 0 : brk + 1;
}

std::size_t EndOfLineBreak(std::string_view text, std::size_t from)
{
    std::size_t brk = text.find_first_of("\r\n", from);
    if (brk == NONE) {
        return text.size();
    }
    if (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') {
        return brk + 2;
    }
    return brk + 1;
}

std::size_t FindLineOpeningBracket(std::string_view text, std::size_t from)
{
    bool onlyBlanksBefore = true;
    for (std::size_t at = StartOfLine(text, from); at < text.size(); ++at) {
        char c = text[at];
        if (c == '\r' || c == '\n') {
            onlyBlanksBefore = true;
            continue;
        }
        if (c == '[' && onlyBlanksBefore && at >= from) {
            return at;
        }
        if (!IsBlank(c)) {
            onlyBlanksBefore = false;
        }
    }
    return NONE;
}

bool IsBlankLine(std::string_view line)
{
    for (char c : line) {
        if (!IsBlank(c)) {
            return false;
        }
    }
    return true;
}
