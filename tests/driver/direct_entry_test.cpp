// The driver's entry points called directly (the driver's objects linked
// into the test) on a booted target whose device manager loaded nothing: the
// test plays the device manager, so that it can inject platform faults into
// exactly the start step it wants and look into the board record.
#include <gtest/gtest.h>

#include <chrono>

#include "common/board_types.h"
#include "driver/device_context.h"
#include "driver/driver_steps.h"
#include "driver/entry_points.h"
#include "driver_test_support.h"
#include "platform/host/control/faults.h"

using namespace drivertest;

namespace {

constexpr const char16_t* ACTIVE_KEY = u"Drivers\\Active\\90";
constexpr unsigned SLOT = 5;

// The instance key that enumeration wrote for the machine's only board.
std::u16string OnlyInstanceKey()
{
    const std::u16string root = u"Drivers\\BuiltIn\\PCI\\Instance";
    HKEY key = nullptr;
    char16_t name[64] = {};
    DWORD chars = 64;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, root.c_str(), 0, KEY_READ, &key);
    RegEnumKeyExW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return root + u"\\" + name;
}

void WriteActiveKey(const std::u16string& deviceKey)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, ACTIVE_KEY, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              static_cast<LONG>(ERROR_SUCCESS));
    const std::u16string name = u"VTD9:";
    RegSetValueExW(key, u"Key", 0, REG_SZ, reinterpret_cast<const BYTE*>(deviceKey.c_str()),
                   static_cast<DWORD>((deviceKey.size() + 1) * 2));
    RegSetValueExW(key, u"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>((name.size() + 1) * 2));
    RegCloseKey(key);
}

class DirectEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::BootOptions options =
            MachineOf({Board(vtsim::BoardModel::VTC4100, SLOT, 1, 0xE800, 10)});
        options.loadDrivers = false;
        ASSERT_TRUE(BootTarget(options));
        WriteActiveKey(OnlyInstanceKey());
        board = BoardAtSlot(SLOT);
    }
    void TearDown() override
    {
        vtsim::DisarmAllFaults();
        vtsim::Shutdown();
    }

    DeviceContext* Start()
    {
        return ContextOf(VTD_Init(ACTIVE_KEY, 0));
    }
    BOOL Send(DeviceContext* context, DWORD code, const void* in, DWORD inSize, void* out,
              DWORD outSize)
    {
        returned = 0xDEAD;
        return VTD_IOControl(reinterpret_cast<DWORD_PTR>(context), code,
                             static_cast<PBYTE>(const_cast<void*>(in)), inSize,
                             static_cast<PBYTE>(out), outSize, &returned);
    }
    // Enables event 0 (input 0), signalled at every interrupt.
    BOOL EnableFirstEvent(DeviceContext* context)
    {
        EventEnableRecord enable{};
        enable.enable = 1;
        enable.count = 1;
        return Send(context, IOCTL_DIO_ENABLE_EVENT, &enable, 24, nullptr, 0);
    }

    vtsim::Board* board = nullptr;
    DWORD returned = 0;
};

}  // namespace

