// vtcfg.exe's session: the configurator DLL loaded by name, DriverConfig
// called on a platform tree, and the editor driven by the commands of the
// host's vtcfg (tools/vtcfg/commands.h) through real Win32 messages, the
// messages a person's clicks produce: BM_CLICK, TVM_SELECTITEM, CB_SETCURSEL
// with CBN_SELCHANGE, TCM_SETCURSEL with TCN_SELCHANGING/TCN_SELCHANGE, the
// Escape key through the dialog manager.
#pragma once

#include <string>

#include "platform/ui.h"
#include "tools/vtcfg/commands.h"

namespace vtcfg {

// Exit codes, as the host's vtcfg.
constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_LIBRARY = 3;

class WinSession {
public:
    WinSession(std::string root, std::string libraryName);
    ~WinSession();
    WinSession(const WinSession&) = delete;
    WinSession& operator=(const WinSession&) = delete;

    int Open();
    // Runs one script line; *quit is set by quit/exit.
    int Execute(const std::string& line, bool* quit);

private:
    int Run(const Command& command, bool* quit);
    int Select(const std::vector<std::string>& texts);
    int Click(int id, const std::string& what);
    int SelectTab(const std::string& text);
    int ChooseSwitchId(int index);
    int Escape();
    int Picture(const std::string& path);
    int WriteStates(const std::string& path);
    HWND Control(int id) const;
    void Pump();
    void ReportBoxes();

    std::string root_;
    std::string libraryName_;
    HMODULE module_ = nullptr;
    HWND editor_ = nullptr;
};

}  // namespace vtcfg
