#include "tools/vtdio/register_commands.h"

#include <ostream>

#include "library/include/rlx4100.h"
#include "tools/common/numbers.h"
#include "tools/vtdio/device_arguments.h"

namespace vtdio {
namespace {

using vttools::Hex;
using vttools::NumberOf;
using vttools::NumberUpTo;
using vttools::ParseUnsigned;

struct RegisterArguments {
    std::string device, address, value;
    bool word = false;
};

struct Arguments {
    RegisterArguments read, write;
};

// An I/O address, or "+OFFSET" from the device's base address.
bool IoAddress(Context& context, LONG handle, const std::string& text, DWORD* address)
{
    if (!text.empty() && text[0] == '+') {
        std::uint32_t base = 0;
        if (!Property32(context, handle, PROP_BASE_ADDRESS, &base)) {
            return false;
        }
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
            if (ParseUnsigned(number, U16, &value)) {
                return {};
            }
            return "'" + text + "' is not an I/O address (0 to 0xffff) or +OFFSET";
        },
        "");
}

void AddAddressArgument(CLI::App* command, std::string* address)
{
    command->add_option("ADDRESS", *address, "I/O address, or +OFFSET from the base address")
        ->required()
        ->check(IoAddressCheck());
}

// Runs access on the register that the arguments name, with the device
// open; EXIT_FAILED (status printed) when the device does not open or its
// base address cannot be read.
template <typename Access>
int OnRegister(Context& context, const RegisterArguments& a, Access access)
{
    OpenDevice open(context, Number32(a.device));
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    DWORD address = 0;
    if (!IoAddress(context, open.handle(), a.address, &address)) {
        return EXIT_FAILED;
    }
    return access(open.handle(), address);
}

int Read(Context& context, const RegisterArguments& a)
{
    return OnRegister(context, a, [&](LONG handle, DWORD address) {
        WORD value = 0;
        const LONG status =
            a.word ? ReadPortWord(handle, address, &value) : ReadPortByte(handle, address, &value);
        if (!Check(context, a.word ? "ReadPortWord" : "ReadPortByte", status)) {
            return EXIT_FAILED;
        }
        context.out << Hex(value, a.word ? 4 : 2) << "\n";
        return EXIT_OK;
    });
}

int Write(Context& context, const RegisterArguments& a)
{
    const std::uint64_t value = NumberOf(a.value);
    if (!a.word && value > U8) {
        throw CLI::ValidationError("VALUE",
                                   "'" + a.value + "' does not fit in 8 bits (use --word)");
    }
    return OnRegister(context, a, [&](LONG handle, DWORD address) {
        const LONG status = a.word ? WritePortWord(handle, address, static_cast<WORD>(value))
                                   : WritePortByte(handle, address, static_cast<WORD>(value));
        return Outcome(context, a.word ? "WritePortWord" : "WritePortByte", status);
    });
}

}  // namespace

std::shared_ptr<void> AddRegisterCommands(CLI::App& app, CommandSet& commands, Context& context)
{
    auto args = std::make_shared<Arguments>();
    Arguments& a = *args;
    CLI::App* reg = app.add_subcommand("reg", "read or write a raw board register");
    reg->require_subcommand(1);

    CLI::App* c = commands.Add(*reg, "read", "read a register (a byte, or a word with --word)",
                               Booted(context, [&context, &a] { return Read(context, a.read); }));
    AddDeviceArgument(c, &a.read.device);
    AddAddressArgument(c, &a.read.address);
    c->add_flag("--word", a.read.word, "read 16 bits");

    c = commands.Add(*reg, "write", "write a register (a byte, or a word with --word)",
                     Booted(context, [&context, &a] { return Write(context, a.write); }));
    AddDeviceArgument(c, &a.write.device);
    AddAddressArgument(c, &a.write.address);
    c->add_option("VALUE", a.write.value, "value")->required()->check(NumberUpTo(U16));
    c->add_flag("--word", a.write.word, "write 16 bits");
    return args;
}

}  // namespace vtdio
