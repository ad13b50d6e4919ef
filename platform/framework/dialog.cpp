// The framework's dialog: window ownership, message dispatch to handlers,
// the error report, and self-deletion of modeless dialogs.
#include "platform/framework/dialog.h"

#include <exception>

#include "platform/commctrl.h"
#include "platform/framework/application.h"

namespace vtfw {

Dialog::~Dialog()
{
    if (window_ != nullptr) {
        HWND window = window_;
        Detach();  // the derived object is gone: no handler may run any more
        DestroyWindow(window);
    }
}

INT_PTR Dialog::DoModal(HWND owner)
{
    if (window_ != nullptr) {
        return -1;
    }
    modal_ = true;
    resourceModule_ = ResourceModule();
    const INT_PTR result = DialogBoxParamW(resourceModule_, MAKEINTRESOURCEW(templateId_), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

bool Dialog::Create(HWND parent)
{
    if (window_ != nullptr) {
        return false;
    }
    modal_ = false;
    resourceModule_ = ResourceModule();
    return CreateDialogParamW(resourceModule_, MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

HWND Dialog::Item(int id) const
{
    return window_ != nullptr ? GetDlgItem(window_, id) : nullptr;
}

void Dialog::EndDialog(INT_PTR result)
{
    if (window_ == nullptr) {
        return;
    }
    if (modal_) {
        ::EndDialog(window_, result);
    } else {
        DestroyWindow(window_);
    }
}

void Dialog::PlaceAt(int x, int y)
{
    SetWindowPos(window_, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::Show(bool show)
{
    ShowWindow(window_, show ? SW_SHOW : SW_HIDE);
}

void Dialog::OnCommand(int id, WORD code, std::function<void()> handler)
{
    commands_.push_back({id, id, code, [handler = std::move(handler)](int) {
                             handler();
                         }});
}

void Dialog::OnClickedRange(int first, int last, std::function<void(int id)> handler)
{
    commands_.push_back({first, last, BN_CLICKED, std::move(handler)});
}

void Dialog::OnNotify(int id, UINT code, std::function<LRESULT(NMHDR*)> handler)
{
    notifications_.push_back({id, code, std::move(handler)});
}

void Dialog::OnTreeSelection(int id, std::function<void()> handler)
{
    OnNotify(id, TVN_SELCHANGEDW, [handler = std::move(handler)](NMHDR*) -> LRESULT {
        handler();
        return 0;
    });
}

void Dialog::OnTabSelection(int id, std::function<void()> handler)
{
    OnNotify(id, TCN_SELCHANGE, [handler = std::move(handler)](NMHDR*) -> LRESULT {
        handler();
        return 0;
    });
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) {
        if (message != WM_INITDIALOG) {
            return FALSE;  // before WM_INITDIALOG, or after the object let go
        }
        self = reinterpret_cast<Dialog*>(lParam);
        self->window_ = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    }
    ++self->dispatchDepth_;
    INT_PTR result = FALSE;
    {
        ResourceModuleScope scope(self->resourceModule_);
        result = self->Dispatch(message, wParam, lParam);
    }
    if (--self->dispatchDepth_ == 0 && self->deletePending_) {
        self->DeleteSelf();
    }
    return result;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        BOOL focus = TRUE;
        Guarded([&] { focus = OnInitDialog(); });
        return focus;
    }
    case WM_COMMAND:
        return Command(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        LRESULT answer = 0;
        if (!Notify(reinterpret_cast<NMHDR*>(lParam), &answer)) {
            return FALSE;
        }
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, answer);
        return TRUE;
    }
    case WM_DESTROY:
        Guarded([&] { OnDestroy(); });
        return TRUE;
    case WM_NCDESTROY:
        Detach();
        if (deleteAfterDestroy_) {
            deletePending_ = true;
        }
        return TRUE;
    default:
        return FALSE;
    }
}

bool Dialog::Command(int id, WORD code)
{
    for (auto entry = commands_.rbegin(); entry != commands_.rend(); ++entry) {
        if (entry->code == code && id >= entry->first && id <= entry->last) {
            auto handler = entry->handler;  // a handler may register others
            Guarded([&] { handler(id); });
            return true;
        }
    }
    if (code == BN_CLICKED && id == IDOK) {
        Guarded([&] { OnOK(); });
        return true;
    }
    if (code == BN_CLICKED && id == IDCANCEL) {
        Guarded([&] { OnCancel(); });
        return true;
    }
    return false;
}

bool Dialog::Notify(NMHDR* header, LRESULT* result)
{
    if (header == nullptr) {
        return false;
    }
    for (auto entry = notifications_.rbegin(); entry != notifications_.rend(); ++entry) {
        if (static_cast<UINT_PTR>(entry->id) == header->idFrom && entry->code == header->code) {
            auto handler = entry->handler;
            Guarded([&] { *result = handler(header); });
            return true;
        }
    }
    return false;
}

template <class F>
void Dialog::Guarded(F&& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        WString text;
        for (const char* c = e.what(); *c != 0; ++c) {
            text.push_back(static_cast<WCHAR>(static_cast<unsigned char>(*c)));
        }
        AppMessageBox(window_, text.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}

void Dialog::Detach()
{
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, DWLP_USER, 0);
        window_ = nullptr;
    }
}

}  // namespace vtfw
