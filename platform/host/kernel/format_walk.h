// Internal to the kernel's wide-string formatting (wide_format.cpp formats,
// format_records.cpp records and replays): the directive walker both share,
// the sink that writes text, and the caller's arguments.
#pragma once

#include "platform/host/internal_header.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

namespace vtsim::internal::formatting {

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
    void Integer(const Spec& spec, char conversion, int argument);
    void Char(const Spec& spec, char16_t value);
    void String(const Spec& spec, std::u16string_view text);

private:
    std::u16string& out_;
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

}  // namespace vtsim::internal::formatting
