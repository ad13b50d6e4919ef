// Searching the registry script's text: lines, comment lines, header
// brackets and line breaks. Offsets are into the whole text; npos means
// "none".
#pragma once

#include <cstddef>
#include <string_view>

// A line of the text: where it starts and its characters without the break.
struct ScriptLine {
    std::size_t offset;
    std::string_view text;
};

enum class LineBreaks {
    LfOnly,   // lines end at LF (a CR stays at the end of its line)
    CrAndLf,  // lines end at every CR and every LF
};

// Calls visit(ScriptLine) for each line of text in order, empty ones
// included, until visit returns true. Returns whether it did.
template <class Visit>
bool ForEachLine(std::string_view text, LineBreaks breaks, Visit visit)
{
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = breaks == LineBreaks::LfOnly ? text.find('\n', begin)
                                                       : text.find_first_of("\r\n", begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (visit(ScriptLine{begin, text.substr(begin, end - begin)})) {
            return true;
        }
        begin = end + 1;
    }
    return false;
}

// A comment line for the header searches: it holds ';' anywhere.
inline bool IsCommentLine(std::string_view line)
{
    return line.find(';') != std::string_view::npos;
}

// The first occurrence of needle inside a line (split at CR and LF) that is
// not a comment line.
std::size_t FindOutsideComments(std::string_view text, std::string_view needle);

// The first occurrence of needle in text, ASCII letters matched without
// regard to case.
std::size_t FindNoCase(std::string_view text, std::string_view needle);

// The offset of the first character of the line (split at CR and LF) that
// holds pos.
std::size_t StartOfLine(std::string_view text, std::size_t pos);

// The offset right after the first line break (CR LF, or a lone LF or CR) at
// or after from; text.size() when there is none.
std::size_t EndOfLineBreak(std::string_view text, std::size_t from);

// The first '[' at or after from that opens a line: only spaces and tabs
// stand before it on its line.
std::size_t FindLineOpeningBracket(std::string_view text, std::size_t from);

// A line that holds only spaces and tabs.
bool IsBlankLine(std::string_view line);
