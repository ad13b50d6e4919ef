// The temporary files that a hive save writes beside the hive before it
// renames one over it, and the removal of those that an interrupted save
// (a process killed with SIGKILL, a power cut) left behind.
//
// A temporary is named "<hive>.tmp.<pid>.<six characters>" in the hive's
// own folder, where pid is the writing process, and its writer holds an
// exclusive lock (flock) on it from just after it is made until it is
// renamed over the hive or removed. A temporary is stale, and may be
// removed, only when both tell that nobody writes it any more: no process
// of that pid runs here, and its lock can be taken. Temporaries of the
// older form "<hive>.tmp.<six characters>" (no pid, no lock) count as stale
// once their lock can be taken and they were last written more than a
// minute ago. Other files are never touched, also when their names are
// alike ("<hive>.tmp.1.abcdef.old", another hive's temporaries, links,
// folders).
// Not for the package's code.
#pragma once

#include "platform/host/internal_header.h"

#include <string>

namespace vtsim::registry {

// Makes a new temporary for the hive file target (links already followed),
// open for writing and locked: returns its descriptor and puts its path in
// *path, or -1 with errno set when it cannot be made. The caller writes it,
// renames or unlinks it, then closes the descriptor (which drops the lock).
int CreateHiveTemporary(const std::string& target, std::string* path);

// Removes the stale temporaries of the hive file target (links already
// followed) from its folder. Returns how many it removed; a file it cannot
// inspect or remove is left alone without a word (the hive itself is not
// concerned). Any thread; safe against saves of the same hive running in
// other processes.
int RemoveStaleHiveTemporaries(const std::string& target);

}  // namespace vtsim::registry
