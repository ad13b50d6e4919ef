// The registry script: reading the file, its key headers and template
// sections, appending and deleting sections, and saving the text.
#include "configurator/registry_script.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "configurator/script_encoding.h"
#include "configurator/script_lines.h"
#include "platform/kernel.h"

namespace {

constexpr char HEADER_PREFIX[] = "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\";
static_assert(sizeof HEADER_PREFIX - 1 == RegistryScript::HEADER_PREFIX_LENGTH);

// The key names from HKEY_LOCAL_MACHINE to a driver's template key.
constexpr std::string_view TEMPLATE_KEY_PATH[] = {"Drivers", "BuiltIn", "PCI", "Template"};
constexpr std::size_t TEMPLATE_PATH_NAMES = 6;  // ...\Template\<driver key>\<template>

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return lower;
}

// The template number a template key's name gives: "Template" (any case)
// and 0 to 15 in decimal without leading zeros; -2 for another name that
// the driver reads as a template (one that holds "Template"), -1 for a
// name that is no template.
int TemplateNumberOfKeyName(std::string_view name)
{
    if (!ContainsNoCase(name, "Template")) {
        return -1;
    }
    if (name.size() < 9 || name.size() > 10 || !NamesEqualNoCase(name.substr(0, 8), "Template")) {
        return -2;
    }
    const std::string_view digits = name.substr(8);
    if ((digits.size() == 2 && digits[0] == '0') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return -2;
    }
    const int number =
        digits.size() == 1 ? digits[0] - '0' : (digits[0] - '0') * 10 + digits[1] - '0';
    return number <= 15 ? number : -2;
}

bool MakeKeys(const char* boardName, char* driverKey, std::size_t keySize, char* prefix,
              std::size_t prefixSize)
{
    if (!boardName) {
        return false;
    }
    const std::size_t nameLength = strnlen(boardName, RegistryScript::MAX_BOARD_NAME + 1);
    const char* nameTail = nameLength > 3 ? boardName + 3 : "";
    if (nameLength > RegistryScript::MAX_BOARD_NAME ||
        3 + std::strlen(nameTail) + 1 > RegistryScript::MAX_DRIVER_KEY) {
        return false;
    }
    std::snprintf(driverKey, keySize, "RLX%sS", nameTail);
    std::snprintf(prefix, prefixSize, "%s%s\\Template", HEADER_PREFIX, driverKey);
    return true;
}

void SetProblem(ScriptProblem* problem, std::size_t line, const char* format, const char* what)
{
    problem->line = line;
    std::snprintf(problem->reason, sizeof problem->reason, format, what);
}

}  // namespace

void LocalMemoryDeleter::operator()(void* memory) const noexcept
{
    LocalFree(memory);
}

int RegistryScript::Open(LPCWSTR scriptPath, const char* boardName)
{
    Close();
    char driverKey[sizeof driverKey_];
    char prefix[sizeof sectionPrefix_];
    if (!MakeKeys(boardName, driverKey, sizeof driverKey, prefix, sizeof prefix)) {
        return static_cast<int>(ERROR_INVALID_PARAMETER);
    }
    DWORD error = ERROR_SUCCESS;
    if (!scriptPath || !ReadFile(scriptPath, &error)) {
        Close();
        return static_cast<int>(scriptPath ? error : ERROR_INVALID_PARAMETER);
    }
    try {
        path_ = scriptPath;
        if (!Reindex(&headers_)) {
            throw std::bad_alloc();
        }
    } catch (const std::bad_alloc&) {
        Close();
        return static_cast<int>(ERROR_NOT_ENOUGH_MEMORY);
    }
    std::snprintf(boardName_, sizeof boardName_, "%s", boardName);
    std::memcpy(driverKey_, driverKey, sizeof driverKey_);
    std::memcpy(sectionPrefix_, prefix, sizeof sectionPrefix_);
    return 0;
}

