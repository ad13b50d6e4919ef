// vtrc: the simulated target's resource compiler. Compiles a module's
// resource script into the C++ source of the module's resource table, and
// a dependency file listing what it read, for the build.
//
//     vtrc SCRIPT.rc OUTPUT.cpp [--depfile FILE] [-I DIR]...
//
// A script it does not accept is reported as "file:line: message" on
// stderr with exit code 1 (2 for bad arguments), and nothing is written.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/host/windows/resource_compiler/script_compiler.h"
#include "platform/host/windows/resource_compiler/script_tokens.h"
#include "platform/host/windows/resource_compiler/table_source.h"

namespace {

// A path in a dependency file: blanks, '#' and '$' escaped as make reads
// them.
std::string DepfilePath(const std::string& path)
{
    std::string escaped;
    for (char c : path) {
        if (c == ' ' || c == '#') {
            escaped.push_back('\\');
        } else if (c == '$') {
            escaped.push_back('$');
        }
        escaped.push_back(c);
    }
    return escaped;
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> positional;
    std::vector<std::string> includeDirs;
    std::string depfile;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--depfile" && i + 1 < argc) {
            depfile = argv[++i];
        } else if (arg == "-I" && i + 1 < argc) {
            includeDirs.push_back(argv[++i]);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        std::cerr << "usage: vtrc SCRIPT.rc OUTPUT.cpp [--depfile FILE] [-I DIR]...\n";
        return 2;
    }
    const std::string& script = positional[0];
    const std::string& output = positional[1];
    try {
        vtsim::rc::CompiledScript compiled = vtsim::rc::CompileScript(script, includeDirs);
        if (!WriteFile(output, vtsim::rc::TableSource(compiled, script))) {
            std::cerr << "vtrc: cannot write " << output << "\n";
            return 1;
        }
        if (!depfile.empty()) {
            std::string rule = DepfilePath(output) + ":";
            for (const std::string& dependency : compiled.dependencies) {
                rule += ' ';
                rule += DepfilePath(dependency);
            }
            if (!WriteFile(depfile, rule + "\n")) {
                std::cerr << "vtrc: cannot write " << depfile << "\n";
                return 1;
            }
        }
    } catch (const vtsim::rc::ScriptError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
