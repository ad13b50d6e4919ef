// Device connections: opening by device number, sharing, closing, stale
// handles, the registry check and the features record.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>

#include "library_test_support.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/registry_control.h"

using namespace librarytest;

namespace {

using Connections = LibraryTest;

TEST_F(Connections, OpensOfOneDeviceShareAConnectionUntilTheLastClose)
{
    // Every close makes the driver close its named events: count from a
    // state where they are closed.
    LONG first = Open(VTC4100_SLOT);
    ASSERT_EQ(DeviceClose(&first), API_SUCCESS);
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    first = Open(VTC4100_SLOT);
    LONG second = Open(VTC4100_SLOT);
    ASSERT_NE(first, 0);
    EXPECT_EQ(second, first);
    const LONG copy = first;

    EXPECT_EQ(DeviceClose(&first), API_SUCCESS);
    EXPECT_EQ(first, 0);
    BYTE value = 0;
    EXPECT_EQ(DioReadPortByte(second, 0, &value), API_SUCCESS);

    EXPECT_EQ(DeviceClose(&second), API_SUCCESS);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());

    // The released handle is refused everywhere, also once the device is
    // open again under a new handle.
    LONG stale = copy;
    EXPECT_EQ(DeviceClose(&stale), API_INVALID_HANDLE);
    EXPECT_EQ(stale, copy);
    EXPECT_EQ(DeviceClose(&first), API_INVALID_HANDLE);  // holds 0
    LONG reopened = Open(VTC4100_SLOT);
    EXPECT_NE(reopened, copy);
    WORD type = 0;
    DWORD length = 4;
    EXPECT_EQ(DioReadPortByte(copy, 0, &value), API_INVALID_HANDLE);
    EXPECT_EQ(CheckEvent(copy, &type, 0), API_INVALID_HANDLE);
    EXPECT_EQ(DeviceGetProperty(copy, PROP_BOARD_TYPE, nullptr, &length), API_INVALID_HANDLE);
    EXPECT_EQ(DioReadPortByte(0x12345, 0, &value), API_INVALID_HANDLE);  // never issued
    EXPECT_EQ(DioReadPortByte(reopened, 0, &value), API_SUCCESS);
    EXPECT_EQ(DeviceClose(&reopened), API_SUCCESS);
}

TEST_F(Connections, MissingEntryShowsTheMessageBoxAtEveryOpen)
{
    LONG handle = 77;
    EXPECT_EQ(DeviceOpen(200, &handle), API_CONFIG_NOT_FOUND);
    EXPECT_EQ(handle, 77);
    const auto boxes = vtsim::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"DeviceOpen");
    EXPECT_EQ(boxes[0].caption, u"Error");
    EXPECT_EQ(boxes[0].type, MB_OK);
    EXPECT_EQ(DeviceOpen(200, nullptr), ApiDeviceStatus(200, API_INVALID_PARAMETER));

    // The entry is read at every open, also of a device already open.
    handle = Open(VTM6200K_SLOT);
    const DWORD number = NumberOfSlot(VTM6200K_SLOT);
    vtsim::ResetRegistry();
    LONG again = 0;
    EXPECT_EQ(DeviceOpen(number, &again), API_CONFIG_NOT_FOUND);
    EXPECT_EQ(vtsim::MessageBoxes().size(), 2u);
    EXPECT_EQ(DeviceClose(&handle), API_SUCCESS);
}

