// The hive tree, name rules, key paths and the services that delete keys.
#include "platform/host/registry/hive.h"

#include "platform/host/control/registry_control.h"
#include "platform/host/kernel/strings.h"
#include "platform/host/kernel/utf.h"

namespace vtsim::registry {

// Control characters and unpaired surrogates have no place in a name (a
// name must survive a round trip through a registry script).
bool IsPlainText(std::u16string_view name)
{
    for (char16_t c : name) {
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return internal::IsWellFormedUtf16(name);
}

namespace {

struct HiveState {
    std::mutex mutex;
    std::shared_ptr<Key> root = std::make_shared<Key>();
};

HiveState& State()
{
    static HiveState* state = new HiveState;  // never destroyed: used until process exit
    return *state;
}

}  // namespace

bool IsValidKeyName(std::u16string_view name)
{
    return !name.empty() && name.size() <= MAX_KEY_NAME_CHARS &&
           name.find(u'\\') == std::u16string_view::npos && IsPlainText(name);
}

bool IsValidValueName(std::u16string_view name)
{
    return name.size() <= MAX_VALUE_NAME_CHARS && IsPlainText(name);
}

bool SplitKeyPath(std::u16string_view path, std::vector<std::u16string_view>* elements)
{
    elements->clear();
    if (!path.empty() && path.back() == u'\\') {
        path.remove_suffix(1);
        if (path.empty()) {
            return false;
        }
    }
    while (!path.empty()) {
        std::size_t cut = path.find(u'\\');
        std::u16string_view element = path.substr(0, cut);
        if (!IsValidKeyName(element)) {
            return false;
        }
        elements->push_back(element);
        if (cut == std::u16string_view::npos) {
            break;
        }
        path.remove_prefix(cut + 1);
        if (path.empty()) {
            return false;  // "A\\" after the trailing backslash was removed: an empty element
        }
    }
    return true;
}

std::u16string Key::Folded(std::u16string_view name)
{
    std::u16string folded(name);
    for (char16_t& c : folded) {
        c = internal::FoldCase(c);
    }
    return folded;
}

std::shared_ptr<Key> Key::FindSubkey(std::u16string_view subName) const
{
    auto found = subkeyIndex_.find(Folded(subName));
    return found == subkeyIndex_.end() ? nullptr : subkeys_[found->second];
}

const Value* Key::FindValue(std::u16string_view valueName) const
{
    auto found = valueIndex_.find(Folded(valueName));
    return found == valueIndex_.end() ? nullptr : &values_[found->second];
}

void Key::SetValue(std::u16string_view valueName, DWORD type, const BYTE* data, std::size_t size)
{
    auto [slot, added] = valueIndex_.try_emplace(Folded(valueName), values_.size());
    if (added) {
        values_.push_back(Value{std::u16string(valueName), type, {}});
    }
    Value& target = values_[slot->second];
    target.type = type;
    target.data.assign(data, data + size);
}

bool Key::AddValue(Value value)
{
    if (!valueIndex_.try_emplace(Folded(value.name), values_.size()).second) {
        return false;
    }
    values_.push_back(std::move(value));
    return true;
}

std::shared_ptr<Key> Key::AddSubkey(std::u16string_view subName)
{
    if (depth_ >= MAX_KEY_DEPTH ||
        !subkeyIndex_.try_emplace(Folded(subName), subkeys_.size()).second) {
        return nullptr;
    }
    auto subkey = std::make_shared<Key>();
    subkey->name_ = std::u16string(subName);
    subkey->depth_ = depth_ + 1;
    subkeys_.push_back(subkey);
    return subkey;
}

bool Key::RemoveSubkey(std::u16string_view subName)
{
    auto found = subkeyIndex_.find(Folded(subName));
    if (found == subkeyIndex_.end()) {
        return false;
    }
    const std::size_t position = found->second;
    subkeyIndex_.erase(found);
    subkeys_.erase(subkeys_.begin() + static_cast<std::ptrdiff_t>(position));
    // The subkeys after it moved up by one.
    for (auto& [folded, index] : subkeyIndex_) {
        if (index > position) {
            --index;
        }
    }
    return true;
}

void Key::RemoveAllSubkeys()
{
    subkeys_.clear();
    subkeyIndex_.clear();
}

std::shared_ptr<Key> FindPath(const std::shared_ptr<Key>& base,
                              const std::vector<std::u16string_view>& elements)
{
    std::shared_ptr<Key> key = base;
    for (auto element : elements) {
        key = key->FindSubkey(element);
        if (!key) {
            return nullptr;
        }
    }
    return key;
}

std::size_t MissingElements(const Key& base, const std::vector<std::u16string_view>& elements)
{
    const Key* key = &base;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        std::shared_ptr<Key> next = key->FindSubkey(elements[i]);
        if (!next) {
            return elements.size() - i;
        }
        key = next.get();
    }
    return 0;
}

bool WithinDepth(const Key& base, const std::vector<std::u16string_view>& elements)
{
    return base.depth() + elements.size() <= MAX_KEY_DEPTH;
}

std::shared_ptr<Key> CreatePath(const std::shared_ptr<Key>& base,
                                const std::vector<std::u16string_view>& elements)
{
    if (!WithinDepth(*base, elements)) {
        return nullptr;
    }
    std::shared_ptr<Key> key = base;
    for (auto element : elements) {
        std::shared_ptr<Key> next = key->FindSubkey(element);
        key = next ? next : key->AddSubkey(element);
    }
    return key;
}

std::mutex& HiveMutex()
{
    return State().mutex;
}

const std::shared_ptr<Key>& HiveRoot()
{
    return State().root;
}

void ReplaceHiveRoot(std::shared_ptr<Key> root)
{
    State().root = std::move(root);
}

bool DeleteKey(std::u16string_view path)
{
    std::vector<std::u16string_view> elements;
    if (!SplitKeyPath(path, &elements) || elements.empty()) {
        return false;
    }
    const std::u16string_view leaf = elements.back();
    elements.pop_back();
    std::lock_guard lock(HiveMutex());
    std::shared_ptr<Key> parent = FindPath(HiveRoot(), elements);
    return parent && parent->RemoveSubkey(leaf);
}

bool DeleteSubkeys(std::u16string_view path)
{
    std::vector<std::u16string_view> elements;
    if (!SplitKeyPath(path, &elements)) {
        return false;
    }
    std::lock_guard lock(HiveMutex());
    std::shared_ptr<Key> key = FindPath(HiveRoot(), elements);
    if (!key) {
        return false;
    }
    key->RemoveAllSubkeys();
    return true;
}

}  // namespace vtsim::registry

namespace vtsim {

void ResetRegistry()
{
    std::lock_guard lock(registry::HiveMutex());
    registry::ReplaceHiveRoot(std::make_shared<registry::Key>());
}

}  // namespace vtsim
