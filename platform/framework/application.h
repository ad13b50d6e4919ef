// The desktop framework's application context: the module whose resources
// (dialog templates, bitmaps) the framework loads, switched by a library
// entry point to its own module and restored on every way out; the
// application's title; and message boxes captioned with that title.
//
//     extern "C" int Entry(...)
//     {
//         vtfw::ResourceModuleScope scope(ownModule);  // templates from this module
//         ...                                          // restored on return or throw
//     }
#pragma once

#include <cstddef>
#include <string>

#include "platform/types.h"
#include "platform/ui.h"

namespace vtfw {

// Wide text of the platform's character type.
using WString = std::basic_string<WCHAR>;

// The module the framework takes dialog templates and bitmaps from, for the
// calling thread: NULL (the program itself) until set. Each thread has its
// own value, so that an entry point switching it affects only its caller.
HINSTANCE ResourceModule() noexcept;
// Sets the calling thread's resource module and returns the previous one.
HINSTANCE SetResourceModule(HINSTANCE module) noexcept;

// Switches the calling thread's resource module for the scope's lifetime:
// the constructor sets module, the destructor restores what was current
// before, whether the scope is left by return or by an exception. Scopes
// nest; each must end on the thread that began it.
class ResourceModuleScope {
public:
    explicit ResourceModuleScope(HINSTANCE module) noexcept : previous_(SetResourceModule(module))
    {}
    ~ResourceModuleScope()
    {
        SetResourceModule(previous_);
    }
    ResourceModuleScope(const ResourceModuleScope&) = delete;
    ResourceModuleScope& operator=(const ResourceModuleScope&) = delete;

private:
    HINSTANCE previous_;
};

// The application's title: "Application" until the program (or a module
// that links its own framework) sets its own. The text is copied, cut to
// kMaxApplicationTitle characters (NULL: empty); set it before windows run
// (not synchronised with message boxes shown by other threads).
constexpr std::size_t kMaxApplicationTitle = 127;
void SetApplicationTitle(LPCWSTR title) noexcept;
LPCWSTR ApplicationTitle() noexcept;

// Shows a modal message box (MessageBoxW) owned by owner (NULL: none) with
// the buttons and icon of type, captioned caption or, when caption is NULL,
// the application's title. Returns the button chosen (IDOK, IDCANCEL, ...),
// 0 when the box cannot be shown.
int AppMessageBox(HWND owner, LPCWSTR text, UINT type = MB_OK, LPCWSTR caption = nullptr);

}  // namespace vtfw
