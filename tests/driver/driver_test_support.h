// Helpers for the stream driver's tests: booting a simulated target, opening
// a board's device file, sending requests, reading the registry.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/control_codes.h"
#include "common/registry_layout.h"
#include "platform/device_file.h"
#include "platform/host/diagnostics.h"
#include "platform/host/machine.h"
#include "platform/host/registry_control.h"
#include "platform/host/target.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace drivertest {

inline std::u16string U16(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

inline std::string Utf8(const std::u16string& text)
{
    return std::string(text.begin(), text.end());
}

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

// Writes a registry script to a temporary file and returns its path.
inline std::string WriteScript(const std::string& name, const std::string& text)
{
    const std::string path = ::testing::TempDir() + "driver_test_" + name + ".reg";
    std::ofstream(path) << text;
    return path;
}

// The default scripts plus the given extra ones.
inline std::vector<std::string> ScriptsWith(const std::vector<std::string>& extra)
{
    std::vector<std::string> scripts = vtsim::DefaultRegistryScripts();
    scripts.insert(scripts.end(), extra.begin(), extra.end());
    return scripts;
}

// A PCI template that binds the "unknown" board model to the driver.
inline std::string UnknownBoardTemplateScript()
{
    return WriteScript("unknown_template",
                       "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RlxUnknown]\n"
                       "\"Dll\"=\"Rlx4100S.dll\"\n"
                       "\"Prefix\"=\"VTD\"\n"
                       "\"Order\"=dword:32\n"
                       "\"DeviceID\"=dword:7777\n"
                       "\"IsrDll\"=\"GenIsr.dll\"\n"
                       "\"IsrHandler\"=\"IsrHandler\"\n");
}

inline bool BootTarget(const vtsim::BootOptions& options)
{
    std::string error;
    vtsim::ClearDebugLog();
    const bool booted = vtsim::Boot(options, &error);
    EXPECT_TRUE(booted) << error;
    return booted;
}

inline vtsim::BootOptions MachineOf(std::vector<vtsim::BoardConfig> boards)
{
    vtsim::BootOptions options;
    options.machine.boards = std::move(boards);
    return options;
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

inline BOOL Ioctl(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                  DWORD outSize, DWORD* returned)
{
    return DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize, returned,
                           nullptr);
}

inline BoardInfoRecord BoardInfoOf(HANDLE device)
{
    BoardInfoRecord info{};
    DWORD returned = 0;
    EXPECT_TRUE(Ioctl(device, IOCTL_GET_BOARD_INFO, nullptr, 0, &info, sizeof(info), &returned));
    return info;
}

// An open device file, closed at the end of the scope.
class DeviceFile {
public:
    DeviceFile() = default;
    explicit DeviceFile(const std::u16string& name)
        : handle_(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr))
    {
    }
    DeviceFile(const DeviceFile&) = delete;
    DeviceFile& operator=(const DeviceFile&) = delete;
    DeviceFile(DeviceFile&& other) noexcept : handle_(other.handle_)
    {
        other.handle_ = INVALID_HANDLE_VALUE;
    }
    DeviceFile& operator=(DeviceFile&& other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    ~DeviceFile() { Close(); }
    void Close()
    {
        if (valid()) {
            CloseHandle(handle_);
        }
        handle_ = INVALID_HANDLE_VALUE;
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Opens the device of the board at the given slot (found by board info).
inline DeviceFile OpenBoardDevice(unsigned slot)
{
    for (const auto& device : vtsim::Devices()) {
        DeviceFile file(device.name);
        if (file.valid() && BoardInfoOf(file.get()).slotNumber == slot) {
            return file;
        }
    }
    ADD_FAILURE() << "no device for slot " << slot;
    return DeviceFile();
}

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

inline bool ReadDword(const std::u16string& path, const char16_t* name, DWORD* value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD size = sizeof(*value);
    const LONG status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD;
}

inline std::u16string ReadString(const std::u16string& path, const char16_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return u"<no key>";
    }
    char16_t text[128] = {};
    DWORD type = 0;
    DWORD size = sizeof(text) - sizeof(char16_t);
    const LONG status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(text), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        return u"<no value>";
    }
    return text;
}

inline std::u16string DeviceEntry(const char16_t* keyPath, int number)
{
    char16_t path[300];
    StringCchPrintfW(path, 300, DEVICE_SUBKEY_FORMAT, keyPath, number);
    return path;
}

inline const char16_t* DRIVER_KEY_VTC4100 = u"SYSTEM\\CurrentControlSet\\Services\\RLX4100S";
inline const char16_t* DRIVER_KEY_VTC4100E = u"SYSTEM\\CurrentControlSet\\Services\\RLX4100ES";
inline const char16_t* DRIVER_KEY_VTM6200K = u"SYSTEM\\CurrentControlSet\\Services\\RLX6200KS";

// The device number under which a board at (bus, slot) is published in a
// driver key, or -1.
inline int DeviceNumberOf(const char16_t* driverKey, DWORD bus, DWORD slot)
{
    for (int number = 0; number <= 254; ++number) {
        DWORD b = 0, s = 0;
        const std::u16string path = DeviceEntry(driverKey, number);
        if (ReadDword(path, u"BusNumber", &b) && ReadDword(path, u"SlotNumber", &s) && b == bus &&
            s == slot) {
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
    std::vector<std::string> entries = vtsim::DebugEntries();
    return std::vector<std::string>(entries.begin() + static_cast<long>(std::min(from, entries.size())),
                                    entries.end());
}

}  // namespace drivertest
