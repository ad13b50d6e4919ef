// The reader and writer of the board package's registry script: the text
// file whose "[...]" header lines name registry keys and whose value lines
// ("SwitchID"=dword:3) give the values of the last named key. It finds the
// sections of one template of one driver key, reads and replaces value
// lines in them, appends template headers and cuts whole sections out;
// every byte it does not touch stays as it was.
//
// It reads the script as the target's registry does when it boots from it
// (configurator/script_lines.h): the same line breaks, comments,
// continuations, key headers (the key path without regard to case, the
// short root HKLM) and value names (exact, without regard to case; the last
// assignment wins). A template key is a key named after the driver key's
// template key, "[HKEY_LOCAL_MACHINE\Drivers\BuiltIn\PCI\Template\K\Template<n>]";
// one template may have several sections, read as one key. A template
// section runs from the "[" of its header up to the "[" of the next header,
// or to the end of the text. Lines that this code writes end with CR LF,
// except the single LF that separates a value added at the end of the file
// from what precedes it. UTF-16 scripts (with their byte-order mark) are
// read and written back as UTF-16; in memory their text is UTF-8.
//
// Changes are made to the text in memory. By default each change is then
// saved at once; after DeferCommits they wait for Commit. A save is all or
// nothing (vtfw::SaveFileAtomically): the file holds its old text or its
// new one, whatever stops the save. The file is open only while Open reads
// it.
//
// One object serves one step of the editor: Open, one or more operations,
// Close. Used by one thread at a time.
//
//     RegistryScript script;
//     if (script.Open(path, "VTC4100") == 0 && !script.IsReadOnly()) {   // driver key RLX4100S
//         script.DeferCommits();
//         DWORD switchId = 3, triggerMode = 5;
//         ScriptValueEntry rows[] = {{"SwitchID", REG_DWORD, 4, &switchId},
//                                    {"TriggerMode", REG_DWORD, 4, &triggerMode},
//                                    {nullptr, 0, 0, nullptr}};
//         if (!script.HasTemplateSection(0, script.DriverKey())) script.AppendTemplateSection(0);
//         script.AccessValues(script.DriverKey(), 0, rows, SCRIPT_ACCESS_WRITE);
//         if (script.Commit() != ERROR_SUCCESS) { /* script.LastFailure() says why */ }
//         script.Close();
//     }
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/framework/application.h"
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

// Why a script may not be changed: the line (from 1; 0 when the whole text
// is meant) and what is wrong there, in words for a person.
struct ScriptProblem {
    std::size_t line = 0;
    char reason[160] = {};
    bool Found() const
    {
        return reason[0] != '\0';
    }
};

class RegistryScript {
public:
    static constexpr std::size_t MAX_BOARD_NAME = 19;
    static constexpr std::size_t MAX_DRIVER_KEY = 19;
    static constexpr std::size_t MAX_SEARCH_TEXT = 127;
    static constexpr std::size_t MAX_VALUE_LINE = 255;  // with its CR LF
    static constexpr std::size_t HEADER_PREFIX_LENGTH = 49;
    // The largest script it reads: as large as the target boots from.
    static constexpr std::size_t MAX_FILE_LENGTH = std::size_t{16} << 20;

    RegistryScript() = default;
    ~RegistryScript()
    {
        Close();
    }
    RegistryScript(const RegistryScript&) = delete;
    RegistryScript& operator=(const RegistryScript&) = delete;

    // Reads the existing script file whole and closes it again. The driver
    // key is "RLX" + boardName from its fourth character on + "S"
    // ("VTC4100" gives "RLX4100S"). A file that opens for reading but not
    // for writing (ERROR_ACCESS_DENIED) is read and IsReadOnly. Returns 0,
    // or the platform's error code with nothing set: that of the failed open
    // or read, ERROR_FILE_TOO_LARGE over MAX_FILE_LENGTH bytes,
    // ERROR_NOT_ENOUGH_MEMORY without memory for the text,
    // ERROR_INVALID_PARAMETER for a board name that is NULL, longer than 19
    // characters or whose driver key would be. A script that was open is
    // closed first (pending changes dropped). Never raises.
    int Open(LPCWSTR scriptPath, const char* boardName);
    // Drops the text and any change not committed.
    void Close();
    // The board name whose driver key AppendTemplateSection and
    // ScanTemplateNumbers use from now on (the text stays). False, changing
    // nothing, for a name Open would refuse.
    bool SelectBoard(const char* boardName);

