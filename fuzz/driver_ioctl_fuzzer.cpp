// Fuzzes the stream driver's VTD_IOControl on started instances: a VTC-4100
// and a VTM-6200K, started by VTD_Init directly (the driver's objects are
// linked in), take random control requests (the fifteen codes and any
// other, any input and output lengths and contents, null buffers) mixed
// with edges on their interrupt inputs, so that the interrupt service
// thread counts, latches and signals while the requests change the events.
//
// Every buffer is allocated at exactly the length the request states, so
// AddressSanitizer catches a byte read or written beyond it. After every
// request the fuzzer checks what the driver promises whatever the input: it
// never reports more bytes than the output holds, a failed request returns
// no bytes, and a DO write that succeeded is what the board's latches hold.
//
// Input: a sequence of steps, each one byte choosing the kind (request,
// edge, pause) and then the step's parameters.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/control_codes.h"
#include "driver/entry_points.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/target.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace {

constexpr std::array<DWORD, 15> CODES = {
    IOCTL_DIO_ENABLE_EVENT,
    IOCTL_PORT_READ_BYTE,
    IOCTL_PORT_READ_WORD,
    IOCTL_PORT_READ_DWORD,
    IOCTL_DIO_READ_DI_PORTS,
    IOCTL_DIO_WRITE_DO_PORTS,
    IOCTL_DIO_GET_EVENT_DI_PORTS,
    IOCTL_DIO_SPECIFY_EVENT_DI_PORTS,
    IOCTL_DIO_GET_LATEST_EVENT_DI_STATE,
    IOCTL_PORT_WRITE_BYTE,
    IOCTL_PORT_WRITE_WORD,
    IOCTL_PORT_WRITE_DWORD,
    IOCTL_DIO_CLOSE_EVENTS,
    IOCTL_DIO_GET_CURRENT_DO_PORTS,
    IOCTL_GET_BOARD_INFO,
};

struct Instance {
    DWORD_PTR context = 0;
    vtsim::Board* board = nullptr;
};

std::vector<Instance> g_instances;

[[noreturn]] void Fail(const char* what, DWORD code)
{
    std::fprintf(stderr, "driver_ioctl_fuzzer: %s (code 0x%08X)\n", what,
                 static_cast<unsigned>(code));
    std::abort();
}

// The instance key that enumeration wrote for a board, as the device
// manager would hand it to Init through an active key of our own.
std::u16string WriteActiveKeyFor(unsigned index)
{
    const std::u16string instances = u"Drivers\\BuiltIn\\PCI\\Instance";
    HKEY key = nullptr;
    char16_t name[64] = {};
    DWORD chars = 64;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, instances.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS ||
        RegEnumKeyExW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
        std::abort();
    }
    RegCloseKey(key);
    const std::u16string deviceKey = instances + u"\\" + name;
    const std::u16string active = u"Drivers\\Active\\9" + std::u16string(1, u'0' + index);
    const std::u16string device = u"VTD" + std::u16string(1, u'5' + index) + u":";
    HKEY activeKey = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, active.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &activeKey, nullptr);
    RegSetValueExW(activeKey, u"Key", 0, REG_SZ, reinterpret_cast<const BYTE*>(deviceKey.c_str()),
                   static_cast<DWORD>((deviceKey.size() + 1) * 2));
    RegSetValueExW(activeKey, u"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(device.c_str()),
                   static_cast<DWORD>((device.size() + 1) * 2));
    RegCloseKey(activeKey);
    return active;
}

vtsim::Board* BoardAtSlot(unsigned slot)
{
    for (vtsim::Board* board : vtsim::Boards()) {
        if (board->config().slot == slot) {
            return board;
        }
    }
    std::abort();
}

DWORD PickCode(FuzzedDataProvider& in)
{
    if (in.ConsumeIntegralInRange(0, 15) == 0) {
        return in.ConsumeIntegral<DWORD>();
    }
    return CODES[in.ConsumeIntegralInRange<std::size_t>(0, CODES.size() - 1)];
}

