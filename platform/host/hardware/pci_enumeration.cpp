// PCI enumeration: matching boards to driver templates and writing their
// instance keys (the rules are in pci_bus.h). Templates are read from a
// snapshot of the hive taken under the hive lock; the instance keys are
// written through the ordinary registry services, so a failing registry
// write (fault injection) fails the enumeration as it would on the target.
#include <algorithm>
#include <cstring>
#include <tuple>

#include "platform/ddk.h"
#include "platform/host/hardware/pci_bus.h"
#include "platform/host/kernel/strings.h"
#include "platform/host/registry/hive.h"
#include "platform/host/registry/value_text.h"
#include "platform/registry.h"

namespace vtsim::internal {

namespace {

constexpr const char16_t* kPciKey = u"Drivers\\BuiltIn\\PCI";
constexpr const char16_t* kTemplateKey = u"Drivers\\BuiltIn\\PCI\\Template";
constexpr const char16_t* kInstanceKey = u"Drivers\\BuiltIn\\PCI\\Instance";

// The id values in the order of DDKPCIINFO's idVals.
constexpr const char16_t* kIdNames[8] = {u"Class",       u"SubClass",   u"ProgIF",
                                         u"VendorID",    u"DeviceID",   u"RevisionID",
                                         u"SubVendorID", u"SubSystemID"};

// Values the bus writes itself (a template's copy is not taken over).
constexpr const char16_t* kBusValueNames[] = {
    u"Class",        u"SubClass",       u"ProgIF",        u"VendorID",      u"DeviceID",
    u"RevisionID",   u"SubVendorID",    u"SubSystemID",   u"InterfaceType", u"BusNumber",
    u"DeviceNumber", u"FunctionNumber", u"InstanceIndex", u"Irq",           u"SysIntr",
    u"IoBase",       u"IoLen"};

struct Template {
    std::u16string name;
    std::vector<registry::Value> values;
};

std::u16string Decimal(unsigned n)
{
    return WidenAscii(std::to_string(n));
}

const registry::Value* Find(const Template& t, std::u16string_view name)
{
    for (const auto& v : t.values) {
        if (NamesEqual(v.name, name)) {
            return &v;
        }
    }
    return nullptr;
}

// The text of a REG_SZ value ("" for anything else).
std::u16string Text(const registry::Value* v)
{
    if (!v || (v->type != REG_SZ && v->type != REG_EXPAND_SZ)) {
        return {};
    }
    return ValueCharacters(v->data);
}

// Whether the template's id value allows the board's value: a REG_DWORD
// naming it, or a REG_MULTI_SZ of hexadecimal ids listing it. A value of any
// other type, or a list with an entry that is no id, allows nothing.
bool IdMatches(const registry::Value& v, DWORD actual)
{
    if (v.type == REG_DWORD && v.data.size() == 4) {
        DWORD d;
        std::memcpy(&d, v.data.data(), 4);
        return d == actual;
    }
    std::vector<DWORD> ids;
    return v.type == REG_MULTI_SZ && ParseHexList(v.data, &ids) &&
           std::find(ids.begin(), ids.end(), actual) != ids.end();
}

// The number of ids the template lists when all of them match the board,
// else -1.
int MatchScore(const Template& t, const PciIdentity& id)
{
    if (Text(Find(t, u"Dll")).empty()) {
        return -1;
    }
    const DWORD actual[8] = {id.classCode, id.subClass,   id.progIf,      id.vendorId,
                             id.deviceId,  id.revisionId, id.subVendorId, id.subSystemId};
    int listed = 0;
    for (int i = 0; i < 8; ++i) {
        const registry::Value* v = Find(t, kIdNames[i]);
        if (!v) {
            continue;
        }
        if (!IdMatches(*v, actual[i])) {
            return -1;
        }
        ++listed;
    }
    return listed > 0 ? listed : -1;
}

// Takes the templates and removes the previous boot's instance keys.
std::vector<Template> SnapshotTemplatesAndClearInstances()
{
    std::vector<Template> templates;
    std::lock_guard lock(registry::HiveMutex());
    std::vector<std::u16string_view> path;
    if (registry::SplitKeyPath(kTemplateKey, &path)) {
        if (auto key = registry::FindPath(registry::HiveRoot(), path)) {
            for (const auto& sub : key->subkeys()) {
                templates.push_back({sub->name(), sub->values()});
            }
        }
    }
    path.clear();
    if (registry::SplitKeyPath(kPciKey, &path)) {
        if (auto pci = registry::FindPath(registry::HiveRoot(), path)) {
            pci->RemoveSubkey(u"Instance");
        }
    }
    return templates;
}

class InstanceWriter {
public:
    explicit InstanceWriter(HKEY key) : key_(key) {}
    LONG Dword(const char16_t* name, DWORD value)
    {
        return Raw(name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    LONG Text(const char16_t* name, const std::u16string& text)
    {
        return Raw(name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
    }
    LONG Raw(const char16_t* name, DWORD type, const BYTE* data, DWORD size)
    {
        const LONG r = RegSetValueExW(key_, name, 0, type, data, size);
        if (r != ERROR_SUCCESS && result_ == ERROR_SUCCESS) {
            result_ = r;
        }
        return r;
    }
    LONG result() const
    {
        return result_;
    }

private:
    HKEY key_;
    LONG result_ = ERROR_SUCCESS;
};

bool WriteInstance(const std::u16string& path, const Template& t, const BoardConfig& config,
                   const PciIdentity& id, DWORD instanceIndex, DWORD sysIntr, std::string* error)
{
    HKEY key = nullptr;
    LONG r = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr);
    if (r != ERROR_SUCCESS) {
        if (error) {
            *error =
                "cannot create HKLM\\" + NarrowAscii(path) + " (error " + std::to_string(r) + ")";
        }
        return false;
    }
    InstanceWriter w(key);
    for (const auto& v : t.values) {
        bool busValue = false;
        for (const char16_t* n : kBusValueNames) {
            busValue = busValue || NamesEqual(v.name, n);
        }
        if (busValue) {
            continue;
        }
        if (config.incompleteIsrInfo && NamesEqual(v.name, u"IsrHandler")) {
            continue;
        }
        w.Raw(v.name.c_str(), v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    }
    if (!config.isrDllOverride.empty()) {
        w.Text(u"IsrDll", WidenAscii(config.isrDllOverride));
    }
    if (!config.omitPciInfo) {
        const DWORD ids[8] = {id.classCode, id.subClass,   id.progIf,      id.vendorId,
                              id.deviceId,  id.revisionId, id.subVendorId, id.subSystemId};
        for (int i = 0; i < 8; ++i) {
            w.Dword(kIdNames[i], ids[i]);
        }
        w.Dword(u"DeviceNumber", config.slot);
        w.Dword(u"FunctionNumber", config.function);
        w.Dword(u"InstanceIndex", instanceIndex);
    }
    w.Dword(u"InterfaceType", PCIBus);
    w.Dword(u"BusNumber", config.bus);
    w.Dword(u"Irq", config.irq);
    w.Dword(u"SysIntr", sysIntr);
    if (!config.omitIoWindow) {
        w.Dword(u"IoBase", config.ioBase);
        w.Dword(u"IoLen", config.ioLength);
    }
    RegCloseKey(key);
    if (w.result() != ERROR_SUCCESS) {
        if (error) {
            *error = "cannot write HKLM\\" + NarrowAscii(path) + " (error " +
                     std::to_string(w.result()) + ")";
        }
        return false;
    }
    return true;
}

}  // namespace

bool EnumeratePciBus(std::vector<EnumeratedDevice>* devices, std::string* error)
{
    const std::vector<Template> templates = SnapshotTemplatesAndClearInstances();

    std::vector<Board*> boards = InstalledBoards();
    std::stable_sort(boards.begin(), boards.end(), [](const Board* a, const Board* b) {
        const BoardConfig& x = a->config();
        const BoardConfig& y = b->config();
        return std::tie(x.bus, x.slot, x.function) < std::tie(y.bus, y.slot, y.function);
    });

    std::vector<DWORD> instancesOf(templates.size(), 0);
    std::vector<EnumeratedDevice> found;
    for (Board* board : boards) {
        const PciIdentity id = IdentityOf(board->config().model);
        int best = -1;
        int bestScore = -1;
        for (std::size_t i = 0; i < templates.size(); ++i) {
            const int score = MatchScore(templates[i], id);
            if (score > bestScore) {
                best = static_cast<int>(i);
                bestScore = score;
            }
        }
        if (best < 0) {
            continue;
        }
        const Template& t = templates[best];
        const DWORD n = ++instancesOf[best];
        EnumeratedDevice device;
        device.templateName = t.name;
        device.instanceKey = std::u16string(kInstanceKey) + u"\\" + t.name + Decimal(n);
        device.dll = Text(Find(t, u"Dll"));
        device.prefix = Text(Find(t, u"Prefix"));
        if (const registry::Value* order = Find(t, u"Order");
            order && order->type == REG_DWORD && order->data.size() == 4) {
            std::memcpy(&device.order, order->data.data(), 4);
        }
        device.board = board;
        if (!WriteInstance(device.instanceKey, t, board->config(), id, n, SysIntrOfBoard(board),
                           error)) {
            return false;
        }
        found.push_back(std::move(device));
    }
    std::stable_sort(
        found.begin(), found.end(),
        [](const EnumeratedDevice& a, const EnumeratedDevice& b) { return a.order < b.order; });
    if (devices) {
        *devices = std::move(found);
    }
    return true;
}

}  // namespace vtsim::internal