    // Opened for reading only; the code of the failed open for writing.
    bool IsReadOnly() const
    {
        return readOnlyError_ != ERROR_SUCCESS;
    }
    DWORD ReadOnlyError() const
    {
        return readOnlyError_;
    }
    // The first thing that keeps the editor from changing the templates of
    // driverKey without changing what the boards get at boot: a key that the
    // driver reads as a template of driverKey but that is not one of
    // Template0 to Template15, a SwitchID or TriggerMode line in a template
    // section that the target refuses, or a text that does not read back
    // unchanged (a UTF-16 text that is not well formed, UTF-16 big-endian).
    ScriptProblem FindProblem(const char* driverKey) const;

    // The set of template numbers 0 to 15 (bit n for template n) that have a
    // header of this object's driver key.
    int ScanTemplateNumbers();

    // 1 when template n of driverKey has a header, else 0 (also for a NULL
    // key or one whose header would pass its limits).
    int HasTemplateSection(int n, const char* driverKey);

    // Adds " " CR LF, the header line of template n of this object's driver
    // key and " " CR LF at the end of the text. Returns 0; 1, changing
    // nothing, when no script is open, n is not 0 to 15, or there is no
    // memory. Raises FileException when the change is saved at once and the
    // save fails.
    int AppendTemplateSection(int n);

    // Records the span of the last section of template n of driverKey:
    // start is its header's "[", end the next header's "[" or the text's
    // length. Not found: start = end = the text's length, and SectionFound()
    // is false.
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

    // Reads value name of template n of driverKey: its last assignment in
    // the template's sections, the name matched whole without regard to
    // case. *size on entry is the capacity of data in bytes; on success
    // *type and *size are the value's type and size in bytes and data holds
    // the value:
    //   dword:h..h (1 to 8 hexadecimal digits): REG_DWORD, 4;
    //   hex:bb,bb,...: REG_BINARY, one byte a two-digit item;
    //   hex(7):... or multi_sz:...: REG_MULTI_SZ, size 0, nothing stored;
    //   "text": REG_SZ, the text with its escapes undone, without a NUL.
    // Returns 0 on success; 1 when name, type or size is NULL or name is
    // empty, the template or the value is not there or its data is none of
    // these forms as the target reads them (nothing output), data is NULL
    // (only type and size output), or the value does not fit data's capacity
    // (type and size output, data untouched).
    int ReadValue(const char* driverKey, int n, const char* name, DWORD* type, void* data,
                  DWORD* size);

    // Writes value name of template n of driverKey as the line
    //   "name"=dword:<lower-case hex>   (REG_DWORD, the DWORD at data)
    //   "name"="<size characters of data, fewer up to a NUL>"   (REG_SZ)
    //   "name"=hex:<upper-case bytes separated by ','>   (REG_BINARY)
    // ending in CR LF. Where the value has a line (its last assignment), the
    // line from its opening quote to the end of its line break is replaced
    // (with its comment and continuation lines). Otherwise the line goes at
    // the end of the template's last section: for the file's last section at
    // the end of the file after a single LF; for another section after its
    // last line that holds more than blanks and comments. Returns 0; 1,
    // changing nothing, when name or data is NULL or name is empty, the type
    // is not one of the three, the line would pass 255 characters, the
    // template has no section, or there is no memory. Raises FileException
    // when the change is saved at once and the save fails.
    int WriteValue(const char* driverKey, int n, const char* name, DWORD type, const void* data,
                   DWORD size);

