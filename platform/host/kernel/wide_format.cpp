// Wide-string formatting (the printf subset the package uses), at once or
// from a record made at the time of the call. One walker reads the format's
// directives for both, so the record takes exactly the arguments that the
// formatting consumes.
#include "platform/host/kernel/wide_format.h"

#include <algorithm>
#include <cstdint>

namespace vtsim::internal {
namespace {

struct Spec {
    bool leftAlign = false;
    bool zeroPad = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;  // -1: none
    char size = 0;       // 'h', 'l' or 0
};

// ---- Directives -------------------------------------------------------------------
//
// Args gives the arguments in order: Int() for an integer (and a '*' width
// or precision), Text(narrow) for a string. Sink receives the pieces:
// Literal(begin, count) for text copied as it stands, Integer(spec,
// conversion, value), Char(spec, value) and String(spec, text).

// Returns the format's terminator.
template <typename Args, typename Sink>
const char16_t* WalkFormat(const char16_t* format, Args& args, Sink& sink)
{
    const char16_t* p = format;
    for (; *p != u'\0'; ++p) {
        if (*p != u'%') {
            // The literal run up to the next directive in one step.
            const char16_t* run = p;
            while (p[1] != u'\0' && p[1] != u'%') {
                ++p;
            }
            sink.Literal(run, static_cast<std::size_t>(p - run + 1));
            continue;
        }
        const char16_t* start = p++;
        Spec spec;
        for (;; ++p) {
            if (*p == u'-') {
                spec.leftAlign = true;
            } else if (*p == u'0') {
                spec.zeroPad = true;
            } else if (*p == u'+') {
                spec.plus = true;
            } else if (*p == u' ') {
                spec.space = true;
            } else if (*p == u'#') {
                spec.alternate = true;
            } else {
                break;
            }
        }
        // Widths and precisions beyond 2^20 count as 2^20.
        if (*p == u'*') {
            const std::int64_t width = args.Int();
            spec.leftAlign = spec.leftAlign || width < 0;
            spec.width =
                static_cast<int>(std::min<std::int64_t>(width < 0 ? -width : width, 1 << 20));
            ++p;
        } else {
            for (; *p >= u'0' && *p <= u'9'; ++p) {
                spec.width = std::min(spec.width * 10 + (*p - u'0'), 1 << 20);
            }
        }
        if (*p == u'.') {
            ++p;
            spec.precision = 0;
            if (*p == u'*') {
                spec.precision = std::min(args.Int(), 1 << 20);
                if (spec.precision < 0) {
                    spec.precision = -1;
                }
                ++p;
            } else {
                for (; *p >= u'0' && *p <= u'9'; ++p) {
                    spec.precision = std::min(spec.precision * 10 + (*p - u'0'), 1 << 20);
                }
            }
        }
        if (*p == u'h' || *p == u'l') {
            spec.size = static_cast<char>(*p++);
        }
        switch (*p) {
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X':
            sink.Integer(spec, static_cast<char>(*p), args.Int());
            break;
        case u's':
            sink.String(spec, args.Text(spec.size == 'h'));
            break;
        case u'c':
            sink.Char(spec, static_cast<char16_t>(args.Int()));
            break;
        case u'%':
            sink.Literal(p, 1);
            break;
        case u'\0':
            // A lone '%' (or an unfinished directive) at the end is kept as text.
            sink.Literal(start, static_cast<std::size_t>(p - start));
            --p;
            break;
        default:
            // Unknown directive: copied as text, no argument consumed.
            sink.Literal(start, static_cast<std::size_t>(p + 1 - start));
            break;
        }
    }
    return p;
}

// ---- Emitting text ------------------------------------------------------------------

// Places body (with its prefix such as "-" or "0x") in the field.
void EmitField(std::u16string& out, const Spec& spec, std::u16string_view prefix,
               std::u16string_view body, bool numeric)
{
    std::size_t length = prefix.size() + body.size();
    std::size_t padding = spec.width > 0 && static_cast<std::size_t>(spec.width) > length
                              ? static_cast<std::size_t>(spec.width) - length
                              : 0;
    if (spec.leftAlign) {
        out += prefix;
        out += body;
        out.append(padding, u' ');
    } else if (spec.zeroPad && numeric && spec.precision < 0) {
        out += prefix;
        out.append(padding, u'0');
        out += body;
    } else {
        out.append(padding, u' ');
        out += prefix;
        out += body;
    }
}

// Digits of value in base, at least precision of them (precision 0 with
// value 0 prints nothing), in a caller's buffer rather than on the heap.
struct DigitText {
    std::u16string padded;  // used only for precisions beyond the buffer
    char16_t buffer[40];
    std::size_t length = 0;
    std::u16string_view view() const
    {
        return padded.empty() ? std::u16string_view(
                                    buffer + sizeof(buffer) / sizeof(buffer[0]) - length, length)
                              : std::u16string_view(padded);
    }
};

void Digits(DigitText& text, std::uint64_t value, unsigned base, bool upper, int precision)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    constexpr std::size_t capacity = sizeof(text.buffer) / sizeof(text.buffer[0]);
    char16_t* end = text.buffer + capacity;
    char16_t* p = end;
    while (value != 0) {
        *--p = static_cast<char16_t>(digits[value % base]);
        value /= base;
    }
    std::size_t count = static_cast<std::size_t>(end - p);
    std::size_t minimum = precision < 0 ? 1 : static_cast<std::size_t>(precision);
    if (minimum <= capacity) {
        while (count < minimum) {
            *--p = u'0';
            ++count;
        }
        text.length = count;
    } else {
        text.padded.assign(minimum - count, u'0');
        text.padded.append(p, count);
    }
}

// Writes the pieces of a walk as text. Integers: 'h' is 16 bits, none and
// 'l' are 32 bits (a long is 32 bits on the target, so "%ld" takes a
// LONG/DWORD).
class TextSink {
public:
    explicit TextSink(std::u16string& out) : out_(out) {}

