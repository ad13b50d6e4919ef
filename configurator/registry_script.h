// The reader and writer of the board package's registry script: the text
// file whose "[...]" header lines name registry keys and whose value lines
// ("SwitchID"=dword:3) give the values of the last named key. It finds the
// section of one template of one driver key, reads and replaces value lines
// in it, appends template headers and cuts whole sections out, editing the
// file in place: every byte it does not touch stays as it was.
//
// The template header line of template n of driver key K is
//     [HKEY_LOCAL_MACHINE\Drivers\BuiltIn\PCI\Template\K\Template<n>]
// (n in decimal; the text before K is always these 49 characters). A
// template's section runs from the "[" that opens its header line up to, not
// including, the next "[" that opens a line, or to the end of the text. A
// line that holds ';' anywhere is a comment line for the header searches.
// Lines that this code writes end with CR LF, except the single LF that
// separates a value added at the end of the file from what precedes it.
//
// Text is 8-bit; NUL bytes in it are ordinary characters. Each change goes to
// the file at once, and the text in memory is then read again from the file.
// Errors of the file layer (vtfw::FileException) are caught by AccessValues
// while it writes values; everywhere else they reach the caller.
//
// One object serves one step of the editor: Open, one to three operations,
// Close. Used by one thread at a time.
//
//     RegistryScript script;
//     if (script.Open(path, "VTC4100") == 0) {           // driver key RLX4100S
//         DWORD switchId = 3, triggerMode = 5;
//         ScriptValueEntry rows[] = {{"SwitchID", REG_DWORD, 4, &switchId},
//                                    {"TriggerMode", REG_DWORD, 4, &triggerMode},
//                                    {nullptr, 0, 0, nullptr}};
//         if (!script.HasTemplateSection(0, script.DriverKey())) script.AppendTemplateSection(0);
//         script.AccessValues(script.DriverKey(), 0, rows, SCRIPT_ACCESS_WRITE);
//         script.Close();
//     }
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/framework/file.h"
#include "platform/types.h"

// One row of a value table for RegistryScript::AccessValues. A table is an
// array of rows ended by a row whose name is NULL.
struct ScriptValueEntry {
    const char* name;  // value name; NULL ends the table
    DWORD type;        // REG_DWORD, REG_BINARY or REG_SZ (also REG_MULTI_SZ when read)
    DWORD size;        // bytes at data (written), or data's capacity and then the size found (read)
    void* data;
};

// AccessValues modes: SCRIPT_ACCESS_WRITE writes the rows; any other mode reads them.
constexpr int SCRIPT_ACCESS_READ = 0;
constexpr int SCRIPT_ACCESS_WRITE = 1;

// Frees memory of LocalAlloc.
struct LocalMemoryDeleter {
    void operator()(void* memory) const noexcept;
};

class RegistryScript {
public:
    static constexpr std::size_t MAX_BOARD_NAME = 19;
    static constexpr std::size_t MAX_DRIVER_KEY = 19;
    static constexpr std::size_t MAX_SEARCH_TEXT = 127;
    static constexpr std::size_t MAX_VALUE_LINE = 255;  // with its CR LF
    static constexpr std::size_t HEADER_PREFIX_LENGTH = 49;
    // Longer files are taken as files for whose text there is no memory.
    static constexpr std::size_t MAX_TEXT_LENGTH = 0x7FFFFFFF;

    RegistryScript() = default;
    ~RegistryScript()
    {
        Close();
    }
    RegistryScript(const RegistryScript&) = delete;
    RegistryScript& operator=(const RegistryScript&) = delete;

    // Opens the existing script file for reading and writing and reads it
    // whole (a file over MAX_TEXT_LENGTH bytes is taken as one for whose text
    // there is no memory). The driver key is "RLX" + boardName from its fourth character on
    // + "S" ("VTC4100" gives "RLX4100S"). Returns 0, or the platform's error
    // code of the failed open (nothing else is set then);
    // ERROR_INVALID_PARAMETER, opening nothing, for a board name that is NULL,
    // longer than 19 characters or whose driver key would be. A script that
    // was open is closed first. Without memory for the text the text stays
    // empty and every later search finds nothing. Raises FileException when
    // the file opens but cannot be read.
    int Open(LPCWSTR scriptPath, const char* boardName);
    // Releases the text and closes the file if it is open.
    void Close();

    // The set of template numbers 0 to 15 (bit n for template n) that have a
    // header line of this object's driver key outside comment lines, found
    // without regard to case in the text split at LF. The number is the
    // decimal digits among the two characters after "\Template" ("3]" gives
    // 3, "12" gives 12); a header without a digit there, or above 15, marks
    // nothing. The text is then read again from the file (may raise).
    int ScanTemplateNumbers();

    // 1 when a line outside the comment lines (the text split at every CR and
    // every LF) contains driverKey + "\Template" + n + "]", case-sensitively;
    // else 0 (also for a NULL key or a search text over 127 characters). The
    // text is then read again from the file (may raise).
    int HasTemplateSection(int n, const char* driverKey);

    // Writes " " CR LF, the header line of template n of this object's driver
    // key, " " CR LF at the end of the file, and reads the text again.
    // Returns 0, or 1 when no script is open. Raises FileException when the
    // file layer fails.
    int AppendTemplateSection(int n);

