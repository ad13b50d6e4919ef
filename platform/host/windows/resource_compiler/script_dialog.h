// Internal (resource compiler): the DIALOGEX statement, read from the
// cursor after the resource's name and type, into the dialog template the
// window services load. Throws ScriptError, naming the token, for anything
// the statement does not allow.
#pragma once

#include "platform/host/internal_header.h"

#include "platform/host/windows/dialog_template.h"
#include "platform/host/windows/resource_compiler/script_cursor.h"

namespace vtsim::rc {

internal::DialogTemplateData CompileDialog(TokenCursor& cursor);

}  // namespace vtsim::rc
