#include "tools/vtdio/device_commands.h"

#include <cstdio>
#include <ostream>
#include <sstream>
#include <vector>

#include "library/include/rlx4100.h"
#include "tools/common/model_names.h"
#include "tools/common/numbers.h"
#include "tools/vtdio/monitor.h"

namespace vtdio {
namespace {

using vttools::Hex;
using vttools::HexBytes;
using vttools::ModelOfBoardType;
using vttools::NumberOf;
using vttools::NumberUpTo;
using vttools::OneOf;
using vttools::ParseUnsigned;

constexpr std::uint64_t U8 = 0xFF;
constexpr std::uint64_t U16 = 0xFFFF;
constexpr std::uint64_t U32 = 0xFFFFFFFF;

// Arguments of the device commands, one set per command.
struct Arguments {
    struct { std::string device; } info;
    struct { std::string device, port, count = "1"; } get;
    struct { std::string device, port, bit; } bit;
    struct { std::string device, port; } word, dword;
    struct { std::string device, port, value, mask; bool word = false, dword = false; } set;
    struct { std::string device, port, bit, state; } setbit;
    struct {
        std::string device, port, count = "1", bit;
        bool word = false, dword = false;
    } readback;
    struct { std::string device, address, value; bool word = false; } regRead, regWrite;
    MonitorArguments mon;
};

std::string Bytes(const std::vector<BYTE>& bytes)
{
    return HexBytes(bytes.data(), bytes.size());
}

std::uint32_t Number32(const std::string& text)
{
    return static_cast<std::uint32_t>(NumberOf(text));
}

WORD Number16(const std::string& text)
{
    return static_cast<WORD>(NumberOf(text));
}

// A 4-byte property; false (status printed) when the library refuses it.
bool Property32(Context& context, LONG handle, WORD id, std::uint32_t* value)
{
    DWORD length = sizeof *value;
    std::uint32_t data = 0;
    if (!Check(context, "DeviceGetProperty", DeviceGetProperty(handle, id, &data, &length)))
        return false;
    *value = data;
    return true;
}

// A property of one byte per port (its size asked first).
bool PropertyBytes(Context& context, LONG handle, WORD id, std::vector<BYTE>* bytes)
{
    DWORD length = 0;
    if (!Check(context, "DeviceGetProperty", DeviceGetProperty(handle, id, nullptr, &length)))
        return false;
    bytes->assign(length, 0);
    return Check(context, "DeviceGetProperty",
                 DeviceGetProperty(handle, id, bytes->data(), &length));
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
        falling.empty())
        return false;
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
    if (end != std::string::npos)
        reason.resize(end);
    if (reason.rfind("error: ", 0) == 0)
        reason.erase(0, 7);
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
    std::snprintf(line, sizeof line, "%-3s  %-10s %-6s %6s  %-7s %4s  %s\n", "DEV", "MODEL",
                  "CALL", "SWITCH", "IO-BASE", "IRQ", "EDGES");
    context.out << line;
    for (const PublishedDevice& device : devices) {
        std::snprintf(line, sizeof line, "%3u  %-10s %-6s %6u  %-7s %4u  ", device.number,
                      ModelOfBoardType(device.boardType), device.callName.c_str(),
                      device.switchId, Hex(device.baseAddress, 4).c_str(), device.irq);
        context.out << line;
        // The edges come from the library's properties, which also shows that
        // the device opens; a published device whose board is gone does not.
        std::ostringstream errors;
        Context probe{context.target, context.out, errors, context.ensureTarget,
                      context.interrupted};
        OpenDevice open(probe, device.number);
        std::string edges;
        if (open.ok() && Edges(probe, open.handle(), &edges))
            context.out << edges << "\n";
        else
            context.out << "not available (" << Reason(errors.str()) << ")\n";
    }
    return EXIT_OK;
}

std::string Utf16At(const BYTE* record, std::size_t offset, std::size_t units)
{
    std::string text;
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned unit = record[offset + 2 * i] | record[offset + 2 * i + 1] << 8;
        if (unit == 0)
            break;
        text += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return text;
}

std::uint32_t U32At(const BYTE* record, std::size_t offset)
{
    return record[offset] | record[offset + 1] << 8 | record[offset + 2] << 16 |
           static_cast<std::uint32_t>(record[offset + 3]) << 24;
}

int Info(Context& context, const Arguments& args)
{
    const std::uint32_t number = Number32(args.info.device);
    OpenDevice open(context, number);
    if (!open.ok())
        return EXIT_FAILED;
    const LONG h = open.handle();
    std::uint32_t deviceNumber, boardType, switchId, base, irq, bus, slot, diChannels, diPorts,
        doChannels, doPorts;
    std::vector<BYTE> interruptBits, rising, falling;
    std::string edges;
    BYTE features[DEVICE_FEATURES_SIZE] = {};
    if (!Property32(context, h, PROP_DEVICE_NUMBER, &deviceNumber) ||
        !Property32(context, h, PROP_BOARD_TYPE, &boardType) ||
        !Property32(context, h, PROP_SWITCH_ID, &switchId) ||
        !Property32(context, h, PROP_BASE_ADDRESS, &base) ||
        !Property32(context, h, PROP_IRQ, &irq) ||
        !Property32(context, h, PROP_BUS_NUMBER, &bus) ||
        !Property32(context, h, PROP_SLOT_NUMBER, &slot) ||
        !Property32(context, h, PROP_DI_CHANNEL_COUNT, &diChannels) ||
        !Property32(context, h, PROP_DI_PORT_COUNT, &diPorts) ||
        !Property32(context, h, PROP_DO_CHANNEL_COUNT, &doChannels) ||
        !Property32(context, h, PROP_DO_PORT_COUNT, &doPorts) ||
        !PropertyBytes(context, h, PROP_DI_INTERRUPT_BITS, &interruptBits) ||
        !PropertyBytes(context, h, PROP_DI_RISING_EDGE_MASK, &rising) ||
        !PropertyBytes(context, h, PROP_DI_FALLING_EDGE_MASK, &falling) ||
        !Edges(context, h, &edges) ||
        !Check(context, "DeviceGetFeatures", DeviceGetFeatures(h, features, sizeof features)))
        return EXIT_FAILED;

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
        << "features:        version \"" << Utf16At(features, 0, 8) << "\", library \""
        << Utf16At(features, 16, 16) << "\", board type " << U32At(features, 48)
        << ", digital lines " << (features[58] | features[59] << 8) << "\n";
    return EXIT_OK;
}

// EXIT_OK when the library accepted the operation (status printed if not).
int Outcome(Context& context, const char* operation, LONG status)
{
    return Check(context, operation, status) ? EXIT_OK : EXIT_FAILED;
}

// The DI ports or DO readback values of count ports from the first one on,
// one byte per port.
using PortsReader = LONG (*)(LONG handle, DWORD firstPort, DWORD portCount, BYTE* buffer);

int PrintPorts(Context& context, LONG handle, const char* operation, PortsReader read,
               const std::string& first, const std::string& countText)
{
    const std::uint32_t count = Number32(countText);
    if (count > 256)
        throw CLI::ValidationError("COUNT", "at most 256 ports");
    std::vector<BYTE> values(count == 0 ? 1 : count);  // the library judges a count of 0
    if (!Check(context, operation, read(handle, Number32(first), count, values.data())))
        return EXIT_FAILED;
    values.resize(count);
    context.out << Bytes(values) << "\n";
    return EXIT_OK;
}

// One DI bit or DO readback bit: "0" or "1".
using BitReader = LONG (*)(LONG handle, WORD port, WORD bit, WORD* value);

int PrintBit(Context& context, LONG handle, const char* operation, BitReader read,
             const std::string& port, const std::string& bit)
{
    WORD value = 0;
    if (!Check(context, operation, read(handle, Number16(port), Number16(bit), &value)))
        return EXIT_FAILED;
    context.out << value << "\n";
    return EXIT_OK;
}

// 16 or 32 bits from a port on with the valid-bits mask: "0x00ff mask=0x00ff".
template <typename Value>
int PrintMasked(Context& context, LONG handle, const char* operation,
                LONG (*read)(LONG handle, WORD port, Value* validMask, Value* value),
                const std::string& port)
{
    Value mask = 0, value = 0;
    if (!Check(context, operation, read(handle, Number16(port), &mask, &value)))
        return EXIT_FAILED;
    constexpr int digits = 2 * sizeof(Value);
    context.out << Hex(value, digits) << " mask=" << Hex(mask, digits) << "\n";
    return EXIT_OK;
}

int Get(Context& context, const Arguments& args)
{
    OpenDevice open(context, Number32(args.get.device));
    if (!open.ok())
        return EXIT_FAILED;
    return PrintPorts(context, open.handle(), "DioReadDiPorts", DioReadDiPorts, args.get.port,
                      args.get.count);
}

int Bit(Context& context, const Arguments& args)
{
    OpenDevice open(context, Number32(args.bit.device));
    if (!open.ok())
        return EXIT_FAILED;
    return PrintBit(context, open.handle(), "DioReadBit", DioReadBit, args.bit.port, args.bit.bit);
}

int Word(Context& context, const Arguments& args)
{
    OpenDevice open(context, Number32(args.word.device));
    if (!open.ok())
        return EXIT_FAILED;
    return PrintMasked(context, open.handle(), "DioReadPortWord", DioReadPortWord,
                       args.word.port);
}

int Dword(Context& context, const Arguments& args)
{
    OpenDevice open(context, Number32(args.dword.device));
    if (!open.ok())
        return EXIT_FAILED;
    return PrintMasked(context, open.handle(), "DioReadPortDword", DioReadPortDword,
                       args.dword.port);
}

int Set(Context& context, const Arguments& args)
{
    const auto& a = args.set;
    if (a.word && a.dword)
        throw CLI::ValidationError("--word and --dword", "choose one width");
    const std::uint64_t limit = a.dword ? U32 : a.word ? U16 : U8;
    const std::uint64_t value = NumberOf(a.value);
    const std::uint64_t mask = a.mask.empty() ? limit : NumberOf(a.mask);
    if (value > limit || mask > limit)
        throw CLI::ValidationError("VALUE/--mask", "'" + (value > limit ? a.value : a.mask) +
                                                       "' does not fit in " +
                                                       (a.dword ? "32" : a.word ? "16" : "8") +
                                                       " bits");
    OpenDevice open(context, Number32(a.device));
    if (!open.ok())
        return EXIT_FAILED;
    const LONG h = open.handle();
    const WORD port = Number16(a.port);
    if (a.dword)
        return Outcome(context, "DioWritePortDword",
                       DioWritePortDword(h, port, static_cast<DWORD>(mask),
                                         static_cast<DWORD>(value)));
    if (a.word)
        return Outcome(context, "DioWritePortWord",
                       DioWritePortWord(h, port, static_cast<WORD>(mask), static_cast<WORD>(value)));
    return Outcome(context, "DioWritePortByte",
                   DioWritePortByte(h, port, static_cast<WORD>(mask), static_cast<WORD>(value)));
}

int SetBit(Context& context, const Arguments& args)
{
    const auto& a = args.setbit;
    OpenDevice open(context, Number32(a.device));
    if (!open.ok())
        return EXIT_FAILED;
    return Outcome(context, "DioWriteBit",
                   DioWriteBit(open.handle(), Number16(a.port), Number16(a.bit),
                               Number16(a.state)));
}

int Readback(Context& context, const Arguments& args)
{
    const auto& a = args.readback;
    const int forms = a.word + a.dword + !a.bit.empty();
    if (forms > 1)
        throw CLI::ValidationError("--word, --dword, --bit", "choose one form");
    OpenDevice open(context, Number32(a.device));
    if (!open.ok())
        return EXIT_FAILED;
    const LONG h = open.handle();
    if (a.word)
        return PrintMasked(context, h, "DioGetCurrentDOWord", DioGetCurrentDOWord, a.port);
    if (a.dword)
        return PrintMasked(context, h, "DioGetCurrentDODword", DioGetCurrentDODword, a.port);
    if (!a.bit.empty())
        return PrintBit(context, h, "DioGetCurrentDOBit", DioGetCurrentDOBit, a.port, a.bit);
    return PrintPorts(context, h, "DioGetCurrentDoPortsState", DioGetCurrentDoPortsState, a.port,
                      a.count);
}

// An I/O address, or "+OFFSET" from the device's base address.
bool IoAddress(Context& context, LONG handle, const std::string& text, DWORD* address)
{
    if (!text.empty() && text[0] == '+') {
        std::uint32_t base = 0;
        if (!Property32(context, handle, PROP_BASE_ADDRESS, &base))
            return false;
        *address = base + Number32(text.substr(1));
        return true;
    }
    *address = Number32(text);
    return true;
}

CLI::Validator IoAddressCheck()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::uint64_t value;
            const std::string number = !text.empty() && text[0] == '+' ? text.substr(1) : text;
            if (ParseUnsigned(number, U16, &value))
                return {};
            return "'" + text + "' is not an I/O address (0 to 0xffff) or +OFFSET";
        },
        "");
}

