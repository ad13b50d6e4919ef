#include "tools/vtdio/list_command.h"

#include <ostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "common/board_types.h"
#include "library/include/rlx4100.h"
#include "tools/common/model_names.h"
#include "tools/common/numbers.h"
#include "tools/vtdio/text_table.h"

namespace vtdio {

namespace {

using vttools::Hex;
using vttools::ModelOfBoardType;

struct Arguments {
    bool json = false;
};

// "error: DeviceOpen: 4122 = ..." -> "DeviceOpen: 4122 = ..."
std::string Reason(const std::string& errorText)
{
    std::string reason = errorText;
    const std::size_t end = reason.find('\n');
    if (end != std::string::npos) {
        reason.resize(end);
    }
    if (reason.rfind("error: ", 0) == 0) {
        reason.erase(0, 7);
    }
    return reason;
}

// What list shows of one device.
struct DeviceLine {
    PublishedDevice device;
    bool available = false;
    std::vector<std::string> edges;  // when available
    std::string reason;              // when not
    bool moved = false;              // its board is no longer where the entry says
    std::uint32_t nowBase = 0, nowIrq = 0;
};

DeviceLine Examine(Context& context, const PublishedDevice& device)
{
    DeviceLine line;
    line.device = device;
    // The edges come from the library's properties, which also shows that
    // the device opens; a published device whose board is gone does not.
    std::ostringstream errors;
    Context probe{context.target, context.out, errors, context.ensureTarget, context.interrupted};
    {
        OpenDevice open(probe, device.number);
        line.available = open.ok() && InputEdges(probe, open.handle(), &line.edges);
    }
    line.reason = Reason(errors.str());
    std::string ignored;
    const vtsim::Board* board = context.target.FindBoard(std::to_string(device.number), &ignored);
    if (board != nullptr && device.complete &&
        (board->config().ioBase != device.baseAddress || board->config().irq != device.irq)) {
        line.moved = true;
        line.nowBase = board->config().ioBase;
        line.nowIrq = board->config().irq;
    }
    return line;
}

std::string EdgesText(const std::vector<std::string>& edges)
{
    std::string text;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        text += (i != 0 ? " DI" : "DI") + std::to_string(i) + "=" +
                (edges[i] == "falling"  ? "fall"
                 : edges[i] == "rising" ? "rise"
                                        : "-");
    }
    return text;
}

std::string MovedText(const DeviceLine& line)
{
    return "board now at " + Hex(line.nowBase, 4) + " irq " + std::to_string(line.nowIrq);
}

int List(Context& context, const Arguments& args)
{
    std::vector<DeviceLine> lines;
    for (const PublishedDevice& device : context.target.PublishedDevices()) {
        lines.push_back(Examine(context, device));
    }
    std::vector<std::pair<std::size_t, const vtsim::Board*>> orphans;
    const std::vector<vtsim::Board*> boards = vtsim::Boards();
    for (std::size_t i = 0; i < boards.size(); ++i) {
        if (context.target.DeviceNumberOf(boards[i]) < 0) {
            orphans.emplace_back(i, boards[i]);
        }
    }

    if (args.json) {
        nlohmann::ordered_json devices = nlohmann::ordered_json::array();
        for (const DeviceLine& line : lines) {
            const PublishedDevice& d = line.device;
            nlohmann::ordered_json entry = {{"device", d.number},
                                            {"model", ModelOfBoardType(d.boardType)},
                                            {"board_type", d.boardType},
                                            {"call_name", d.callName},
                                            {"switch", d.switchId},
                                            {"io_base", d.baseAddress},
                                            {"irq", d.irq},
                                            {"available", line.available}};
            if (line.available) {
                nlohmann::ordered_json edges = nlohmann::ordered_json::object();
                for (std::size_t i = 0; i < line.edges.size(); ++i) {
                    edges["DI0." + std::to_string(i)] = line.edges[i];
                }
                entry["edges"] = edges;
            } else {
                entry["reason"] = line.reason;
            }
            if (line.moved) {
                entry["board_now"] = {{"io_base", line.nowBase}, {"irq", line.nowIrq}};
            }
            devices.push_back(entry);
        }
        nlohmann::ordered_json unpublished = nlohmann::ordered_json::array();
        for (const auto& [place, board] : orphans) {
            unpublished.push_back({{"board", "@" + std::to_string(place)},
                                   {"model", vtsim::ModelName(board->config().model)},
                                   {"bus", board->config().bus},
                                   {"slot", board->config().slot},
                                   {"io_base", board->config().ioBase},
                                   {"reason", context.target.WhyNoDevice(board)}});
        }
        nlohmann::ordered_json all = {{"devices", devices}, {"boards_without_device", unpublished}};
        context.out << all.dump(2) << "\n";
        return EXIT_OK;
    }

    if (lines.empty()) {
        context.out << "no devices published\n";
    } else {
        std::vector<std::vector<std::string>> rows = {
            {"DEV", "MODEL", "CALL", "SWITCH", "IO-BASE", "IRQ", "EDGES"}};
        for (const DeviceLine& line : lines) {
            const PublishedDevice& d = line.device;
            std::string edges =
                line.available ? EdgesText(line.edges) : "not available (" + line.reason + ")";
            if (line.moved) {
                edges += "  (" + MovedText(line) + ")";
            }
            rows.push_back({std::to_string(d.number), ModelOfBoardType(d.boardType), d.callName,
                            std::to_string(d.switchId), Hex(d.baseAddress, 4),
                            std::to_string(d.irq), edges});
        }
        context.out << FormatTable(rows, {true, false, false, true, false, true, false});
    }
    if (!orphans.empty()) {
        std::vector<std::vector<std::string>> rows = {
            {"BOARD", "MODEL", "BUS/SLOT", "IO-BASE", "WHY NO DEVICE"}};
        for (const auto& [place, board] : orphans) {
            const vtsim::BoardConfig& c = board->config();
            rows.push_back({"@" + std::to_string(place), vtsim::ModelName(c.model),
                            std::to_string(c.bus) + "/" + std::to_string(c.slot), Hex(c.ioBase, 4),
                            context.target.WhyNoDevice(board)});
        }
        context.out << "\nboards without a device:\n" << FormatTable(rows, {});
    }
    return EXIT_OK;
}

}  // namespace

bool InputEdges(Context& context, LONG handle, std::vector<std::string>* edges)
{
    std::vector<BYTE> rising, falling;
    std::uint32_t boardType = 0;
    if (!Property32(context, handle, PROP_BOARD_TYPE, &boardType) ||
        !PropertyBytes(context, handle, PROP_DI_RISING_EDGE_MASK, &rising) ||
        !PropertyBytes(context, handle, PROP_DI_FALLING_EDGE_MASK, &falling) || rising.empty() ||
        falling.empty()) {
        return false;
    }
    edges->clear();
    for (unsigned bit = 0; bit < ServedEventCountOf(boardType); ++bit) {
        edges->push_back((falling[0] >> bit & 1)  ? "falling"
                         : (rising[0] >> bit & 1) ? "rising"
                                                  : "-");
    }
    return true;
}

std::shared_ptr<void> AddListCommand(CLI::App& app, CommandSet& commands, Context& context)
{
    auto args = std::make_shared<Arguments>();
    CLI::App* list = commands.Add(
        app, "list",
        "list every published device (number, model, call name, ID switch, I/O base, IRQ, "
        "trigger edges) and the boards that have no device, with the reason",
        Booted(context, [&context, a = args.get()] { return List(context, *a); }));
    list->add_flag("--json", args->json, "print one JSON object: devices, boards_without_device");
    return args;
}

}  // namespace vtdio
