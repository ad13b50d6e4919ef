// Fuzzes the driver library through DriverProc on a booted simulated target
// (the default machine, its drivers loaded by the device manager): random
// function codes (0 to 140 and beyond, with random upper bits), on handles
// that are open, released, never issued or 0, with parameter blocks whose
// fields are random and whose addresses point into buffers of random sizes
// that still hold what the call may write by its contract (the count or
// length it is given, 800 bytes for the features record). AddressSanitizer
// then catches any byte the library reads or writes beyond them. Input edges
// and output writes run between the calls, so events are raised, counted
// and waited for.
//
// Each input opens its own connection to a board when it first uses one and
// closes every connection it opened at its end, so no state but the boards'
// lines and latches carries over.
//
// Input: a sequence of steps, each one byte choosing the kind (call, edge)
// and then the step's parameters.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "library/include/rlx4100.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/target.h"

namespace {

constexpr DWORD DEVICES = 3;  // the default machine's boards, device numbers 0 to 2
constexpr std::size_t MAX_BUFFER = 1024;

// The buffers of one call; each is exactly as long as asked, and lives until
// the call has returned.
class Buffers {
public:
    void* Make(std::size_t size, FuzzedDataProvider& in)
    {
        std::vector<BYTE> bytes = in.ConsumeBytes<BYTE>(size);
        bytes.resize(size);
        buffers_.push_back(std::move(bytes));
        // A zero-length buffer still gets a distinct address ASan guards.
        return buffers_.back().empty() ? static_cast<void*>(&empty_) : buffers_.back().data();
    }
    template <typename T>
    T* Of(FuzzedDataProvider& in)
    {
        return static_cast<T*>(Make(sizeof(T), in));
    }

private:
    std::deque<std::vector<BYTE>> buffers_;
    BYTE empty_[1] = {};
};

struct Session {
    std::vector<LONG> open;  // handles opened in this input (one per successful open)
    bool tried[DEVICES] = {};
    LONG first[DEVICES] = {};  // each board's connection, opened when first used
};

// The input's own connection to a board: opened the first time the input
// uses it (an open costs far more than most calls, and short inputs use
// one board), so every call still meets a connection opened in its input.
LONG ConnectionOf(DWORD device, Session& session)
{
    if (!session.tried[device]) {
        session.tried[device] = true;
        if (DeviceOpen(device, &session.first[device]) == API_SUCCESS) {
            session.open.push_back(session.first[device]);
        }
    }
    return session.first[device];
}

std::vector<LONG> g_released;  // handles of connections released earlier

LONG PickHandle(FuzzedDataProvider& in, Session& session)
{
    const int pick = in.ConsumeIntegralInRange(0, 9);
    if (pick < 4) {
        return ConnectionOf(in.ConsumeIntegralInRange<DWORD>(0, DEVICES - 1), session);
    }
    if (pick < 6 && !session.open.empty()) {
        return session.open[in.ConsumeIntegralInRange<std::size_t>(0, session.open.size() - 1)];
    }
    if (pick < 8 && !g_released.empty()) {
        return g_released[in.ConsumeIntegralInRange<std::size_t>(0, g_released.size() - 1)];
    }
    return pick == 8 ? 0 : in.ConsumeIntegral<LONG>();
}

DWORD PickDeviceNumber(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
    case 1:
        return in.ConsumeIntegralInRange<DWORD>(0, DEVICES - 1);
    case 2:
        return in.ConsumeIntegralInRange<DWORD>(0, 300);
    default:
        return in.ConsumeIntegral<DWORD>();
    }
}

// A result or data address: usually a buffer of the size the call may use,
// sometimes null.
template <typename T>
T* Address(FuzzedDataProvider& in, Buffers& buffers, std::size_t size)
{
    if (in.ConsumeIntegralInRange(0, 9) == 0) {
        return nullptr;
    }
    return static_cast<T*>(buffers.Make(size, in));
}

// A count or length, mostly small, sometimes any 32-bit value; the buffer it
// describes is at most MAX_BUFFER long (the library never uses more of it
// than a board has ports or a property has bytes).
DWORD PickLength(FuzzedDataProvider& in)
{
    return in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegral<DWORD>()
                                                : in.ConsumeIntegralInRange<DWORD>(0, 8);
}

std::size_t Capacity(DWORD length)
{
    return length < MAX_BUFFER ? length : MAX_BUFFER;
}

