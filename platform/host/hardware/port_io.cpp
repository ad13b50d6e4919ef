// 8-, 16- and 32-bit port input and output. Each byte of an access is routed
// on its own to the board whose I/O window holds it (so a wide access is
// little-endian over consecutive 8-bit registers, low address first, and may
// even span two boards); a byte that no board decodes reads 0xFF and a write
// to it is dropped, as on a PC's I/O bus. Ports above 0xFFFF are never
// decoded.
#include "platform/ddk.h"
#include "platform/host/hardware/pci_bus.h"

namespace {

std::uint32_t PortNumber(const void* port)
{
    const ULONG_PTR value = reinterpret_cast<ULONG_PTR>(port);
    return value > 0xFFFF ? 0x10000u : static_cast<std::uint32_t>(value);
}

std::uint8_t ReadByte(std::uint32_t port)
{
    if (port > 0xFFFF) {
        return 0xFF;
    }
    auto board = vtsim::internal::BoardAtPort(port);
    return board ? board->ReadRegister(port - board->config().ioBase) : 0xFF;
}

void WriteByte(std::uint32_t port, std::uint8_t value)
{
    if (port > 0xFFFF) {
        return;
    }
    if (auto board = vtsim::internal::BoardAtPort(port)) {
        board->WriteRegister(port - board->config().ioBase, value);
    }
}

ULONG ReadWide(const void* address, unsigned bytes)
{
    const std::uint32_t port = PortNumber(address);
    ULONG value = 0;
    for (unsigned i = 0; i < bytes; ++i) {
        value |= static_cast<ULONG>(ReadByte(port + i)) << (8 * i);
    }
    return value;
}

void WriteWide(const void* address, unsigned bytes, ULONG value)
{
    const std::uint32_t port = PortNumber(address);
    for (unsigned i = 0; i < bytes; ++i) {
        WriteByte(port + i, static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

extern "C" UCHAR READ_PORT_UCHAR(PUCHAR port)
{
    return static_cast<UCHAR>(ReadWide(port, 1));
}

extern "C" USHORT READ_PORT_USHORT(PUSHORT port)
{
    return static_cast<USHORT>(ReadWide(port, 2));
}

extern "C" ULONG READ_PORT_ULONG(PULONG port)
{
    return ReadWide(port, 4);
}

extern "C" void WRITE_PORT_UCHAR(PUCHAR port, UCHAR value)
{
    WriteWide(port, 1, value);
}

extern "C" void WRITE_PORT_USHORT(PUSHORT port, USHORT value)
{
    WriteWide(port, 2, value);
}

extern "C" void WRITE_PORT_ULONG(PULONG port, ULONG value)
{
    WriteWide(port, 4, value);
}
