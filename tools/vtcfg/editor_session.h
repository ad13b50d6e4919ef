// vtcfg's session: the configurator library loaded by name as the platform
// build's host loads it, DriverConfig called on a platform tree, and the
// editor window driven by commands as a person would drive it (select a
// node, add, remove, choose a SwitchID, click an edge, switch tabs, save,
// close, answer the prompts), with its state printed and pictured on
// request. Every message box the editor shows is printed with its answer.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/types.h"
#include "platform/ui.h"
#include "tools/vtcfg/commands.h"

namespace vtcfg {

// Exit codes.
constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;   // a command could not be done
constexpr int EXIT_USAGE = 2;    // bad arguments
constexpr int EXIT_LIBRARY = 3;  // the library did not load or made no editor

class EditorSession {
public:
    // root: the platform tree's folder; libraryName: the name the library is
    // loaded by and handed to DriverConfig ("VTC4100Cfg.dll").
    EditorSession(std::string root, std::string libraryName, std::ostream& out, std::ostream& err);
    // Closes an editor still open without saving, and unloads the library.
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // Loads the library and opens an editor. EXIT_LIBRARY with a message
    // when the library does not load, lacks DriverConfig, or DriverConfig
    // shows no editor.
    int Open();
    // Runs one command line; *quit is set by quit/exit.
    int Execute(const std::string& line, bool* quit);

    // Dispatches the messages queued for this thread, as the host's message
    // loop does between the user's actions.
    void PumpMessages();

private:
    int Run(const Command& command, bool* quit);
    int Select(const std::vector<std::string>& texts);
    int ClickControl(int id, const char* what);
    int ShowState();
    int Picture(const std::string& path);
    int WriteStates(const std::string& path);
    int PrintScript();
    bool RequireEditor();
    void ReportNewMessageBoxes();
    std::string ScriptPath() const;

    std::string root_;
    std::string libraryName_;
    std::ostream& out_;
    std::ostream& err_;
    HMODULE module_ = nullptr;
    HWND editor_ = nullptr;
    std::size_t boxesSeen_ = 0;
};

}  // namespace vtcfg
