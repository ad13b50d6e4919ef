// Interrupt delivery from board edges through the handler chain to the
// registered events: masking until InterruptDone, re-fire, shared lines,
// chain order, and a counting proof that nothing is lost or invented.
#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <thread>

#include "platform/ddk.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/host/hardware/pci_bus.h"
#include "platform/host/interrupts/controller.h"
#include "platform/kernel.h"

#include "tests/host/hardware/make_board.h"

using namespace vtsim::internal;

namespace {

constexpr std::uint32_t kStatus = 0x10;

// What a driver does for one board: the generic handler on the board's line
// testing its status register, an auto-reset event registered for its
// logical interrupt, and (once started) an interrupt thread that reads and
// acknowledges the status and calls InterruptDone.
class BoardDriver {
public:
    explicit BoardDriver(std::size_t index) : board_(InstalledBoard(index))
    {
        sysIntr_ = SysIntrOfBoard(board_.get());
        const std::uint8_t mask = board_->interruptInputs() == 2 ? 0x03 : 0x0F;
        event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        handler_ = LoadIntChainHandler(u"GenIsr.dll", u"IsrHandler",
                                       static_cast<BYTE>(board_->config().irq));
        GIISR_INFO info{sysIntr_, TRUE, TRUE, FALSE, board_->config().ioBase + kStatus, 1, mask, 0};
        configured_ =
            KernelLibIoControl(handler_, IOCTL_GIISR_INFO, &info, sizeof info, nullptr, 0, nullptr);
        registered_ = InterruptInitialize(sysIntr_, event_, nullptr, 0);
        InterruptDone(sysIntr_);
        board_->WriteRegister(0x08, mask);
    }
    ~BoardDriver()
    {
        if (thread_.joinable()) {
            stop_ = true;
            SetEvent(event_);
            thread_.join();
        }
        InterruptDisable(sysIntr_);
        FreeIntChainHandler(handler_);
        CloseHandle(event_);
    }
    bool ready() const
    {
        return event_ && handler_ && configured_ && registered_;
    }

    void StartThread()
    {
        thread_ = std::thread([this] {
            while (WaitForSingleObject(event_, INFINITE) == WAIT_OBJECT_0 && !stop_) {
                const std::uint8_t s = AckStatus();
                if (s == 0) {
                    ++emptyPasses_;
                }
                counted_ += std::popcount(s);
                InterruptDone(sysIntr_);
            }
        });
    }
    std::uint8_t AckStatus()
    {
        const std::uint8_t s = board_->ReadRegister(kStatus);
        board_->WriteRegister(kStatus, s);
        return s;
    }
    bool Signalled(DWORD ms = 0)
    {
        return WaitForSingleObject(event_, ms) == WAIT_OBJECT_0;
    }

