// Register-level model of one digital I/O board (VTC-4100, VTC-4100E,
// VTM-6200K, or an unidentified board) behind its I/O window.
//
// Registers (offsets from the window's base, 8 bits each):
//   0..ports-1  read: DI port k (input line levels); write: DO port k latch
//   4           read: 0xF0 | ID switch (callers must mask the low 4 bits)
//   8           interrupt enable, read/write
//   0x0C        trigger edge, bit i: 0 rising, 1 falling (reads back as written)
//   0x10        interrupt status; a write clears exactly the bits written
// Anything else in the window reads 0 and ignores writes.
//
// Interrupt inputs are DI port 0 bits 0..3 (0..1 on the VTM-6200K). An edge
// of the selected direction on an enabled input sets its status bit; the
// board's interrupt line is asserted while any status bit is set. With
// loopback wiring a DO write also sets the DI levels of the same port to the
// written value (external level setting still works; the last writer wins).
//
// Thread safety: every method takes the board's own mutex for its register
// work only. After a change that can affect the interrupt line the board
// tells the interrupt controller that its line changed, with the mutex
// released; the controller then reads interruptAsserted() itself. The board
// therefore never holds its mutex while calling out, and the controller may
// read board registers under its own lock (controller lock -> board lock is
// the only nesting).
#pragma once

#include "platform/host/internal_header.h"

#include <cstdint>
#include <mutex>

#include "platform/host/control/board.h"

struct BoardTypeInfo;  // common/board_types.h

namespace vtsim::internal {

// The board table's row of a simulated model: its code, PCI ids, name, ports
// and interrupt inputs. BoardModel::Unknown gives the row of zeros: it is laid
// out as the four-port models but carries no ids the driver knows.
BoardTypeInfo TypeInfoOf(BoardModel model);

class SimulatedBoard : public Board {
public:
    explicit SimulatedBoard(const BoardConfig& config);

    const BoardConfig& config() const override
    {
        return config_;
    }
    unsigned portCount() const override
    {
        return ports_;
    }
    unsigned interruptInputs() const
    {
        return interruptInputs_;
    }

    void setInputPort(unsigned port, std::uint8_t levels) override;
    void setInputLine(unsigned port, unsigned bit, bool high) override;
    void pulseInputLine(unsigned port, unsigned bit) override;
    std::uint8_t inputPort(unsigned port) const override;
    std::uint8_t outputLatch(unsigned port) const override;
    std::uint8_t interruptEnable() const override;
    std::uint8_t triggerMode() const override;
    std::uint8_t interruptStatus() const override;
    bool interruptAsserted() const override;
    std::uint64_t interruptsRaised() const override;
    std::uint64_t mergedEdges() const override;

    // Register access through the I/O window (offset from ioBase).
    std::uint8_t ReadRegister(std::uint32_t offset) const;
    void WriteRegister(std::uint32_t offset, std::uint8_t value);

    bool Decodes(std::uint32_t port) const
    {
        return port >= config_.ioBase && port - config_.ioBase < config_.ioLength;
    }

private:
    // Sets the levels of a DI port and runs edge detection (mutex held).
    // Returns true when a status bit was set.
    bool ApplyInputLocked(unsigned port, std::uint8_t levels);
    void NotifyLine() const;

    const BoardConfig config_;
    const unsigned ports_;
    const unsigned interruptInputs_;

    mutable std::mutex mutex_;
    std::uint8_t inputs_[4] = {};
    std::uint8_t outputs_[4] = {};
    std::uint8_t enable_ = 0;
    std::uint8_t trigger_ = 0;
    std::uint8_t status_ = 0;
    std::uint64_t raised_ = 0;
    std::uint64_t merged_ = 0;
};

}  // namespace vtsim::internal
