// Control from outside: the windows, dialogs and message boxes of the
// simulated target, driven as a person would and read back.
//
// A modal dialog or message box runs in the thread that shows it and
// returns only when it is ended, so a test or tool that wants to act on it
// registers a handler (SetUiHandler), which is called in that thread as
// soon as the dialog is shown or the box is up. There it can look at the
// dialog (Snapshot, FindControl), act on it (Click, ChooseComboEntry, ...)
// and end it (PressOk, PressCancel, PressKey, or a click that makes the
// program end it), or answer the box. What a handler leaves undone is done
// as if nobody were there: a modal dialog still running when the handler
// returns gets Escape; one that Escape does not end either is ended by
// force with IDCANCEL; a box not answered takes the next queued answer,
// else its default button. Every modal dialog and every box is recorded.
//
// Modeless windows are driven with the same calls between the program's
// own calls, from the thread that created them.
//
// Actions respect what a person could do: a control that is hidden or
// disabled (itself or a window holding it) takes no input, and the action
// fails with the reason. After an action, the messages it caused to be
// posted to the calling thread are dispatched, as the message loop would.
// Threads: actions run the window procedures in the calling thread, which
// must be the one that created the window; the records and the handler may
// be read and set from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/control/window_snapshot.h"
#include "platform/types.h"

namespace vtsim {

// ---- Message boxes -----------------------------------------------------------------

struct MessageBoxRecord {
    std::u16string text;
    std::u16string caption;    // as shown ("Error" when the program gave none)
    std::uintptr_t owner = 0;  // the owner window's handle, 0 for none
    unsigned type = 0;         // MB_* flags as given
    int answer = 0;            // the button chosen (IDOK, IDCANCEL, ...)
};
// The boxes shown, oldest first, the most recent 1000 at most (older ones
// are dropped).
std::vector<MessageBoxRecord> MessageBoxes();
// Forgets the boxes shown, the queued answers and the hook.
void ClearMessageBoxes();
// The next box not answered otherwise takes this answer (first in, first
// out).
void QueueMessageBoxAnswer(int answer);
// The button a box of this type chooses when Enter is pressed: its
// MB_DEFBUTTONn-th button (the first when there is no such button).
int DefaultMessageBoxAnswer(unsigned type);
// A function that answers every box while it is set (before the handler
// and the queue): it runs in the thread that shows the box and may call
// into the package. An empty hook removes it.
using MessageBoxHook = std::function<int(const MessageBoxRecord& box)>;
void SetMessageBoxHook(MessageBoxHook hook);

// ---- Modal dialogs ----------------------------------------------------------------------

enum class DialogEnding {
    ByProgram,  // the program called EndDialog (or destroyed it) while driven
    ByEscape,   // nobody ended it: Escape was pressed, and the program ended it
    Forced,     // not even Escape ended it: ended with IDCANCEL by force
};
struct ModalDialogRecord {
    std::u16string caption;
    std::uintptr_t handle = 0;
    std::uintptr_t owner = 0;
    std::intptr_t result = 0;  // what DialogBoxParamW returned
    DialogEnding ending = DialogEnding::ByProgram;
};
// The modal dialogs that were shown and have ended, oldest first, the most
// recent 1000 at most. A dialog that ended during WM_INITDIALOG was never
// shown and is not recorded.
std::vector<ModalDialogRecord> ModalDialogs();
void ClearModalDialogs();

// ---- The handler ---------------------------------------------------------------------------

struct UiPrompt {
    enum class Kind { Dialog, MessageBox };
    Kind kind = Kind::Dialog;
    HWND window = nullptr;                  // Dialog: the modal dialog, shown
    const MessageBoxRecord* box = nullptr;  // MessageBox: what it says (no answer yet)
    int answer = 0;                         // MessageBox: set to answer it; 0: not answered
};
// Called in the showing thread for every modal dialog once it is shown and
// every message box (unless a MessageBoxHook answers it). It may show and
// drive further dialogs and boxes (the handler is called again for them).
// An empty handler removes it.
using UiHandler = std::function<void(UiPrompt& prompt)>;
void SetUiHandler(UiHandler handler);

// ---- Finding and reading windows ----------------------------------------------------------

// The top-level windows that live now, shown or hidden, in creation order.
std::vector<HWND> TopLevelWindows();
// The first window inside window (depth first, in creation order) with
// that control id, or with that text (exactly, or once the '&' marks of
// its mnemonic are removed; UTF-8); NULL when there is none.
HWND FindControl(HWND window, int id);
HWND FindControlByText(HWND window, std::string_view text);
// The window with its children as a person sees it now (see
// window_snapshot.h). A snapshot with handle 0 for a handle of no window.
WindowSnapshot Snapshot(HWND window);

// ---- Acting as a person ------------------------------------------------------------------
// Each returns false, with the reason in *error when error is not null,
// when the window does not exist, takes no input (hidden or disabled), is
// not of the kind the action needs, or the program refused the change.

// Clicks a button (push, radio, check box: the button's own reaction and
// BN_CLICKED) or a static with SS_NOTIFY (STN_CLICKED).
bool Click(HWND control, std::string* error = nullptr);
// Chooses an entry of a combo box's list by index, or by its text (exact,
// UTF-8): CBN_SELCHANGE.
bool ChooseComboEntry(HWND combo, int index, std::string* error = nullptr);
bool ChooseComboEntry(HWND combo, std::string_view text, std::string* error = nullptr);
// Clicks the tree item found by the texts of the items from the top level
// down (UTF-8), opening collapsed items on the way.
bool SelectTreeItem(HWND tree, const std::vector<std::string>& path, std::string* error = nullptr);
// Clicks a tab, by index or by its text (UTF-8).
bool SelectTab(HWND tabControl, int index, std::string* error = nullptr);
bool SelectTab(HWND tabControl, std::string_view text, std::string* error = nullptr);
// Replaces the text of an edit field, or of a combo box's edit field, as
// typed (UTF-8).
bool TypeText(HWND control, std::string_view text, std::string* error = nullptr);

enum class Key { Enter, Escape };
// Presses a key in the dialog that is window or holds it: Enter chooses the
// focused push button or the default one, Escape cancels (IsDialogMessageW).
bool PressKey(HWND window, Key key, std::string* error = nullptr);
// Clicks the dialog's OK (IDOK) or Cancel (IDCANCEL) button.
bool PressOk(HWND dialog, std::string* error = nullptr);
bool PressCancel(HWND dialog, std::string* error = nullptr);
// Clicks the close box of a window's title bar (WM_SYSCOMMAND SC_CLOSE);
// fails when it has no system menu.
bool ClickCloseBox(HWND window, std::string* error = nullptr);

}  // namespace vtsim
