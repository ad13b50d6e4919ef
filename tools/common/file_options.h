// Every option of a tool that names a file or folder, checked in one place
// before the tool boots its target: one line that names the file and says
// what is wrong, and the exit code EXIT_FILE (exit_codes.h). Checked here:
// the file is there (or its folder, for a file still to be written), is of
// the right kind, is small enough, and can be read or its folder written.
// Whatever reads the files later does so through vtsim::ReadHostFile, with
// the same size limit.
//
// Adding a file option is one call to Add with its use; the check comes
// with it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace vttools {

enum class FileUse {
    // A regular file that is read, at most vtsim::kMaxHostFileBytes long.
    Read,
    // A file read when it is there and written at the end (the hive): when
    // it exists as Read, and writable (a read-only file is refused, never
    // replaced); the folder it is (or, through a link, will be) written in
    // must exist and take new files.
    Keep,
    // A file written at the end (a trace, a plot): its folder must exist and
    // take new files; a file of that name must not be a directory.
    Write,
    // An existing folder that is read.
    Folder,
    // A platform tree (platform_tree.h): a Folder whose image script and
    // package scripts are all there and Read files; a package folder
    // without its script is refused.
    Tree,
};

class FileOptions {
public:
    // Adds an option (a name starting with "-") or a positional argument
    // to command, whose value is a file or folder of the given use; returns
    // the option for further settings.
    CLI::Option* Add(CLI::App* command, const std::string& name, std::string* value, FileUse use,
                     const std::string& description);
    CLI::Option* Add(CLI::App* command, const std::string& name, std::vector<std::string>* values,
                     FileUse use, const std::string& description);

    // Checks the files of every option that the parsed command line gave.
    // False with *error = "PATH: reason" for the first that fails (for a
    // tree, PATH is the file or folder in it that fails).
    bool Check(std::string* error) const;

private:
    struct Entry {
        CLI::Option* option;
        std::function<std::vector<std::string>()> paths;
        FileUse use;
    };
    std::vector<Entry> entries_;
};

// The check of one path for a use, as FileOptions::Check makes it; "" when
// the path is fine, else the reason (without the path). A Tree is checked
// here as a Folder only.
std::string FileProblem(const std::string& path, FileUse use);

}  // namespace vttools