    void Literal(const char16_t* begin, std::size_t count)
    {
        out_.append(begin, count);
    }
    void Integer(const Spec& spec, char conversion, int argument)
    {
        std::u16string_view prefix;
        DigitText body;
        if (conversion == 'd' || conversion == 'i') {
            std::int32_t value = argument;
            if (spec.size == 'h') {
                value = static_cast<std::int16_t>(value);
            }
            std::int64_t wide = value;
            if (wide < 0) {
                prefix = u"-";
            } else if (spec.plus) {
                prefix = u"+";
            } else if (spec.space) {
                prefix = u" ";
            }
            Digits(body, static_cast<std::uint64_t>(wide < 0 ? -wide : wide), 10, false,
                   spec.precision);
        } else {
            std::uint32_t value = static_cast<std::uint32_t>(argument);
            if (spec.size == 'h') {
                value = static_cast<std::uint16_t>(value);
            }
            unsigned base = conversion == 'u' ? 10 : 16;
            if (spec.alternate && base == 16 && value != 0) {
                prefix = conversion == 'X' ? u"0X" : u"0x";
            }
            Digits(body, value, base, conversion == 'X', spec.precision);
        }
        EmitField(out_, spec, prefix, body.view(), true);
    }
    void Char(const Spec& spec, char16_t value)
    {
        EmitField(out_, spec, u"", std::u16string_view(&value, 1), false);
    }
    void String(const Spec& spec, std::u16string_view text)
    {
        if (spec.precision >= 0 && text.size() > static_cast<std::size_t>(spec.precision)) {
            text = text.substr(0, static_cast<std::size_t>(spec.precision));
        }
        EmitField(out_, spec, u"", text, false);
    }

private:
    std::u16string& out_;
};

// Takes no notice of the pieces: a recording walk only collects arguments.
struct NoSink {
    void Literal(const char16_t*, std::size_t) {}
    void Integer(const Spec&, char, int) {}
    void Char(const Spec&, char16_t) {}
    void String(const Spec&, std::u16string_view) {}
};

// ---- Arguments ----------------------------------------------------------------------

// The caller's arguments, in a copy of its va_list.
class CallArgs {
public:
    explicit CallArgs(va_list args)
    {
        va_copy(args_, args);
    }
    ~CallArgs()
    {
        va_end(args_);
    }
    CallArgs(const CallArgs&) = delete;
    CallArgs& operator=(const CallArgs&) = delete;

    int Int()
    {
        return va_arg(args_, int);
    }
    std::u16string_view Text(bool narrow)
    {
        if (narrow) {
            const char* text = va_arg(args_, const char*);
            if (text == nullptr) {
                return u"(null)";
            }
            narrow_.clear();
            for (; *text != '\0'; ++text) {
                narrow_.push_back(static_cast<unsigned char>(*text));
            }
            return narrow_;
        }
        const char16_t* text = va_arg(args_, const char16_t*);
        return text != nullptr ? std::u16string_view(text) : std::u16string_view(u"(null)");
    }

private:
    va_list args_;
    std::u16string narrow_;  // a narrow string widened
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

std::u16string FormatWide(LPCWSTR format, va_list args)
{
    std::u16string out;
    AppendFormatted(out, format, args);
    return out;
}

void AppendFormatted(std::u16string& out, LPCWSTR format, va_list args)
{
    if (format == nullptr) {
        return;
    }
    CallArgs call(args);
    TextSink sink(out);
    WalkFormat(format, call, sink);
}

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
