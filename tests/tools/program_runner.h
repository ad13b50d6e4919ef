// Runs a program as a child process with its output captured.
#pragma once

#include <string>
#include <vector>

namespace vttest {

struct ProgramResult {
    int exitCode = -1;  // -1 when the program did not exit normally
    int signal = 0;     // the signal that ended it, if any
    std::string out;
    std::string err;
};

// Runs program with args, feeding input on stdin, and waits for it (killed
// after timeoutMs). With interruptAfterMs > 0 a SIGINT is sent after that time.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "", int interruptAfterMs = 0,
                         int timeoutMs = 30000);
// As RunProgram, with the SIGINT sent once readyText has appeared in the
// program's output (stdout or stderr): the program's own sign that it has
// got where the Ctrl-C is meant to find it, however slowly it runs.
ProgramResult RunProgramInterruptedWhenReady(const std::string& program,
                                             const std::vector<std::string>& args,
                                             const std::string& readyText,
                                             const std::string& input = "", int timeoutMs = 30000);

// A fresh directory for a test's files, removed by its destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const
    {
        return path_;
    }
    // Writes a file in the directory and returns its path.
    std::string Write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

}  // namespace vttest