bool RegistryScript::ReadFile(LPCWSTR scriptPath, DWORD* error)
{
    vtfw::File file;
    *error = file.OpenForReadWrite(scriptPath);
    if (*error == ERROR_ACCESS_DENIED && file.OpenForRead(scriptPath) == ERROR_SUCCESS) {
        readOnlyError_ = ERROR_ACCESS_DENIED;
        *error = ERROR_SUCCESS;
    }
    if (*error != ERROR_SUCCESS) {
        return false;
    }
    try {
        const DWORD length = file.Length();
        if (length > MAX_FILE_LENGTH) {
            *error = ERROR_FILE_TOO_LARGE;
            return false;
        }
        LocalText bytes(static_cast<char*>(LocalAlloc(LMEM_FIXED, SIZE_T{length} + 1)));
        if (!bytes) {
            *error = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        file.SeekToBegin();
        const DWORD read = file.Read(bytes.get(), length);
        bytes[read] = '\0';
        text_ = std::move(bytes);
        textLength_ = read;
        capacity_ = SIZE_T{length} + 1;
    } catch (const vtfw::FileException& e) {
        *error = e.Error();
        return false;
    }
    file.Close();

    const std::string_view bytes = Text();
    if (IsUtf16BigEndianScript(bytes)) {
        SetProblem(&textProblem_, 0, "%s",
                   "the script is UTF-16 big-endian text, which the target does not read");
    } else if (IsUtf16Script(bytes)) {
        std::string text;
        std::size_t bad = 0;
        try {
            if (!DecodeUtf16Script(bytes, &text, &bad)) {
                SetProblem(&textProblem_, 0, "%s",
                           "the UTF-16 text is not well formed (an odd byte count or an unpaired "
                           "surrogate) and would not be written back unchanged");
                return true;  // read as it is, never written
            }
        } catch (const std::bad_alloc&) {
            *error = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        LocalText converted(static_cast<char*>(LocalAlloc(LMEM_FIXED, text.size() + 1)));
        if (!converted) {
            *error = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        std::memcpy(converted.get(), text.c_str(), text.size() + 1);
        text_ = std::move(converted);
        textLength_ = text.size();
        capacity_ = text.size() + 1;
        utf16_ = true;
    }
    return true;
}

void RegistryScript::Close()
{
    text_.reset();
    textLength_ = capacity_ = 0;
    headers_.clear();
    path_.clear();
    utf16_ = deferred_ = changed_ = false;
    textProblem_ = ScriptProblem{};
    readOnlyError_ = ERROR_SUCCESS;
    boardName_[0] = driverKey_[0] = sectionPrefix_[0] = '\0';
    sectionStart_ = sectionEnd_ = valuesStart_ = 0;
    sectionFound_ = false;
}

bool RegistryScript::SelectBoard(const char* boardName)
{
    char driverKey[sizeof driverKey_];
    char prefix[sizeof sectionPrefix_];
    if (!MakeKeys(boardName, driverKey, sizeof driverKey, prefix, sizeof prefix)) {
        return false;
    }
    std::snprintf(boardName_, sizeof boardName_, "%s", boardName);
    std::memcpy(driverKey_, driverKey, sizeof driverKey_);
    std::memcpy(sectionPrefix_, prefix, sizeof sectionPrefix_);
    return true;
}

bool RegistryScript::Reindex(std::vector<Header>* headers) const
{
    headers->clear();
    const std::string_view text = Text();
    ForEachLogicalLine(text, 0, 1, [&](const ScriptLogicalLine& line) {
        if (line.kind != ScriptLineKind::Header) {
            return false;
        }
        Header header{text.find('[', line.start), line.end, {}, -1};
        std::string_view names[TEMPLATE_PATH_NAMES];
        std::size_t count = 0;
        if (ParseHeaderPath(line.content, names, TEMPLATE_PATH_NAMES, &count) &&
            count == TEMPLATE_PATH_NAMES &&
            std::equal(
                std::begin(TEMPLATE_KEY_PATH), std::end(TEMPLATE_KEY_PATH), names,
                [](std::string_view a, std::string_view b) { return NamesEqualNoCase(a, b); })) {
            header.number = TemplateNumberOfKeyName(names[5]);
            if (header.number != -1) {
                header.driverKey = Lower(names[4]);
            }
        }
        headers->push_back(std::move(header));
        return false;
    });
    return true;
}

std::size_t RegistryScript::SectionEndOf(std::size_t index) const
{
    return index + 1 < headers_.size() ? headers_[index + 1].start : textLength_;
}

bool RegistryScript::IsSectionOf(const Header& header, const char* driverKey, int n) const
{
    return header.number == n && n >= 0 && driverKey &&
           NamesEqualNoCase(header.driverKey, driverKey);
}

ScriptProblem RegistryScript::FindProblem(const char* driverKey) const
{
    if (textProblem_.Found() || !driverKey) {
        return textProblem_;
    }
    ScriptProblem problem;
    const std::string_view text = Text();
    for (std::size_t i = 0; i < headers_.size() && !problem.Found(); ++i) {
        const Header& header = headers_[i];
        if (header.driverKey.empty() || !NamesEqualNoCase(header.driverKey, driverKey)) {
            continue;
        }
        if (header.number == -2) {
            const std::size_t lineEnd = text.find_first_of("\r\n", header.start);
            const std::string line(text.substr(
                header.start,
                std::min<std::size_t>(lineEnd == std::string_view::npos ? text.size() - header.start
                                                                        : lineEnd - header.start,
                                      100)));
            SetProblem(&problem, LineNumberAt(text, header.start),
                       "%s names a template key that the editor cannot edit (it edits Template0 to "
                       "Template15)",
                       line.c_str());
            break;
        }
        ForEachLogicalLine(
            text.substr(0, SectionEndOf(i)), header.valuesStart,
            LineNumberAt(text, header.valuesStart), [&](const ScriptLogicalLine& line) {
                std::string name;
                std::string_view data;
                if (line.kind != ScriptLineKind::Value) {
                    return false;
                }
                if (!ParseValueLine(line.content, &name, &data)) {
                    SetProblem(&problem, line.number, "%s",
                               "the target refuses this line of a template");
                    return true;
                }
                unsigned long value = 0;
                if ((NamesEqualNoCase(name, "SwitchID") || NamesEqualNoCase(name, "TriggerMode")) &&
                    ParseDwordData(data, &value) == DwordData::Invalid) {
                    SetProblem(&problem, line.number,
                               "\"%s\" has a dword that is not 1 to 8 hexadecimal digits",
                               name.c_str());
                    return true;
                }
                return false;
            });
    }
    return problem;
}

int RegistryScript::ScanTemplateNumbers()
{
    int numbers = 0;
    for (const Header& header : headers_) {
        if (header.number >= 0 && NamesEqualNoCase(header.driverKey, driverKey_)) {
            numbers |= 1 << header.number;
        }
    }
    return numbers;
}

int RegistryScript::HasTemplateSection(int n, const char* driverKey)
{
    for (const Header& header : headers_) {
        if (IsSectionOf(header, driverKey, n)) {
            return 1;
        }
    }
    return 0;
}

int RegistryScript::AppendTemplateSection(int n)
{
    if (!text_ || n < 0 || n > 15) {
        return 1;
    }
    char lines[sizeof sectionPrefix_ + 32];
    const int length = std::snprintf(lines, sizeof lines, " \r\n%s%d] \r\n", sectionPrefix_, n);
    const std::size_t at = textLength_;
    try {
        headers_.reserve(headers_.size() + 1);
    } catch (const std::bad_alloc&) {
        return 1;
    }
    if (!Splice(at, at, std::string_view(lines, static_cast<std::size_t>(length)))) {
        return 1;
    }
    headers_.push_back(Header{at + 3, textLength_, Lower(driverKey_), n});
    Changed();
    return 0;
}

void RegistryScript::LocateTemplateSection(const char* driverKey, int n)
{
    sectionFound_ = false;
    sectionStart_ = sectionEnd_ = valuesStart_ = textLength_;
    for (std::size_t i = headers_.size(); i-- > 0;) {
        if (IsSectionOf(headers_[i], driverKey, n)) {
            sectionStart_ = headers_[i].start;
            valuesStart_ = headers_[i].valuesStart;
            sectionEnd_ = SectionEndOf(i);
            sectionFound_ = true;
            return;
        }
    }
}

int RegistryScript::DeleteTemplateSection(int n, const char* driverKey)
{
    bool cut = false;
    for (std::size_t i = headers_.size(); i-- > 0;) {
        if (!IsSectionOf(headers_[i], driverKey, n)) {
            continue;
        }
        const std::size_t start = headers_[i].start;
        const std::size_t end = SectionEndOf(i);
        headers_.erase(headers_.begin() + static_cast<std::ptrdiff_t>(i));
        if (!Splice(start, end, {})) {
            return 1;  // cannot happen: a cut needs no memory
        }
        cut = true;
    }
    sectionFound_ = false;
    sectionStart_ = sectionEnd_ = valuesStart_ = textLength_;
    if (cut) {
        Changed();
    }
    return 0;
}

bool RegistryScript::Splice(std::size_t from, std::size_t to, std::string_view insert)
{
    const std::size_t length = textLength_ - (to - from) + insert.size();
    if (length + 1 > capacity_) {
        const std::size_t capacity = std::max(length + 1, capacity_ + capacity_ / 2);
        LocalText grown(static_cast<char*>(LocalAlloc(LMEM_FIXED, capacity)));
        if (!grown) {
            return false;
        }
        std::memcpy(grown.get(), text_.get(), from);
        if (!insert.empty()) {
            std::memcpy(grown.get() + from, insert.data(), insert.size());
        }
        std::memcpy(grown.get() + from + insert.size(), text_.get() + to, textLength_ - to + 1);
        text_ = std::move(grown);
        capacity_ = capacity;
    } else {
        std::memmove(text_.get() + from + insert.size(), text_.get() + to, textLength_ - to + 1);
        if (!insert.empty()) {
            std::memcpy(text_.get() + from, insert.data(), insert.size());
        }
    }
    textLength_ = length;
    const std::ptrdiff_t delta =
        static_cast<std::ptrdiff_t>(insert.size()) - static_cast<std::ptrdiff_t>(to - from);
    for (Header& header : headers_) {
        if (header.start >= to) {
            header.start =
                static_cast<std::size_t>(static_cast<std::ptrdiff_t>(header.start) + delta);
            header.valuesStart =
                static_cast<std::size_t>(static_cast<std::ptrdiff_t>(header.valuesStart) + delta);
        }
    }
    return true;
}

void RegistryScript::Changed()
{
    changed_ = true;
    if (deferred_) {
        return;
    }
    if (Commit() != ERROR_SUCCESS) {
        throw lastFailure_;
    }
}

DWORD RegistryScript::Commit()
{
    using Operation = vtfw::FileException::Operation;
    if (!changed_) {
        return ERROR_SUCCESS;
    }
    auto fail = [&](Operation operation, DWORD error) {
        lastFailure_ = vtfw::FileException(operation, error);
        return error;
    };
    if (!text_) {
        return fail(Operation::Open, ERROR_INVALID_HANDLE);
    }
    if (IsReadOnly()) {
        return fail(Operation::Open, readOnlyError_);
    }
    if (textProblem_.Found()) {
        return fail(Operation::Write, ERROR_INVALID_DATA);
    }
    try {
        // The text must read back with the headers the operations made.
        std::vector<Header> fresh;
        Reindex(&fresh);
        const bool same = std::equal(fresh.begin(), fresh.end(), headers_.begin(), headers_.end(),
                                     [](const Header& a, const Header& b) {
                                         return a.start == b.start && a.number == b.number &&
                                                a.driverKey == b.driverKey;
                                     });
        if (!same) {
            return fail(Operation::Write, ERROR_INVALID_DATA);
        }
        std::string encoded;
        if (utf16_ && !EncodeUtf16Script(Text(), &encoded)) {
            return fail(Operation::Write, ERROR_INVALID_DATA);
        }
        const std::string_view bytes = utf16_ ? std::string_view(encoded) : Text();
        vtfw::FileException failure(Operation::Write, ERROR_SUCCESS);
        if (!vtfw::SaveFileAtomically(path_.c_str(), bytes.data(), bytes.size(), &failure)) {
            lastFailure_ = failure;
            return failure.Error();
        }
    } catch (const std::bad_alloc&) {
        return fail(Operation::Write, ERROR_NOT_ENOUGH_MEMORY);
    }
    changed_ = false;
    return ERROR_SUCCESS;
}
