// Helpers for the driver library's tests: a booted default target with its
// three boards, their device numbers and registry entries.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/registry_layout.h"
#include "library/include/rlx4100.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/target.h"
#include "platform/host/control/ui_driver.h"
#include "platform/kernel.h"
#include "platform/registry.h"
#include "platform/ui.h"

namespace librarytest {

// The default machine: a VTC-4100 at slot 5 (I/O E800), a VTC-4100E at slot 6
// (E400), a VTM-6200K at slot 7 (E000), each with 0x20 ports.
constexpr unsigned VTC4100_SLOT = 5;
constexpr unsigned VTC4100E_SLOT = 6;
constexpr unsigned VTM6200K_SLOT = 7;
constexpr DWORD VTC4100_BASE = 0xE800;
constexpr DWORD IO_LENGTH = 0x20;

inline std::u16string EntryPath(const char16_t* keyPath, DWORD number)
{
    char16_t path[300];
    StringCchPrintfW(path, 300, DEVICE_SUBKEY_FORMAT, keyPath, static_cast<int>(number));
    return path;
}

inline bool ReadDword(const std::u16string& path, const char16_t* name, DWORD* value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0, size = sizeof(*value);
    const LONG status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

inline void WriteValue(const std::u16string& path, const char16_t* name, DWORD type,
                       const void* data, DWORD size)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// A booted default target; device numbers of its boards found by slot.
class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(vtsim::Boot(vtsim::BootOptions{}, &error)) << error;
        vtsim::ClearMessageBoxes();
        for (unsigned slot : {VTC4100_SLOT, VTC4100E_SLOT, VTM6200K_SLOT}) {
            ASSERT_NE(NumberOfSlot(slot), NOT_FOUND) << "no entry for slot " << slot;
        }
    }
    void TearDown() override
    {
        vtsim::Shutdown();
    }

    static constexpr DWORD NOT_FOUND = 0xFFFFFFFF;

    // The device number of the board at a slot and the driver key holding it.
    static DWORD NumberOfSlot(unsigned slot, const char16_t** driverKey = nullptr)
    {
        for (const char16_t* key : DRIVER_KEY_SEARCH_ORDER) {
            for (DWORD number = 0; number <= MAX_DEVICE_NUMBER; ++number) {
                DWORD s = 0;
                if (ReadDword(EntryPath(key, number), u"SlotNumber", &s) && s == slot) {
                    if (driverKey != nullptr) {
                        *driverKey = key;
                    }
                    return number;
                }
            }
        }
        return NOT_FOUND;
    }

    static vtsim::Board* BoardAt(unsigned slot)
    {
        for (vtsim::Board* board : vtsim::Boards()) {
            if (board->config().slot == slot) {
                return board;
            }
        }
        return nullptr;
    }

    // Opens the board at a slot; the handle is closed by the caller.
    static LONG Open(unsigned slot)
    {
        LONG handle = 0;
        EXPECT_EQ(DeviceOpen(NumberOfSlot(slot), &handle), API_SUCCESS);
        return handle;
    }

    static LONG Status(unsigned slot, DWORD reason)
    {
        return ApiDeviceStatus(NumberOfSlot(slot), reason);
    }
};

// The default target with the VTC-4100 and the VTM-6200K open.
class OpenBoards : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        vtc = Open(VTC4100_SLOT);
        vtm = Open(VTM6200K_SLOT);
        vtcBoard = BoardAt(VTC4100_SLOT);
        vtmBoard = BoardAt(VTM6200K_SLOT);
    }
    void TearDown() override
    {
        DeviceClose(&vtc);
        DeviceClose(&vtm);
        LibraryTest::TearDown();
    }
    LONG vtc = 0, vtm = 0;
    vtsim::Board* vtcBoard = nullptr;
    vtsim::Board* vtmBoard = nullptr;
};

}  // namespace librarytest
