// User-interface services: the Win32 window, dialog and message-box subset
// that the package's dialogs call, by the real names, types, values and
// semantics, so that the same code builds against the platform SDK's
// headers.
//
// Windows are objects behind HWND handles: class, id, text, style and
// extended style, position and size, enabled and visible state, parent and
// children (in creation order), owner, window procedure, user data, and the
// controls' own state. Messages are delivered to window and dialog
// procedures in the calling thread: SendMessageW calls the procedure before
// it returns; PostMessageW queues the message for the calling thread's
// message loop. Threads: a window is used from the thread that created it
// (its procedures run there); the calls below are safe to make from several
// threads at once on different windows.
//
// Failures set the thread's last error: ERROR_INVALID_WINDOW_HANDLE for a
// handle that names no live window, ERROR_INVALID_PARAMETER for bad
// arguments, ERROR_CONTROL_ID_NOT_FOUND for a dialog item id that names no
// control, ERROR_RESOURCE_* when a template cannot be found.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"
#else

#include "platform/ui_controls.h"
#include "platform/ui_types.h"

extern "C" {

// ---- Window classes and windows -----------------------------------------------------------

// Registers a window class of the calling process: its name (matched
// without regard to case) and procedure. Returns a non-zero atom; 0 with
// ERROR_CLASS_ALREADY_EXISTS when the name is taken (also by a built-in
// class: "Button", "Static", "Edit", "ComboBox", "#32770" and the common
// controls of platform/commctrl.h), ERROR_INVALID_PARAMETER without a name
// or procedure.
ATOM RegisterClassW(const WNDCLASSW* windowClass);
// Removes a class registered with RegisterClassW; FALSE with
// ERROR_CLASS_DOES_NOT_EXIST when there is none, ERROR_CLASS_HAS_WINDOWS while
// windows of it live.
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);

// Creates a window of a registered or built-in class. A WS_CHILD window
// needs a parent (else NULL, ERROR_TLW_WITH_WSCHILD) and takes menu as its
// control id; a top-level window takes parent as its owner (its top-level
// ancestor when parent is a child). Position and size are in pixels,
// relative to the parent's client area for a child. The procedure gets
// WM_NCCREATE and WM_CREATE with a CREATESTRUCTW (FALSE or -1 there: the
// window is destroyed and NULL returned); a WS_VISIBLE window is shown
// afterwards. NULL with ERROR_CANNOT_FIND_WND_CLASS for an unknown class.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);

// Destroys the window: first the top-level windows it owns, then the
// window itself, which gets WM_DESTROY, then its children (each gets its
// WM_DESTROY after its parent's, while its own children still exist), then
// WM_NCDESTROY children first. The focus leaves a destroyed window. A modal
// dialog destroyed this way ends its dialog box. FALSE with
// ERROR_INVALID_WINDOW_HANDLE for a handle of no live window.
BOOL DestroyWindow(HWND window);

// TRUE while the handle names a live window (not yet destroyed).
BOOL IsWindow(HWND window);

// The default handling of a message: WM_SETTEXT, WM_GETTEXT,
// WM_GETTEXTLENGTH on the window's text; WM_CLOSE destroys the window;
// WM_SYSCOMMAND with SC_CLOSE sends WM_CLOSE; anything else returns 0.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls a window procedure (as GetWindowLongPtrW(GWLP_WNDPROC) returned it)
// with the message.
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the window's class name (terminated, truncated to fit) and returns
// the characters copied without the terminator; 0 on failure.
int GetClassNameW(HWND window, LPWSTR buffer, int bufferChars);

// ---- Relations -------------------------------------------------------------------------

// The parent of a child window, the owner of a top-level window, NULL for a
// top-level window without owner (or a handle of no window).
HWND GetParent(HWND window);
// A related window: GW_CHILD (first child), GW_HWNDNEXT / GW_HWNDPREV (the
// next / previous sibling in creation order), GW_HWNDFIRST / GW_HWNDLAST,
// GW_OWNER. NULL when there is none.
HWND GetWindow(HWND window, UINT relation);
// TRUE when child is a descendant of parent.
BOOL IsChild(HWND parent, HWND child);
// The first child (in creation order) of the dialog with that control id;
// NULL with ERROR_CONTROL_ID_NOT_FOUND when there is none. Only direct
// children are searched.
HWND GetDlgItem(HWND dialog, int id);
// A child window's control id; 0 for a top-level window or no window.
int GetDlgCtrlID(HWND window);

// ---- Window data ---------------------------------------------------------------------------

