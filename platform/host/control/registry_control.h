// Control of the simulated target's registry from outside: loading registry
// scripts, keeping the hive in a file, and resetting it.
#pragma once

#include <string>

namespace vtsim {

// Empties the hive (all keys under HKEY_LOCAL_MACHINE are removed; open key
// handles become invalid: every use fails with ERROR_INVALID_HANDLE, and
// RegCloseKey still releases them).
void ResetRegistry();

// Imports a registry script (UTF-8 text, or UTF-16 LE with a byte-order
// mark): "[HKEY_LOCAL_MACHINE\path]" (or "[HKLM\path]") headers and value
// lines "name"=dword:hhhhhhhh, =hex:.., =hex(t):.., ="text" (escapes \\ and
// \"), =multi_sz:"a","b", @=... for the default value, a trailing '\'
// continuing a line, comments after ';', CR LF or LF line ends.
// Returns false with a message (file and line) in *error on a malformed line;
// keys and values before it stay imported.
bool ImportRegistryScript(const std::string& text, std::string* error);
bool ImportRegistryScriptFile(const std::string& path, std::string* error);

// Saves the whole hive to a file atomically (a temporary file beside it is
// written, flushed and renamed over it), or loads it, replacing the hive
// (open key handles become invalid as with ResetRegistry). Saving through a
// symbolic link replaces the file the link points to (the temporary file is
// made in that file's folder) and leaves the link; a file that is replaced
// keeps its permission bits. Saving fails (false, *error = "PATH: what:
// reason", the file untouched) when the folder is missing or cannot take a
// new file. The file carries its length and a checksum: a truncated or
// damaged file is refused with a message in *error and the hive is left as
// it was; a file that cannot be read (see ReadHostFile) likewise.
bool SaveHive(const std::string& path, std::string* error);
bool LoadHive(const std::string& path, std::string* error);

// The hive as a registry script (for people and tests).
std::string ExportRegistryScript();

}  // namespace vtsim