    // Cuts every section of template n of driverKey out of the text: the
    // text after each moves down to its start. A template that is not there
    // changes nothing. Returns 0; 1, changing nothing, without memory.
    // Raises FileException when the change is saved at once and the save
    // fails.
    int DeleteTemplateSection(int n, const char* driverKey);

    // mode SCRIPT_ACCESS_WRITE: WriteValue for each row in order (byte count:
    // 4 for REG_DWORD, else the row's size); the first row that fails, or
    // whose save raises a FileException, ends the loop. Returns 1 when every
    // row was written, else 0.
    // Any other mode: ReadValue for every row into its data, its size as the
    // capacity, its type and size receiving what the file holds. Returns 1
    // when the last row was read, else 0, whatever became of the rows before.
    // A table without rows gives 1; a NULL table gives 0.
    int AccessValues(const char* driverKey, int n, ScriptValueEntry* table, int mode);

    // From now on changes wait for Commit instead of being saved one by one.
    void DeferCommits()
    {
        deferred_ = true;
    }
    // Saves the text when it changed since it was read or last saved: all
    // or nothing, in the file's own encoding. Returns ERROR_SUCCESS, or the
    // failed step's error code with LastFailure() telling the step; the file
    // then holds its old text and the changes stay in memory. A read-only
    // script fails with its ReadOnlyError(); a text whose structure would
    // read back differently from what the operations made (a header swallowed
    // by a continuation before it) with ERROR_INVALID_DATA.
    DWORD Commit();
    vtfw::FileException LastFailure() const
    {
        return lastFailure_;
    }
    bool HasChanges() const
    {
        return changed_;
    }

    // The driver key and the section prefix derived at Open, and the text as
    // last read and changed (empty when closed; UTF-8 for a UTF-16 file).
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

    // A key header: where its "[" is, where its values begin, and the
    // template it names (driverKey in lower case and the number; number -1
    // when it names no template key, -2 for a key the driver reads as a
    // template that is not Template0 to Template15).
    struct Header {
        std::size_t start;
        std::size_t valuesStart;
        std::string driverKey;
        int number;
    };
    // A value line found in a template's sections.
    struct ValueLine {
        std::size_t quote;  // its opening quote
        std::size_t end;    // after its line break
        std::string data;   // the data after '='
    };

    bool ReadFile(LPCWSTR scriptPath, DWORD* error);
    bool Reindex(std::vector<Header>* headers) const;
    std::size_t SectionEndOf(std::size_t index) const;
    bool IsSectionOf(const Header& header, const char* driverKey, int n) const;
    bool FindValue(const char* driverKey, int n, const char* name, ValueLine* line) const;
    // Replaces the bytes [from, to) of the text with insert; headers at or
    // after to move with the text (the caller drops those inside).
    // False, changing nothing, without memory.
    bool Splice(std::size_t from, std::size_t to, std::string_view insert);
    // After a change: saves it unless commits are deferred (raises then).
    void Changed();
    std::size_t EndOfSectionValues(std::size_t index) const;

    vtfw::WString path_;
    char boardName_[MAX_BOARD_NAME + 1] = {};
    char driverKey_[MAX_DRIVER_KEY + 1] = {};
    char sectionPrefix_[256] = {};
    LocalText text_;  // NUL-terminated
    std::size_t textLength_ = 0;
    std::size_t capacity_ = 0;
    std::vector<Header> headers_;  // in the text's order
    bool utf16_ = false;
    ScriptProblem textProblem_;
    DWORD readOnlyError_ = ERROR_SUCCESS;
    bool deferred_ = false;
    bool changed_ = false;
    vtfw::FileException lastFailure_{vtfw::FileException::Operation::Write, ERROR_SUCCESS};
    std::size_t sectionStart_ = 0;
    std::size_t sectionEnd_ = 0;
    std::size_t valuesStart_ = 0;
    bool sectionFound_ = false;
};