TEST_F(DirectEntry, LongDeviceFileNameKeepsItsFirstTenCharacters)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, ACTIVE_KEY, 0, KEY_ALL_ACCESS, &key),
              static_cast<LONG>(ERROR_SUCCESS));
    const std::u16string name = u"VTD123456789:";
    RegSetValueExW(key, u"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>((name.size() + 1) * 2));
    RegCloseKey(key);

    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    DeviceContext* context = Start();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(std::u16string(context->name), u"VTD1234567");
    EXPECT_TRUE(VTD_Deinit(reinterpret_cast<DWORD_PTR>(context)));
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

TEST_F(DirectEntry, StartFillsTheRecordAndStopReleasesEverything)
{
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    DeviceContext* context = Start();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(std::u16string(context->name), u"VTD9:");
    EXPECT_EQ(context->boardType, BOARD_TYPE_VTC4100);
    EXPECT_EQ(context->switchId, 1u);
    EXPECT_EQ(context->ioBase, 0xE800u);
    EXPECT_EQ(context->ioLength, 0x20u);
    EXPECT_EQ(context->irq, 10u);
    EXPECT_NE(context->sysIntr, 0u);
    EXPECT_EQ(context->isrStatusOffset, 0x10u);
    EXPECT_EQ(context->isrMask, 0x0Fu);
    EXPECT_EQ(context->translatedBase, 0xE800u);
    EXPECT_EQ(context->diPortCount, 4u);
    EXPECT_EQ(context->deviceIndex, 0);
    EXPECT_EQ(context->triggerMode, 5u);  // the package's template for switch 1
    EXPECT_EQ(context->openCount, 0u);
    for (DWORD i = 0; i < MAX_EVENTS; ++i) {
        EXPECT_EQ(context->eventThreshold[i], 0xFFFFu);
        EXPECT_NE(context->diEvents[i], nullptr);
    }
    EXPECT_EQ(CeGetThreadPriority(context->istThread), 103);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(VTD_Deinit(reinterpret_cast<DWORD_PTR>(context)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());

    // The logical interrupt is free again: a second start receives interrupts.
    context = Start();
    ASSERT_NE(context, nullptr);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"RLX_EVT_DI_INTERRUPT0_000");
    ASSERT_TRUE(EnableFirstEvent(context));
    board->setInputLine(0, 0, true);
    board->setInputLine(0, 0, false);  // falling edge: trigger mode bit 0 is 1
    EXPECT_EQ(WaitForSingleObject(event, 2000), WAIT_OBJECT_0);
    CloseHandle(event);
    EXPECT_TRUE(VTD_Deinit(reinterpret_cast<DWORD_PTR>(context)));
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

TEST_F(DirectEntry, EachPlatformFaultFailsTheStartCleanly)
{
    const struct {
        const char* what;
        vtsim::Fault fault;
        unsigned nth;
    } faults[] = {
        {"context allocation", vtsim::Fault::Allocation, 1},
        {"interrupt event", vtsim::Fault::EventCreation, 1},
        {"thread exit event", vtsim::Fault::EventCreation, 2},
        {"interrupt registration", vtsim::Fault::InterruptInitialize, 1},
        {"thread creation", vtsim::Fault::ThreadCreation, 1},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.what);
        const vtsim::LiveCounts before = vtsim::GetLiveCounts();
        vtsim::ArmFault(f.fault, f.nth);
        EXPECT_EQ(Start(), nullptr);
        EXPECT_TRUE(vtsim::FaultFired(f.fault));
        EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
    }
    // A missing active key.
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    EXPECT_EQ(VTD_Init(u"Drivers\\Active\\77", 0), 0u);
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
}

TEST_F(DirectEntry, UnreadablePciInformationFailsTheStart)
{
    const std::u16string instance = OnlyInstanceKey();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, instance.c_str(), 0, KEY_ALL_ACCESS, &key),
              static_cast<LONG>(ERROR_SUCCESS));
    const std::u16string text = u"5";
    RegSetValueExW(key, u"DeviceNumber", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), 4);
    RegCloseKey(key);
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    EXPECT_EQ(Start(), nullptr);
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

TEST_F(DirectEntry, NamedEventFaultStillStartsWithEventsClosed)
{
    vtsim::ArmFault(vtsim::Fault::EventCreation, 4);  // the second named event
    DeviceContext* context = Start();
    ASSERT_NE(context, nullptr);
    for (HANDLE event : context->diEvents) {
        EXPECT_EQ(event, nullptr);
    }
    EXPECT_NE(vtsim::DebugText().find("\n===CloseEvent, write reg value 0\n"), std::string::npos);
    // The next enabling request creates them.
    ASSERT_TRUE(EnableFirstEvent(context));
    for (HANDLE event : context->diEvents) {
        EXPECT_NE(event, nullptr);
    }
    EXPECT_EQ(context->eventThreshold[0], 1u);
    VTD_Deinit(reinterpret_cast<DWORD_PTR>(context));
}

