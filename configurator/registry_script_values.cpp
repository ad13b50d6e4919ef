// The registry script's value lines: reading, writing and the table-driven
// access of the editor.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "configurator/registry_script.h"
#include "configurator/script_text.h"

namespace {

constexpr std::size_t NONE = std::string_view::npos;
constexpr std::size_t MAX_DWORD_DIGITS = 9;

int HexDigit(char c)
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

bool Contains(std::string_view line, std::string_view part)
{
    return line.find(part) != NONE;
}

// The hexadecimal digits at the start of field, 0xFFFFFFFF when they do not
// fit in 32 bits, 0 when there are none.
DWORD ParseDword(std::string_view field)
{
    std::uint64_t value = 0;
    for (char c : field) {
        int digit = HexDigit(c);
        if (digit < 0) {
            break;
        }
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return value > 0xFFFFFFFFull ? 0xFFFFFFFF : static_cast<DWORD>(value);
}

// The bytes of a "hex:" field, count of them, into out: at each character
// that is not ',' or ' ', the low byte of the hexadecimal digits there; the
// walk then moves three characters on. Bytes that the field runs out before
// are 0.
void ParseHexBytes(std::string_view field, BYTE* out, std::size_t count)
{
    std::size_t stored = 0;
    for (std::size_t at = 0; stored < count && at < field.size();) {
        if (field[at] == ',' || field[at] == ' ') {
            ++at;
            continue;
        }
        unsigned value = 0;
        for (std::size_t digit = at; digit < field.size() && HexDigit(field[digit]) >= 0; ++digit) {
            value = ((value << 4) | static_cast<unsigned>(HexDigit(field[digit]))) & 0xFF;
        }
        out[stored++] = static_cast<BYTE>(value);
        at += 3;
    }
    while (stored < count) {
        out[stored++] = 0;
    }
}

std::size_t CountHexCharacters(std::string_view field)
{
    std::size_t count = 0;
    for (char c : field) {
        if (c != ',' && c != ' ') {
            ++count;
        }
    }
    return count;
}

// A value line being built in a fixed buffer; once it would pass its
// capacity it stays Full() and is not used.
class LineBuilder {
public:
    LineBuilder(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {}
    void Add(char c)
    {
        if (length_ < capacity_) {
            out_[length_] = c;
        }
        ++length_;
    }
    void Add(std::string_view text)
    {
        for (char c : text) {
            Add(c);
        }
    }
    bool Full() const
    {
        return length_ > capacity_;
    }
    std::size_t Length() const
    {
        return Full() ? 0 : length_;
    }

private:
    char* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

// Builds the value line of name (with its CR LF) into out; returns its
// length, or 0 when the type is not written here or the line does not fit.
std::size_t FormatValueLine(char* out, const char* name, DWORD type, const void* data, DWORD size)
{
    LineBuilder line(out, RegistryScript::MAX_VALUE_LINE);
    line.Add('"');
    line.Add(name);
    line.Add('"');
    switch (type) {
    case REG_DWORD: {
        DWORD value = 0;
        std::memcpy(&value, data, sizeof value);
        char digits[12];
        std::snprintf(digits, sizeof digits, "%x", static_cast<unsigned>(value));
        line.Add("=dword:");
        line.Add(digits);
        break;
    }
    case REG_SZ: {
        const char* characters = static_cast<const char*>(data);
        line.Add("=\"");
        for (DWORD i = 0; i < size && characters[i] != '\0' && !line.Full(); ++i) {
            line.Add(characters[i]);
        }
        line.Add('"');
        break;
    }
    case REG_BINARY: {
        const BYTE* bytes = static_cast<const BYTE*>(data);
        line.Add("=hex:");
        for (DWORD i = 0; i < size && !line.Full(); ++i) {
            char pair[4];
            std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(bytes[i]));
            if (i != 0) {
                line.Add(',');
            }
            line.Add(pair);
        }
        break;
    }
    default:
        return 0;
    }
    line.Add("\r\n");
    return line.Length();
}

}  // namespace

int RegistryScript::ReadValue(const char* driverKey, int n, const char* name, DWORD* type,
                              void* data, DWORD* size)
{
    if (!name || name[0] == '\0' || !type || !size) {
        return 1;
    }
    LocateTemplateSection(driverKey, n);
    if (!sectionFound_) {
        return 1;
    }
    const std::string_view values = Text().substr(valuesStart_, sectionEnd_ - valuesStart_);
    const std::string_view wanted(name);
    std::string_view line;
    std::size_t nameEnd = 0;
    const bool found = ForEachLine(values, LineBreaks::CrAndLf, [&](const ScriptLine& candidate) {
        std::size_t at = candidate.text.find(wanted);
        if (at == NONE) {
            return false;
        }
        line = candidate.text;
        nameEnd = at + wanted.size();
        return true;
    });
    if (!found) {
        return 1;
    }

    const DWORD capacity = *size;
    // The value field: from skip characters after the name to the line's
    // first ';' or its end.
    const std::size_t fieldEnd = std::min(line.find(';'), line.size());
    auto field = [&](std::size_t skip) {
        std::size_t from = nameEnd + skip;
        return from < fieldEnd ? line.substr(from, fieldEnd - from) : std::string_view{};
    };

    if (Contains(line, "dword:")) {
        *type = REG_DWORD;
        *size = sizeof(DWORD);
        if (!data || capacity < sizeof(DWORD)) {
            return 1;
        }
        const DWORD value = ParseDword(field(8).substr(0, MAX_DWORD_DIGITS));
        std::memcpy(data, &value, sizeof value);
        return 0;
    }
    if (Contains(line, "hex:")) {
        const std::string_view bytes = field(6);
        *type = REG_BINARY;
        *size = static_cast<DWORD>(CountHexCharacters(bytes) / 2);
        if (!data || *size > capacity) {
            return 1;
        }
        ParseHexBytes(bytes, static_cast<BYTE*>(data), *size);
        return 0;
    }
    if (Contains(line, "hex(7):") || Contains(line, "multi_sz:")) {
        *type = REG_MULTI_SZ;
        *size = 0;
        return 0;
    }
    // Text: between '=' and the opening quote, and the line's last character.
    const std::size_t length = line.size() > nameEnd + 4 ? line.size() - nameEnd - 4 : 0;
    *type = REG_SZ;
    *size = static_cast<DWORD>(length);
    if (!data || length > capacity) {
        return 1;
    }
    if (length != 0) {
        std::memcpy(data, line.data() + nameEnd + 3, length);
    }
    return 0;
}

int RegistryScript::WriteValue(const char* driverKey, int n, const char* name, DWORD type,
                               const void* data, DWORD size)
{
    if (!name || name[0] == '\0' || !data) {
        return 1;
    }
    // One byte in front for the LF that separates a value added at the end.
    char buffer[MAX_VALUE_LINE + 2];
    buffer[0] = '\n';
    const std::size_t lineLength = FormatValueLine(buffer + 1, name, type, data, size);
    if (lineLength == 0) {
        return 1;
    }
    const std::string_view line(buffer + 1, lineLength);

    LocateTemplateSection(driverKey, n);
    if (!sectionFound_) {
        return 1;
    }
    const std::string_view text = Text();
    const std::size_t at = text.substr(valuesStart_, sectionEnd_ - valuesStart_).find(name);
    if (at != NONE) {
        // The old line: from the character before the name (its opening
        // quote) to the end of the line break after it.
        const std::size_t nameAt = valuesStart_ + at;
        const std::size_t from = nameAt > valuesStart_ ? nameAt - 1 : valuesStart_;
        Splice(from, EndOfLineBreak(text, nameAt + std::strlen(name)), line);
    } else if (sectionEnd_ == text.size()) {
        Splice(text.size(), text.size(), std::string_view(buffer, lineLength + 1));
    } else {
        const std::size_t insertAt = EndOfSectionValues();
        Splice(insertAt, insertAt, line);
    }
    return 0;
}

std::size_t RegistryScript::EndOfSectionValues() const
{
    const std::string_view text = Text();
    const std::size_t lastLineStart = StartOfLine(text, sectionEnd_);
    std::size_t insertAt = valuesStart_;
    for (std::size_t at = valuesStart_; at < lastLineStart;) {
        const std::size_t next = EndOfLineBreak(text, at);
        const std::size_t contentEnd = std::min(text.find_first_of("\r\n", at), next);
        const std::string_view content = text.substr(at, contentEnd - at);
        if (!IsBlankLine(content) && !IsCommentLine(content)) {
            insertAt = next;
        }
        at = next;
    }
    return insertAt;
}

void RegistryScript::Splice(std::size_t from, std::size_t to, std::string_view insert)
{
    // The new bytes are written over the old ones before the file is cut to
    // its new length, so that a write that fails at once leaves the file as
    // it was.
    const std::string_view tail = Text().substr(to);
    file_.Seek(static_cast<LONG>(from), FILE_BEGIN);
    file_.Write(insert.data(), static_cast<DWORD>(insert.size()));
    file_.Write(tail.data(), static_cast<DWORD>(tail.size()));
    file_.SetLength(static_cast<DWORD>(from + insert.size() + tail.size()));
    ReloadText();
}

int RegistryScript::AccessValues(const char* driverKey, int n, ScriptValueEntry* table, int mode)
{
    if (!table) {
        return 0;
    }
    if (mode == SCRIPT_ACCESS_WRITE) {
        for (ScriptValueEntry* row = table; row->name; ++row) {
            const DWORD bytes = row->type == REG_DWORD ? sizeof(DWORD) : row->size;
            try {
                if (WriteValue(driverKey, n, row->name, row->type, row->data, bytes) != 0) {
                    return 0;
                }
            } catch (const vtfw::FileException&) {
                return 0;
            }
        }
        return 1;
    }
    int lastRead = 1;
    for (ScriptValueEntry* row = table; row->name; ++row) {
        lastRead = ReadValue(driverKey, n, row->name, &row->type, row->data, &row->size) == 0;
    }
    return lastRead;
}
