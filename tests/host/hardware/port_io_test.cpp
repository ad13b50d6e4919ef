// Port input and output routed to the boards' windows, and the bus-address
// translation and mapping services.
#include <gtest/gtest.h>

#include "platform/ddk.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/hardware/pci_bus.h"

using namespace vtsim::internal;

namespace {

template <class T>
T* Port(std::uint32_t port)
{
    return reinterpret_cast<T*>(static_cast<ULONG_PTR>(port));
}

class PortIo : public testing::Test {
protected:
    void SetUp() override
    {
        vtsim::MachineDescription m;
        vtsim::BoardConfig a;
        a.model = vtsim::BoardModel::VTC4100;
        a.slot = 1;
        a.ioBase = 0xC000;
        a.switchId = 5;
        a.irq = 10;
        vtsim::BoardConfig b = a;
        b.slot = 2;
        b.ioBase = 0xC020;  // directly after a's window
        b.switchId = 6;
        m.boards = {a, b};
        std::string error;
        ASSERT_TRUE(InstallBoards(m, &error)) << error;
        a_ = InstalledBoard(0);
        b_ = InstalledBoard(1);
    }
    void TearDown() override
    {
        RemoveBoards();
    }
    std::shared_ptr<SimulatedBoard> a_, b_;
};

}  // namespace

TEST_F(PortIo, WideAccessesAreLittleEndianOverConsecutiveRegisters)
{
    for (unsigned p = 0; p < 4; ++p) {
        a_->setInputPort(p, static_cast<std::uint8_t>(0x11 * (p + 1)));
    }
    EXPECT_EQ(READ_PORT_UCHAR(Port<UCHAR>(0xC002)), 0x33);
    EXPECT_EQ(READ_PORT_USHORT(Port<USHORT>(0xC002)), 0x4433);
    EXPECT_EQ(READ_PORT_ULONG(Port<ULONG>(0xC000)), 0x44332211u);

    WRITE_PORT_USHORT(Port<USHORT>(0xC001), 0xBBAA);
    EXPECT_EQ(a_->outputLatch(1), 0xAA);
    EXPECT_EQ(a_->outputLatch(2), 0xBB);
    WRITE_PORT_ULONG(Port<ULONG>(0xC000), 0x04030201);
    EXPECT_EQ(a_->outputLatch(0), 0x01);
    EXPECT_EQ(a_->outputLatch(3), 0x04);
    EXPECT_EQ(READ_PORT_UCHAR(Port<UCHAR>(0xC004)) & 0x0F, 5);
    EXPECT_EQ(READ_PORT_UCHAR(Port<UCHAR>(0xC024)) & 0x0F, 6);

    // A 32-bit access at the seam reaches both boards, byte by byte.
    b_->setInputPort(0, 0x77);
    b_->setInputPort(1, 0x66);
    EXPECT_EQ(READ_PORT_ULONG(Port<ULONG>(0xC01E)), 0x66770000u);
}

TEST_F(PortIo, UndecodedPortsReadAllOnesAndIgnoreWrites)
{
    EXPECT_EQ(READ_PORT_UCHAR(Port<UCHAR>(0xC040)), 0xFF);
    EXPECT_EQ(READ_PORT_USHORT(Port<USHORT>(0x0300)), 0xFFFF);
    EXPECT_EQ(READ_PORT_ULONG(Port<ULONG>(0x12345678)), 0xFFFFFFFFu);
    // Half inside b's window (last two registers read 0), half outside.
    EXPECT_EQ(READ_PORT_ULONG(Port<ULONG>(0xC03E)), 0xFFFF0000u);
    WRITE_PORT_ULONG(Port<ULONG>(0xC040), 0);
    EXPECT_EQ(READ_PORT_UCHAR(Port<UCHAR>(0xC040)), 0xFF);

    RemoveBoards();
    EXPECT_EQ(READ_PORT_UCHAR(Port<UCHAR>(0xC004)), 0xFF);
}

TEST(BusMapping, IoSpaceTranslatesToThePortAndMemoryMappingsAreCounted)
{
    PHYSICAL_ADDRESS bus{};
    bus.QuadPart = 0xE800;
    ULONG space = 1;
    PVOID mapped = nullptr;
    ASSERT_TRUE(TransBusAddrToStatic(PCIBus, 0, bus, 0x20, &space, &mapped));
    EXPECT_EQ(space, 1u);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(mapped), 0xE800u);
    bus.QuadPart = 0xFFF0;  // runs past the port space
    EXPECT_FALSE(TransBusAddrToVirtual(PCIBus, 0, bus, 0x20, &space, &mapped));

    const auto before = vtsim::GetLiveCounts();
    bus.QuadPart = 0xFEB00000;
    space = 0;
    ASSERT_TRUE(TransBusAddrToVirtual(PCIBus, 0, bus, 64, &space, &mapped));
    EXPECT_EQ(vtsim::GetLiveCounts().mappings, before.mappings + 1);
    MmUnmapIoSpace(mapped, 64);
    MmUnmapIoSpace(mapped, 64);  // a second release is ignored
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
}
