// The simulated target's registry hive: the tree of keys and values that the
// registry services, the script importer/exporter and the hive file share.
// Not for the package's code.
#pragma once

#include "platform/host/internal_header.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/types.h"

namespace vtsim::registry {

struct Value {
    std::u16string name;  // stored case; "" is the key's default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// A key of the hive: its name, its values and its subkeys, each in order of
// creation, with an index by name (names compare without regard to case,
// internal::NamesEqual), so that a lookup costs the same in a key of a
// hundred thousand entries as in a key of ten. The tree is changed only
// through these members; the caller holds HiveMutex() for a key in the hive.
class Key {
public:
    Key() = default;  // the hive root: no name, depth 0
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    const std::u16string& name() const
    {
        return name_;
    }
    // Levels below the hive root: 0 for the root, 1 for its subkeys.
    std::size_t depth() const
    {
        return depth_;
    }
    const std::vector<Value>& values() const
    {
        return values_;
    }
    const std::vector<std::shared_ptr<Key>>& subkeys() const
    {
        return subkeys_;
    }

    std::shared_ptr<Key> FindSubkey(std::u16string_view subName) const;
    const Value* FindValue(std::u16string_view valueName) const;
    // Replaces the data and type of an existing value (keeping its position
    // and stored name) or appends a new one.
    void SetValue(std::u16string_view valueName, DWORD type, const BYTE* data, std::size_t size);
    // Appends a value that the key does not have yet; false (nothing
    // changed) when a value of that name exists.
    bool AddValue(Value value);
    // Appends a new subkey of the name, one level deeper; nullptr (nothing
    // changed) when a subkey of that name exists or the subkey would lie
    // deeper than MAX_KEY_DEPTH.
    std::shared_ptr<Key> AddSubkey(std::u16string_view subName);
    // Removes the subkey of that name with everything below it; false when
    // there is none.
    bool RemoveSubkey(std::u16string_view subName);
    void RemoveAllSubkeys();

private:
    // Names folded to one case, for the indexes.
    static std::u16string Folded(std::u16string_view name);

    std::u16string name_;
    std::size_t depth_ = 0;
    std::vector<Value> values_;
    std::vector<std::shared_ptr<Key>> subkeys_;
    std::unordered_map<std::u16string, std::size_t> valueIndex_;   // folded name -> position
    std::unordered_map<std::u16string, std::size_t> subkeyIndex_;  // folded name -> position
};

// Longest key name and value name the hive accepts, in characters.
constexpr std::size_t MAX_KEY_NAME_CHARS = 255;
constexpr std::size_t MAX_VALUE_NAME_CHARS = 16383;
// Deepest key the hive holds, in levels below HKEY_LOCAL_MACHINE. Creating a
// key deeper fails, so every hive can be saved, loaded and walked without
// unbounded recursion.
constexpr std::size_t MAX_KEY_DEPTH = 512;

// Text without control characters and with well-formed UTF-16 (no unpaired
// surrogate).
bool IsPlainText(std::u16string_view text);

// A key name element: 1 to 255 characters, no backslash, no control
// character, no unpaired surrogate.
bool IsValidKeyName(std::u16string_view name);
// A value name: up to 16383 characters, no control character, no unpaired
// surrogate ("" is the default value).
bool IsValidValueName(std::u16string_view name);

// Splits a key path ("A\B\C") into its elements. An empty path gives no
// elements; one trailing backslash is allowed; a leading backslash, an empty
// element or an invalid name makes the path invalid (false).
bool SplitKeyPath(std::u16string_view path, std::vector<std::u16string_view>* elements);

// The key below base named by the elements, or nullptr when one is missing.
std::shared_ptr<Key> FindPath(const std::shared_ptr<Key>& base,
                              const std::vector<std::u16string_view>& elements);
// Number of elements of the path that do not exist yet below base.
std::size_t MissingElements(const Key& base, const std::vector<std::u16string_view>& elements);
// True when the key the elements name below base would lie no deeper than
// MAX_KEY_DEPTH.
bool WithinDepth(const Key& base, const std::vector<std::u16string_view>& elements);
// The key below base named by the elements, creating missing ones; nullptr
// (and nothing created) when it would lie deeper than MAX_KEY_DEPTH.
std::shared_ptr<Key> CreatePath(const std::shared_ptr<Key>& base,
                                const std::vector<std::u16string_view>& elements);

// The hive. Every access to the tree (and to the registry's handle table)
// holds HiveMutex(). HiveRoot() is the key HKEY_LOCAL_MACHINE.
std::mutex& HiveMutex();
const std::shared_ptr<Key>& HiveRoot();
// Replaces the whole tree (the old keys are destroyed once nothing uses them;
// handles to them go stale). Caller holds HiveMutex().
void ReplaceHiveRoot(std::shared_ptr<Key> root);

// ---- Services for the rest of the simulated target --------------------------
// They take HiveMutex() themselves: the caller must not hold it.

// Deletes the key at path (below HKEY_LOCAL_MACHINE, read as SplitKeyPath
// reads it) with everything below it. Handles open on a deleted key go stale
// (they then refer to no key). False, and nothing changed, when the path is
// invalid or empty (the root is never deleted) or names no key.
bool DeleteKey(std::u16string_view path);
// Deletes every subkey of the key at path (the key itself and its values
// stay); handles open on them go stale. False when the path is invalid or
// names no key; an empty path names the root.
bool DeleteSubkeys(std::u16string_view path);

}  // namespace vtsim::registry
