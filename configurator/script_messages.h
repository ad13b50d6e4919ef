// The texts of the editor's message boxes about its registry script: what
// could not be done with which file, and the system's reason.
#pragma once

#include "configurator/registry_script.h"
#include "platform/framework/application.h"
#include "platform/framework/file.h"

// The system's text for an error code, without its line break ("There is
// not enough space on the disk."), or "error N" when it has none.
vtfw::WString SystemReason(DWORD error);

// The script cannot be opened or read at the window's start.
vtfw::WString OpenFailureText(const vtfw::WString& path, DWORD error);
// The script is read-only: its templates are shown but not changed.
vtfw::WString ReadOnlyText(const vtfw::WString& path, DWORD error);
// The script holds what the editor would change the meaning of.
vtfw::WString ProblemText(const vtfw::WString& path, const ScriptProblem& problem);
// A save did not happen: the step that failed and why; the script is as it was.
vtfw::WString SaveFailureText(const vtfw::WString& path, const vtfw::FileException& failure);
