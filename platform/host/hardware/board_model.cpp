// Register-level board model; see board_model.h for the register map and the
// locking rule.
#include "platform/host/hardware/board_model.h"

#include "common/board_types.h"
#include "platform/host/interrupts/controller.h"

namespace vtsim::internal {

namespace {

constexpr std::uint32_t kBoardIdOffset = 0x04;
constexpr std::uint32_t kEnableOffset = 0x08;
constexpr std::uint32_t kTriggerOffset = 0x0C;
constexpr std::uint32_t kStatusOffset = 0x10;

unsigned PortsOf(BoardModel model)
{
    return model == BoardModel::Unknown ? MAX_PORTS : TypeInfoOf(model).portCount;
}

unsigned InterruptInputsOf(BoardModel model)
{
    return model == BoardModel::Unknown ? MAX_EVENTS : TypeInfoOf(model).interruptInputs;
}

}  // namespace

BoardTypeInfo TypeInfoOf(BoardModel model)
{
    switch (model) {
    case BoardModel::VTC4100:
        return BoardTypeInfoOf(BOARD_TYPE_VTC4100);
    case BoardModel::VTC4100E:
        return BoardTypeInfoOf(BOARD_TYPE_VTC4100E);
    case BoardModel::VTM6200K:
        return BoardTypeInfoOf(BOARD_TYPE_VTM6200K);
    case BoardModel::Unknown:
        break;
    }
    return BoardTypeInfoOf(0);
}

SimulatedBoard::SimulatedBoard(const BoardConfig& config)
    : config_(config),
      ports_(PortsOf(config.model)),
      interruptInputs_(InterruptInputsOf(config.model))
{}

bool SimulatedBoard::ApplyInputLocked(unsigned port, std::uint8_t levels)
{
    const std::uint8_t old = inputs_[port];
    inputs_[port] = levels;
    if (port != 0) {
        return false;
    }
    bool raised = false;
    for (unsigned i = 0; i < interruptInputs_; ++i) {
        const std::uint8_t bit = static_cast<std::uint8_t>(1u << i);
        if ((old & bit) == (levels & bit)) {
            continue;
        }
        const bool rising = (levels & bit) != 0;
        const bool wantFalling = (trigger_ & bit) != 0;
        if (rising == wantFalling || !(enable_ & bit)) {
            continue;
        }
        if (!(status_ & bit)) {
            status_ |= bit;
            ++raised_;
            raised = true;
        } else {
            // An edge while the bit is still pending merges into it, as on
            // the card: the status register holds one bit per input.
            ++merged_;
        }
    }
    return raised;
}

void SimulatedBoard::NotifyLine() const
{
    InterruptLineChanged(config_.irq);
}

void SimulatedBoard::setInputPort(unsigned port, std::uint8_t levels)
{
    if (port >= ports_) {
        return;
    }
    bool raised;
    {
        std::lock_guard lock(mutex_);
        raised = ApplyInputLocked(port, levels);
    }
    if (raised) {
        NotifyLine();
    }
}

void SimulatedBoard::setInputLine(unsigned port, unsigned bit, bool high)
{
    if (port >= ports_ || bit > 7) {
        return;
    }
    bool raised;
    {
        std::lock_guard lock(mutex_);
        const std::uint8_t mask = static_cast<std::uint8_t>(1u << bit);
        const std::uint8_t levels = high ? static_cast<std::uint8_t>(inputs_[port] | mask)
                                         : static_cast<std::uint8_t>(inputs_[port] & ~mask);
        raised = ApplyInputLocked(port, levels);
    }
    if (raised) {
        NotifyLine();
    }
}

void SimulatedBoard::pulseInputLine(unsigned port, unsigned bit)
{
    if (port >= ports_ || bit > 7) {
        return;
    }
    bool raised;
    {
        // Both edges under one lock hold: nobody sees the middle state.
        std::lock_guard lock(mutex_);
        const std::uint8_t mask = static_cast<std::uint8_t>(1u << bit);
        const std::uint8_t before = inputs_[port];
        raised = ApplyInputLocked(port, static_cast<std::uint8_t>(before ^ mask));
        raised = ApplyInputLocked(port, before) || raised;
    }
    if (raised) {
        NotifyLine();
    }
}

std::uint8_t SimulatedBoard::inputPort(unsigned port) const
{
    std::lock_guard lock(mutex_);
    return port < ports_ ? inputs_[port] : 0;
}

std::uint8_t SimulatedBoard::outputLatch(unsigned port) const
{
    std::lock_guard lock(mutex_);
    return port < ports_ ? outputs_[port] : 0;
}

std::uint8_t SimulatedBoard::interruptEnable() const
{
    std::lock_guard lock(mutex_);
    return enable_;
}

std::uint8_t SimulatedBoard::triggerMode() const
{
    std::lock_guard lock(mutex_);
    return trigger_;
}

std::uint8_t SimulatedBoard::interruptStatus() const
{
    std::lock_guard lock(mutex_);
    return status_;
}

bool SimulatedBoard::interruptAsserted() const
{
    std::lock_guard lock(mutex_);
    return status_ != 0;
}

std::uint64_t SimulatedBoard::interruptsRaised() const
{
    std::lock_guard lock(mutex_);
    return raised_;
}

std::uint64_t SimulatedBoard::mergedEdges() const
{
    std::lock_guard lock(mutex_);
    return merged_;
}

std::uint8_t SimulatedBoard::ReadRegister(std::uint32_t offset) const
{
    std::lock_guard lock(mutex_);
    if (offset < ports_) {
        return inputs_[offset];
    }
    switch (offset) {
    case kBoardIdOffset:
        return static_cast<std::uint8_t>(0xF0 | (config_.switchId & 0x0F));
    case kEnableOffset:
        return enable_;
    case kTriggerOffset:
        return trigger_;
    case kStatusOffset:
        return status_;
    default:
        return 0;
    }
}

void SimulatedBoard::WriteRegister(std::uint32_t offset, std::uint8_t value)
{
    bool notify = false;
    {
        std::lock_guard lock(mutex_);
        if (offset < ports_) {
            outputs_[offset] = value;
            if (config_.loopback) {
                notify = ApplyInputLocked(offset, value);
            }
        } else if (offset == kEnableOffset) {
            enable_ = value;
        } else if (offset == kTriggerOffset) {
            trigger_ = value;
        } else if (offset == kStatusOffset) {
            // Clearing bits can only lower the line; nothing to evaluate.
            status_ = static_cast<std::uint8_t>(status_ & ~value);
        }
    }
    if (notify) {
        NotifyLine();
    }
}

}  // namespace vtsim::internal
