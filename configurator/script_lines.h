// The registry script's lines as the target's registry reads them when it
// boots from the script, so that the editor sees exactly the keys and
// values the boards will get:
// - lines end at LF, CR LF or a lone CR; a UTF-8 byte-order mark at the
//   start of the text is not part of the first line;
// - a ';' outside double quotes starts a comment that runs to the line's
//   end ("\"" and "\\" inside quotes are escapes);
// - a line whose first character other than spaces and tabs is '[' is a key
//   header; its key path ends at the first ']' after which only blanks or a
//   comment follow;
// - any other line whose content (without comment and outer blanks) ends in
//   '\' continues on the next line; the lines joined make one logical line;
// - a value line is a quoted name, blanks, '=' and the value's data.
// Registry names are matched without regard to the case of ASCII letters.
//
// Pure functions of the text; any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class ScriptLineKind {
    Empty,   // blanks and comments only
    Header,  // a key header
    Value,   // anything else: a value line, or text the target refuses
};

// One logical line: one physical line, or several joined by continuation.
struct ScriptLogicalLine {
    std::size_t start;   // its first character (after the byte-order mark on line 1)
    std::size_t end;     // right after its last line break (the text's length at the end)
    std::size_t number;  // the line number (from 1) of its first physical line
    ScriptLineKind kind;
    std::string content;  // without comments, continuation marks and outer blanks
};

// Reads the logical lines of text from offset from (the start of a physical
// line), numbering the first one firstNumber, and calls visit(line) for each
// until visit returns true. Returns whether it did.
template <class Visit>
bool ForEachLogicalLine(std::string_view text, std::size_t from, std::size_t firstNumber,
                        Visit visit);

// The offset right after the physical line that starts at from, with its
// break (LF, CR LF or lone CR); *contentEnd receives where its characters
// end. The text's length for a last line without a break.
std::size_t EndOfPhysicalLine(std::string_view text, std::size_t from, std::size_t* contentEnd);

// The line number (from 1) of the physical line that holds offset.
std::size_t LineNumberAt(std::string_view text, std::size_t offset);

// A key header's path, from its content ("[HKEY_LOCAL_MACHINE\a\b]"): the
// key names below HKEY_LOCAL_MACHINE (or its short form HKLM) in *names,
// at most maxNames of them. False for a header that names no key under it.
bool ParseHeaderPath(std::string_view content, std::string_view* names, std::size_t maxNames,
                     std::size_t* count);

// A value line's name (its escapes undone) and its data (the text after '=',
// without outer blanks). False when the content is no value line.
bool ParseValueLine(std::string_view content, std::string* name, std::string_view* data);

// The value of a "dword:" data text as the target reads it: one to eight
// hexadecimal digits after "dword:" (in any case) and optional blanks.
enum class DwordData { NotDword, Valid, Invalid };
DwordData ParseDwordData(std::string_view data, unsigned long* value);

// The value of a hexadecimal digit, -1 for any other character.
int HexDigitValue(char c);
// text without its leading and trailing spaces and tabs.
std::string_view TrimBlanks(std::string_view text);

// ASCII letters compared without regard to case.
bool NamesEqualNoCase(std::string_view a, std::string_view b);
bool ContainsNoCase(std::string_view text, std::string_view part);

// ---- implementation of the template ----

namespace script_lines_detail {

// The content of one physical line before its comment, without outer
// blanks; *openQuote tells whether it ends inside a quoted string.
std::string_view StripComment(std::string_view line, bool* openQuote);
// The content of a header line: up to its closing bracket, without blanks.
std::string_view HeaderContent(std::string_view line);
bool IsHeaderLine(std::string_view line);
std::size_t SkipByteOrderMark(std::string_view text, std::size_t from);

}  // namespace script_lines_detail

template <class Visit>
bool ForEachLogicalLine(std::string_view text, std::size_t from, std::size_t firstNumber,
                        Visit visit)
{
    using namespace script_lines_detail;
    std::size_t at = SkipByteOrderMark(text, from);
    std::size_t number = firstNumber;
    while (at < text.size()) {
        ScriptLogicalLine line{at, at, number, ScriptLineKind::Empty, {}};
        bool continuing = false;
        do {
            std::size_t contentEnd = 0;
            const std::size_t next = EndOfPhysicalLine(text, at, &contentEnd);
            const std::string_view physical = text.substr(at, contentEnd - at);
            bool openQuote = false;
            const bool header = !continuing && IsHeaderLine(physical);
            std::string_view content =
                header ? HeaderContent(physical) : StripComment(physical, &openQuote);
            const bool more = !header && !openQuote && !content.empty() && content.back() == '\\' &&
                              content.front() != '[';
            continuing = more && next < text.size();
            if (more) {
                content.remove_suffix(1);
            }
            line.content.append(content);
            if (header) {
                line.kind = ScriptLineKind::Header;
            }
            at = next;
            ++number;
        } while (continuing);
        line.end = at;
        if (line.kind != ScriptLineKind::Header) {
            // Blanks left between joined parts count as the line's own.
            std::string_view whole = line.content;
            while (!whole.empty() && (whole.front() == ' ' || whole.front() == '\t')) {
                whole.remove_prefix(1);
            }
            while (!whole.empty() && (whole.back() == ' ' || whole.back() == '\t')) {
                whole.remove_suffix(1);
            }
            line.content.assign(whole);
            line.kind = line.content.empty() ? ScriptLineKind::Empty : ScriptLineKind::Value;
        }
        if (visit(line)) {
            return true;
        }
    }
    return false;
}