// The block for a code (null when the code takes none or the block is left
// out); its fields random, its addresses into buffers.
void* MakeBlock(DWORD code, FuzzedDataProvider& in, Buffers& buffers)
{
    if (in.ConsumeIntegralInRange(0, 15) == 0) {
        return nullptr;
    }
    auto words = [&](auto* block) {
        // Every plain field random first; addresses are set below.
        std::vector<BYTE> bytes = in.ConsumeBytes<BYTE>(sizeof(*block));
        bytes.resize(sizeof(*block));
        std::memcpy(block, bytes.data(), sizeof(*block));
        return block;
    };
    switch (code) {
    case FUNC_DEVICE_GET_FEATURES: {
        auto* b = words(buffers.Of<DeviceGetFeaturesBlock>(in));
        b->buffer = Address<BYTE>(in, buffers, b->size);
        return b;
    }
    case FUNC_DIO_READ_PORT_BYTE:
    case FUNC_DIO_GET_CURRENT_DO_BYTE: {
        auto* b = words(buffers.Of<DioReadPortByteBlock>(in));
        b->value = Address<BYTE>(in, buffers, 1);
        return b;
    }
    case FUNC_DIO_READ_BIT:
    case FUNC_DIO_GET_CURRENT_DO_BIT: {
        auto* b = words(buffers.Of<DioReadBitBlock>(in));
        b->value = Address<WORD>(in, buffers, sizeof(WORD));
        return b;
    }
    case FUNC_READ_PORT_BYTE:
    case FUNC_READ_PORT_WORD: {
        auto* b = words(buffers.Of<ReadPortWordBlock>(in));
        b->value = Address<WORD>(in, buffers, sizeof(WORD));
        return b;
    }
    case FUNC_CHECK_EVENT: {
        auto* b = words(buffers.Of<CheckEventBlock>(in));
        b->eventType = Address<WORD>(in, buffers, sizeof(WORD));
        // Mostly a poll; now and then a wait of 1 ms, so the blocking path
        // runs without slowing every input down.
        b->timeout = in.ConsumeIntegralInRange(0, 15) == 0 ? 1 : 0;
        return b;
    }
    case FUNC_DEVICE_SET_PROPERTY: {
        auto* b = words(buffers.Of<DeviceSetPropertyBlock>(in));
        b->length = PickLength(in);
        b->data = Address<BYTE>(in, buffers, Capacity(b->length));
        return b;
    }
    case FUNC_DEVICE_GET_PROPERTY: {
        auto* b = words(buffers.Of<DeviceGetPropertyBlock>(in));
        const DWORD length = PickLength(in);
        b->length = Address<DWORD>(in, buffers, sizeof(DWORD));
        if (b->length != nullptr) {
            *b->length = length < MAX_BUFFER ? length : MAX_BUFFER;
        }
        b->buffer = Address<BYTE>(in, buffers, Capacity(length));
        return b;
    }
    case FUNC_DIO_READ_PORT_WORD:
    case FUNC_DIO_GET_CURRENT_DO_WORD: {
        auto* b = words(buffers.Of<DioReadPortWordBlock>(in));
        b->value = Address<WORD>(in, buffers, sizeof(WORD));
        b->validMask = Address<WORD>(in, buffers, sizeof(WORD));
        return b;
    }
    case FUNC_DIO_READ_PORT_DWORD:
    case FUNC_DIO_GET_CURRENT_DO_DWORD: {
        auto* b = words(buffers.Of<DioReadPortDwordBlock>(in));
        b->value = Address<DWORD>(in, buffers, sizeof(DWORD));
        b->validMask = Address<DWORD>(in, buffers, sizeof(DWORD));
        return b;
    }
    case FUNC_DIO_GET_LATEST_EVENT_DI_PORTS_STATE: {
        auto* b = words(buffers.Of<DioGetLatestEventDiPortsStateBlock>(in));
        b->length = PickLength(in);
        b->buffer = Address<BYTE>(in, buffers, Capacity(b->length));
        return b;
    }
    case FUNC_DIO_READ_DI_PORTS:
    case FUNC_DIO_GET_CURRENT_DO_PORTS_STATE: {
        auto* b = words(buffers.Of<DioReadDiPortsBlock>(in));
        b->portCount = PickLength(in);
        b->buffer = Address<BYTE>(in, buffers, Capacity(b->portCount));
        return b;
    }
    case FUNC_DIO_WRITE_DO_PORTS: {
        auto* b = words(buffers.Of<DioWriteDoPortsBlock>(in));
        b->portCount = PickLength(in);
        b->data = Address<const BYTE>(in, buffers, Capacity(b->portCount));
        return b;
    }
    case FUNC_DIO_WRITE_PORT_BYTE:
    case FUNC_DIO_WRITE_BIT:
    case FUNC_WRITE_PORT_BYTE:
    case FUNC_WRITE_PORT_WORD:
    case FUNC_ENABLE_EVENT:
    case FUNC_DIO_WRITE_PORT_WORD:
    case FUNC_DIO_WRITE_PORT_DWORD:
    case FUNC_DIO_ENABLE_EVENT_AND_SPECIFY_DI_PORTS:
        // Blocks without addresses: any 16 bytes.
        return buffers.Make(16, in);
    default:
        // A code without an operation: whatever lies at the address is not
        // read, but give it something.
        return buffers.Make(in.ConsumeIntegralInRange<std::size_t>(0, 32), in);
    }
}

