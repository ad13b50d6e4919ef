// vtcfg.exe: on Windows, does what the platform build's host does with the
// configurator DLL (loads it by name, calls DriverConfig on a platform tree,
// runs the message loop) while a script drives the editor as the host's
// vtcfg does:
//
//   vtcfg.exe run FILE [--root DIR] [--as NAME] [--echo] [--keep-going]
//
// Exit codes as the host's vtcfg: 0 done, 1 a command could not be done,
// 2 bad arguments, 3 the library did not load or showed no editor.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/commctrl.h"
#include "tools/vtcfg_win/message_box_answers.h"
#include "tools/vtcfg_win/win_session.h"
#include "tools/vtcfg_win/window_states.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: vtcfg.exe run FILE [--root DIR] [--as NAME] [--echo] [--keep-going]\n");
    return vtcfg::EXIT_USAGE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    using namespace vtcfg;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(Utf8(argv[i]));
    }
    std::string script, root = ".", libraryName = "VTC4100Cfg.dll";
    bool echo = false, keepGoing = false;
    if (args.size() < 2 || args[0] != "run") {
        return Usage();
    }
    script = args[1];
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--echo") {
            echo = true;
        } else if (args[i] == "--keep-going") {
            keepGoing = true;
        } else if (args[i] == "--root" && i + 1 < args.size()) {
            root = args[++i];
        } else if (args[i] == "--as" && i + 1 < args.size()) {
            libraryName = args[++i];
        } else {
            return Usage();
        }
    }
    std::ifstream in(Wide(script).c_str());
    if (!in) {
        std::fprintf(stderr, "error: %s: cannot be read\n", script.c_str());
        return EXIT_USAGE;
    }
    // The editor's tree view and tab control are common controls.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    if (!StartAnsweringMessageBoxes()) {
        std::fprintf(stderr, "error: the message boxes cannot be watched\n");
        return EXIT_FAILED;
    }
    int result = EXIT_OK;
    {
        WinSession session(root, libraryName);
        if (const int opened = session.Open(); opened != EXIT_OK) {
            return opened;
        }
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (echo && line.find_first_not_of(" \t") != std::string::npos && line[0] != '#') {
                std::printf("> %s\n", line.c_str());
            }
            bool quit = false;
            const int code = session.Execute(line, &quit);
            std::fflush(stdout);
            if (code != EXIT_OK) {
                std::fprintf(stderr, "%s:%d: the command failed\n", script.c_str(), number);
                result = code;
                if (!keepGoing) {
                    break;
                }
            }
            if (quit) {
                break;
            }
        }
    }
    StopAnsweringMessageBoxes();
    return result;
}
