// The registry script: opening and reading the file, the template scan and
// header search, appending headers, locating and deleting sections.
#include "configurator/registry_script.h"

#include <cstdio>
#include <cstring>

#include "configurator/script_text.h"
#include "platform/kernel.h"

namespace {

constexpr std::size_t NONE = std::string_view::npos;
constexpr char HEADER_PREFIX[] = "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\";
static_assert(sizeof HEADER_PREFIX - 1 == RegistryScript::HEADER_PREFIX_LENGTH);

// The text that names template n of a driver key in its header line:
// driverKey + "\Template" + n + "]". False when the key is NULL or the text
// would pass its limit.
struct SearchText {
    char text[RegistryScript::MAX_SEARCH_TEXT + 1];
    std::size_t length = 0;

    bool Make(const char* driverKey, int n)
    {
        if (!driverKey) {
            return false;
        }
        int written = std::snprintf(text, sizeof text, "%s\\Template%d]", driverKey, n);
        if (written < 0 || static_cast<std::size_t>(written) >= sizeof text) {
            return false;
        }
        length = static_cast<std::size_t>(written);
        return true;
    }
    std::string_view View() const
    {
        return {text, length};
    }
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

void LocalMemoryDeleter::operator()(void* memory) const noexcept
{
    LocalFree(memory);
}

int RegistryScript::Open(LPCWSTR scriptPath, const char* boardName)
{
    Close();
    if (!boardName) {
        return static_cast<int>(ERROR_INVALID_PARAMETER);
    }
    const std::size_t nameLength = strnlen(boardName, MAX_BOARD_NAME + 1);
    const char* nameTail = nameLength > 3 ? boardName + 3 : "";
    if (nameLength > MAX_BOARD_NAME || 3 + std::strlen(nameTail) + 1 > MAX_DRIVER_KEY) {
        return static_cast<int>(ERROR_INVALID_PARAMETER);
    }

    DWORD error = file_.OpenForReadWrite(scriptPath);
    if (error != ERROR_SUCCESS) {
        return static_cast<int>(error);
    }

    std::snprintf(boardName_, sizeof boardName_, "%s", boardName);
    std::snprintf(driverKey_, sizeof driverKey_, "RLX%sS", nameTail);
    std::snprintf(sectionPrefix_, sizeof sectionPrefix_, "%s%s\\Template", HEADER_PREFIX,
                  driverKey_);
    ReloadText();
    return 0;
}

void RegistryScript::Close()
{
    ReleaseText();
    file_.Close();
    boardName_[0] = driverKey_[0] = sectionPrefix_[0] = '\0';
    sectionStart_ = sectionEnd_ = valuesStart_ = 0;
    sectionFound_ = false;
}

void RegistryScript::ReleaseText()
{
    text_.reset();
    textLength_ = 0;
}

void RegistryScript::ReloadText()
{
    ReleaseText();
    if (!file_.IsOpen()) {
        return;
    }
    const DWORD length = file_.Length();
    if (length > MAX_TEXT_LENGTH) {
        return;  // treated as a text without memory
    }
    LocalText text(static_cast<char*>(LocalAlloc(LMEM_FIXED, SIZE_T{length} + 1)));
    if (!text) {
        return;
    }
    file_.SeekToBegin();
    const DWORD read = file_.Read(text.get(), length);
    text[read] = '\0';
    text_ = std::move(text);
    textLength_ = read;
}

int RegistryScript::ScanTemplateNumbers()
{
    const std::string_view prefix(sectionPrefix_);
    int numbers = 0;
    if (!prefix.empty()) {
        ForEachLine(Text(), LineBreaks::LfOnly, [&](const ScriptLine& line) {
            if (IsCommentLine(line.text)) {
                return false;
            }
            std::size_t at = FindNoCase(line.text, prefix);
            if (at == NONE) {
                return false;
            }
            // The decimal digits among the two characters after the prefix.
            std::string_view after = line.text.substr(at + prefix.size(), 2);
            int number = -1;
            for (char c : after) {
                if (!IsDigit(c)) {
                    break;
                }
                number = (number < 0 ? 0 : number * 10) + (c - '0');
            }
            if (number >= 0 && number <= 15) {
                numbers |= 1 << number;
            }
            return false;
        });
    }
    ReloadText();
    return numbers;
}

int RegistryScript::HasTemplateSection(int n, const char* driverKey)
{
    SearchText search;
    const bool found =
        search.Make(driverKey, n) && FindOutsideComments(Text(), search.View()) != NONE;
    ReloadText();
    return found ? 1 : 0;
}

int RegistryScript::AppendTemplateSection(int n)
{
    if (!file_.IsOpen()) {
        return 1;
    }
    char lines[sizeof sectionPrefix_ + 32];
    int length = std::snprintf(lines, sizeof lines, " \r\n%s%d] \r\n", sectionPrefix_, n);
    file_.SeekToEnd();
    file_.Write(lines, static_cast<DWORD>(length));
    ReloadText();
    return 0;
}

void RegistryScript::LocateTemplateSection(const char* driverKey, int n)
{
    const std::string_view text = Text();
    sectionFound_ = false;
    sectionStart_ = sectionEnd_ = valuesStart_ = text.size();
    SearchText search;
    if (!search.Make(driverKey, n)) {
        return;
    }
    const std::size_t at = FindOutsideComments(text, search.View());
    if (at == NONE) {
        return;
    }

    // The "[" that opens the header line: 49 characters before the driver key
    // in the usual form.
    const std::size_t lineStart = StartOfLine(text, at);
    const std::size_t bracket = at == 0 ? NONE : text.rfind('[', at - 1);
    sectionStart_ = bracket != NONE && bracket >= lineStart ? bracket : lineStart;
    const std::size_t next = FindLineOpeningBracket(text, at + search.length);
    sectionEnd_ = next == NONE ? text.size() : next;
    valuesStart_ = EndOfLineBreak(text, at + search.length);  // never past the next header
    sectionFound_ = true;
}

int RegistryScript::DeleteTemplateSection(int n, const char* driverKey)
{
    LocateTemplateSection(driverKey, n);
    if (!sectionFound_) {
        return 0;
    }
    const std::size_t start = sectionStart_;
    const std::size_t end = sectionEnd_;
    // The text after the section moves down to its start, in the file (the
    // bytes before the section are not rewritten) and in memory.
    const std::size_t moved = textLength_ - end;
    if (moved != 0) {
        file_.Seek(static_cast<LONG>(start), FILE_BEGIN);
        file_.Write(text_.get() + end, static_cast<DWORD>(moved));
    }
    file_.SetLength(static_cast<DWORD>(start + moved));
    std::memmove(text_.get() + start, text_.get() + end, moved + 1);  // with the NUL
    textLength_ = start + moved;
    sectionFound_ = false;
    sectionStart_ = sectionEnd_ = valuesStart_ = textLength_;
    return 0;
}
