// The registry script's value lines: reading, writing and the table-driven
// access of the editor.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "configurator/registry_script.h"
#include "configurator/script_lines.h"

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && NamesEqualNoCase(text.substr(0, prefix.size()), prefix);
}

// The bytes of a "hex:" list as the target reads them: items separated by
// ',', each one or two hexadecimal digits between blanks. False for any
// other list.
bool ParseHexList(std::string_view list, std::vector<BYTE>* bytes)
{
    list = TrimBlanks(list);
    if (list.empty()) {
        return true;
    }
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view item = TrimBlanks(list.substr(0, comma));
        if (item.empty() || item.size() > 2 || HexDigitValue(item[0]) < 0 ||
            (item.size() == 2 && HexDigitValue(item[1]) < 0)) {
            return false;
        }
        bytes->push_back(static_cast<BYTE>(item.size() == 1 ? HexDigitValue(item[0])
                                                            : HexDigitValue(item[0]) * 16 +
                                                                  HexDigitValue(item[1])));
        if (comma == std::string_view::npos) {
            return true;
        }
        list.remove_prefix(comma + 1);
    }
}

// The text of a quoted data field with its escapes undone; false when the
// quotes do not enclose the whole field.
bool ParseQuotedData(std::string_view data, std::string* text)
{
    text->clear();
    if (data.empty() || data.front() != '"') {
        return false;
    }
    for (std::size_t at = 1; at < data.size(); ++at) {
        const char c = data[at];
        if (c == '\\' && at + 1 < data.size() && (data[at + 1] == '\\' || data[at + 1] == '"')) {
            text->push_back(data[++at]);
        } else if (c == '"') {
            return TrimBlanks(data.substr(at + 1)).empty();
        } else {
            text->push_back(c);
        }
    }
    return false;
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

bool RegistryScript::FindValue(const char* driverKey, int n, const char* name,
                               ValueLine* found) const
{
    const std::string_view text = Text();
    bool any = false;
    for (std::size_t i = 0; i < headers_.size(); ++i) {
        if (!IsSectionOf(headers_[i], driverKey, n)) {
            continue;
        }
        ForEachLogicalLine(text.substr(0, SectionEndOf(i)), headers_[i].valuesStart, 0,
                           [&](const ScriptLogicalLine& line) {
                               std::string lineName;
                               std::string_view data;
                               if (line.kind == ScriptLineKind::Value &&
                                   ParseValueLine(line.content, &lineName, &data) &&
                                   NamesEqualNoCase(lineName, name)) {
                                   found->quote = text.find('"', line.start);
                                   found->end = line.end;
                                   found->data.assign(data);
                                   any = true;  // a later assignment wins
                               }
                               return false;
                           });
    }
    return any;
}

int RegistryScript::ReadValue(const char* driverKey, int n, const char* name, DWORD* type,
                              void* data, DWORD* size)
{
    if (!name || name[0] == '\0' || !type || !size) {
        return 1;
    }
    ValueLine line;
    try {
        if (!FindValue(driverKey, n, name, &line)) {
            return 1;
        }
        const DWORD capacity = *size;
        const std::string_view field = line.data;
        unsigned long number = 0;
        std::vector<BYTE> bytes;
        std::string characters;
        const void* value = nullptr;
        DWORD found = 0;
        DWORD kind = REG_NONE;
        if (StartsWithNoCase(field, "dword:")) {
            if (ParseDwordData(field, &number) != DwordData::Valid) {
                return 1;
            }
            kind = REG_DWORD;
            found = sizeof(DWORD);
        } else if (StartsWithNoCase(field, "hex:")) {
            if (!ParseHexList(field.substr(4), &bytes)) {
                return 1;
            }
            kind = REG_BINARY;
            found = static_cast<DWORD>(bytes.size());
            value = bytes.data();
        } else if (StartsWithNoCase(field, "hex(7):") || StartsWithNoCase(field, "multi_sz:")) {
            *type = REG_MULTI_SZ;
            *size = 0;
            return 0;
        } else if (ParseQuotedData(field, &characters)) {
            kind = REG_SZ;
            found = static_cast<DWORD>(characters.size());
            value = characters.data();
        } else {
            return 1;
        }
        *type = kind;
        *size = found;
        if (!data || found > capacity) {
            return 1;
        }
        if (kind == REG_DWORD) {
            const DWORD dword = static_cast<DWORD>(number);
            std::memcpy(data, &dword, sizeof dword);
        } else if (found != 0) {
            std::memcpy(data, value, found);
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return 1;
    }
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

    std::size_t last = headers_.size();
    for (std::size_t i = 0; i < headers_.size(); ++i) {
        if (IsSectionOf(headers_[i], driverKey, n)) {
            last = i;
        }
    }
    if (last == headers_.size()) {
        return 1;
    }
    bool done = false;
    try {
        ValueLine old;
        if (FindValue(driverKey, n, name, &old)) {
            done = Splice(old.quote, old.end, line);
        } else if (SectionEndOf(last) == textLength_) {
            done = Splice(textLength_, textLength_, std::string_view(buffer, lineLength + 1));
        } else {
            const std::size_t insertAt = EndOfSectionValues(last);
            done = Splice(insertAt, insertAt, line);
        }
    } catch (const std::bad_alloc&) {
        return 1;
    }
    if (!done) {
        return 1;
    }
    Changed();
    return 0;
}

std::size_t RegistryScript::EndOfSectionValues(std::size_t index) const
{
    std::size_t insertAt = headers_[index].valuesStart;
    ForEachLogicalLine(Text().substr(0, SectionEndOf(index)), insertAt, 0,
                       [&](const ScriptLogicalLine& line) {
                           if (line.kind != ScriptLineKind::Empty) {
                               insertAt = line.end;
                           }
                           return false;
                       });
    return insertAt;
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