    // Finds the section of template n of driverKey and records its span: the
    // header is the first occurrence of the search text (as
    // HasTemplateSection) outside comment lines; start is the last "[" before
    // it on its line (the line's start when there is none), end the next "["
    // that opens a line, or the text's length. Not found: start = end = the
    // text's length, and SectionFound() is false.
    void LocateTemplateSection(const char* driverKey, int n);
    std::size_t SectionStart() const
    {
        return sectionStart_;
    }
    std::size_t SectionEnd() const
    {
        return sectionEnd_;
    }
    // Where the value lines begin: right after the header line's break.
    std::size_t SectionValuesStart() const
    {
        return valuesStart_;
    }
    bool SectionFound() const
    {
        return sectionFound_;
    }

    // Reads value name of template n of driverKey from the first line after
    // the header line in the section (split at every CR and LF) that contains
    // the name anywhere.
    // *size on entry is the capacity of data in bytes; on success *type and
    // *size are the value's type and size in bytes and data holds the value:
    //   a line with "dword:": REG_DWORD, 4; the hexadecimal digits from the
    //     8th character after the name (at most 9 characters, up to the
    //     line's first ';'), 0xFFFFFFFF when they do not fit in 32 bits;
    //   else "hex:": REG_BINARY; the size is half the count of characters
    //     other than ',' and ' ' from the 6th character after the name up to
    //     the first ';', each byte the low byte of the hexadecimal digits at
    //     a character that is not ',' or ' ' (the walk then moves 3 on);
    //     bytes that the field runs out before are 0;
    //   else "hex(7):" or "multi_sz:": REG_MULTI_SZ, size 0, nothing stored;
    //   else REG_SZ: the characters from the 3rd after the name up to the
    //     line's last one (size = line length - name end - 4, never below 0),
    //     without a NUL.
    // Returns 0 on success; 1 when name, type or size is NULL or name is
    // empty, the template or the value is not there (nothing output), data
    // is NULL (only type and size output), or the value does not fit data's
    // capacity (type and size output, data untouched).
    int ReadValue(const char* driverKey, int n, const char* name, DWORD* type, void* data,
                  DWORD* size);

    // Writes value name of template n of driverKey as the line
    //   "name"=dword:<lower-case hex>   (REG_DWORD, the DWORD at data)
    //   "name"="<size characters of data, fewer up to a NUL>"   (REG_SZ)
    //   "name"=hex:<upper-case bytes separated by ','>   (REG_BINARY)
    // ending in CR LF. When the section contains the name after its header
    // line (first occurrence, anywhere in the text), the old line from the
    // character before the name (not before the line after the header) to
    // the end of its line break (CR LF, LF or CR; the end of the file when
    // none) is replaced by the new line. Otherwise the line goes at the
    // end of the section: for the file's last section at the end of the file
    // after a single LF; for another section after its last line that is
    // neither blank nor a comment line. Then reads the text again. Returns
    // 0; 1, writing nothing, when name or data is NULL or name is empty, the
    // type is not one of the three, the line would pass 255 characters, or
    // the template has no section. Raises FileException when the file layer
    // fails: a write that fails before writing anything leaves the file as
    // it was, a later failure may leave part of the change.
    int WriteValue(const char* driverKey, int n, const char* name, DWORD type, const void* data,
                   DWORD size);

    // Cuts the section of template n of driverKey out of the file: the text
    // after it moves down to its start (the file is cut where the section
    // began when it is the last). The text in memory becomes the file's new
    // content. A template that is not there leaves the file untouched.
    // Returns 0. Raises FileException when the file layer fails.
    int DeleteTemplateSection(int n, const char* driverKey);

    // mode SCRIPT_ACCESS_WRITE: WriteValue for each row in order (byte count:
    // 4 for REG_DWORD, else the row's size); the first row that fails, or
    // whose write raises a FileException, ends the loop. Returns 1 when every
    // row was written, else 0.
    // Any other mode: ReadValue for every row into its data, its size as the
    // capacity, its type and size receiving what the file holds. Returns 1
    // when the last row was read, else 0, whatever became of the rows before.
    // A table without rows gives 1; a NULL table gives 0.
    int AccessValues(const char* driverKey, int n, ScriptValueEntry* table, int mode);

    // The driver key and the section prefix derived at Open, and the text as
    // last read (empty when closed).
    const char* DriverKey() const
    {
        return driverKey_;
    }
    const char* SectionPrefix() const
    {
        return sectionPrefix_;
    }
    std::string_view Text() const
    {
        return {text_ ? text_.get() : "", textLength_};
    }

private:
    using LocalText = std::unique_ptr<char[], LocalMemoryDeleter>;

    // Reads the whole file into a new text (nothing when no file is open;
    // an empty text when no memory can be had).
    void ReloadText();
    void ReleaseText();
    // Replaces the bytes [from, to) of the file with insert and reads the
    // text again. A write that fails at once leaves the file as it was.
    void Splice(std::size_t from, std::size_t to, std::string_view insert);
    // Where a value missing from the located section goes when the section is
    // not the file's last: after its last line that is neither blank nor a
    // comment line (right after the header line when there is none).
    std::size_t EndOfSectionValues() const;

    vtfw::File file_;
    char boardName_[MAX_BOARD_NAME + 1] = {};
    char driverKey_[MAX_DRIVER_KEY + 1] = {};
    char sectionPrefix_[256] = {};
    LocalText text_;  // NUL-terminated
    std::size_t textLength_ = 0;
    std::size_t sectionStart_ = 0;
    std::size_t sectionEnd_ = 0;
    std::size_t valuesStart_ = 0;
    bool sectionFound_ = false;
};
