#include "tools/vtdio/io_commands.h"

#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "library/include/rlx4100.h"
#include "tools/common/numbers.h"
#include "tools/vtdio/device_arguments.h"

namespace vtdio {
namespace {

using vttools::Hex;
using vttools::HexBytes;
using vttools::NumberOf;
using vttools::NumberUpTo;
using vttools::OneOf;

// Arguments of the I/O commands, one set per command.
struct Arguments {
    struct {
        std::string device, port, count = "1";
        bool json = false;
    } get;
    struct {
        std::string device, port, bit;
    } bit;
    struct {
        std::string device, port;
    } word, dword;
    struct {
        std::string device, port, value, mask;
        bool word = false, dword = false;
    } set;
    struct {
        std::string device, port, bit, state;
    } setbit;
    struct {
        std::string device, port, count = "1", bit;
        bool word = false, dword = false, json = false;
    } readback;
};

// The DI ports or DO readback values of count ports from the first one on,
// one byte per port.
using PortsReader = LONG (*)(LONG handle, DWORD firstPort, DWORD portCount, BYTE* buffer);

// What --json prints: one object with the device, its port (or first
// port) and the values read.
void PrintJson(Context& context, nlohmann::ordered_json object)
{
    context.out << object.dump() << "\n";
}

int PrintPorts(Context& context, LONG handle, const char* operation, PortsReader read,
               const std::string& first, const std::string& countText, bool json,
               nlohmann::ordered_json extra = {})
{
    const std::uint32_t count = Number32(countText);
    if (count > 256) {
        throw CLI::ValidationError("COUNT", "at most 256 ports");
    }
    std::vector<BYTE> values(count == 0 ? 1 : count);  // the library judges a count of 0
    if (!Check(context, operation, read(handle, Number32(first), count, values.data()))) {
        return EXIT_FAILED;
    }
    if (json) {
        values.resize(count);
        extra["first_port"] = Number32(first);
        extra["ports"] = values;
        PrintJson(context, extra);
    } else {
        context.out << HexBytes(values.data(), count) << "\n";
    }
    return EXIT_OK;
}

// One DI bit or DO readback bit: "0" or "1".
using BitReader = LONG (*)(LONG handle, WORD port, WORD bit, WORD* value);

int PrintBit(Context& context, LONG handle, const char* operation, BitReader read,
             const std::string& port, const std::string& bit, bool json = false,
             nlohmann::ordered_json extra = {})
{
    WORD value = 0;
    if (!Check(context, operation, read(handle, Number16(port), Number16(bit), &value))) {
        return EXIT_FAILED;
    }
    if (json) {
        extra["port"] = Number16(port);
        extra["bit"] = Number16(bit);
        extra["value"] = value;
        PrintJson(context, extra);
    } else {
        context.out << value << "\n";
    }
    return EXIT_OK;
}

// 16 or 32 bits from a port on with the valid-bits mask: "0x00ff mask=0x00ff".
template <typename Value>
int PrintMasked(Context& context, LONG handle, const char* operation,
                LONG (*read)(LONG handle, WORD port, Value* validMask, Value* value),
                const std::string& port, bool json = false, nlohmann::ordered_json extra = {})
{
    Value mask = 0, value = 0;
    if (!Check(context, operation, read(handle, Number16(port), &mask, &value))) {
        return EXIT_FAILED;
    }
    if (json) {
        extra["port"] = Number16(port);
        extra["value"] = value;
        extra["mask"] = mask;
        PrintJson(context, extra);
        return EXIT_OK;
    }
    constexpr int digits = 2 * sizeof(Value);
    context.out << Hex(value, digits) << " mask=" << Hex(mask, digits) << "\n";
    return EXIT_OK;
}

int Get(Context& context, const Arguments& args)
{
    OpenDevice open(context, Number32(args.get.device));
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    return PrintPorts(context, open.handle(), "DioReadDiPorts", DioReadDiPorts, args.get.port,
                      args.get.count, args.get.json, {{"device", open.number()}});
}

int Bit(Context& context, const Arguments& args)
{
    OpenDevice open(context, Number32(args.bit.device));
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    return PrintBit(context, open.handle(), "DioReadBit", DioReadBit, args.bit.port, args.bit.bit);
}

int Word(Context& context, const Arguments& args)
{
    OpenDevice open(context, Number32(args.word.device));
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    return PrintMasked(context, open.handle(), "DioReadPortWord", DioReadPortWord, args.word.port);
}

int Dword(Context& context, const Arguments& args)
{
    OpenDevice open(context, Number32(args.dword.device));
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    return PrintMasked(context, open.handle(), "DioReadPortDword", DioReadPortDword,
                       args.dword.port);
}

int Set(Context& context, const Arguments& args)
{
    const auto& a = args.set;
    if (a.word && a.dword) {
        throw CLI::ValidationError("--word and --dword", "choose one width");
    }
    const std::uint64_t limit = a.dword ? U32 : a.word ? U16 : U8;
    const std::uint64_t value = NumberOf(a.value);
    const std::uint64_t mask = a.mask.empty() ? limit : NumberOf(a.mask);
    if (value > limit || mask > limit) {
        throw CLI::ValidationError("VALUE/--mask", "'" + (value > limit ? a.value : a.mask) +
                                                       "' does not fit in " +
                                                       (a.dword  ? "32"
                                                        : a.word ? "16"
                                                                 : "8") +
                                                       " bits");
    }
    OpenDevice open(context, Number32(a.device));
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    const LONG h = open.handle();
    const WORD port = Number16(a.port);
    if (a.dword) {
        return Outcome(
            context, "DioWritePortDword",
            DioWritePortDword(h, port, static_cast<DWORD>(mask), static_cast<DWORD>(value)));
    }
    if (a.word) {
        return Outcome(
            context, "DioWritePortWord",
            DioWritePortWord(h, port, static_cast<WORD>(mask), static_cast<WORD>(value)));
    }
    return Outcome(context, "DioWritePortByte",
                   DioWritePortByte(h, port, static_cast<WORD>(mask), static_cast<WORD>(value)));
}

int SetBit(Context& context, const Arguments& args)
{
    const auto& a = args.setbit;
    OpenDevice open(context, Number32(a.device));
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    return Outcome(
        context, "DioWriteBit",
        DioWriteBit(open.handle(), Number16(a.port), Number16(a.bit), Number16(a.state)));
}

int Readback(Context& context, const Arguments& args)
{
    const auto& a = args.readback;
    const int forms = a.word + a.dword + !a.bit.empty();
    if (forms > 1) {
        throw CLI::ValidationError("--word, --dword, --bit", "choose one form");
    }
    OpenDevice open(context, Number32(a.device));
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    // A one-shot command boots its own target: what an earlier command
    // wrote is gone, and a person reading zeros should know why.
    if (!context.inSession) {
        context.err << "note: readback runs on a target booted for this command alone: the DO "
                       "ports hold what the driver set at start, not what an earlier vtdio "
                       "command wrote (write and read back in one session: vtdio shell, "
                       "vtdio run FILE)\n";
    }
    const nlohmann::ordered_json extra = {{"device", open.number()},
                                          {"fresh_target", !context.inSession}};
    const LONG h = open.handle();
    if (a.word) {
        return PrintMasked(context, h, "DioGetCurrentDOWord", DioGetCurrentDOWord, a.port, a.json,
                           extra);
    }
    if (a.dword) {
        return PrintMasked(context, h, "DioGetCurrentDODword", DioGetCurrentDODword, a.port, a.json,
                           extra);
    }
    if (!a.bit.empty()) {
        return PrintBit(context, h, "DioGetCurrentDOBit", DioGetCurrentDOBit, a.port, a.bit, a.json,
                        extra);
    }
    return PrintPorts(context, h, "DioGetCurrentDoPortsState", DioGetCurrentDoPortsState, a.port,
                      a.count, a.json, extra);
}

}  // namespace

std::shared_ptr<void> AddIoCommands(CLI::App& app, CommandSet& commands, Context& context)
{
    auto args = std::make_shared<Arguments>();
    Arguments& a = *args;
    CLI::App* c;

    c = commands.Add(app, "get", "read DI ports: one byte per port, in port order",
                     Booted(context, [&context, &a] { return Get(context, a); }));
    AddDeviceArgument(c, &a.get.device);
    AddPortArgument(c, &a.get.port, "first DI port");
    c->add_option("COUNT", a.get.count, "number of ports (default 1)")->check(NumberUpTo(U32));
    c->add_flag("--json", a.get.json, "print one JSON object: device, first_port, ports");

    c = commands.Add(app, "bit", "read one DI bit (prints 0 or 1)",
                     Booted(context, [&context, &a] { return Bit(context, a); }));
    AddDeviceArgument(c, &a.bit.device);
    AddPortArgument(c, &a.bit.port, "DI port");
    AddBitArgument(c, &a.bit.bit);

    c = commands.Add(app, "word", "read 16 DI bits from PORT on (value and valid-bits mask)",
                     Booted(context, [&context, &a] { return Word(context, a); }));
    AddDeviceArgument(c, &a.word.device);
    AddPortArgument(c, &a.word.port, "first DI port");

    c = commands.Add(app, "dword", "read 32 DI bits from PORT on (value and valid-bits mask)",
                     Booted(context, [&context, &a] { return Dword(context, a); }));
    AddDeviceArgument(c, &a.dword.device);
    AddPortArgument(c, &a.dword.port, "first DI port");

    c = commands.Add(app, "set",
                     "write DO bits: the bits of --mask take VALUE, the others keep their value",
                     Booted(context, [&context, &a] { return Set(context, a); }));
    AddDeviceArgument(c, &a.set.device);
    AddPortArgument(c, &a.set.port, "DO port (the first of two or four with --word/--dword)");
    c->add_option("VALUE", a.set.value, "new value")->required()->check(NumberUpTo(U32));
    c->add_option("--mask,-m", a.set.mask, "bits to change (default: all)")->check(NumberUpTo(U32));
    c->add_flag("--word", a.set.word, "write 16 bits (two ports)");
    c->add_flag("--dword", a.set.dword, "write 32 bits (four ports)");

    c = commands.Add(app, "setbit", "write one DO bit",
                     Booted(context, [&context, &a] { return SetBit(context, a); }));
    AddDeviceArgument(c, &a.setbit.device);
    AddPortArgument(c, &a.setbit.port, "DO port");
    AddBitArgument(c, &a.setbit.bit);
    c->add_option("STATE", a.setbit.state, "0 or 1")->required()->check(OneOf({"0", "1"}));

    c = commands.Add(app, "readback", "read back the values last written to DO ports",
                     Booted(context, [&context, &a] { return Readback(context, a); }));
    AddDeviceArgument(c, &a.readback.device);
    AddPortArgument(c, &a.readback.port, "first DO port");
    c->add_option("COUNT", a.readback.count, "number of ports (default 1)")->check(NumberUpTo(U32));
    c->add_flag("--word", a.readback.word, "16 bits from PORT on, with the valid-bits mask");
    c->add_flag("--dword", a.readback.dword, "32 bits from PORT on, with the valid-bits mask");
    c->add_option("--bit", a.readback.bit, "one bit of PORT (prints 0 or 1)")
        ->check(NumberUpTo(U16));
    c->add_flag("--json", a.readback.json, "print one JSON object");
    return args;
}

}  // namespace vtdio
