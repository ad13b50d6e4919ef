// The texts of the editor's message boxes about its registry script.
#include "configurator/script_messages.h"

#include <cstdio>

#include "platform/kernel.h"

namespace {

vtfw::WString Widen(const char* text)
{
    vtfw::WString wide;
    for (; *text != '\0'; ++text) {
        wide.push_back(static_cast<WCHAR>(static_cast<unsigned char>(*text)));
    }
    return wide;
}

vtfw::WString Number(std::size_t value)
{
    char digits[24];
    std::snprintf(digits, sizeof digits, "%zu", value);
    return Widen(digits);
}

}  // namespace

vtfw::WString SystemReason(DWORD error)
{
    WCHAR text[256];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, 256, nullptr);
    while (length > 0 &&
           (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) {
        --length;
    }
    if (length == 0) {
        return Widen("error ") + Number(error);
    }
    return vtfw::WString(text, length);
}

vtfw::WString OpenFailureText(const vtfw::WString& path, DWORD error)
{
    return Widen("The template script cannot be read: ") + path + Widen("\n") +
           SystemReason(error) + Widen("\nNo template can be added, removed or saved.");
}

vtfw::WString ReadOnlyText(const vtfw::WString& path, DWORD error)
{
    return Widen("The template script is read-only: ") + path + Widen("\n") + SystemReason(error) +
           Widen("\nIts templates are shown but cannot be changed.");
}

vtfw::WString ProblemText(const vtfw::WString& path, const ScriptProblem& problem)
{
    vtfw::WString where = path;
    if (problem.line != 0) {
        where += Widen(", line ") + Number(problem.line);
    }
    return Widen("The template script is not changed by the editor: ") + where + Widen("\n") +
           Widen(problem.reason) + Widen("\nIts templates are shown but cannot be changed.");
}

vtfw::WString SaveFailureText(const vtfw::WString& path, const vtfw::FileException& failure)
{
    using Operation = vtfw::FileException::Operation;
    const char* step = "save it";
    switch (failure.operation()) {
    case Operation::Open:
        step = "read the script again";
        break;
    case Operation::Create:
        step = "create the temporary file beside it";
        break;
    case Operation::Write:
        step = failure.Error() == ERROR_INVALID_DATA ? "make a text that reads back as shown"
                                                     : "write the temporary file beside it";
        break;
    case Operation::Flush:
        step = "put the temporary file on the disk";
        break;
    case Operation::Replace:
        step = "put the saved file in the script's place";
        break;
    default:
        break;
    }
    return Widen("The templates were not saved; the script is unchanged: ") + path +
           Widen("\nCould not ") + Widen(step) + Widen(": ") + SystemReason(failure.Error()) +
           Widen("\nThe edits are kept: save again, or close without saving.");
}
