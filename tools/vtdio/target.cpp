#include "tools/vtdio/target.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "common/board_types.h"
#include "common/registry_layout.h"
#include "platform/host/control/target.h"
#include "platform/host/control/text.h"
#include "platform/registry.h"
#include "tools/common/numbers.h"

namespace vtdio {
namespace {

using vttools::ParseUnsigned;

// A registry key handle that closes itself.
class Key {
public:
    explicit Key(const std::u16string& path)
    {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~Key()
    {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    bool ok() const
    {
        return key_ != nullptr;
    }

    bool Dword(const char16_t* name, std::uint32_t* value) const
    {
        DWORD type = 0;
        DWORD data = 0;
        DWORD size = sizeof data;
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof data) {
            return false;
        }
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
            type != REG_SZ) {
            return false;
        }
        *value = vtsim::Utf8FromUtf16(data);
        return true;
    }
    std::vector<std::u16string> Subkeys() const
    {
        std::vector<std::u16string> names;
        for (DWORD index = 0;; ++index) {
            WCHAR name[256];
            DWORD chars = 256;
            const LONG result =
                RegEnumKeyExW(key_, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
            if (result == static_cast<LONG>(ERROR_MORE_DATA)) {
                continue;
            }
            if (result != ERROR_SUCCESS) {
                break;
            }
            names.emplace_back(name, chars);
        }
        return names;
    }

private:
    HKEY key_ = nullptr;
};

// A board of the machine description is of the board type published: the
// simulated target names its models as the board table does.
bool SameModel(vtsim::BoardModel model, std::uint32_t boardType)
{
    return IsKnownBoardType(boardType) &&
           std::strcmp(vtsim::ModelName(model), BoardTypeInfoOf(boardType).modelName) == 0;
}

// The values of a device's entry of the given subkey name under its model's
// driver key, where the driver keeps the full entry; false when the model
// is unknown or a value is missing.
bool ReadDriverEntry(const std::u16string& subkey, PublishedDevice* device)
{
    const ModelNames* names = NamesOf(device->boardType);
    if (names == nullptr) {
        return false;
    }
    const Key driver(std::u16string(names->driverKey) + u"\\" + subkey);
    if (!driver.ok()) {
        return false;
    }
    // Every value is read, also after a missing one, so that the device
    // shows whatever its entry holds.
    const bool found[] = {driver.Dword(VAL_BOARD_ID, &device->boardType),
                          driver.String(VAL_CALL_NAME, &device->callName),
                          driver.Dword(VAL_SWITCH_ID, &device->switchId),
                          driver.Dword(VAL_BASE_ADDRESS, &device->baseAddress),
                          driver.Dword(VAL_IO_PORT_COUNT, &device->ioPortCount),
                          driver.Dword(VAL_SYSTEM_IRQ, &device->irq),
                          driver.Dword(VAL_TRIGGER_MODE, &device->triggerMode),
                          driver.Dword(VAL_BUS_NUMBER, &device->bus),
                          driver.Dword(VAL_SLOT_NUMBER, &device->slot)};
    const bool complete = std::all_of(std::begin(found), std::end(found), [](bool f) { return f; });
    driver.String(VAL_DEVICE_NAME, &device->deviceName);
    return complete;
}

// The PCI instance key that bus enumeration wrote for the board, or "".
std::u16string InstanceKeyOf(const vtsim::BoardConfig& config)
{
    const std::u16string instances = u"Drivers\\BuiltIn\\PCI\\Instance";
    const Key parent(instances);
    if (!parent.ok()) {
        return {};
    }
    for (const std::u16string& name : parent.Subkeys()) {
        const std::u16string path = instances + u"\\" + name;
        const Key instance(path);
        std::uint32_t bus = 0, slot = 0, function = 0;
        if (instance.ok() && instance.Dword(u"BusNumber", &bus) &&
            instance.Dword(u"DeviceNumber", &slot) &&
            instance.Dword(u"FunctionNumber", &function) && bus == config.bus &&
            slot == config.slot && function == config.function) {
            return path;
        }
    }
    return {};
}

}  // namespace

std::string Target::WhyNoDevice(const vtsim::Board* board) const
{
    const std::u16string instance = InstanceKeyOf(board->config());
    if (instance.empty()) {
        return "no driver template matches the board (is its package among the registry "
               "scripts?)";
    }
    const std::string instanceText = vtsim::Utf8FromUtf16(instance);
    for (const std::string& failure : vtsim::DriverLoadFailures()) {
        const std::size_t at = failure.find(instanceText + ": ");
        if (at != std::string::npos) {
            return "the driver did not load: " + failure.substr(at + instanceText.size() + 2);
        }
    }
    for (const vtsim::LoadedDevice& device : vtsim::Devices()) {
        if (device.deviceKey == instance) {
            return "the driver runs as " + vtsim::Utf8FromUtf16(device.name) +
                   " but published no device number (--debug shows why)";
        }
    }
    return "no driver was loaded for it";
}

std::vector<PublishedDevice> Target::PublishedDevices() const
{
    std::vector<PublishedDevice> devices;
    const Key list(DEVICE_LIST_KEY);
    if (!list.ok()) {
        return devices;
    }
    for (const std::u16string& subkey : list.Subkeys()) {
        PublishedDevice device;
        DWORD number = 0;
        if (!ParseDeviceSubkeyName(subkey.c_str(), &number)) {
            continue;
        }
        device.number = number;
        const Key entry(std::u16string(DEVICE_LIST_KEY) + u"\\" + subkey);
        if (!entry.ok()) {
            continue;
        }
        entry.Dword(VAL_BOARD_ID, &device.boardType);
        entry.String(VAL_DEVICE_NAME, &device.deviceName);
        device.complete = ReadDriverEntry(subkey, &device);
        devices.push_back(device);
    }
    std::sort(
        devices.begin(), devices.end(),
        [](const PublishedDevice& a, const PublishedDevice& b) { return a.number < b.number; });
    return devices;
}

vtsim::Board* Target::FindBoard(const std::string& selector, std::string* error) const
{
    const std::vector<vtsim::Board*> boards = vtsim::Boards();
    std::uint64_t value;
    if (!selector.empty() && selector[0] == '@') {
        if (ParseUnsigned(selector.substr(1), 0xFFFF, &value) && value < boards.size()) {
            return boards[value];
        }
        *error = "no board " + selector + " (the machine has " + std::to_string(boards.size()) +
                 " boards, numbered from @0)";
        return nullptr;
    }
    if (!ParseUnsigned(selector, MAX_DEVICE_NUMBER, &value)) {
        *error = "'" + selector + "' is neither a device number (0 to " +
                 std::to_string(MAX_DEVICE_NUMBER) + ") nor a board (@0, @1, ...)";
        return nullptr;
    }
    for (const PublishedDevice& device : PublishedDevices()) {
        if (device.number != value) {
            continue;
        }
        for (vtsim::Board* board : boards) {
            const vtsim::BoardConfig& config = board->config();
            if (config.bus == device.bus && config.slot == device.slot &&
                SameModel(config.model, device.boardType)) {
                return board;
            }
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
            SameModel(config.model, device.boardType)) {
            return static_cast<int>(device.number);
        }
    }
    return -1;
}

}  // namespace vtdio
