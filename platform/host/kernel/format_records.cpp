// Formatting calls recorded for later: the format text and the arguments
// its directives take, copied into a record at the time of the call, and
// replayed into exactly the text that formatting then would have given.
#include "platform/host/kernel/format_walk.h"
#include "platform/host/kernel/wide_format.h"

namespace vtsim::internal {
namespace formatting {
namespace {

// Takes no notice of the pieces: a recording walk only collects arguments.
struct NoSink {
    void Literal(const char16_t*, std::size_t) {}
    void Integer(const Spec&, char, int) {}
    void Char(const Spec&, char16_t) {}
    void String(const Spec&, std::u16string_view) {}
};

// Record layout, in 16-bit units: the length of the argument part (two
// units, low first), the arguments (an integer as two units, low first; a
// string as its length in two units and its characters), then the format
// text and its terminator.
void PutWord(std::u16string& record, std::uint32_t value)
{
    const char16_t units[2] = {static_cast<char16_t>(value & 0xFFFF),
                               static_cast<char16_t>(value >> 16)};
    record.append(units, 2);
}

std::uint32_t WordAt(std::u16string_view record, std::size_t at)
{
    return static_cast<std::uint32_t>(record[at]) | static_cast<std::uint32_t>(record[at + 1])
                                                        << 16;
}

// The caller's arguments, copied into a record as they are taken.
class RecordingArgs {
public:
    RecordingArgs(va_list args, std::u16string& record) : call_(args), record_(record) {}

    int Int()
    {
        const int value = call_.Int();
        PutWord(record_, static_cast<std::uint32_t>(value));
        return value;
    }
    std::u16string_view Text(bool narrow)
    {
        const std::u16string_view text = call_.Text(narrow);
        PutWord(record_, static_cast<std::uint32_t>(text.size()));
        record_.append(text);
        return text;
    }

private:
    CallArgs call_;
    std::u16string& record_;
};

// The arguments of a record, in the order they were taken.
class RecordedArgs {
public:
    RecordedArgs(std::u16string_view records, std::size_t at) : records_(records), at_(at) {}

    int Int()
    {
        const std::uint32_t value = WordAt(records_, at_);
        at_ += 2;
        return static_cast<int>(value);
    }
    std::u16string_view Text(bool)
    {
        const std::size_t length = WordAt(records_, at_);
        const std::u16string_view text = records_.substr(at_ + 2, length);
        at_ += 2 + length;
        return text;
    }

private:
    std::u16string_view records_;
    std::size_t at_;
};

}  // namespace
}  // namespace formatting

using formatting::NoSink;
using formatting::PutWord;
using formatting::RecordedArgs;
using formatting::RecordingArgs;
using formatting::TextSink;
using formatting::WalkFormat;
using formatting::WordAt;

void RecordFormatted(std::u16string& records, LPCWSTR format, va_list args)
{
    const std::size_t header = records.size();
    PutWord(records, 0);
    if (format == nullptr) {
        format = u"";
    }
    const char16_t* end = nullptr;
    {
        RecordingArgs recording(args, records);
        NoSink sink;
        end = WalkFormat(format, recording, sink);
    }
    const std::size_t argumentUnits = records.size() - header - 2;
    records[header] = static_cast<char16_t>(argumentUnits & 0xFFFF);
    records[header + 1] = static_cast<char16_t>(argumentUnits >> 16);
    records.append(format, static_cast<std::size_t>(end - format) + 1);  // with its terminator
}

std::size_t AppendRecorded(std::u16string& out, std::u16string_view records, std::size_t at)
{
    const std::size_t arguments = at + 2;
    const std::size_t formatAt = arguments + WordAt(records, at);
    const std::size_t terminator = records.find(u'\0', formatAt);
    RecordedArgs recorded(records, arguments);
    TextSink sink(out);
    WalkFormat(records.data() + formatAt, recorded, sink);
    return terminator + 1;
}

}  // namespace vtsim::internal
