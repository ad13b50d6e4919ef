// The application context: resource module per thread, title, message boxes.
#include "platform/framework/application.h"

namespace vtfw {
namespace {

thread_local HINSTANCE resourceModule = nullptr;

// The title, kept without allocating: each module that links the framework
// has its own, which goes with the module.
WCHAR title[kMaxApplicationTitle + 1] = {'A', 'p', 'p', 'l', 'i', 'c', 'a', 't', 'i', 'o', 'n', 0};

}  // namespace

HINSTANCE ResourceModule() noexcept
{
    return resourceModule;
}

HINSTANCE SetResourceModule(HINSTANCE module) noexcept
{
    HINSTANCE previous = resourceModule;
    resourceModule = module;
    return previous;
}

void SetApplicationTitle(LPCWSTR text) noexcept
{
    std::size_t length = 0;
    for (; text != nullptr && text[length] != 0 && length < kMaxApplicationTitle; ++length) {
        title[length] = text[length];
    }
    title[length] = 0;
}

LPCWSTR ApplicationTitle() noexcept
{
    return title;
}

int AppMessageBox(HWND owner, LPCWSTR text, UINT type, LPCWSTR caption)
{
    return MessageBoxW(owner, text, caption != nullptr ? caption : ApplicationTitle(), type);
}

}  // namespace vtfw
