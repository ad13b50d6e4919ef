#include "tools/vtdio/target.h"

#include <algorithm>

#include "common/board_types.h"
#include "common/registry_layout.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/target.h"
#include "platform/registry.h"
#include "tools/vtdio/numbers.h"

namespace vtdio {
namespace {

std::string Narrow(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::u16string Widen(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

// A registry key handle that closes itself.
class Key {
public:
    explicit Key(const std::u16string& path)
    {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key()
    {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    bool ok() const { return key_ != nullptr; }

    bool Dword(const char16_t* name, std::uint32_t* value) const
    {
        DWORD type = 0;
        DWORD data = 0;
        DWORD size = sizeof data;
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof data)
            return false;
        *value = data;
        return true;
    }
    bool String(const char16_t* name, std::string* value) const
    {
        WCHAR data[128] = {};
        DWORD type = 0;
        DWORD size = sizeof data - sizeof(WCHAR);  // keep a terminator
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
            return false;
        *value = Narrow(std::u16string(data));
        return true;
    }
    std::vector<std::u16string> Subkeys() const
    {
        std::vector<std::u16string> names;
        for (DWORD index = 0;; ++index) {
            WCHAR name[256];
            DWORD chars = 256;
            const LONG result = RegEnumKeyExW(key_, index, name, &chars, nullptr, nullptr,
                                              nullptr, nullptr);
            if (result == static_cast<LONG>(ERROR_MORE_DATA))
                continue;
            if (result != ERROR_SUCCESS)
                break;
            names.emplace_back(name, chars);
        }
        return names;
    }

private:
    HKEY key_ = nullptr;
};

// "Device007" -> 7; false for any other name.
bool DeviceNumberFromSubkey(const std::u16string& name, unsigned* number)
{
    const std::string text = Narrow(name);
    if (text.size() != 9 || text.compare(0, 6, "Device") != 0)
        return false;
    std::uint64_t value;
    if (!ParseUnsigned(text.substr(6), MAX_DEVICE_NUMBER, &value))
        return false;
    *number = static_cast<unsigned>(value);
    return true;
}

bool SameModel(vtsim::BoardModel model, std::uint32_t boardType)
{
    switch (model) {
    case vtsim::BoardModel::VTC4100: return boardType == BOARD_TYPE_VTC4100;
    case vtsim::BoardModel::VTC4100E: return boardType == BOARD_TYPE_VTC4100E;
    case vtsim::BoardModel::VTM6200K: return boardType == BOARD_TYPE_VTM6200K;
    default: return false;
    }
}

}  // namespace

const char* ModelOfBoardType(std::uint32_t boardType)
{
    switch (boardType) {
    case BOARD_TYPE_VTC4100: return "VTC-4100";
    case BOARD_TYPE_VTC4100E: return "VTC-4100E";
    case BOARD_TYPE_VTM6200K: return "VTM-6200K";
    default: return "unknown";
    }
}

Target::~Target()
{
    Shutdown();
}

bool Target::Boot(const TargetOptions& options, std::string* error)
{
    vtsim::BootOptions boot;
    if (!options.machineFile.empty() &&
        !vtsim::MachineDescription::FromTomlFile(options.machineFile, &boot.machine, error))
        return false;
    if (options.loopbackEverywhere) {
        for (vtsim::BoardConfig& board : boot.machine.boards)
            board.loopback = true;
    }
    boot.registryScripts = options.registryFiles;
    boot.hiveFile = options.hiveFile;
    boot.echoDebug = options.debug;
    vtsim::SetDebugEcho(options.debug);
    if (!vtsim::Boot(boot, error))
        return false;
    booted_ = true;
    return true;
}

void Target::Shutdown()
{
    if (booted_) {
        vtsim::Shutdown();
        booted_ = false;
    }
}

std::vector<PublishedDevice> Target::PublishedDevices() const
{
    std::vector<PublishedDevice> devices;
    const Key list(DEVICE_LIST_KEY);
    if (!list.ok())
        return devices;
    for (const std::u16string& subkey : list.Subkeys()) {
        PublishedDevice device;
        if (!DeviceNumberFromSubkey(subkey, &device.number))
            continue;
        const Key entry(std::u16string(DEVICE_LIST_KEY) + u"\\" + subkey);
        if (!entry.ok())
            continue;
        entry.Dword(VAL_BOARD_ID, &device.boardType);
        entry.String(VAL_DEVICE_NAME, &device.deviceName);
        entry.String(VAL_KERNEL_KEY, &device.kernelKey);
        // The full entry lives under the model's driver key.
        const Key driver(u"SYSTEM\\CurrentControlSet\\Services\\" + Widen(device.kernelKey) +
                         u"\\" + subkey);
        if (driver.ok()) {
            device.complete = driver.Dword(VAL_BOARD_ID, &device.boardType) &
                              driver.String(VAL_CALL_NAME, &device.callName) &
                              driver.Dword(VAL_SWITCH_ID, &device.switchId) &
                              driver.Dword(VAL_BASE_ADDRESS, &device.baseAddress) &
                              driver.Dword(VAL_IO_PORT_COUNT, &device.ioPortCount) &
                              driver.Dword(VAL_SYSTEM_IRQ, &device.irq) &
                              driver.Dword(VAL_TRIGGER_MODE, &device.triggerMode) &
                              driver.Dword(VAL_BUS_NUMBER, &device.bus) &
                              driver.Dword(VAL_SLOT_NUMBER, &device.slot);
            driver.String(VAL_DEVICE_NAME, &device.deviceName);
        }
        devices.push_back(device);
    }
    std::sort(devices.begin(), devices.end(),
              [](const PublishedDevice& a, const PublishedDevice& b) { return a.number < b.number; });
    return devices;
}

vtsim::Board* Target::FindBoard(const std::string& selector, std::string* error) const
{
    const std::vector<vtsim::Board*> boards = vtsim::Boards();
    std::uint64_t value;
    if (!selector.empty() && selector[0] == '@') {
        if (ParseUnsigned(selector.substr(1), 0xFFFF, &value) && value < boards.size())
            return boards[value];
        *error = "no board " + selector + " (the machine has " + std::to_string(boards.size()) +
                 " boards, numbered from @0)";
        return nullptr;
    }
    if (!ParseUnsigned(selector, MAX_DEVICE_NUMBER, &value)) {
        *error = "'" + selector + "' is neither a device number (0 to 254) nor a board (@0, @1, ...)";
        return nullptr;
    }
    for (const PublishedDevice& device : PublishedDevices()) {
        if (device.number != value)
            continue;
        for (vtsim::Board* board : boards) {
            const vtsim::BoardConfig& config = board->config();
            if (config.bus == device.bus && config.slot == device.slot &&
                SameModel(config.model, device.boardType))
                return board;
        }
    }
    *error = "no board of this machine is published as device " + selector;
    return nullptr;
}

int Target::DeviceNumberOf(const vtsim::Board* board) const
{
    const vtsim::BoardConfig& config = board->config();
    for (const PublishedDevice& device : PublishedDevices()) {
        if (config.bus == device.bus && config.slot == device.slot &&
            SameModel(config.model, device.boardType))
            return static_cast<int>(device.number);
    }
    return -1;
}

}  // namespace vtdio
