// The platform tree: the folder of a platform build that holds the platform
// image's registry script and the board packages' registry scripts, where
// the configurator edits them and from which a simulated target boots.
//
//     <root>/Platform/platform.reg                                  the image's script
//     <root>/Public/Korvel/Device_Drivers/<folder>/<folder>.reg     a board package's
//
// The package folders are VTC4100 (the VTC-4100 and VTC-4100E) and
// VTM6200K, named as the configurator library's name gives them.
#pragma once

#include <string>
#include <vector>

namespace vttools {

// The host paths of the image's script and of a package's script in the
// tree at root.
std::string ImageScriptPath(const std::string& root);
std::string PackageScriptPath(const std::string& root, const std::string& folder);

// The scripts a target boots from with the tree at root: the image's
// script, then every package's script (folders in name order). False with
// a one-line *error, "PATH: reason", naming the file or folder and giving
// the system's reason, when the root, the image's script or the folder of
// the packages is missing, a package folder lacks its script, or a script
// is not a readable regular file of at most vtsim::kMaxHostFileBytes (a
// directory, a FIFO, a file without read permission).
bool TreeScripts(const std::string& root, std::vector<std::string>* scripts, std::string* error);

// Lays out a tree at root (created as needed) from the package's own
// scripts: the platform image's script and packages/<folder>.reg of the
// source tree. Scripts already in the tree are kept unless replace. False
// with a one-line *error when a folder or file cannot be made. *written
// receives the paths written.
bool LayOutTree(const std::string& root, bool replace, std::vector<std::string>* written,
                std::string* error);

}  // namespace vttools
