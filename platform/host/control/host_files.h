// Host files that the control API and the tools read by name: machine
// descriptions, registry scripts, hives and session scripts. Every such read
// goes through ReadHostFile, so that a wrong name (a directory, a device
// that never ends such as /dev/zero, a name too long for the host) is
// refused with one line that names the file, instead of ending the process
// or reading until memory runs out.
#pragma once

#include <cstddef>
#include <string>

namespace vtsim {

// The most bytes that ReadHostFile reads from one file.
inline constexpr std::size_t kMaxHostFileBytes = std::size_t{16} << 20;
inline constexpr const char* kMaxHostFileText = "16 MiB";

// Reads the whole file at path into *bytes. Fails (false, *error set to
// "PATH: reason" with the reason in lower case, such as "no such file or
// directory", "is a directory", "file name too long", "larger than 16 MiB",
// *bytes unspecified) when the file cannot be opened or read, names a
// directory, or holds more than kMaxHostFileBytes. Never throws. Any thread.
bool ReadHostFile(const std::string& path, std::string* bytes, std::string* error);

// "reason" for errno in the style of ReadHostFile: strerror's text with its
// first letter in lower case ("permission denied").
std::string HostErrorText(int errorNumber);

// The file that path ends at after following symbolic links: path itself
// when it is not a link or does not exist, and for a link to nothing what it
// points to (a file still to be made). A relative link counts from the
// link's folder. False with *error = "PATH: reason" on a loop of links or a
// link that cannot be read.
bool FollowHostLinks(const std::string& path, std::string* target, std::string* error);

// The folder part of a path: "a/b" -> "a", "/b" -> "/", "b" -> ".".
std::string HostFolderOf(const std::string& path);

}  // namespace vtsim