void Call(FuzzedDataProvider& in, Session& session)
{
    Buffers buffers;
    DWORD code = in.ConsumeIntegralInRange(0, 9) == 0 ? in.ConsumeIntegralInRange<DWORD>(0, 300)
                                                      : in.ConsumeIntegralInRange<DWORD>(0, 140);
    if (in.ConsumeIntegralInRange(0, 7) == 0) {
        code |= in.ConsumeIntegral<DWORD>() << 16;  // only the low 16 bits count
    }
    const DWORD function = code & 0xFFFF;
    if (function == FUNC_DEVICE_OPEN) {
        LONG* variable = in.ConsumeIntegralInRange(0, 7) == 0 ? nullptr : buffers.Of<LONG>(in);
        const LONG status =
            DriverProc(0, 0, code, PickDeviceNumber(in), reinterpret_cast<LONG_PTR>(variable));
        if (status == API_SUCCESS) {
            if (variable == nullptr) {
                std::abort();  // success without a handle variable
            }
            session.open.push_back(*variable);
        }
        return;
    }
    if (function == FUNC_DEVICE_CLOSE) {
        LONG* variable = nullptr;
        if (in.ConsumeIntegralInRange(0, 7) != 0) {
            variable = buffers.Of<LONG>(in);
            *variable = PickHandle(in, session);
        }
        DriverProc(0, 0, code, reinterpret_cast<LONG_PTR>(variable), in.ConsumeIntegral<LONG>());
        return;
    }
    const LONG handle = PickHandle(in, session);
    if (function == FUNC_DIO_DISABLE_EVENT) {
        DriverProc(0, 0, code, handle, in.ConsumeIntegral<DWORD>());
        return;
    }
    void* block = MakeBlock(function, in, buffers);
    DriverProc(0, 0, code, handle, reinterpret_cast<LONG_PTR>(block));
}

void Edge(FuzzedDataProvider& in)
{
    const std::vector<vtsim::Board*> boards = vtsim::Boards();
    vtsim::Board* board = boards[in.ConsumeIntegralInRange<std::size_t>(0, boards.size() - 1)];
    if (in.ConsumeBool()) {
        board->pulseInputLine(0, in.ConsumeIntegralInRange(0u, 3u));
    } else {
        board->setInputPort(0, in.ConsumeIntegral<BYTE>());
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string error;
    if (!vtsim::Boot(vtsim::BootOptions{}, &error)) {
        std::fprintf(stderr, "driver_proc_fuzzer: boot failed: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    Session session;
    while (in.remaining_bytes() > 0) {
        if (in.ConsumeIntegralInRange(0, 5) == 0) {
            Edge(in);
        } else {
            Call(in, session);
        }
    }
    // Give back every reference taken, whatever the calls closed meanwhile:
    // closing until the handle is refused releases the connection.
    for (LONG handle : session.open) {
        LONG variable = handle;
        while (DeviceClose(&variable) == API_SUCCESS && variable == 0) {
            variable = handle;
        }
        g_released.push_back(handle);
    }
    if (g_released.size() > 64) {
        g_released.erase(g_released.begin(), g_released.begin() + 32);
    }
    vtsim::ClearDebugLog();
    return 0;
}