// A board whose new entries cannot be written starts unpublished: it does not
// keep a number that the device list does not hold for it (another board
// would be given it, and its event names with it).
TEST_F(DirectEntry, FailingDeviceListWriteStartsTheBoardUnpublished)
{
    vtsim::ArmFault(vtsim::Fault::RegistryWrite, 1);
    DeviceContext* context = Start();
    ASSERT_NE(context, nullptr);
    EXPECT_TRUE(vtsim::FaultFired(vtsim::Fault::RegistryWrite));
    EXPECT_EQ(context->deviceIndex, NO_DEVICE_NUMBER);
    EXPECT_FALSE(KeyExists(DeviceEntry(DEVICE_LIST_KEY, 0)));
    EXPECT_FALSE(KeyExists(DeviceEntry(DRIVER_KEY_VTC4100, 0)));
    for (HANDLE event : context->diEvents) {
        EXPECT_EQ(event, nullptr);
    }
    EXPECT_NE(vtsim::DebugText().find("\n===VTD INIT board id: 87 not published\n"),
              std::string::npos);
    EXPECT_EQ(board->triggerMode(), 5u);  // the template's edges reach the board all the same

    // Number 0 is still free: the next publication gives it.
    EXPECT_TRUE(PublishDevice(context));
    EXPECT_EQ(context->deviceIndex, 0);
    EXPECT_TRUE(KeyExists(DeviceEntry(DRIVER_KEY_VTC4100, 0)));
    VTD_Deinit(reinterpret_cast<DWORD_PTR>(context));
}

TEST_F(DirectEntry, PublicationSaysWhetherTheBoardIsPublished)
{
    DeviceContext* context = Start();
    ASSERT_NE(context, nullptr);
    ASSERT_EQ(context->deviceIndex, 0);
    EXPECT_EQ(vtsim::DebugText().find("not published"), std::string::npos);

    // Found again and refreshed.
    EXPECT_TRUE(PublishDevice(context));
    EXPECT_EQ(context->deviceIndex, 0);
    // A refresh that cannot be written: the stored entry still holds the number.
    vtsim::ArmFault(vtsim::Fault::RegistryWrite, 1);
    EXPECT_FALSE(PublishDevice(context));
    EXPECT_TRUE(vtsim::FaultFired(vtsim::Fault::RegistryWrite));
    EXPECT_EQ(context->deviceIndex, 0);
    // A board of no known model has no names, and the board is left alone.
    const DWORD boardType = context->boardType;
    context->boardType = 0;
    context->triggerMode = 0x0A;
    EXPECT_FALSE(PublishDevice(context));
    EXPECT_EQ(context->deviceIndex, NO_DEVICE_NUMBER);
    EXPECT_EQ(board->triggerMode(), 5u);
    context->boardType = boardType;
    VTD_Deinit(reinterpret_cast<DWORD_PTR>(context));
}

