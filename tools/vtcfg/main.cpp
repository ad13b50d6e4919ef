// vtcfg: does with the desktop template configurator what the platform
// build's host does: loads the configurator library by name, calls
// DriverConfig on a platform tree and runs the message loop, while a person
// drives the editor from a script or a shell and takes pictures of it.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include <CLI/CLI.hpp>

#include "tools/common/platform_tree.h"
#include "tools/vtcfg/control_states.h"
#include "tools/vtcfg/editor_session.h"
#include "tools/vtcfg/shell.h"

namespace {

// Differences between two window-state files, printed; 0 when none.
int CompareStateFiles(const std::string& expectedPath, const std::string& actualPath)
{
    // Positions may differ by this many dialog units beyond the fonts' share.
    constexpr int kTolerance = 2;
    std::vector<vtcfg::ControlState> states[2];
    const std::string paths[2] = {expectedPath, actualPath};
    for (int i = 0; i < 2; ++i) {
        std::ifstream in(paths[i], std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        std::string error;
        if (!in || !vtcfg::ParseControlStates(text, &states[i], &error)) {
            std::cerr << "error: " << paths[i] << ": " << (in ? error : "cannot be read") << "\n";
            return vtcfg::EXIT_USAGE;
        }
    }
    const std::string differences = vtcfg::CompareControlStates(states[0], states[1], kTolerance);
    std::cout << differences;
    return differences.empty() ? vtcfg::EXIT_OK : vtcfg::EXIT_FAILED;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace vtcfg;

    CLI::App app(
        "The desktop template editor of the VTC-4100, VTC-4100E and VTM-6200K board "
        "package, on a platform tree.\n"
        "Exit codes: 0 done, 1 a command could not be done, 2 bad arguments, 3 the "
        "configurator library did not load or showed no editor.",
        "vtcfg");
    app.require_subcommand(1);

    std::string initDir;
    bool replace = false;
    CLI::App* init =
        app.add_subcommand("init",
                           "lay out a platform tree in DIR with the platform image's and the board "
                           "packages' registry scripts (DIR/Platform/platform.reg, "
                           "DIR/Public/Korvel/Device_Drivers/<folder>/<folder>.reg)");
    init->add_option("DIR", initDir, "the tree's folder (created as needed)")->required();
    init->add_flag("--replace", replace, "replace scripts already in the tree");

    std::string root = ".";
    std::string libraryName = "VTC4100Cfg.dll";
    auto addEditorOptions = [&](CLI::App* command) {
        command->add_option("--root", root, "the platform tree (default: the current folder)")
            ->type_name("DIR")
            ->check(CLI::ExistingDirectory);
        command
            ->add_option("--as", libraryName,
                         "the name the configurator library is loaded by and given: "
                         "VTC4100Cfg.dll, VTC4100ECfg.dll or VTM6200KCfg.dll")
            ->type_name("NAME");
    };
    CLI::App* shell = app.add_subcommand("shell", "open the editor and drive it interactively");
    addEditorOptions(shell);
    std::string script;
    bool echo = false, keepGoing = false;
    CLI::App* run = app.add_subcommand("run", "open the editor and drive it from a script");
    addEditorOptions(run);
    run->add_option("FILE", script, "script: one command per line, # comments")->required();
    run->add_flag("--echo", echo, "print each command before it runs");
    run->add_flag("--keep-going", keepGoing, "go on after a failing command");
    std::string expectedStates, actualStates;
    CLI::App* compare = app.add_subcommand(
        "compare-states",
        "compare two window-state files written by `states FILE` (here or by vtcfg.exe on "
        "Windows) and print what a person would notice; exit 1 when they differ");
    compare->add_option("EXPECTED", expectedStates, "the first file")->required();
    compare->add_option("ACTUAL", actualStates, "the second file")->required();
    app.footer(SessionHelp());

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? EXIT_OK : EXIT_USAGE;
    }

    if (init->parsed()) {
        std::vector<std::string> written;
        std::string error;
        if (!vttools::LayOutTree(initDir, replace, &written, &error)) {
            std::cerr << "error: " << error << "\n";
            return EXIT_FAILED;
        }
        for (const std::string& path : written) {
            std::cout << "wrote " << path << "\n";
        }
        if (written.empty()) {
            std::cout << "the tree already holds every script ('--replace' replaces them)\n";
        }
        return EXIT_OK;
    }

    if (compare->parsed()) {
        return CompareStateFiles(expectedStates, actualStates);
    }

    const std::string absoluteRoot = std::filesystem::absolute(root).lexically_normal().string();
    EditorSession session(absoluteRoot, libraryName, std::cout, std::cerr);
    if (const int opened = session.Open(); opened != EXIT_OK) {
        return opened;
    }
    return shell->parsed() ? RunShell(session) : RunScript(session, script, echo, keepGoing);
}