int RegRead(Context& context, const Arguments& args)
{
    const auto& a = args.regRead;
    OpenDevice open(context, Number32(a.device));
    if (!open.ok())
        return EXIT_FAILED;
    DWORD address = 0;
    if (!IoAddress(context, open.handle(), a.address, &address))
        return EXIT_FAILED;
    WORD value = 0;
    const LONG status = a.word ? ReadPortWord(open.handle(), address, &value)
                               : ReadPortByte(open.handle(), address, &value);
    if (!Check(context, a.word ? "ReadPortWord" : "ReadPortByte", status))
        return EXIT_FAILED;
    context.out << Hex(value, a.word ? 4 : 2) << "\n";
    return EXIT_OK;
}

int RegWrite(Context& context, const Arguments& args)
{
    const auto& a = args.regWrite;
    const std::uint64_t value = NumberOf(a.value);
    if (!a.word && value > U8)
        throw CLI::ValidationError("VALUE", "'" + a.value + "' does not fit in 8 bits (use --word)");
    OpenDevice open(context, Number32(a.device));
    if (!open.ok())
        return EXIT_FAILED;
    DWORD address = 0;
    if (!IoAddress(context, open.handle(), a.address, &address))
        return EXIT_FAILED;
    const LONG status = a.word ? WritePortWord(open.handle(), address, static_cast<WORD>(value))
                               : WritePortByte(open.handle(), address, static_cast<WORD>(value));
    return Outcome(context, a.word ? "WritePortWord" : "WritePortByte", status);
}

