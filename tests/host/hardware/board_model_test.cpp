// The board model register by register, without the rest of the machine.
#include <gtest/gtest.h>

#include "platform/host/hardware/board_model.h"

using vtsim::BoardConfig;
using vtsim::BoardModel;
using vtsim::internal::SimulatedBoard;

namespace {

constexpr std::uint32_t kEnable = 0x08, kTrigger = 0x0C, kStatus = 0x10, kId = 0x04;

BoardConfig Config(BoardModel model, bool loopback = false)
{
    BoardConfig c;
    c.model = model;
    c.switchId = 0x0B;
    c.ioBase = 0xD000;
    c.irq = 200;  // a line nobody listens to
    c.loopback = loopback;
    return c;
}

}  // namespace

TEST(BoardModel, EveryInterruptInputDetectsTheSelectedEdgeOnly)
{
    for (BoardModel model : {BoardModel::VTC4100, BoardModel::VTC4100E, BoardModel::VTM6200K}) {
        SimulatedBoard board(Config(model));
        const unsigned inputs = model == BoardModel::VTM6200K ? 2 : 4;
        board.WriteRegister(kEnable, 0xFF);
        for (unsigned bit = 0; bit < inputs; ++bit) {
            const std::uint8_t mask = static_cast<std::uint8_t>(1u << bit);
            for (bool falling : {false, true}) {
                SCOPED_TRACE(testing::Message() << vtsim::ModelName(model) << " bit " << bit
                                                << (falling ? " falling" : " rising"));
                board.WriteRegister(kTrigger, falling ? mask : 0);
                board.WriteRegister(kStatus, 0xFF);
                board.setInputLine(0, bit, true);
                EXPECT_EQ(board.ReadRegister(kStatus), falling ? 0 : mask);
                EXPECT_EQ(board.interruptAsserted(), !falling);
                board.WriteRegister(kStatus, 0xFF);
                board.setInputLine(0, bit, false);
                EXPECT_EQ(board.ReadRegister(kStatus), falling ? mask : 0);
                EXPECT_EQ(board.interruptAsserted(), falling);
            }
        }
        // Lines that are not interrupt inputs never set a status bit.
        board.WriteRegister(kStatus, 0xFF);
        board.WriteRegister(kTrigger, 0);
        for (unsigned bit = inputs; bit < 8; ++bit) {
            board.pulseInputLine(0, bit);
        }
        board.pulseInputLine(1, 0);
        EXPECT_EQ(board.interruptStatus(), 0);
        EXPECT_FALSE(board.interruptAsserted());
    }
}

TEST(BoardModel, EnableAcknowledgeAndMergedEdges)
{
    SimulatedBoard board(Config(BoardModel::VTC4100));
    board.pulseInputLine(0, 0);  // not enabled
    EXPECT_EQ(board.interruptStatus(), 0);

    board.WriteRegister(kEnable, 0x05);
    EXPECT_EQ(board.ReadRegister(kEnable), 0x05);
    board.pulseInputLine(0, 0);
    board.pulseInputLine(0, 1);  // bit 1 disabled
    board.pulseInputLine(0, 2);
    board.pulseInputLine(0, 2);  // merges into the pending bit
    EXPECT_EQ(board.ReadRegister(kStatus), 0x05);
    EXPECT_EQ(board.interruptsRaised(), 2u);
    // Each pulse has one rising edge; the falling ones are not selected.
    EXPECT_EQ(board.mergedEdges(), 1u);

    board.WriteRegister(kStatus, 0x04);  // acknowledges exactly bit 2
    EXPECT_EQ(board.ReadRegister(kStatus), 0x01);
    EXPECT_TRUE(board.interruptAsserted());
    board.WriteRegister(kStatus, 0x01);
    EXPECT_FALSE(board.interruptAsserted());
    board.pulseInputLine(0, 2);  // acknowledged: a new interrupt, not a merge
    EXPECT_EQ(board.interruptsRaised(), 3u);
    EXPECT_EQ(board.mergedEdges(), 1u);
}

TEST(BoardModel, IdSwitchTriggerReadbackAndOutputsNotReadable)
{
    SimulatedBoard board(Config(BoardModel::VTC4100E));
    EXPECT_EQ(board.ReadRegister(kId) & 0x0F, 0x0B);
    EXPECT_NE(board.ReadRegister(kId), 0x0B) << "upper bits are not zero, so callers must mask";
    board.WriteRegister(kTrigger, 0x0A);
    EXPECT_EQ(board.triggerMode(), 0x0A);

    board.setInputPort(2, 0x3C);
    board.WriteRegister(2, 0xA5);
    EXPECT_EQ(board.outputLatch(2), 0xA5);
    EXPECT_EQ(board.ReadRegister(2), 0x3C) << "a port read gives the inputs";
    EXPECT_EQ(board.inputPort(2), 0x3C);

    SimulatedBoard small(Config(BoardModel::VTM6200K));
    EXPECT_EQ(small.portCount(), 2u);
    small.WriteRegister(2, 0xFF);  // no DO port 2 on this model
    EXPECT_EQ(small.outputLatch(2), 0);
}

TEST(BoardModel, LoopbackDrivesInputsAndRaisesInterrupts)
{
    SimulatedBoard wired(Config(BoardModel::VTC4100, true));
    wired.WriteRegister(kEnable, 0x0F);
    wired.WriteRegister(1, 0x81);
    EXPECT_EQ(wired.ReadRegister(1), 0x81);
    wired.WriteRegister(0, 0x02);  // rising edge on bit 1
    EXPECT_EQ(wired.interruptStatus(), 0x02);

    SimulatedBoard plain(Config(BoardModel::VTC4100));
    plain.WriteRegister(kEnable, 0x0F);
    plain.WriteRegister(0, 0x0F);
    EXPECT_EQ(plain.ReadRegister(0), 0);
    EXPECT_EQ(plain.interruptStatus(), 0);
}
