#include "tools/vtcfg/shell.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

#include <readline/history.h>
#include <readline/readline.h>

namespace vtcfg {

int RunShell(EditorSession& session)
{
    const bool terminal = isatty(STDIN_FILENO) != 0;
    std::string historyFile;
    if (terminal) {
        if (const char* home = std::getenv("HOME")) {
            historyFile = std::string(home) + "/.vtcfg_history";
        }
        using_history();
        stifle_history(1000);
        if (!historyFile.empty()) {
            read_history(historyFile.c_str());
        }
        std::cout << "vtcfg shell: 'help' lists the commands, 'quit' or Ctrl-D ends.\n";
    }
    int result = EXIT_OK;
    for (;;) {
        std::string line;
        if (terminal) {
            char* text = readline("vtcfg> ");
            if (text == nullptr) {
                break;
            }
            line = text;
            std::free(text);
            if (line.find_first_not_of(" \t") != std::string::npos) {
                add_history(line.c_str());
            }
        } else if (!std::getline(std::cin, line)) {
            break;
        }
        bool quit = false;
        result = session.Execute(line, &quit);
        std::cout.flush();
        if (quit) {
            break;
        }
    }
    if (terminal && !historyFile.empty()) {
        write_history(historyFile.c_str());
    }
    return result;
}

int RunScript(EditorSession& session, const std::string& path, bool echo, bool keepGoing)
{
    std::ifstream in(path);
    if (!in) {
        std::cerr << "error: " << path << ": cannot be read\n";
        return EXIT_USAGE;
    }
    int result = EXIT_OK;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (echo && line.find_first_not_of(" \t\r") != std::string::npos && line[0] != '#') {
            std::cout << "> " << line << "\n";
        }
        bool quit = false;
        const int code = session.Execute(line, &quit);
        if (code != EXIT_OK) {
            std::cerr << path << ":" << number << ": the command failed\n";
            result = code;
            if (!keepGoing) {
                break;
            }
        }
        if (quit) {
            break;
        }
    }
    return result;
}

}  // namespace vtcfg
