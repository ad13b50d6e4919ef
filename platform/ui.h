// User-interface services used by the package on the target.
#pragma once

#include "platform/types.h"

extern "C" {

// Shows a modal message box and returns the button chosen (IDOK, ...).
// The simulated target records text, caption and type, and answers with the
// button that a test or tool queued, or IDOK when nobody is watching.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

}  // extern "C"
