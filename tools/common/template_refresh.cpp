#include "tools/common/template_refresh.h"

#include <cstdio>
#include <string_view>

#include "common/board_types.h"
#include "common/registry_layout.h"
#include "platform/registry.h"

namespace vttools {

namespace {

// A registry key handle that closes itself.
class OpenKey {
public:
    explicit OpenKey(const std::u16string& path, REGSAM access = KEY_READ)
    {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~OpenKey()
    {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

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
    bool SetDword(const char16_t* name, std::uint32_t value) const
    {
        const DWORD data = value;
        return RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                              sizeof data) == ERROR_SUCCESS;
    }
    // The subkey names in enumeration order; names longer than the driver
    // examines (31 characters) are passed over, as the driver does.
    std::vector<std::u16string> Subkeys() const
    {
        std::vector<std::u16string> names;
        for (DWORD index = 0;; ++index) {
            WCHAR name[32];
            DWORD chars = 32;
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

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// The driver's test for a template subkey: the tag anywhere in the name,
// in any case.
bool ContainsTag(std::u16string_view name, std::u16string_view tag)
{
    for (std::size_t start = 0; start + tag.size() <= name.size(); ++start) {
        std::size_t i = 0;
        while (i < tag.size() && Lower(name[start + i]) == Lower(tag[i])) {
            ++i;
        }
        if (i == tag.size()) {
            return true;
        }
    }
    return false;
}

std::u16string SubkeyPath(const char16_t* key, const std::u16string& name)
{
    return std::u16string(key) + u"\\" + name;
}

}  // namespace

TemplateRefresh::Offers TemplateRefresh::ReadOffers()
{
    Offers offers;
    for (const BoardTypeInfo& model : BOARD_TYPES) {
        const ModelNames* names = NamesOf(model.boardType);
        const OpenKey templates(names->templateKey);
        if (!templates.ok()) {
            continue;
        }
        std::map<std::uint32_t, std::uint32_t>& bySwitch = offers[model.boardType];
        for (const std::u16string& name : templates.Subkeys()) {
            if (!ContainsTag(name, TEMPLATE_SUBKEY_TAG)) {
                continue;
            }
            const OpenKey entry(SubkeyPath(names->templateKey, name));
            std::uint32_t switchId = 0;
            if (!entry.ok() || !entry.Dword(VAL_SWITCH_ID, &switchId)) {
                continue;
            }
            // The first template of a switch is the one the driver takes;
            // one whose TriggerMode cannot be read gives no edges (0).
            std::uint32_t mode = 0;
            entry.Dword(VAL_TRIGGER_MODE, &mode);
            bySwitch.emplace(switchId, mode);
        }
    }
    return offers;
}

void TemplateRefresh::NoteTemplates()
{
    before_ = ReadOffers();
    noted_ = true;
}

std::vector<RefreshedDevice> TemplateRefresh::CarryChanges()
{
    std::vector<RefreshedDevice> refreshed;
    if (!noted_) {
        return refreshed;
    }
    const Offers after = ReadOffers();
    for (const auto& [boardType, bySwitch] : after) {
        std::map<std::uint32_t, std::uint32_t> changed;
        const auto old = before_.find(boardType);
        for (const auto& [switchId, mode] : bySwitch) {
            if (old == before_.end() || old->second.count(switchId) == 0 ||
                old->second.at(switchId) != mode) {
                changed.emplace(switchId, mode);
            }
        }
        if (changed.empty()) {
            continue;
        }
        const ModelNames* names = NamesOf(boardType);
        const OpenKey driverKey(names->driverKey);
        if (!driverKey.ok()) {
            continue;
        }
        std::map<DWORD, std::u16string> devices;  // in device number order
        for (const std::u16string& name : driverKey.Subkeys()) {
            DWORD number = 0;
            if (ParseDeviceSubkeyName(name.c_str(), &number)) {
                devices.emplace(number, name);
            }
        }
        for (const auto& [number, name] : devices) {
            const OpenKey entry(SubkeyPath(names->driverKey, name), KEY_READ | KEY_WRITE);
            std::uint32_t switchId = 0;
            std::uint32_t stored = 0;
            if (!entry.ok() || !entry.Dword(VAL_SWITCH_ID, &switchId)) {
                continue;
            }
            const auto offer = changed.find(switchId);
            if (offer == changed.end()) {
                continue;
            }
            const bool hadMode = entry.Dword(VAL_TRIGGER_MODE, &stored);
            if ((hadMode && stored == offer->second) ||
                !entry.SetDword(VAL_TRIGGER_MODE, offer->second)) {
                continue;
            }
            refreshed.push_back(
                {static_cast<unsigned>(number), boardType, switchId, stored, offer->second});
        }
    }
    return refreshed;
}

std::string TemplateRefresh::Describe(const RefreshedDevice& device)
{
    const char* model = BoardTypeInfoOf(device.boardType).modelName;
    char text[160];
    std::snprintf(text, sizeof text,
                  "device %u (%s, switch %u): trigger mode 0x%02x of its changed template, was "
                  "0x%02x in the kept hive",
                  device.deviceNumber, model != nullptr ? model : "?", device.switchId,
                  device.templateMode, device.storedMode);
    return text;
}

}  // namespace vttools
