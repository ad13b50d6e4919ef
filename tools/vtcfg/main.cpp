// vtcfg: does with the desktop template configurator what the platform
// build's host does: loads the configurator library by name, calls
// DriverConfig on a platform tree and runs the message loop, while a person
// drives the editor from a script or a shell and takes pictures of it.
#include <filesystem>
#include <iostream>

#include <CLI/CLI.hpp>

#include "tools/common/platform_tree.h"
#include "tools/vtcfg/editor_session.h"
#include "tools/vtcfg/shell.h"

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

    const std::string absoluteRoot = std::filesystem::absolute(root).lexically_normal().string();
    EditorSession session(absoluteRoot, libraryName, std::cout, std::cerr);
    if (const int opened = session.Open(); opened != EXIT_OK) {
        return opened;
    }
    return shell->parsed() ? RunShell(session) : RunScript(session, script, echo, keepGoing);
}
