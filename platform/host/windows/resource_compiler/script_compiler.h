// Internal (resource compiler): a resource script compiled into the
// binary resources of a module: DIALOGEX statements into extended dialog
// templates (dialog_template.h), BITMAP statements into the bitmap file's
// bytes without its 14-byte file header, as a Windows resource compiler
// does.
#pragma once

#include "platform/host/internal_header.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vtsim::rc {

struct CompiledResource {
    std::uint16_t type = 0;  // 5 for dialogs, 2 for bitmaps
    std::uint16_t id = 0;    // when name is empty
    std::string name;        // a named resource, in upper case
    std::vector<std::uint8_t> data;
};

struct CompiledScript {
    std::vector<CompiledResource> resources;  // in script order
    std::vector<std::string> dependencies;    // the script, its includes, its bitmaps
};

// Compiles the script at path. Throws ScriptError ("file:line: message")
// for anything it does not accept.
CompiledScript CompileScript(const std::string& path, const std::vector<std::string>& includeDirs);

}  // namespace vtsim::rc