TEST_F(DirectEntry, LastStatusAndLastError)
{
    DeviceContext* context = Start();
    ASSERT_NE(context, nullptr);
    const PortRangeRecord range{4, 1};
    BYTE out[4];
    EXPECT_FALSE(Send(context, IOCTL_DIO_READ_DI_PORTS, &range, 8, out, 4));
    EXPECT_EQ(context->lastStatus, DRV_STATUS_PORT_OUT_OF_RANGE);
    EXPECT_EQ(GetLastError(), 0x20000040u);
    // An unknown code leaves lastStatus alone.
    EXPECT_FALSE(Send(context, 0x12345678, nullptr, 0, nullptr, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(context->lastStatus, DRV_STATUS_PORT_OUT_OF_RANGE);
    const EventWindowRecord bad{0, 3, 2};
    SetLastError(77);
    EXPECT_FALSE(Send(context, IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &bad, 12, nullptr, 0));
    EXPECT_EQ(context->lastStatus, DRV_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(GetLastError(), 77u);
    // Success leaves it too.
    const PortRangeRecord good{0, 1};
    EXPECT_TRUE(Send(context, IOCTL_DIO_READ_DI_PORTS, &good, 8, out, 4));
    EXPECT_EQ(context->lastStatus, DRV_STATUS_INVALID_PARAMETER);

    SetLastError(0);
    EXPECT_FALSE(VTD_IOControl(0, IOCTL_GET_BOARD_INFO, nullptr, 0, out, 4, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    VTD_Deinit(reinterpret_cast<DWORD_PTR>(context));
}

TEST_F(DirectEntry, FileEntryPointsAndOpenCount)
{
    DeviceContext* context = Start();
    ASSERT_NE(context, nullptr);
    const DWORD_PTR handle = reinterpret_cast<DWORD_PTR>(context);
    BYTE buffer[8] = {};
    EXPECT_EQ(VTD_Read(handle, buffer, 8), 0u);
    EXPECT_EQ(VTD_Write(handle, buffer, 8), 0u);
    EXPECT_EQ(VTD_Seek(handle, 5, 0), 0xFFFFFFFFu);
    VTD_PowerUp(handle);
    VTD_PowerDown(handle);
    EXPECT_FALSE(VTD_Deinit(0));
    EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr));

    // The first open re-reads the stored trigger mode; the board keeps its.
    const std::u16string entry = DeviceEntry(DRIVER_KEY_VTC4100, context->deviceIndex);
    const auto setStored = [&](DWORD mode) {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, entry.c_str(), 0, KEY_ALL_ACCESS, &key),
                  static_cast<LONG>(ERROR_SUCCESS));
        RegSetValueExW(key, u"TriggerMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode), 4);
        RegCloseKey(key);
    };
    setStored(0x0C);
    EXPECT_EQ(VTD_Open(handle, 0, 0), handle);
    EXPECT_EQ(context->triggerMode, 0x0Cu);
    setStored(0x03);
    EXPECT_EQ(VTD_Open(handle, 0, 0), handle);  // a second open does not reload
    EXPECT_EQ(context->triggerMode, 0x0Cu);
    EXPECT_TRUE(VTD_Close(handle));
    EXPECT_TRUE(VTD_Close(handle));
    EXPECT_EQ(context->openCount, 0u);
    EXPECT_EQ(VTD_Open(handle, 0, 0), handle);
    EXPECT_EQ(context->triggerMode, 0x03u);
    EXPECT_EQ(board->triggerMode(), 5u);
    VTD_Close(handle);
    VTD_Deinit(handle);
}

// A stopped board raises nothing: the stop clears its interrupt enable
// register and acknowledges what was pending, so that no edge afterwards
// holds its (possibly shared) line asserted with nobody left to acknowledge
// it.
TEST_F(DirectEntry, AStoppedBoardRaisesNoInterrupt)
{
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    DeviceContext* context = Start();
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(EnableFirstEvent(context));
    ASSERT_EQ(board->interruptEnable(), 0x01);

    EXPECT_TRUE(VTD_Deinit(reinterpret_cast<DWORD_PTR>(context)));
    EXPECT_EQ(board->interruptEnable(), 0x00);
    board->setInputLine(0, 0, true);
    board->setInputLine(0, 0, false);
    EXPECT_FALSE(board->interruptAsserted());
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

// A stop whose interrupt thread does not end in time fails: it frees
// nothing that the thread may still use, says so in the debug output and
// leaves the board quiet; once the thread has ended, stopping again
// completes. The thread that the stop waits for here is one of the test's
// own, which ends only when told.
TEST_F(DirectEntry, AStopThatCannotEndItsThreadKeepsTheRecord)
{
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    DeviceContext* context = Start();
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(EnableFirstEvent(context));
    const DWORD_PTR handle = reinterpret_cast<DWORD_PTR>(context);

    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE stuck = CreateThread(
        nullptr, 0, [](LPVOID event) -> DWORD { return WaitForSingleObject(event, INFINITE); },
        release, 0, nullptr);
    HANDLE serviceThread = context->istThread;
    context->istThread = stuck;

    vtsim::ClearDebugLog();
    EXPECT_FALSE(VTD_Deinit(handle));
    EXPECT_NE(vtsim::DebugText().find("\n===VTD DEINIT interrupt thread still running"),
              std::string::npos);
    EXPECT_EQ(context->istThread, stuck) << "the record is kept, and what the thread uses";
    EXPECT_NE(context->interruptEvent, nullptr);
    EXPECT_EQ(board->interruptEnable(), 0x00);
    board->setInputLine(0, 0, true);
    board->setInputLine(0, 0, false);
    EXPECT_FALSE(board->interruptAsserted());

    // The thread ends (the real one did at the stop's request).
    SetEvent(release);
    EXPECT_EQ(WaitForSingleObject(stuck, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(serviceThread, 5000), WAIT_OBJECT_0);
    CloseHandle(serviceThread);
    CloseHandle(release);
    SetEvent(context->threadExitEvent);  // as an ending thread does
    EXPECT_TRUE(VTD_Deinit(handle));
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}
