// Control of how the simulated target's file calls see the host's file
// system: drive letters for Windows-style paths.
//
// CreateFileW takes Windows-style names and opens host files: '\' and '/' both
// separate the parts of a path, so "\tmp\a.reg" is /tmp/a.reg and
// "sub\a.reg" is relative to the process's current directory. A name that
// starts with a drive letter ("C:\TREE\a.reg") is looked up in the drive map:
// after MapDrive('C', "/home/me/tree") it opens /home/me/tree/TREE/a.reg. A
// drive letter that is not mapped fails with ERROR_PATH_NOT_FOUND, and so does
// a drive-relative name ("C:a.reg"). Names are matched with their case as
// given: the host's file system tells case apart, while the target's does not.
//
// The map is process-wide and safe to change from any thread; an open uses
// the map as it stands when the open starts.
#pragma once

#include <string>

namespace vtsim {

// Maps drive letter (A-Z, either case) to a host directory; mapping a letter
// again replaces its directory. A relative directory is taken relative to the
// current directory at each open. Returns false (and maps nothing) for a
// character that is not a letter or an empty directory.
bool MapDrive(char letter, const std::string& hostDirectory);
// Removes one mapping (nothing happens for a letter that is not mapped), or
// all of them.
void UnmapDrive(char letter);
void UnmapAllDrives();

}  // namespace vtsim