void Request(FuzzedDataProvider& in, const Instance& instance)
{
    const DWORD code = PickCode(in);
    const bool nullIn = in.ConsumeIntegralInRange(0, 7) == 0;
    const bool nullOut = in.ConsumeIntegralInRange(0, 7) == 0;
    const bool nullReturned = in.ConsumeIntegralInRange(0, 7) == 0;
    std::vector<BYTE> input = in.ConsumeBytes<BYTE>(in.ConsumeIntegralInRange(0, 40));
    std::vector<BYTE> output(in.ConsumeIntegralInRange(0, 24));
    // The lengths may also lie about a null buffer.
    const DWORD inSize =
        nullIn ? in.ConsumeIntegralInRange<DWORD>(0, 64) : static_cast<DWORD>(input.size());
    const DWORD outSize =
        nullOut ? in.ConsumeIntegralInRange<DWORD>(0, 64) : static_cast<DWORD>(output.size());
    DWORD returned = 0xDEADBEEF;
    const BOOL ok = VTD_IOControl(instance.context, code, nullIn ? nullptr : input.data(), inSize,
                                  nullOut ? nullptr : output.data(), outSize,
                                  nullReturned ? nullptr : &returned);
    if (nullReturned) {
        return;
    }
    if (ok && returned != 0xDEADBEEF && returned > outSize) {
        Fail("more bytes returned than the output holds", code);
    }
    if (!ok && returned != 0xDEADBEEF && returned != 0) {
        Fail("a failed request returned bytes", code);
    }
    if (ok && code == IOCTL_DIO_WRITE_DO_PORTS && !nullIn) {
        const DWORD first =
            input[0] | input[1] << 8 | input[2] << 16 | std::uint32_t(input[3]) << 24;
        const DWORD count =
            input[4] | input[5] << 8 | input[6] << 16 | std::uint32_t(input[7]) << 24;
        for (DWORD i = 0; i < count && first + i < instance.board->portCount(); ++i) {
            if (instance.board->outputLatch(first + i) != input[8 + i]) {
                Fail("a DO write succeeded without reaching the latch", code);
            }
        }
    }
}

void Edge(FuzzedDataProvider& in, const Instance& instance)
{
    const unsigned bit = in.ConsumeIntegralInRange(0u, 7u);
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        instance.board->pulseInputLine(0, bit);
        break;
    case 1:
        instance.board->setInputLine(0, bit, in.ConsumeBool());
        break;
    default:
        instance.board->setInputPort(in.ConsumeIntegralInRange(0u, 3u), in.ConsumeIntegral<BYTE>());
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    vtsim::BootOptions options;
    vtsim::BoardConfig vtc;
    vtc.model = vtsim::BoardModel::VTC4100;
    vtc.slot = 4;
    vtc.switchId = 1;
    vtc.ioBase = 0xE800;
    vtc.irq = 10;
    vtsim::BoardConfig vtm = vtc;
    vtm.model = vtsim::BoardModel::VTM6200K;
    vtm.slot = 6;
    vtm.switchId = 2;
    vtm.ioBase = 0xE900;
    vtm.irq = 10;  // one line shared by both boards
    options.machine.boards = {vtc, vtm};
    options.loadDrivers = false;
    std::string error;
    if (!vtsim::Boot(options, &error)) {
        std::fprintf(stderr, "driver_ioctl_fuzzer: boot failed: %s\n", error.c_str());
        std::abort();
    }
    for (unsigned index = 0; index < 2; ++index) {
        const std::u16string active = WriteActiveKeyFor(index);
        Instance instance;
        instance.context = VTD_Init(active.c_str(), 0);
        if (instance.context == 0) {
            std::abort();
        }
        g_instances.push_back(instance);
    }
    // Which board an instance serves: its board info names the slot.
    for (Instance& instance : g_instances) {
        BoardInfoRecord info{};
        VTD_IOControl(instance.context, IOCTL_GET_BOARD_INFO, nullptr, 0,
                      reinterpret_cast<PBYTE>(&info), sizeof(info), nullptr);
        instance.board = BoardAtSlot(info.slotNumber);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    while (in.remaining_bytes() > 0) {
        const Instance& instance = g_instances[in.ConsumeIntegralInRange<std::size_t>(0, 1)];
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0:
        case 1:
            Edge(in, instance);
            break;
        case 2:
            Sleep(0);  // lets the interrupt service thread catch up
            break;
        default:
            Request(in, instance);
            break;
        }
    }
    // The log grows by the driver's lines; keep each run's memory flat.
    vtsim::ClearDebugLog();
    return 0;
}
