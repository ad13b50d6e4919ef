#include "tools/vtdio/info_commands.h"

#include <cstdio>
#include <ostream>
#include <sstream>
#include <vector>

#include "library/include/rlx4100.h"
#include "platform/host/control/text.h"
#include "tools/common/model_names.h"
#include "tools/common/numbers.h"
#include "tools/vtdio/device_arguments.h"

namespace vtdio {
namespace {

using vttools::Hex;
using vttools::HexBytes;
using vttools::ModelOfBoardType;

struct Arguments {
    std::string infoDevice;
};

std::string Bytes(const std::vector<BYTE>& bytes)
{
    return HexBytes(bytes.data(), bytes.size());
}

// The edge of each interrupt input from the library's rising and falling
// masks (byte 0 covers the interrupt inputs): "DI0=rise DI1=fall".
bool Edges(Context& context, LONG handle, std::string* text)
{
    std::vector<BYTE> rising, falling;
    std::uint32_t ports = 0;
    if (!Property32(context, handle, PROP_DI_PORT_COUNT, &ports) ||
        !PropertyBytes(context, handle, PROP_DI_RISING_EDGE_MASK, &rising) ||
        !PropertyBytes(context, handle, PROP_DI_FALLING_EDGE_MASK, &falling) || rising.empty() ||
        falling.empty()) {
        return false;
    }
    const unsigned inputs = ports >= 4 ? 4 : 2;  // interrupt inputs: bits 0-3 or 0-1
    text->clear();
    for (unsigned bit = 0; bit < inputs; ++bit) {
        const char* edge = (falling[0] >> bit & 1) ? "fall" : (rising[0] >> bit & 1) ? "rise" : "-";
        *text += (bit != 0 ? " DI" : "DI") + std::to_string(bit) + "=" + edge;
    }
    return true;
}

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

int List(Context& context)
{
    const std::vector<PublishedDevice> devices = context.target.PublishedDevices();
    if (devices.empty()) {
        context.out << "no devices published\n";
        return EXIT_OK;
    }
    char line[200];
    std::snprintf(line, sizeof line, "%-3s  %-10s %-6s %6s  %-7s %4s  %s\n", "DEV", "MODEL", "CALL",
                  "SWITCH", "IO-BASE", "IRQ", "EDGES");
    context.out << line;
    for (const PublishedDevice& device : devices) {
        std::snprintf(line, sizeof line, "%3u  %-10s %-6s %6u  %-7s %4u  ", device.number,
                      ModelOfBoardType(device.boardType), device.callName.c_str(), device.switchId,
                      Hex(device.baseAddress, 4).c_str(), device.irq);
        context.out << line;
        // The edges come from the library's properties, which also shows that
        // the device opens; a published device whose board is gone does not.
        std::ostringstream errors;
        Context probe{context.target, context.out, errors, context.ensureTarget,
                      context.interrupted};
        OpenDevice open(probe, device.number);
        std::string edges;
        if (open.ok() && Edges(probe, open.handle(), &edges)) {
            context.out << edges << "\n";
        } else {
            context.out << "not available (" << Reason(errors.str()) << ")\n";
        }
    }
    return EXIT_OK;
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
    std::string edges;
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
        !Edges(context, h, &edges) ||
        !Check(context, "DeviceGetFeatures", DeviceGetFeatures(h, &features, sizeof features))) {
        return EXIT_FAILED;
    }

    // Names that only the registry holds.
    std::string callName = "?", deviceName = "?", ioPortCount = "?";
    for (const PublishedDevice& device : context.target.PublishedDevices()) {
        if (device.number == number) {
            callName = device.callName;
            deviceName = device.deviceName;
            ioPortCount = std::to_string(device.ioPortCount);
        }
    }
    std::ostream& out = context.out;
    out << "device:          " << deviceNumber << "\n"
        << "model:           " << ModelOfBoardType(boardType) << " (board type " << boardType
        << ")\n"
        << "device name:     " << deviceName << "\n"
        << "call name:       " << callName << "\n"
        << "bus/slot:        " << bus << "/" << slot << "\n"
        << "switch id:       " << switchId << "\n"
        << "base address:    " << Hex(base, 4) << "\n"
        << "io ports:        " << ioPortCount << "\n"
        << "irq:             " << irq << "\n"
        << "di ports:        " << diPorts << " (" << diChannels << " channels)\n"
        << "do ports:        " << doPorts << " (" << doChannels << " channels)\n"
        << "interrupt bits:  " << Bytes(interruptBits) << "\n"
        << "rising edges:    " << Bytes(rising) << "\n"
        << "falling edges:   " << Bytes(falling) << "\n"
        << "edges:           " << edges << "\n"
        << "features:        version \"" << Text(features.version) << "\", library \""
        << Text(features.libraryName) << "\", board type " << features.boardType
        << ", digital lines " << features.diLineCount << "\n";
    return EXIT_OK;
}

}  // namespace

std::shared_ptr<void> AddInfoCommands(CLI::App& app, CommandSet& commands, Context& context)
{
    auto args = std::make_shared<Arguments>();
    Arguments& a = *args;
    commands.Add(app, "list",
                 "list every published device: number, model, call name, ID switch, "
                 "I/O base, IRQ, trigger edges",
                 Booted(context, [&context] { return List(context); }));
    CLI::App* info = commands.Add(app, "info", "show a device's properties and features",
                                  Booted(context, [&context, &a] { return Info(context, a); }));
    AddDeviceArgument(info, &a.infoDevice);
    return args;
}

}  // namespace vtdio