    std::shared_ptr<SimulatedBoard> board_;
    DWORD sysIntr_ = 0;
    HANDLE event_ = nullptr;
    HANDLE handler_ = nullptr;
    BOOL configured_ = FALSE, registered_ = FALSE;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> counted_{0};
    std::atomic<std::uint64_t> emptyPasses_{0};
};

class InterruptDelivery : public testing::Test {
protected:
    void Install(std::vector<vtsim::BoardConfig> boards)
    {
        vtsim::MachineDescription m;
        m.boards = std::move(boards);
        std::string error;
        ASSERT_TRUE(InstallBoards(m, &error)) << error;
    }
    void TearDown() override
    {
        RemoveBoards();
    }
};

bool WaitUntil(const std::function<bool()>& done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

TEST_F(InterruptDelivery, MaskedUntilInterruptDoneAndStillAssertedLineFiresAgain)
{
    Install({MakeBoard(vtsim::BoardModel::VTC4100, 1, 0xC000, 10)});
    BoardDriver d(0);
    ASSERT_TRUE(d.ready());
    EXPECT_FALSE(d.Signalled());

    d.board_->pulseInputLine(0, 0);
    EXPECT_TRUE(d.Signalled());
    EXPECT_TRUE(QuerySysIntr(d.sysIntr_).masked);
    d.board_->pulseInputLine(0, 1);  // while masked: held, not signalled
    EXPECT_FALSE(d.Signalled(20));

    // Only bit 0 acknowledged: the line is still asserted and fires again.
    d.board_->WriteRegister(kStatus, 0x01);
    InterruptDone(d.sysIntr_);
    EXPECT_TRUE(d.Signalled());
    EXPECT_EQ(d.AckStatus(), 0x02);
    InterruptDone(d.sysIntr_);
    EXPECT_FALSE(d.Signalled(20));
    EXPECT_FALSE(QuerySysIntr(d.sysIntr_).masked);
    EXPECT_EQ(QuerySysIntr(d.sysIntr_).delivered, 2u);
}

TEST_F(InterruptDelivery, PendingInterruptWaitsForItsHandlerAndRegistration)
{
    Install({MakeBoard(vtsim::BoardModel::VTM6200K, 1, 0xC000, 10)});
    auto board = InstalledBoard(0);
    board->WriteRegister(0x08, 0x03);
    board->pulseInputLine(0, 1);  // before any driver: nobody claims it
    EXPECT_EQ(UnclaimedInterrupts(), 1u);

    BoardDriver d(0);  // loads, configures, registers, InterruptDone
    EXPECT_TRUE(d.Signalled()) << "the interrupt raised before the driver started was lost";
    EXPECT_EQ(d.AckStatus(), 0x02);
}

TEST_F(InterruptDelivery, SharedLineServesBothBoardsOneAtATime)
{
    Install({MakeBoard(vtsim::BoardModel::VTC4100, 1, 0xC000, 10),
             MakeBoard(vtsim::BoardModel::VTM6200K, 2, 0xC100, 10)});
    BoardDriver a(0), b(1);
    ASSERT_TRUE(a.ready() && b.ready());

    b.board_->pulseInputLine(0, 0);
    EXPECT_TRUE(b.Signalled());
    EXPECT_FALSE(a.Signalled()) << "a's handler must pass b's interrupt on";
    a.board_->pulseInputLine(0, 3);
    EXPECT_FALSE(a.Signalled(20)) << "the line is masked until b's InterruptDone";
    b.AckStatus();
    InterruptDone(b.sysIntr_);
    EXPECT_TRUE(a.Signalled());
    EXPECT_EQ(a.AckStatus(), 0x08);
    InterruptDone(a.sysIntr_);

    // A driver that stops while its interrupt is in service frees the line.
    b.board_->pulseInputLine(0, 1);
    EXPECT_TRUE(b.Signalled());
    a.board_->pulseInputLine(0, 2);
    InterruptDisable(b.sysIntr_);
    FreeIntChainHandler(b.handler_);
    b.handler_ = nullptr;
    EXPECT_TRUE(a.Signalled());
}

TEST_F(InterruptDelivery, ChainRunsInLoadOrderAndFirstClaimDecides)
{
    Install({MakeBoard(vtsim::BoardModel::VTC4100, 1, 0xC000, 10),
             MakeBoard(vtsim::BoardModel::VTC4100, 2, 0xC100, 11)});
    BoardDriver d(0);
    auto other = InstalledBoard(1);
    const DWORD otherSysIntr = SysIntrOfBoard(other.get());
    HANDLE otherEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ASSERT_TRUE(InterruptInitialize(otherSysIntr, otherEvent, nullptr, 0));
    InterruptDone(otherSysIntr);
    // An unconditional handler on line 10, loaded after the board's own.
    HANDLE greedy = LoadIntChainHandler(u"genisr.DLL", u"IsrHandler", 10);
    ASSERT_NE(greedy, nullptr);
    GIISR_INFO always{otherSysIntr, FALSE, FALSE, FALSE, 0, 0, 0, 0};
    ASSERT_TRUE(KernelLibIoControl(greedy, IOCTL_GIISR_INFO, &always, 32, nullptr, 0, nullptr));
    EXPECT_FALSE(WaitForSingleObject(otherEvent, 20) == WAIT_OBJECT_0)
        << "a line that is not asserted runs no handler";

    d.board_->pulseInputLine(0, 0);
    EXPECT_TRUE(d.Signalled()) << "the first handler in load order decides";
    EXPECT_EQ(WaitForSingleObject(otherEvent, 0), WAIT_TIMEOUT);
    // Removing the board's handler leaves the greedy one to decide.
    ASSERT_TRUE(FreeIntChainHandler(d.handler_));
    d.handler_ = nullptr;
    InterruptDone(d.sysIntr_);
    EXPECT_EQ(WaitForSingleObject(otherEvent, 1000), WAIT_OBJECT_0);
    EXPECT_FALSE(d.Signalled());

    EXPECT_TRUE(FreeIntChainHandler(greedy));
    EXPECT_FALSE(FreeIntChainHandler(greedy));
    InterruptDisable(otherSysIntr);
    CloseHandle(otherEvent);
}

TEST_F(InterruptDelivery, HandlerLoadingSettingsAndRegistrationRefuseBadInput)
{
    Install({MakeBoard(vtsim::BoardModel::VTC4100, 1, 0xC000, 10)});
    const auto before = vtsim::GetLiveCounts();
    EXPECT_EQ(LoadIntChainHandler(u"Missing.dll", u"IsrHandler", 10), nullptr);
    EXPECT_EQ(LoadIntChainHandler(u"GenIsr.dll", u"isrhandler", 10), nullptr);
    HANDLE h = LoadIntChainHandler(u"GenIsr.dll", u"IsrHandler", 10);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(vtsim::GetLiveCounts().chainHandlers, before.chainHandlers + 1);
    GIISR_INFO info{8, TRUE, TRUE, FALSE, 0xC010, 3, 0x0F, 0};
    EXPECT_FALSE(KernelLibIoControl(h, IOCTL_GIISR_INFO, &info, 32, nullptr, 0, nullptr));
    info.PortSize = 1;
    EXPECT_FALSE(KernelLibIoControl(h, IOCTL_GIISR_INFO, &info, 31, nullptr, 0, nullptr));
    EXPECT_FALSE(KernelLibIoControl(h, IOCTL_GIISR_INFO, nullptr, 32, nullptr, 0, nullptr));
    EXPECT_TRUE(KernelLibIoControl(h, IOCTL_GIISR_INFO, &info, 32, nullptr, 0, nullptr));
    EXPECT_TRUE(FreeIntChainHandler(h));

    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EXPECT_FALSE(InterruptInitialize(99, event, nullptr, 0));
    vtsim::ArmFault(vtsim::Fault::InterruptInitialize, 1);
    EXPECT_FALSE(InterruptInitialize(8, event, nullptr, 0));
    EXPECT_TRUE(InterruptInitialize(8, event, nullptr, 0));
    EXPECT_FALSE(InterruptInitialize(8, event, nullptr, 0)) << "already registered";
    InterruptDisable(8);
    CloseHandle(event);
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
}

// The controller holds the event object, not the handle: with a second
// handle still open the event is signalled after the registered handle was
// closed. A registration whose event has no handle left (the stream driver's
// stop closes its event without InterruptDisable) is dead: never delivered
// to, so it holds no line, and a restarted driver may register again.
TEST_F(InterruptDelivery, RegistrationLifetimeFollowsTheEventObject)
{
    Install({MakeBoard(vtsim::BoardModel::VTC4100, 1, 0xC000, 10)});
    BoardDriver d(0);
    HANDLE first = CreateEventW(nullptr, FALSE, FALSE, u"hw-test-shared-event");
    HANDLE second = CreateEventW(nullptr, FALSE, FALSE, u"hw-test-shared-event");
    InterruptDisable(d.sysIntr_);
    ASSERT_TRUE(InterruptInitialize(d.sysIntr_, first, nullptr, 0));
    InterruptDone(d.sysIntr_);
    CloseHandle(first);
    d.board_->pulseInputLine(0, 0);
    EXPECT_EQ(WaitForSingleObject(second, 1000), WAIT_OBJECT_0);
    d.AckStatus();
    InterruptDone(d.sysIntr_);

    CloseHandle(second);  // now dead
    d.board_->pulseInputLine(0, 1);
    EXPECT_EQ(QuerySysIntr(d.sysIntr_).delivered, 1u);
    EXPECT_TRUE(InterruptInitialize(d.sysIntr_, d.event_, nullptr, 0));
    InterruptDone(d.sysIntr_);
    EXPECT_TRUE(d.Signalled()) << "the pending interrupt reaches the new registration";
}

// Counting proof: two boards on one line, each with its interrupt thread,
// pulsed from two threads at once. Every status bit a board raised is seen
// and acknowledged exactly once by its own thread, and no pass is woken
// without a pending bit.
TEST_F(InterruptDelivery, CountingProofNothingLostNothingInvented)
{
    Install({MakeBoard(vtsim::BoardModel::VTC4100E, 1, 0xC000, 10),
             MakeBoard(vtsim::BoardModel::VTM6200K, 2, 0xC100, 10)});
    BoardDriver a(0), b(1);
    ASSERT_TRUE(a.ready() && b.ready());
    a.StartThread();
    b.StartThread();

    // Paced: each pulse waits for its acknowledgement, so counts are exact.
    constexpr int kPaced = 200;
    for (int i = 0; i < kPaced; ++i) {
        BoardDriver& d = i % 2 ? a : b;
        const auto seen = d.counted_.load();
        d.board_->pulseInputLine(0, static_cast<unsigned>(i) % d.board_->interruptInputs());
        ASSERT_TRUE(WaitUntil([&] { return d.counted_.load() == seen + 1; })) << i;
    }
    EXPECT_EQ(a.counted_ + b.counted_, static_cast<std::uint64_t>(kPaced));

    // Flooded: pulses race the threads; edges may merge into a pending bit
    // (the board counts only edges that set a bit), none may go missing.
    constexpr int kFlood = 5000;
    auto pulser = [](BoardDriver* d) {
        for (int i = 0; i < kFlood; ++i) {
            d->board_->pulseInputLine(0, static_cast<unsigned>(i) % d->board_->interruptInputs());
        }
    };
    std::thread pa(pulser, &a), pb(pulser, &b);
    pa.join();
    pb.join();
    for (BoardDriver* d : {&a, &b}) {
        EXPECT_TRUE(WaitUntil([&] { return d->counted_.load() == d->board_->interruptsRaised(); }))
            << "raised " << d->board_->interruptsRaised() << ", counted " << d->counted_.load();
        EXPECT_EQ(d->emptyPasses_.load(), 0u);
        EXPECT_EQ(d->board_->interruptStatus(), 0);
    }
}