// Numbers that no device entry can have (the registry layout holds 0 to
// 254) get the plain status of a missing entry, never a device-qualified
// one, whose arithmetic would overflow: 524287 would give -2147483638.
TEST_F(Connections, ImpossibleDeviceNumbersGetAPlainStatus)
{
    for (DWORD number : {255u, 1000u, 524287u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(DeviceOpen(number, nullptr), API_CONFIG_NOT_FOUND);
        LONG handle = 77;
        EXPECT_EQ(DeviceOpen(number, &handle), API_CONFIG_NOT_FOUND);
        EXPECT_EQ(handle, 77);
    }
    // Even when the registry holds a subkey of that number, it names no device.
    const DWORD number = NumberOfSlot(VTC4100_SLOT);
    const std::u16string source = EntryPath(DRIVER_KEY_SEARCH_ORDER[0], number);
    const std::u16string copy = EntryPath(DRIVER_KEY_SEARCH_ORDER[0], 1000);
    for (const char16_t* name :
         {u"BoardID", u"SwitchID", u"BaseAddress", u"SystemIRQ", u"IoPortCount", u"BusNumber",
          u"SlotNumber", u"OnSystem", u"AllowConflicts", u"TriggerMode"}) {
        DWORD value = 0;
        ASSERT_TRUE(ReadDword(source, name, &value));
        WriteValue(copy, name, REG_DWORD, &value, sizeof(value));
    }
    HKEY key = nullptr;
    char16_t callName[16] = {};
    DWORD size = sizeof(callName);
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, source.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegQueryValueExW(key, u"CallName", nullptr, nullptr,
                               reinterpret_cast<LPBYTE>(callName), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    WriteValue(copy, u"CallName", REG_SZ, callName, size);
    LONG handle = 0;
    EXPECT_EQ(DeviceOpen(1000, &handle), API_CONFIG_NOT_FOUND);
    EXPECT_EQ(handle, 0);
}

TEST_F(Connections, NoLockIsHeldWhileTheMessageBoxIsUp)
{
    // While DeviceOpen's box is up, another thread closes a device and code
    // run from the box's message loop opens and closes one.
    LONG other = Open(VTM6200K_SLOT);
    LONG reentered = 0;
    vtsim::SetMessageBoxHook([&](const vtsim::MessageBoxRecord&) {
        auto closing = std::async(std::launch::async, [&] { return DeviceClose(&other); });
        if (closing.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            std::fputs("DeviceClose in another thread waited for the message box\n", stderr);
            std::abort();  // the close can never finish while this box is up
        }
        EXPECT_EQ(closing.get(), API_SUCCESS);
        EXPECT_EQ(DeviceOpen(NumberOfSlot(VTC4100_SLOT), &reentered), API_SUCCESS);
        EXPECT_EQ(DeviceClose(&reentered), API_SUCCESS);
        return IDOK;
    });
    LONG handle = 0;
    EXPECT_EQ(DeviceOpen(200, &handle), API_CONFIG_NOT_FOUND);
    vtsim::SetMessageBoxHook(nullptr);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(reentered, 0);
    EXPECT_EQ(vtsim::MessageBoxes().size(), 1u);
}

TEST_F(Connections, OpenFailuresReleaseEverything)
{
    const char16_t* driverKey = nullptr;
    const DWORD number = NumberOfSlot(VTC4100_SLOT, &driverKey);
    const std::u16string entry = EntryPath(driverKey, number);
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    LONG handle = 0;

    const vtsim::Fault faults[] = {vtsim::Fault::Allocation, vtsim::Fault::EventCreation,
                                   vtsim::Fault::DeviceOpen};
    const DWORD reasons[] = {API_ALLOC_FAILED, API_ALLOC_FAILED, API_DRIVER_OPEN_FAILED};
    for (int i = 0; i < 3; ++i) {
        vtsim::ArmFault(faults[i], 1);
        EXPECT_EQ(DeviceOpen(number, &handle), ApiDeviceStatus(number, reasons[i])) << i;
        EXPECT_TRUE(vtsim::FaultFired(faults[i])) << i;
        EXPECT_EQ(vtsim::GetLiveCounts(), before) << i;
    }

    // The board reports slot 5 while the entry says 4.
    const DWORD wrongSlot = VTC4100_SLOT - 1;
    WriteValue(entry, u"SlotNumber", REG_DWORD, &wrongSlot, sizeof(wrongSlot));
    EXPECT_EQ(DeviceOpen(number, &handle), ApiDeviceStatus(number, API_DRIVER_OPEN_FAILED));
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
    const DWORD slot = VTC4100_SLOT;
    WriteValue(entry, u"SlotNumber", REG_DWORD, &slot, sizeof(slot));

    // The entry names a stream device that no driver serves.
    const char16_t missing[] = u"VTD9:";
    WriteValue(entry, u"CallName", REG_SZ, missing, sizeof(missing));
    EXPECT_EQ(DeviceOpen(number, &handle), ApiDeviceStatus(number, API_DRIVER_OPEN_FAILED));
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
    EXPECT_EQ(handle, 0);
}

TEST_F(Connections, FeaturesDescribeTheBoardFamily)
{
    LONG vtc4100e = Open(VTC4100E_SLOT);
    LONG vtm = Open(VTM6200K_SLOT);
    BYTE record[DEVICE_FEATURES_SIZE];
    auto u32 = [&](unsigned offset) {
        DWORD value;
        std::memcpy(&value, record + offset, 4);
        return value;
    };
    auto u16 = [&](unsigned offset) {
        return WORD(record[offset] | record[offset + 1] << 8);
    };

    std::memset(record, 0xCC, sizeof(record));
    ASSERT_EQ(DeviceGetFeatures(vtc4100e, record, sizeof(record)), API_SUCCESS);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(record)), u"Ver 1.0");
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(record + 16)), u"RLX4100.DLL");
    EXPECT_EQ(u32(48), 135u);
    EXPECT_EQ(u16(58), 32);
    EXPECT_EQ(u16(60), 32);
    EXPECT_EQ(u16(62), 1);
    EXPECT_EQ(u32(784), 0x1500u);
    EXPECT_EQ(u32(788), 0u);
    EXPECT_EQ(record[100], 0);

    ASSERT_EQ(DeviceGetFeatures(vtm, record, sizeof(record)), API_SUCCESS);
    EXPECT_EQ(u32(48), 221u);
    EXPECT_EQ(u16(58), 16);

    EXPECT_EQ(DeviceGetFeatures(vtm, nullptr, 800), Status(VTM6200K_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(DeviceGetFeatures(vtm, record, 799), Status(VTM6200K_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(DeviceGetFeatures(0, record, 800), API_INVALID_HANDLE);
    EXPECT_EQ(DeviceClose(&vtc4100e), API_SUCCESS);
    EXPECT_EQ(DeviceClose(&vtm), API_SUCCESS);
}

}  // namespace
