// Internal: making dialogs from templates, for the modal and the modeless
// dialog services.
#pragma once

#include "platform/host/internal_header.h"

#include <cstddef>

#include "platform/host/windows/window_objects.h"

namespace vtsim::internal {

// The template named in the module's resources: its bytes. False with the
// last error set when there is none.
bool FindDialogTemplate(HINSTANCE module, LPCWSTR name, const void** data, std::size_t* size);

// Creates the dialog of a template (size: its bytes, or SIZE_MAX for a
// template in memory of unknown size) with its controls, sends
// WM_INITDIALOG and sets the focus it asks for. A modeless dialog whose
// template has WS_VISIBLE is shown; a modal one is left hidden for the
// loop. NULL when the template is malformed, names a class that does not
// exist, a control cannot be created, or the dialog was destroyed during
// WM_INITDIALOG.
HWND CreateDialogFrom(HINSTANCE module, const void* data, std::size_t size, HWND parent,
                      DLGPROC procedure, LPARAM initParam, bool modal);

// True when the dialog has ended (EndDialog, or destroyed), with its result.
bool DialogHasEnded(const Window& dialog, INT_PTR* result);

// Dispatches the calling thread's posted messages until none is left or
// the dialog (when given) has ended; a message for a dialog passes its
// dialog manager (IsDialogMessageW) first.
void PumpPostedMessages(const WindowPtr& dialog);

// Whether the calling thread has posted messages waiting.
bool HasQueuedMessages();

// Drops the posted messages of windows that no longer exist (DestroyWindow
// flushes them, so a message never reaches a destroyed window or a new
// window that got its handle).
void DiscardMessagesOfDestroyedWindows();

}  // namespace vtsim::internal
