#include "tests/tools/program_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace vttest {
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

namespace {

// Runs the program; the SIGINT goes when interruptNow(milliseconds since
// the start, stdout path, stderr path) first says so.
template <typename InterruptNow>
ProgramResult Run(const std::string& program, const std::vector<std::string>& args,
                  const std::string& input, InterruptNow interruptNow, int timeoutMs)
{
    TempDir dir;
    const std::string inPath = dir.Write("stdin", input);
    const std::string outPath = dir.path() + "/stdout";
    const std::string errPath = dir.path() + "/stderr";

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(inPath.c_str(), O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ProgramResult result;
    if (pid < 0) {
        return result;
    }
    const auto start = std::chrono::steady_clock::now();
    bool interrupted = false;
    int status = 0;
    for (;;) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            break;
        }
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count();
        if (!interrupted && interruptNow(elapsed, outPath, errPath)) {
            kill(pid, SIGINT);
            interrupted = true;
        }
        if (elapsed >= timeoutMs) {
            kill(pid, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, int interruptAfterMs, int timeoutMs)
{
    return Run(
        program, args, input,
        [interruptAfterMs](long long elapsed, const std::string&, const std::string&) {
            return interruptAfterMs > 0 && elapsed >= interruptAfterMs;
        },
        timeoutMs);
}

ProgramResult RunProgramInterruptedWhenReady(const std::string& program,
                                             const std::vector<std::string>& args,
                                             const std::string& readyText, const std::string& input,
                                             int timeoutMs)
{
    return Run(
        program, args, input,
        [&readyText](long long, const std::string& outPath, const std::string& errPath) {
            return ReadFile(outPath).find(readyText) != std::string::npos ||
                   ReadFile(errPath).find(readyText) != std::string::npos;
        },
        timeoutMs);
}

TempDir::TempDir()
{
    char pattern[] = "/tmp/vtdio-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made != nullptr ? made : "/tmp";
}

TempDir::~TempDir()
{
    std::error_code ignored;
    if (path_ != "/tmp") {
        std::filesystem::remove_all(path_, ignored);
    }
}

std::string TempDir::Write(const std::string& name, const std::string& content) const
{
    const std::string path = path_ + "/" + name;
    std::ofstream(path) << content;
    return path;
}

}  // namespace vttest
