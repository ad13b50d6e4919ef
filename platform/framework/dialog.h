// The desktop framework's dialog: an object that owns one dialog window made
// from a template of the resource module (application.h), and turns the
// window's messages into calls of its handlers.
//
// A derived class registers its handlers in its constructor and overrides
// the virtual steps it needs:
//
//     class Editor : public vtfw::Dialog {
//     public:
//         Editor() : Dialog(100)
//         {
//             OnClicked(104, [this] { Add(); });
//             OnTreeSelection(102, [this](NMHDR*) { SelectionChanged(); });
//         }
//     protected:
//         BOOL OnInitDialog() override;
//     };
//
// Messages reach the handlers while the resource module that was current
// when the window was made is current again (so that a dialog of a library
// loads its bitmaps from the library while the host's message loop runs
// it). A vtfw::FileException or other std::exception that leaves a handler
// is caught there and reported with AppMessageBox (owned by the dialog,
// exclamation icon, the exception's text); the message counts as handled.
//
// Lifetime: the object must outlive its window unless DeleteAfterDestroy
// was asked for, in which case the object deletes itself (it must have been
// made with new, or override DeleteSelf) once its window has been destroyed and the last of its own
// handlers running at that moment has returned (see DeleteSelf). Destroying the object
// destroys a window that still lives, without calling any of its handlers.
//
// Threads: a dialog is used on the thread that made its window.
#pragma once

#include <functional>
#include <vector>

#include "platform/types.h"
#include "platform/ui.h"

namespace vtfw {

class Dialog {
public:
    // templateId: the dialog template (in the resource module current when
    // the window is made).
    explicit Dialog(UINT templateId) noexcept : templateId_(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally, owned by owner (DialogBoxParamW), and returns
    // the result given to EndDialog; -1 when the window cannot be made or a
    // window of this object already exists.
    INT_PTR DoModal(HWND owner = nullptr);
    // Makes the window modeless (CreateDialogParamW): a top-level window
    // owned by parent, or, for a template with WS_CHILD, a child dialog
    // inside parent. Returns false when it cannot be made or a window of
    // this object already exists. Shown when the template has WS_VISIBLE.
    bool Create(HWND parent = nullptr);
    // Asks that the object delete itself after its modeless window has been
    // destroyed (see Lifetime above).
    void DeleteAfterDestroy() noexcept
    {
        deleteAfterDestroy_ = true;
    }

    // The window, NULL before it is made and once it is destroyed.
    HWND Window() const noexcept
    {
        return window_;
    }
    // The control with that id in the window (NULL when there is none).
    HWND Item(int id) const;

    // Ends the dialog with result: a modal dialog's DoModal returns it once
    // the running handler has returned; a modeless window is destroyed at
    // once (its OnDestroy runs before EndDialog returns).
    void EndDialog(INT_PTR result);
    // Moves the window to (x, y) in pixels (a child: in its parent's client
    // area), keeping its size; shows or hides it.
    void PlaceAt(int x, int y);
    void Show(bool show);

protected:
    // The window and its controls exist (WM_INITDIALOG). Return TRUE to let
    // the system focus the first control. Default: TRUE.
    virtual BOOL OnInitDialog()
    {
        return TRUE;
    }
    // The window is being destroyed, its controls still exist (WM_DESTROY).
    virtual void OnDestroy() {}
    // IDOK and IDCANCEL clicked (Enter without another default button,
    // Escape, the caption's close box) when no handler is registered for
    // them: both end the dialog (EndDialog with IDOK / IDCANCEL).
    virtual void OnOK()
    {
        EndDialog(IDOK);
    }
    virtual void OnCancel()
    {
        EndDialog(IDCANCEL);
    }
    // How a self-deleting dialog (DeleteAfterDestroy) goes: delete this.
    // Override for an object made otherwise than with new.
    virtual void DeleteSelf()
    {
        delete this;
    }

    // Handler registration; a later registration for the same id and code
    // takes precedence over an earlier one.
    // WM_COMMAND from control id with notification code.
    void OnCommand(int id, WORD code, std::function<void()> handler);
    // A click (BN_CLICKED) on button id; on any button from first to last,
    // given the id.
    void OnClicked(int id, std::function<void()> handler)
    {
        OnCommand(id, BN_CLICKED, std::move(handler));
    }
    void OnClickedRange(int first, int last, std::function<void(int id)> handler);
    // The user chose an entry of combo box id (CBN_SELCHANGE).
    void OnComboSelection(int id, std::function<void()> handler)
    {
        OnCommand(id, CBN_SELCHANGE, std::move(handler));
    }
    // WM_NOTIFY from control id with code; the handler's result answers the
    // notification (DWLP_MSGRESULT).
    void OnNotify(int id, UINT code, std::function<LRESULT(NMHDR*)> handler);
    // The selection of tree view id changed (TVN_SELCHANGEDW).
    void OnTreeSelection(int id, std::function<void()> handler);
    // The selected tab of tab control id changed (TCN_SELCHANGE).
    void OnTabSelection(int id, std::function<void()> handler);

private:
    struct CommandHandler {
        int first;
        int last;
        WORD code;
        std::function<void(int id)> handler;
    };
    struct NotifyHandler {
        int id;
        UINT code;
        std::function<LRESULT(NMHDR*)> handler;
    };

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool Command(int id, WORD code);
    bool Notify(NMHDR* header, LRESULT* result);
    // Runs a handler, reporting an exception that leaves it.
    template <class F>
    void Guarded(F&& handler);
    void Detach();

    UINT templateId_;
    HWND window_ = nullptr;
    HINSTANCE resourceModule_ = nullptr;
    bool modal_ = false;
    bool deleteAfterDestroy_ = false;
    bool deletePending_ = false;
    int dispatchDepth_ = 0;
    std::vector<CommandHandler> commands_;
    std::vector<NotifyHandler> notifications_;
};

}  // namespace vtfw