// Reads a window's value by index: GWL_STYLE, GWL_EXSTYLE, GWLP_ID,
// GWLP_USERDATA, GWLP_WNDPROC, GWLP_HINSTANCE, GWLP_HWNDPARENT (the owner),
// and for dialogs DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER. 0 with
// ERROR_INVALID_PARAMETER for another index (or ERROR_INVALID_WINDOW_HANDLE).
LONG_PTR GetWindowLongPtrW(HWND window, int index);
// Sets a value (the same indexes) and returns the previous one. Setting
// GWL_STYLE changes the style bits as stored (use ShowWindow and
// EnableWindow to show, hide, enable and disable: they notify).
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
LONG GetWindowLongW(HWND window, int index);
LONG SetWindowLongW(HWND window, int index, LONG value);

// ---- Text -------------------------------------------------------------------------------------

// Sends WM_SETTEXT: the window's text (a caption, a label, a button's text,
// an edit field's content). TRUE on success.
BOOL SetWindowTextW(HWND window, LPCWSTR text);
// Sends WM_GETTEXT: copies at most maxChars - 1 characters and a
// terminator, returns the characters copied; 0 for an empty text or a
// failure.
int GetWindowTextW(HWND window, LPWSTR buffer, int maxChars);
int GetWindowTextLengthW(HWND window);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int maxChars);

// ---- Position and size --------------------------------------------------------------------------

// Moves and sizes the window (pixels; a child relative to its parent's
// client area), unless SWP_NOMOVE / SWP_NOSIZE; SWP_SHOWWINDOW and
// SWP_HIDEWINDOW show or hide it. insertAfter is accepted and ignored:
// windows do not overlap in a way that matters here. FALSE for no window.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// The window's rectangle in screen pixels.
BOOL GetWindowRect(HWND window, LPRECT rect);
// The client area: left and top 0, right and bottom its width and height.
BOOL GetClientRect(HWND window, LPRECT rect);
// Converts a rectangle from the dialog's dialog units to pixels with the
// base units of its template font: x * baseX / 4, y * baseY / 8, rounded.
BOOL MapDialogRect(HWND dialog, LPRECT rect);

// ---- Visibility and input
// -------------------------------------------------------------------------

// Shows (SW_SHOW, SW_SHOWNORMAL, ...) or hides (SW_HIDE) the window, with
// WM_SHOWWINDOW when the state changes. Returns whether it was visible
// before. A hidden window, and everything inside it, gets no input.
BOOL ShowWindow(HWND window, int command);
// TRUE when the window and all its ancestors are visible.
BOOL IsWindowVisible(HWND window);
// Enables or disables the window (WS_DISABLED), with WM_ENABLE when the
// state changes. Returns non-zero when it was disabled before. A disabled
// window, and everything inside it, gets no input; the focus leaves it.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);

// ---- Focus and activation
// ----------------------------------------------------------------------------

// Gives the calling thread's keyboard focus to the window (NULL: to none),
// with WM_KILLFOCUS to the window that had it and WM_SETFOCUS to the new
// one. The default button's look does not follow the focus: a push button
// that takes the focus (as a click gives it) keeps its look, and the
// dialog's default button (DM_SETDEFID) keeps the default one. Returns the
// window that had the focus; NULL with an error when window names no live
// window.
HWND SetFocus(HWND window);
// The calling thread's focus window, or NULL.
HWND GetFocus();
// The active (foreground) top-level window: the one most recently shown or
// activated that still lives.
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();

// ---- Dialogs
// ---------------------------------------------------------------------------------------------

// Runs a modal dialog from the template named templateName in the module
// (MAKEINTRESOURCEW(id) or a name; NULL module: the program itself) with
// dialogProc as its procedure, owned by owner (its top-level window; NULL:
// none). The dialog is created hidden with its controls, gets
// WM_INITDIALOG (wParam: the first visible, enabled control with
// WS_TABSTOP, which gets the focus when the procedure returns TRUE; lParam:
// initParam), and is shown unless EndDialog was called meanwhile; the
// owner is disabled while it runs. It runs until EndDialog, then is
// destroyed (see DestroyWindow), the owner enabled again, and EndDialog's
// result returned. Returns -1 when the template cannot be found
// (ERROR_RESOURCE_*) or the dialog or one of its controls cannot be
// created. The dialog's message loop runs in the calling thread; on the
// simulated target it is driven from outside (platform/host/control/
// ui_driver.h).
INT_PTR DialogBoxParamW(HINSTANCE module, LPCWSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam);
// The same from a template in memory (classic or extended).
INT_PTR DialogBoxIndirectParamW(HINSTANCE module, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                DLGPROC dialogProc, LPARAM initParam);
// Creates a modeless dialog as DialogBoxParamW does and returns it after
// WM_INITDIALOG, shown when the template has WS_VISIBLE. A template with
// WS_CHILD makes a child dialog inside parent (which it needs). NULL when
// it cannot be created. It lives until DestroyWindow.
HWND CreateDialogParamW(HINSTANCE module, LPCWSTR templateName, HWND parent, DLGPROC dialogProc,
                        LPARAM initParam);
