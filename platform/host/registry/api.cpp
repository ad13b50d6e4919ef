// The registry services of the simulated target (RegOpenKeyExW and friends).
//
// Key handles are small numbers (never pointers, never a predefined root)
// looked up in a table. A handle refers to its key weakly: when the key is
// removed from the hive (ResetRegistry, LoadHive) every use of the handle
// fails with ERROR_INVALID_HANDLE, and RegCloseKey still releases it.
// Access masks and options are accepted and not enforced.
#include <cstring>
#include <unordered_map>

#include "platform/host/kernel/counters_and_faults.h"
#include "platform/host/registry/hive.h"
#include "platform/registry.h"

namespace {

using vtsim::registry::Key;

constexpr ULONG_PTR FIRST_HANDLE = 0x00100000;
constexpr ULONG_PTR LAST_HANDLE = 0x7FFFFFF0;
constexpr ULONG_PTR HANDLE_STEP = 4;

struct HandleTable {
    std::unordered_map<ULONG_PTR, std::weak_ptr<Key>> keys;
    ULONG_PTR next = FIRST_HANDLE;
};

HandleTable& Handles()  // guarded by HiveMutex()
{
    static HandleTable* table = new HandleTable;
    return *table;
}

ULONG_PTR HandleValue(HKEY key)
{
    return reinterpret_cast<ULONG_PTR>(key);
}

bool IsLocalMachine(HKEY key)
{
    return HandleValue(key) == HandleValue(HKEY_LOCAL_MACHINE);
}

// The key an open handle or HKEY_LOCAL_MACHINE refers to; null for an
// unknown handle or one whose key was removed. Caller holds HiveMutex().
std::shared_ptr<Key> Resolve(HKEY key)
{
    if (IsLocalMachine(key)) {
        return vtsim::registry::HiveRoot();
    }
    auto& table = Handles().keys;
    auto found = table.find(HandleValue(key));
    if (found == table.end()) {
        return nullptr;
    }
    return found->second.lock();
}

// Hands out a new handle for key. Caller holds HiveMutex().
HKEY NewHandle(const std::shared_ptr<Key>& key)
{
    auto& table = Handles();
    while (table.keys.count(table.next) != 0) {
        table.next = table.next >= LAST_HANDLE ? FIRST_HANDLE : table.next + HANDLE_STEP;
    }
    ULONG_PTR value = table.next;
    table.next = table.next >= LAST_HANDLE ? FIRST_HANDLE : table.next + HANDLE_STEP;
    table.keys.emplace(value, key);
    vtsim::internal::Adjust(vtsim::internal::Counter::RegistryKeys, +1);
    return reinterpret_cast<HKEY>(value);
}

std::u16string_view NameOf(LPCWSTR name)
{
    return name == nullptr ? std::u16string_view() : std::u16string_view(name);
}

// The key a path starts from and the path's elements, for opening or
// creating a key below root: ERROR_INVALID_HANDLE for an unknown root,
// badName for a path no key can have. Caller holds HiveMutex().
LONG ResolvePath(HKEY root, LPCWSTR subKey, LONG badName, std::shared_ptr<Key>* base,
                 std::vector<std::u16string_view>* elements)
{
    *base = Resolve(root);
    if (!*base) {
        return ERROR_INVALID_HANDLE;
    }
    if (!vtsim::registry::SplitKeyPath(NameOf(subKey), elements)) {
        return badName;
    }
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD, REGSAM, PHKEY result)
{
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    std::lock_guard lock(vtsim::registry::HiveMutex());
    std::shared_ptr<Key> base;
    std::vector<std::u16string_view> elements;
    // A name no key can have is simply not found.
    const LONG r = ResolvePath(root, subKey, ERROR_FILE_NOT_FOUND, &base, &elements);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    std::shared_ptr<Key> key = vtsim::registry::FindPath(base, elements);
    if (!key) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = NewHandle(key);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                     PHKEY result, LPDWORD disposition)
{
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    std::lock_guard lock(vtsim::registry::HiveMutex());
    std::shared_ptr<Key> base;
    std::vector<std::u16string_view> elements;
    const LONG r = ResolvePath(root, subKey, ERROR_INVALID_PARAMETER, &base, &elements);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    // A key deeper than the hive holds is a name no key can have.
    if (!vtsim::registry::WithinDepth(*base, elements)) {
        return ERROR_INVALID_PARAMETER;
    }
    bool creates = vtsim::registry::MissingElements(*base, elements) != 0;
    if (creates && vtsim::internal::ShouldFail(vtsim::Fault::RegistryWrite)) {
        return ERROR_ACCESS_DENIED;
    }
    *result = NewHandle(vtsim::registry::CreatePath(base, elements));
    if (disposition != nullptr) {
        *disposition = creates ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameChars, LPDWORD, LPWSTR className,
                   LPDWORD classChars, PFILETIME lastWrite)
{
    std::lock_guard lock(vtsim::registry::HiveMutex());
    std::shared_ptr<Key> parent = Resolve(key);
    if (!parent) {
        return ERROR_INVALID_HANDLE;
    }
    if (name == nullptr || nameChars == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (index >= parent->subkeys().size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const std::u16string& subName = parent->subkeys()[index]->name();
    if (subName.size() + 1 > *nameChars) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, subName.c_str(), (subName.size() + 1) * sizeof(WCHAR));
    *nameChars = static_cast<DWORD>(subName.size());
    if (classChars != nullptr) {
        if (className != nullptr && *classChars > 0) {
            className[0] = 0;
        }
        *classChars = 0;
    }
    if (lastWrite != nullptr) {
        *lastWrite = FILETIME{0, 0};
    }
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (data != nullptr && size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard lock(vtsim::registry::HiveMutex());
    std::shared_ptr<Key> owner = Resolve(key);
    if (!owner) {
        return ERROR_INVALID_HANDLE;
    }
    const vtsim::registry::Value* value = owner->FindValue(NameOf(valueName));
    if (value == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type != nullptr) {
        *type = value->type;
    }
    if (size == nullptr) {
        return ERROR_SUCCESS;
    }
    DWORD stored = static_cast<DWORD>(value->data.size());
    if (data != nullptr) {
        if (*size < stored) {
            *size = stored;
            return ERROR_MORE_DATA;
        }
        if (stored != 0) {
            std::memcpy(data, value->data.data(), stored);
        }
    }
    *size = stored;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    std::lock_guard lock(vtsim::registry::HiveMutex());
    std::shared_ptr<Key> owner = Resolve(key);
    if (!owner) {
        return ERROR_INVALID_HANDLE;
    }
    std::u16string_view name = NameOf(valueName);
    if (!vtsim::registry::IsValidValueName(name) || (data == nullptr && size != 0)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (vtsim::internal::ShouldFail(vtsim::Fault::RegistryWrite)) {
        return ERROR_ACCESS_DENIED;
    }
    owner->SetValue(name, type, data, size);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    if (IsLocalMachine(key)) {
        return ERROR_SUCCESS;
    }
    std::lock_guard lock(vtsim::registry::HiveMutex());
    auto& table = Handles().keys;
    auto found = table.find(HandleValue(key));
    if (found == table.end()) {
        return ERROR_INVALID_HANDLE;
    }
    table.erase(found);
    vtsim::internal::Adjust(vtsim::internal::Counter::RegistryKeys, -1);
    return ERROR_SUCCESS;
}

}  // extern "C"