void AddDevice(CLI::App* command, std::string* device)
{
    command->add_option("N", *device, "device number (see 'list')")
        ->required()
        ->check(NumberUpTo(U32));
}

void AddPort(CLI::App* command, std::string* port, const char* what = "port number")
{
    command->add_option("PORT", *port, what)->required()->check(NumberUpTo(U16));
}

void AddBit(CLI::App* command, std::string* bit)
{
    command->add_option("BIT", *bit, "bit number within the port (0 to 7)")
        ->required()
        ->check(NumberUpTo(U16));
}

void AddAddress(CLI::App* command, std::string* address)
{
    command->add_option("ADDRESS", *address, "I/O address, or +OFFSET from the base address")
        ->required()
        ->check(IoAddressCheck());
}

}  // namespace

std::shared_ptr<void> AddDeviceCommands(CLI::App& app, CommandSet& commands, Context& context)
{
    auto args = std::make_shared<Arguments>();
    Arguments& a = *args;
    CLI::App* c;

    commands.Add(app, "list", "list every published device: number, model, call name, ID switch, "
                              "I/O base, IRQ, trigger edges",
                 Booted(context, [&context] { return List(context); }));

    c = commands.Add(app, "info", "show a device's properties and features",
                     Booted(context, [&context, &a] { return Info(context, a); }));
    AddDevice(c, &a.info.device);

    c = commands.Add(app, "get", "read DI ports: one byte per port, in port order",
                     Booted(context, [&context, &a] { return Get(context, a); }));
    AddDevice(c, &a.get.device);
    AddPort(c, &a.get.port, "first DI port");
    c->add_option("COUNT", a.get.count, "number of ports (default 1)")->check(NumberUpTo(U32));

    c = commands.Add(app, "bit", "read one DI bit (prints 0 or 1)",
                     Booted(context, [&context, &a] { return Bit(context, a); }));
    AddDevice(c, &a.bit.device);
    AddPort(c, &a.bit.port, "DI port");
    AddBit(c, &a.bit.bit);

    c = commands.Add(app, "word", "read 16 DI bits from PORT on (value and valid-bits mask)",
                     Booted(context, [&context, &a] { return Word(context, a); }));
    AddDevice(c, &a.word.device);
    AddPort(c, &a.word.port, "first DI port");

    c = commands.Add(app, "dword", "read 32 DI bits from PORT on (value and valid-bits mask)",
                     Booted(context, [&context, &a] { return Dword(context, a); }));
    AddDevice(c, &a.dword.device);
    AddPort(c, &a.dword.port, "first DI port");

    c = commands.Add(app, "set",
                     "write DO bits: the bits of --mask take VALUE, the others keep their value",
                     Booted(context, [&context, &a] { return Set(context, a); }));
    AddDevice(c, &a.set.device);
    AddPort(c, &a.set.port, "DO port (the first of two or four with --word/--dword)");
    c->add_option("VALUE", a.set.value, "new value")->required()->check(NumberUpTo(U32));
    c->add_option("--mask,-m", a.set.mask, "bits to change (default: all)")
        ->check(NumberUpTo(U32));
    c->add_flag("--word", a.set.word, "write 16 bits (two ports)");
    c->add_flag("--dword", a.set.dword, "write 32 bits (four ports)");

    c = commands.Add(app, "setbit", "write one DO bit",
                     Booted(context, [&context, &a] { return SetBit(context, a); }));
    AddDevice(c, &a.setbit.device);
    AddPort(c, &a.setbit.port, "DO port");
    AddBit(c, &a.setbit.bit);
    c->add_option("STATE", a.setbit.state, "0 or 1")->required()->check(OneOf({"0", "1"}));

    c = commands.Add(app, "readback", "read back the values last written to DO ports",
                     Booted(context, [&context, &a] { return Readback(context, a); }));
    AddDevice(c, &a.readback.device);
    AddPort(c, &a.readback.port, "first DO port");
    c->add_option("COUNT", a.readback.count, "number of ports (default 1)")
        ->check(NumberUpTo(U32));
    c->add_flag("--word", a.readback.word, "16 bits from PORT on, with the valid-bits mask");
    c->add_flag("--dword", a.readback.dword, "32 bits from PORT on, with the valid-bits mask");
    c->add_option("--bit", a.readback.bit, "one bit of PORT (prints 0 or 1)")
        ->check(NumberUpTo(U16));

    CLI::App* reg = app.add_subcommand("reg", "read or write a raw board register");
    reg->require_subcommand(1);
    c = commands.Add(*reg, "read", "read a register (a byte, or a word with --word)",
                     Booted(context, [&context, &a] { return RegRead(context, a); }));
    AddDevice(c, &a.regRead.device);
    AddAddress(c, &a.regRead.address);
    c->add_flag("--word", a.regRead.word, "read 16 bits");
    c = commands.Add(*reg, "write", "write a register (a byte, or a word with --word)",
                     Booted(context, [&context, &a] { return RegWrite(context, a); }));
    AddDevice(c, &a.regWrite.device);
    AddAddress(c, &a.regWrite.address);
    c->add_option("VALUE", a.regWrite.value, "value")->required()->check(NumberUpTo(U16));
    c->add_flag("--word", a.regWrite.word, "write 16 bits");

    AddMonitorCommand(app, commands, context, &a.mon);
    return args;
}

}  // namespace vtdio
