// The application context: resource module per thread, title, message boxes.
#include "platform/framework/application.h"

namespace vtfw {
namespace {

thread_local HINSTANCE resourceModule = nullptr;

WString& Title()
{
    static WString* title = new WString(TEXT("Application"));  // read by late message boxes
    return *title;
}

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

void SetApplicationTitle(LPCWSTR title)
{
    Title() = title != nullptr ? title : TEXT("");
}

LPCWSTR ApplicationTitle() noexcept
{
    return Title().c_str();
}

int AppMessageBox(HWND owner, LPCWSTR text, UINT type, LPCWSTR caption)
{
    return MessageBoxW(owner, text, caption != nullptr ? caption : ApplicationTitle(), type);
}

}  // namespace vtfw
