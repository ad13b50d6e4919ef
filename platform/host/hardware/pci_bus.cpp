// The installed boards and port decoding. The board list is guarded by a
// reader/writer lock that is held only to find a board (never while a board
// register is accessed or anything else is called); callers keep the board
// alive through its shared_ptr.
#include "platform/host/hardware/pci_bus.h"

#include <shared_mutex>

#include "platform/host/interrupts/controller.h"

namespace vtsim::internal {

namespace {

struct InstalledEntry {
    std::shared_ptr<SimulatedBoard> board;
    DWORD sysIntr;
};

std::shared_mutex& BusMutex()
{
    static std::shared_mutex mutex;
    return mutex;
}

std::vector<InstalledEntry>& Entries()
{
    static std::vector<InstalledEntry> entries;
    return entries;
}

}  // namespace

bool InstallBoards(const MachineDescription& machine, std::string* error)
{
    if (!ValidateMachine(machine, error)) {
        return false;
    }
    RemoveBoards();
    std::vector<InstalledEntry> fresh;
    for (std::size_t place = 0; place < machine.boards.size(); ++place) {
        const BoardConfig& config = machine.boards[place];
        auto board = std::make_shared<SimulatedBoard>(config, place);
        const DWORD sysIntr = AllocateSysIntr(config.irq);
        AttachInterruptSource(config.irq, board.get());
        fresh.push_back({board, sysIntr});
    }
    std::unique_lock lock(BusMutex());
    Entries() = std::move(fresh);
    return true;
}

void RemoveBoards()
{
    std::vector<InstalledEntry> old;
    {
        std::unique_lock lock(BusMutex());
        old.swap(Entries());
    }
    // Detaches every source before the boards go.
    ResetInterrupts();
}

std::vector<Board*> InstalledBoards()
{
    std::shared_lock lock(BusMutex());
    std::vector<Board*> boards;
    for (const auto& e : Entries()) {
        boards.push_back(e.board.get());
    }
    return boards;
}

std::shared_ptr<SimulatedBoard> InstalledBoard(std::size_t index)
{
    std::shared_lock lock(BusMutex());
    return index < Entries().size() ? Entries()[index].board : nullptr;
}

std::shared_ptr<SimulatedBoard> BoardAtPort(std::uint32_t port)
{
    std::shared_lock lock(BusMutex());
    for (const auto& e : Entries()) {
        if (e.board->Decodes(port)) {
            return e.board;
        }
    }
    return nullptr;
}

DWORD SysIntrOfBoard(const Board* board)
{
    std::shared_lock lock(BusMutex());
    for (const auto& e : Entries()) {
        if (e.board.get() == board) {
            return e.sysIntr;
        }
    }
    return SYSINTR_UNDEFINED;
}

}  // namespace vtsim::internal