HWND CreateDialogIndirectParamW(HINSTANCE module, LPCDLGTEMPLATEW dialogTemplate, HWND parent,
                                DLGPROC dialogProc, LPARAM initParam);
// Marks the dialog as ended with result and hides it; a modal dialog's
// loop returns once the procedure that called EndDialog has returned.
// FALSE for a window that is not a dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);
// The dialog class's window procedure: passes each message to the dialog
// procedure first; when that returns FALSE it handles DM_GETDEFID (the id
// set with DM_SETDEFID, else the first BS_DEFPUSHBUTTON child's, with
// DC_HASDEFID in the high word; 0 when none), DM_SETDEFID, WM_CLOSE (sends
// WM_COMMAND IDCANCEL with the Cancel button, unless that button exists and
// is disabled) and the rest as DefWindowProcW. When the dialog procedure
// returns TRUE, the result is its DWLP_MSGRESULT value (WM_INITDIALOG:
// the procedure's own result).
LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Gives a message to the dialog manager of the dialog: Enter (WM_KEYDOWN
// VK_RETURN) sends WM_COMMAND with the focused push button's id, else the
// default button's (DM_GETDEFID; nothing when that button is disabled),
// else IDOK; Escape sends WM_COMMAND IDCANCEL (nothing when the Cancel
// button exists and is disabled); other messages for the dialog or its
// controls are dispatched. Returns TRUE when the message was for the
// dialog (handled), FALSE otherwise (the caller dispatches it).
BOOL IsDialogMessageW(HWND dialog, LPMSG message);

// Checks the button id check and clears every other button with an id from
// first to last (BM_SETCHECK), disabled or not. FALSE when the dialog is no
// window.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
// BM_SETCHECK with check (BST_CHECKED, BST_UNCHECKED) to the dialog's
// button id.
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
// BM_GETCHECK of the dialog's button id: BST_CHECKED or BST_UNCHECKED (0
// also when there is no such button).
UINT IsDlgButtonChecked(HWND dialog, int id);
// SendMessageW to the dialog's control id; 0 when there is none.
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
// The next (or previous) visible, enabled control of control's group (a
// group runs from a WS_GROUP control to the control before the next
// WS_GROUP), wrapping within the group; control itself when there is no
// other.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

// ---- Messages and the message loop
// ---------------------------------------------------------------------

// Calls the window's procedure with the message in the calling thread and
// returns its result; 0 with ERROR_INVALID_WINDOW_HANDLE for no window.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the calling thread's message loop (window NULL: a
// thread message). FALSE for a handle of no window.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues WM_QUIT with exitCode for the calling thread.
void PostQuitMessage(int exitCode);
// Takes the next queued message of the calling thread (for window and its
// children when window is not NULL; the filter range is honoured when
// min or max is non-zero), waiting for one when none is queued. Returns 0
// for WM_QUIT, -1 for an invalid window, non-zero otherwise.
BOOL GetMessageW(LPMSG message, HWND window, UINT min, UINT max);
// As GetMessageW without waiting: FALSE when nothing matches; PM_REMOVE
// takes the message off the queue.
BOOL PeekMessageW(LPMSG message, HWND window, UINT min, UINT max, UINT remove);
// Accepts key messages (no character messages are generated here: the
// simulated target has no keyboard layout). Returns TRUE for WM_KEYDOWN
// and WM_KEYUP.
BOOL TranslateMessage(const MSG* message);
// Calls the procedure of message->hwnd with the message; 0 for a thread
// message.
LRESULT DispatchMessageW(const MSG* message);

// ---- Message boxes
// ---------------------------------------------------------------------------------------

// Shows a modal message box with text and caption (NULL: "Error"), owned by
// owner, with the buttons and default of type, and returns the button
// chosen (IDOK, IDCANCEL, IDYES, ...). On the simulated target every box is
// recorded and answered from outside (platform/host/control/ui_driver.h),
// or with its default button when nobody answers.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---- Painting
// ---------------------------------------------------------------------------------------------

// Marks the window (or a part of it) for repainting, and repaints what is
// marked at once. Nothing is drawn until a picture is asked for, and
// pictures always show the current state: both only check the window.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);

}  // extern "C"

#endif  // _WIN32