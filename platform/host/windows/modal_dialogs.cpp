// Modal dialogs: DialogBoxParamW and its loop, which the outside handler
// drives; the handler itself and the records of modal dialogs.
#include <climits>
#include <mutex>

#include "platform/host/windows/dialog_manager.h"
#include "platform/host/windows/dialog_state.h"
#include "platform/host/windows/ui_prompts.h"
#include "platform/host/windows/user_input.h"

namespace vtsim {
namespace {

struct ModalState {
    std::mutex mutex;
    UiHandler handler;
    internal::BoundedRecords<ModalDialogRecord> records;
};

ModalState& State()
{
    static ModalState* state = new ModalState;  // lives until process exit
    return *state;
}

}  // namespace

void SetUiHandler(UiHandler handler)
{
    ModalState& state = State();
    std::lock_guard lock(state.mutex);
    state.handler = std::move(handler);
}

std::vector<ModalDialogRecord> ModalDialogs()
{
    return State().records.All();
}

void ClearModalDialogs()
{
    State().records.Clear();
}

namespace internal {

bool OfferToHandler(UiPrompt& prompt)
{
    UiHandler handler;
    {
        ModalState& state = State();
        std::lock_guard lock(state.mutex);
        handler = state.handler;
    }
    if (!handler) {
        return false;
    }
    handler(prompt);
    return true;
}

void PumpPostedMessages(const WindowPtr& dialog)
{
    INT_PTR result = 0;
    MSG message{};
    while ((!dialog || !DialogHasEnded(*dialog, &result)) &&
           PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (message.message == WM_QUIT) {
            // For the program's own loop, once the dialog is over.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        HWND target = message.hwnd != nullptr ? DialogOf(message.hwnd) : nullptr;
        if (target == nullptr || IsDialogMessageW(target, &message) == FALSE) {
            DispatchMessageW(&message);
        }
    }
}

namespace {

// Runs a dialog made from the template until it ends; see DialogBoxParamW.
INT_PTR RunModal(HINSTANCE module, const void* data, std::size_t size, HWND owner,
                 DLGPROC procedure, LPARAM initParam)
{
    HWND dialog = CreateDialogFrom(module, data, size, owner, procedure, initParam, true);
    WindowPtr held = HoldWindow(dialog);
    if (!held) {
        return -1;
    }
    INT_PTR result = 0;
    if (DialogHasEnded(*held, &result)) {
        // Ended during WM_INITDIALOG: never shown.
        DestroyWindow(dialog);
        return result;
    }
    HWND ownerWindow = nullptr;
    {
        WindowLock lock = LockWindows();
        ownerWindow = held->owner;
    }
    bool disabledOwner = ownerWindow != nullptr && IsWindowEnabled(ownerWindow) != FALSE;
    if (disabledOwner) {
        EnableWindow(ownerWindow, FALSE);
    }
    ShowWindow(dialog, SW_SHOWNORMAL);

    DialogEnding ending = DialogEnding::ByProgram;
    PumpPostedMessages(held);
    if (!DialogHasEnded(*held, &result)) {
        UiPrompt prompt;
        prompt.kind = UiPrompt::Kind::Dialog;
        prompt.window = dialog;
        OfferToHandler(prompt);
        PumpPostedMessages(held);
    }
    if (!DialogHasEnded(*held, &result)) {
        ending = DialogEnding::ByEscape;
        PressDialogKey(dialog, VK_ESCAPE);
        PumpPostedMessages(held);
    }
    if (!DialogHasEnded(*held, &result)) {
        ending = DialogEnding::Forced;
        EndDialog(dialog, IDCANCEL);
    }
    DialogHasEnded(*held, &result);

    ModalDialogRecord record;
    {
        WindowLock lock = LockWindows();
        record.caption = held->text;
    }
    record.handle = reinterpret_cast<std::uintptr_t>(dialog);
    record.owner = reinterpret_cast<std::uintptr_t>(ownerWindow);
    record.result = result;
    record.ending = ending;

    if (disabledOwner) {
        EnableWindow(ownerWindow, TRUE);
    }
    if (IsWindow(dialog) != FALSE) {
        DestroyWindow(dialog);
    }
    State().records.Add(std::move(record));
    return result;
}

}  // namespace
}  // namespace internal
}  // namespace vtsim

using namespace vtsim::internal;

extern "C" INT_PTR DialogBoxParamW(HINSTANCE module, LPCWSTR templateName, HWND owner,
                                   DLGPROC dialogProc, LPARAM initParam)
{
    const void* data = nullptr;
    std::size_t size = 0;
    if (!FindDialogTemplate(module, templateName, &data, &size)) {
        return -1;
    }
    return RunModal(module, data, size, owner, dialogProc, initParam);
}

extern "C" INT_PTR DialogBoxIndirectParamW(HINSTANCE module, LPCDLGTEMPLATEW dialogTemplate,
                                           HWND owner, DLGPROC dialogProc, LPARAM initParam)
{
    return RunModal(module, dialogTemplate, SIZE_MAX, owner, dialogProc, initParam);
}
