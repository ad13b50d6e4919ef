// Helpers for the stream driver's tests: booting a simulated target, opening
// a board's device file, sending requests, reading the registry.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/control_codes.h"
#include "common/registry_layout.h"
#include "platform/device_file.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/registry_control.h"
#include "platform/host/control/target.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace drivertest {

inline const char16_t* DRIVER_KEY_VTC4100 = u"SYSTEM\\CurrentControlSet\\Services\\RLX4100S";
inline const char16_t* DRIVER_KEY_VTC4100E = u"SYSTEM\\CurrentControlSet\\Services\\RLX4100ES";
inline const char16_t* DRIVER_KEY_VTM6200K = u"SYSTEM\\CurrentControlSet\\Services\\RLX6200KS";

inline vtsim::BoardConfig Board(vtsim::BoardModel model, unsigned slot, unsigned switchId,
                                unsigned ioBase, unsigned irq)
{
    vtsim::BoardConfig board;
    board.model = model;
    board.slot = slot;
    board.switchId = static_cast<std::uint8_t>(switchId);
    board.ioBase = ioBase;
    board.irq = irq;
    return board;
}

inline vtsim::BootOptions MachineOf(std::vector<vtsim::BoardConfig> boards)
{
    vtsim::BootOptions options;
    options.machine.boards = std::move(boards);
    return options;
}

// Writes a registry script to a temporary file and returns its path. The
// file is named after the running test as well, so that tests running in
// parallel processes never rewrite a script another one is booting from.
inline std::string WriteScript(const std::string& name, const std::string& text)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string owner =
        test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "none";
    const std::string path = ::testing::TempDir() + "driver_test_" + owner + "_" + name + ".reg";
    std::ofstream(path) << text;
    return path;
}

inline bool BootTarget(const vtsim::BootOptions& options)
{
    std::string error;
    vtsim::ClearDebugLog();
    const bool booted = vtsim::Boot(options, &error);
    EXPECT_TRUE(booted) << error;
    return booted;
}

inline vtsim::Board* BoardAtSlot(unsigned slot)
{
    for (vtsim::Board* board : vtsim::Boards()) {
        if (board->config().slot == slot) {
            return board;
        }
    }
    return nullptr;
}

inline BOOL Ioctl(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                  DWORD* returned = nullptr)
{
    DWORD ignored = 0;
    return DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize,
                           returned ? returned : &ignored, nullptr);
}

inline BOOL EnableEvent(HANDLE device, WORD eventIndex, DWORD count, BYTE flag = 1)
{
    EventEnableRecord record{};
    record.enable = flag;
    record.eventIndex = eventIndex;
    record.count = count;
    return Ioctl(device, IOCTL_DIO_ENABLE_EVENT, &record, sizeof(record), nullptr, 0);
}

// An open device file, closed at the end of the scope.
class DeviceFile {
public:
    DeviceFile() = default;
    explicit DeviceFile(const std::u16string& name)
        : handle_(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr))
    {}
    DeviceFile(DeviceFile&& other) noexcept : handle_(other.handle_)
    {
        other.handle_ = INVALID_HANDLE_VALUE;
    }
    DeviceFile& operator=(DeviceFile&& other) noexcept
    {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~DeviceFile()
    {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    bool valid() const
    {
        return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr;
    }
    HANDLE get() const
    {
        return handle_;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

inline BoardInfoRecord BoardInfoOf(HANDLE device)
{
    BoardInfoRecord info{};
    EXPECT_TRUE(Ioctl(device, IOCTL_GET_BOARD_INFO, nullptr, 0, &info, sizeof(info)));
    return info;
}

// The device file name of the board at the given slot (found by board info).
inline std::u16string DeviceNameOfSlot(unsigned slot)
{
    for (const auto& device : vtsim::Devices()) {
        DeviceFile file(device.name);
        if (file.valid() && BoardInfoOf(file.get()).slotNumber == slot) {
            return device.name;
        }
    }
    return u"";
}

inline DeviceFile OpenBoardDevice(unsigned slot)
{
    return DeviceFile(DeviceNameOfSlot(slot));
}

// ---- Registry ---------------------------------------------------------------------

inline bool KeyExists(const std::u16string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// A value of the given type, or an empty string when it is missing.
inline std::u16string ReadValue(const std::u16string& path, const char16_t* name, DWORD wanted)
{
    HKEY key = nullptr;
    char16_t data[128] = {};
    DWORD type = 0;
    DWORD size = sizeof(data) - sizeof(char16_t);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return u"";
    }
    const LONG status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != wanted) {
        return u"";
    }
    return wanted == REG_SZ ? std::u16string(data) : std::u16string(data, size / 2);
}

inline bool ReadDword(const std::u16string& path, const char16_t* name, DWORD* value)
{
    const std::u16string data = ReadValue(path, name, REG_DWORD);
    if (data.size() != 2) {
        return false;
    }
    *value = static_cast<DWORD>(data[0]) | (static_cast<DWORD>(data[1]) << 16);
    return true;
}

inline std::u16string ReadString(const std::u16string& path, const char16_t* name)
{
    return ReadValue(path, name, REG_SZ);
}

inline std::u16string DeviceEntry(const char16_t* keyPath, int number)
{
    char16_t path[300];
    StringCchPrintfW(path, 300, DEVICE_SUBKEY_FORMAT, keyPath, number);
    return path;
}

// The device number under which a board at (bus 0, slot) is published in a
// driver key, or -1.
inline int DeviceNumberOf(const char16_t* driverKey, DWORD slot)
{
    for (int number = 0; number <= 254; ++number) {
        DWORD value = 0;
        if (ReadDword(DeviceEntry(driverKey, number), u"SlotNumber", &value) && value == slot) {
            return number;
        }
    }
    return -1;
}

inline std::u16string EventName(int eventIndex, int deviceNumber)
{
    char16_t name[64];
    StringCchPrintfW(name, 64, INTERRUPT_EVENT_NAME_FORMATS[eventIndex], deviceNumber);
    return name;
}

// The debug entries that appeared since `from`.
inline std::vector<std::string> DebugSince(std::size_t from)
{
    const std::vector<std::string> entries = vtsim::DebugEntries();
    return std::vector<std::string>(entries.begin() + static_cast<long>(from), entries.end());
}

}  // namespace drivertest
