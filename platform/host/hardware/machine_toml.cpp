// A machine description as TOML ([[board]] tables): reading it, where every
// error names the board (1-based) and the key at fault and a parse error
// gives the line and column, and writing it.
#include <toml++/toml.h>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/host/control/host_files.h"
#include "platform/host/control/machine.h"
#include "platform/host/hardware/pci_bus.h"

namespace vtsim {

namespace {

class BoardReader {
public:
    BoardReader(const toml::table& table, std::size_t index, std::string* error)
        : table_(table), index_(index), error_(error)
    {}

    bool Read(BoardConfig* out)
    {
        static const char* const kKnownKeys[] = {"model",
                                                 "bus",
                                                 "slot",
                                                 "function",
                                                 "switch",
                                                 "io_base",
                                                 "io_length",
                                                 "irq",
                                                 "loopback",
                                                 "omit_pci_info",
                                                 "incomplete_isr_info",
                                                 "omit_io_window",
                                                 "isr_dll"};
        for (const auto& [key, value] : table_) {
            (void)value;
            bool known = false;
            for (const char* name : kKnownKeys) {
                known = known || key.str() == name;
            }
            if (!known) {
                return Fail("unknown key '" + std::string(key.str()) + "'");
            }
        }

        BoardConfig b;
        const toml::node* model = table_.get("model");
        if (!model) {
            return Fail("missing key 'model'");
        }
        auto modelText = model->value<std::string>();
        if (!modelText) {
            return Fail("'model' must be a string");
        }
        if (!ParseModelName(*modelText, &b.model)) {
            return Fail("unknown model \"" + *modelText +
                        "\" (expected VTC-4100, VTC-4100E, VTM-6200K or unknown)");
        }

        std::uint32_t switchId = 0;
        if (!Number("bus", false, 0, 255, &b.bus) || !Number("slot", true, 0, 31, &b.slot) ||
            !Number("function", false, 0, 7, &b.function) ||
            !Number("switch", false, 0, 15, &switchId) ||
            !Number("io_base", true, 0, 0xFFFF, &b.ioBase) ||
            !Number("io_length", false, 1, 0x10000, &b.ioLength) ||
            !Number("irq", true, 0, 255, &b.irq)) {
            return false;
        }
        b.switchId = static_cast<std::uint8_t>(switchId);
        if (!Flag("loopback", &b.loopback) || !Flag("omit_pci_info", &b.omitPciInfo) ||
            !Flag("incomplete_isr_info", &b.incompleteIsrInfo) ||
            !Flag("omit_io_window", &b.omitIoWindow)) {
            return false;
        }
        if (const toml::node* dll = table_.get("isr_dll")) {
            auto text = dll->value<std::string>();
            if (!text) {
                return Fail("'isr_dll' must be a string");
            }
            b.isrDllOverride = *text;
        }
        *out = b;
        return true;
    }

private:
    bool Fail(const std::string& what)
    {
        if (error_) {
            *error_ = "board @" + std::to_string(index_) + ": " + what;
        }
        return false;
    }

    bool Number(const char* key, bool required, std::int64_t min, std::int64_t max,
                std::uint32_t* out)
    {
        const toml::node* node = table_.get(key);
        if (!node) {
            return required ? Fail(std::string("missing key '") + key + "'") : true;
        }
        if (!node->is_integer()) {
            return Fail(std::string("'") + key + "' must be an integer");
        }
        std::int64_t v = node->as_integer()->get();
        if (v < min || v > max) {
            return Fail(std::string("'") + key + "' = " + std::to_string(v) + " is out of range " +
                        std::to_string(min) + ".." + std::to_string(max));
        }
        *out = static_cast<std::uint32_t>(v);
        return true;
    }

    bool Flag(const char* key, bool* out)
    {
        const toml::node* node = table_.get(key);
        if (!node) {
            return true;
        }
        if (!node->is_boolean()) {
            return Fail(std::string("'") + key + "' must be true or false");
        }
        *out = node->as_boolean()->get();
        return true;
    }

    const toml::table& table_;
    std::size_t index_;
    std::string* error_;
};

// text as a TOML basic string: quoted, with '"', '\\' and control
// characters escaped.
std::string TomlString(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

void WriteBoard(const BoardConfig& b, std::ostringstream& out)
{
    char io[64];
    std::snprintf(io, sizeof(io), "io_base = 0x%04X\nio_length = 0x%X\n", b.ioBase, b.ioLength);
    out << "[[board]]\n"
        << "model = " << TomlString(ModelName(b.model)) << "\n"
        << "bus = " << b.bus << "\n"
        << "slot = " << b.slot << "\n"
        << "function = " << b.function << "\n"
        << "switch = " << static_cast<unsigned>(b.switchId) << "\n"
        << io << "irq = " << b.irq << "\n"
        << "loopback = " << (b.loopback ? "true" : "false") << "\n";
    if (b.omitPciInfo) {
        out << "omit_pci_info = true\n";
    }
    if (b.incompleteIsrInfo) {
        out << "incomplete_isr_info = true\n";
    }
    if (b.omitIoWindow) {
        out << "omit_io_window = true\n";
    }
    if (!b.isrDllOverride.empty()) {
        out << "isr_dll = " << TomlString(b.isrDllOverride) << "\n";
    }
}

}  // namespace

std::string MachineDescription::ToToml() const
{
    std::ostringstream out;
    for (std::size_t i = 0; i < boards.size(); ++i) {
        if (i > 0) {
            out << "\n";
        }
        WriteBoard(boards[i], out);
    }
    return out.str();
}

bool MachineDescription::FromToml(const std::string& text, MachineDescription* out,
                                  std::string* error)
{
    toml::table root;
    try {
        root = toml::parse(text);
    } catch (const toml::parse_error& e) {
        if (error) {
            std::ostringstream s;
            s << "line " << e.source().begin.line << ", column " << e.source().begin.column << ": "
              << e.description();
            *error = s.str();
        }
        return false;
    }
    for (const auto& [key, value] : root) {
        (void)value;
        if (key.str() != "board") {
            if (error) {
                *error = "unknown top-level key '" + std::string(key.str()) +
                         "' (boards are [[board]] tables)";
            }
            return false;
        }
    }
    MachineDescription machine;
    if (const toml::node* boards = root.get("board")) {
        const toml::array* list = boards->as_array();
        if (!list) {
            if (error) {
                *error = "'board' must be an array of tables ([[board]])";
            }
            return false;
        }
        for (std::size_t i = 0; i < list->size(); ++i) {
            const toml::table* table = (*list)[i].as_table();
            if (!table) {
                if (error) {
                    *error = "board @" + std::to_string(i) + ": not a table";
                }
                return false;
            }
            BoardConfig config;
            if (!BoardReader(*table, i, error).Read(&config)) {
                return false;
            }
            machine.boards.push_back(config);
        }
    }
    if (!internal::ValidateMachine(machine, error)) {
        return false;
    }
    if (out) {
        *out = std::move(machine);
    }
    return true;
}

bool MachineDescription::FromTomlFile(const std::string& path, MachineDescription* out,
                                      std::string* error)
{
    std::string text;
    if (!ReadHostFile(path, &text, error)) {
        return false;
    }
    std::string inner;
    if (!FromToml(text, out, &inner)) {
        if (error) {
            *error = path + ": " + inner;
        }
        return false;
    }
    return true;
}

}  // namespace vtsim
