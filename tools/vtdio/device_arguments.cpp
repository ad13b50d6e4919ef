#include "tools/vtdio/device_arguments.h"

#include "tools/common/numbers.h"

namespace vtdio {

using vttools::NumberOf;
using vttools::NumberUpTo;

void AddDeviceArgument(CLI::App* command, std::string* device)
{
    command->add_option("N", *device, "device number (see 'list')")
        ->required()
        ->check(NumberUpTo(U32));
}

void AddPortArgument(CLI::App* command, std::string* port, const char* what)
{
    command->add_option("PORT", *port, what)->required()->check(NumberUpTo(U16));
}

void AddBitArgument(CLI::App* command, std::string* bit)
{
    command->add_option("BIT", *bit, "bit number within the port (0 to 7)")
        ->required()
        ->check(NumberUpTo(U16));
}

std::uint32_t Number32(const std::string& text)
{
    return static_cast<std::uint32_t>(NumberOf(text));
}

WORD Number16(const std::string& text)
{
    return static_cast<WORD>(NumberOf(text));
}

}  // namespace vtdio
