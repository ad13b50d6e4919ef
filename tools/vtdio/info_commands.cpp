#include "tools/vtdio/info_commands.h"

#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/board_types.h"
#include "library/include/rlx4100.h"
#include "platform/host/control/text.h"
#include "tools/common/model_names.h"
#include "tools/common/numbers.h"
#include "tools/vtdio/device_arguments.h"
#include "tools/vtdio/list_command.h"

namespace vtdio {
namespace {

using vttools::Hex;
using vttools::HexBytes;
using vttools::ModelOfBoardType;

struct Arguments {
    std::string infoDevice;
    bool json = false;
};

std::string Bytes(const std::vector<BYTE>& bytes)
{
    return HexBytes(bytes.data(), bytes.size());
}

// A terminated text field of the features record, up to its size.
template <std::size_t N>
std::string Text(const WCHAR (&field)[N])
{
    std::size_t length = 0;
    while (length < N && field[length] != 0) {
        ++length;
    }
    return vtsim::Utf8FromUtf16(std::u16string(field, length));
}

// The interrupt inputs of a board type, as lines: DI0.0, DI0.1, ...
std::vector<std::string> InterruptInputs(std::uint32_t boardType)
{
    std::vector<std::string> inputs;
    for (DWORD input = 0; input < ServedEventCountOf(boardType); ++input) {
        inputs.push_back("DI0." + std::to_string(input));
    }
    return inputs;
}

// Why the features record's board type differs from the device's, or "".
std::string FeaturesBoardTypeNote(std::uint32_t deviceType, std::uint32_t featuresType)
{
    if (deviceType == featuresType) {
        return {};
    }
    return std::string("the features record carries the code of the ") +
           ModelOfBoardType(featuresType) + " family, which the " + ModelOfBoardType(deviceType) +
           " (board type " + std::to_string(deviceType) + ") belongs to";
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

int Info(Context& context, const Arguments& args)
{
    const std::uint32_t number = Number32(args.infoDevice);
    OpenDevice open(context, number);
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    const LONG h = open.handle();
    std::uint32_t deviceNumber, boardType, switchId, base, irq, bus, slot, diChannels, diPorts,
        doChannels, doPorts;
    std::vector<BYTE> interruptBits, rising, falling;
    std::vector<std::string> edges;
    DeviceFeatures features = {};
    if (!Property32(context, h, PROP_DEVICE_NUMBER, &deviceNumber) ||
        !Property32(context, h, PROP_BOARD_TYPE, &boardType) ||
        !Property32(context, h, PROP_SWITCH_ID, &switchId) ||
        !Property32(context, h, PROP_BASE_ADDRESS, &base) ||
        !Property32(context, h, PROP_IRQ, &irq) || !Property32(context, h, PROP_BUS_NUMBER, &bus) ||
        !Property32(context, h, PROP_SLOT_NUMBER, &slot) ||
        !Property32(context, h, PROP_DI_CHANNEL_COUNT, &diChannels) ||
        !Property32(context, h, PROP_DI_PORT_COUNT, &diPorts) ||
        !Property32(context, h, PROP_DO_CHANNEL_COUNT, &doChannels) ||
        !Property32(context, h, PROP_DO_PORT_COUNT, &doPorts) ||
        !PropertyBytes(context, h, PROP_DI_INTERRUPT_BITS, &interruptBits) ||
        !PropertyBytes(context, h, PROP_DI_RISING_EDGE_MASK, &rising) ||
        !PropertyBytes(context, h, PROP_DI_FALLING_EDGE_MASK, &falling) ||
        !InputEdges(context, h, &edges) ||
        !Check(context, "DeviceGetFeatures", DeviceGetFeatures(h, &features, sizeof features))) {
        return EXIT_FAILED;
    }

    // Names that only the registry holds.
    std::string callName = "?", deviceName = "?", ioPortCount = "?";
    nlohmann::ordered_json ioPortsJson = nullptr;  // null when the registry lacks it
    for (const PublishedDevice& device : context.target.PublishedDevices()) {
        if (device.number == number) {
            callName = device.callName;
            deviceName = device.deviceName;
            ioPortCount = std::to_string(device.ioPortCount);
            ioPortsJson = device.ioPortCount;
        }
    }
    const std::vector<std::string> inputs = InterruptInputs(boardType);
    const std::string featuresNote = FeaturesBoardTypeNote(boardType, features.boardType);

    if (args.json) {
        nlohmann::ordered_json edgeMap = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < edges.size() && i < inputs.size(); ++i) {
            edgeMap[inputs[i]] = edges[i];
        }
        nlohmann::ordered_json object = {{"device", deviceNumber},
                                         {"model", ModelOfBoardType(boardType)},
                                         {"board_type", boardType},
                                         {"device_name", deviceName},
                                         {"call_name", callName},
                                         {"bus", bus},
                                         {"slot", slot},
                                         {"switch", switchId},
                                         {"io_base", base},
                                         {"io_ports", ioPortsJson},
                                         {"irq", irq},
                                         {"di_ports", diPorts},
                                         {"di_channels", diChannels},
                                         {"do_ports", doPorts},
                                         {"do_channels", doChannels},
                                         {"interrupt_inputs", inputs},
                                         {"interrupt_bits", interruptBits},
                                         {"rising_edge_mask", rising},
                                         {"falling_edge_mask", falling},
                                         {"edges", edgeMap},
                                         {"features",
                                          {{"version", Text(features.version)},
                                           {"library", Text(features.libraryName)},
                                           {"board_type", features.boardType},
                                           {"di_lines", features.diLineCount},
                                           {"do_lines", features.doLineCount}}}};
        if (!featuresNote.empty()) {
            object["features"]["board_type_note"] = featuresNote;
        }
        context.out << object.dump(2) << "\n";
        return EXIT_OK;
    }

    std::string edgeText;
    for (std::size_t i = 0; i < edges.size() && i < inputs.size(); ++i) {
        edgeText += (i != 0 ? " " : "") + inputs[i] + "=" + edges[i];
    }
    std::ostream& out = context.out;
    out << "device:           " << deviceNumber << "\n"
        << "model:            " << ModelOfBoardType(boardType) << " (board type " << boardType
        << ")\n"
        << "device name:      " << deviceName << "\n"
        << "call name:        " << callName << "\n"
        << "bus/slot:         " << bus << "/" << slot << "\n"
        << "switch id:        " << switchId << "\n"
        << "base address:     " << Hex(base, 4) << "\n"
        << "io ports:         " << ioPortCount << "\n"
        << "irq:              " << irq << "\n"
        << "di ports:         " << diPorts << " (" << diChannels << " channels)\n"
        << "do ports:         " << doPorts << " (" << doChannels << " channels)\n"
        << "interrupt inputs: " << Joined(inputs)
        << " (interrupt bits property: " << Bytes(interruptBits) << ")\n"
        << "edges:            " << edgeText << "\n"
        << "rising edges:     " << Bytes(rising) << "\n"
        << "falling edges:    " << Bytes(falling) << "\n"
        << "features:         version \"" << Text(features.version) << "\", library \""
        << Text(features.libraryName) << "\", board type " << features.boardType
        << ", digital lines " << features.diLineCount << "\n";
    if (!featuresNote.empty()) {
        out << "                  (" << featuresNote << ")\n";
    }
    return EXIT_OK;
}

}  // namespace

std::shared_ptr<void> AddInfoCommands(CLI::App& app, CommandSet& commands, Context& context)
{
    auto args = std::make_shared<Arguments>();
    Arguments& a = *args;
    auto list = AddListCommand(app, commands, context);
    CLI::App* info = commands.Add(app, "info", "show a device's properties and features",
                                  Booted(context, [&context, &a] { return Info(context, a); }));
    AddDeviceArgument(info, &a.infoDevice);
    info->add_flag("--json", a.json, "print one JSON object");
    return std::make_shared<std::pair<std::shared_ptr<Arguments>, std::shared_ptr<void>>>(args,
                                                                                          list);
}

}  // namespace vtdio
