// The hive kept in a file across restarts of the target.
//
// File layout (little-endian): the 8 bytes "VTHIVE01", the payload length
// (u32), the payload, and the CRC-32 of the payload (u32). The payload is the
// tree in pre-order; a key is: name length in characters (u32), the name
// (UTF-16), value count (u32), each value as name length, name, type (u32),
// data length (u32), data; then subkey count (u32) and the subkeys. A file
// whose length, checksum or structure does not add up is refused whole.
//
// SaveHive writes a temporary file beside the target, flushes it to disk and
// renames it over the target (then flushes the directory), so the target is
// at every moment either the old hive or the new one. A symbolic link is
// followed: the file it points to is replaced and the link kept; the
// replaced file's permission bits (and, where allowed, owner) carry over.
// Temporaries that an interrupted save left behind are removed by the next
// save or load of the same hive (hive_temporaries.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/host/control/host_files.h"
#include "platform/host/control/registry_control.h"
#include "platform/host/registry/hive.h"
#include "platform/host/registry/hive_temporaries.h"

namespace vtsim {

namespace {

using registry::Key;

constexpr char MAGIC[8] = {'V', 'T', 'H', 'I', 'V', 'E', '0', '1'};
constexpr std::size_t HEADER_SIZE = sizeof(MAGIC) + 4;
constexpr std::size_t TRAILER_SIZE = 4;

std::uint32_t Crc32(const std::string& bytes, std::size_t offset, std::size_t length)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = offset; i < offset + length; ++i) {
        crc = table[(crc ^ static_cast<unsigned char>(bytes[i])) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

void PutU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

void PutName(std::string& out, const std::u16string& name)
{
    PutU32(out, static_cast<std::uint32_t>(name.size()));
    for (char16_t c : name) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
}

void PutKey(std::string& out, const Key& key)
{
    PutName(out, key.name());
    PutU32(out, static_cast<std::uint32_t>(key.values().size()));
    for (const auto& value : key.values()) {
        PutName(out, value.name);
        PutU32(out, value.type);
        PutU32(out, static_cast<std::uint32_t>(value.data.size()));
        out.append(reinterpret_cast<const char*>(value.data.data()), value.data.size());
    }
    PutU32(out, static_cast<std::uint32_t>(key.subkeys().size()));
    for (const auto& subkey : key.subkeys()) {
        PutKey(out, *subkey);
    }
}

class Reader {
public:
    Reader(const std::string& bytes, std::size_t begin, std::size_t end)
        : bytes_(bytes), pos_(begin), end_(end)
    {}
    bool U32(std::uint32_t* v)
    {
        if (end_ - pos_ < 4) {
            return false;
        }
        *v = 0;
        for (int i = 0; i < 4; ++i) {
            *v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_ + i]))
                  << (8 * i);
        }
        pos_ += 4;
        return true;
    }
    bool Name(std::u16string* name)
    {
        std::uint32_t chars = 0;
        if (!U32(&chars) || (end_ - pos_) / 2 < chars) {
            return false;
        }
        name->resize(chars);
        for (std::uint32_t i = 0; i < chars; ++i) {
            (*name)[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes_[pos_]) |
                                               (static_cast<unsigned char>(bytes_[pos_ + 1]) << 8));
            pos_ += 2;
        }
        return true;
    }
    bool Bytes(std::vector<BYTE>* data, std::uint32_t length)
    {
        if (end_ - pos_ < length) {
            return false;
        }
        data->assign(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_),
                     bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ + length));
        pos_ += length;
        return true;
    }
    bool AtEnd() const
    {
        return pos_ == end_;
    }

private:
    const std::string& bytes_;
    std::size_t pos_;
    std::size_t end_;
};

// The values and subkeys of a key whose name was read; the subkeys are
// created through the key, so a duplicate name or a key deeper than the
// hive holds makes the file corrupt, as the registry would never have
// written it.
bool ReadKeyContent(Reader& reader, Key* key)
{
    std::uint32_t valueCount = 0;
    if (!reader.U32(&valueCount)) {
        return false;
    }
    for (std::uint32_t i = 0; i < valueCount; ++i) {
        registry::Value value;
        std::uint32_t length = 0;
        if (!reader.Name(&value.name) || !registry::IsValidValueName(value.name) ||
            !reader.U32(&value.type) || !reader.U32(&length) ||
            !reader.Bytes(&value.data, length) || !key->AddValue(std::move(value))) {
            return false;
        }
    }
    std::uint32_t subkeyCount = 0;
    if (!reader.U32(&subkeyCount)) {
        return false;
    }
    for (std::uint32_t i = 0; i < subkeyCount; ++i) {
        std::u16string name;
        if (!reader.Name(&name) || !registry::IsValidKeyName(name)) {
            return false;
        }
        std::shared_ptr<Key> subkey = key->AddSubkey(name);
        if (!subkey || !ReadKeyContent(reader, subkey.get())) {
            return false;
        }
    }
    return true;
}

bool ReadRoot(Reader& reader, Key* root)
{
    std::u16string name;
    return reader.Name(&name) && name.empty() && ReadKeyContent(reader, root);
}

void SetError(std::string* error, const std::string& message)
{
    if (error != nullptr) {
        *error = message;
    }
}

// "PATH: what: reason" for the errno of a failed system call.
std::string SystemError(const std::string& path, const std::string& what)
{
    return path + ": " + what + ": " + HostErrorText(errno);
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void SyncDirectoryOf(const std::string& path)
{
    int fd = ::open(HostFolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool SaveHive(const std::string& path, std::string* error)
{
    std::string payload;
    {
        std::lock_guard lock(registry::HiveMutex());
        PutKey(payload, *registry::HiveRoot());
    }
    std::string file(MAGIC, sizeof(MAGIC));
    PutU32(file, static_cast<std::uint32_t>(payload.size()));
    file += payload;
    PutU32(file, Crc32(payload, 0, payload.size()));

    // Through a symbolic link the file it points to is replaced, in its own
    // folder (a rename is atomic only within one file system), and the link
    // stays. The replacement takes the old file's permissions and owner.
    std::string target;
    if (!FollowHostLinks(path, &target, error)) {
        return false;
    }
    registry::RemoveStaleHiveTemporaries(target);
    struct stat old = {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    std::string temp;
    const int fd = registry::CreateHiveTemporary(target, &temp);
    if (fd < 0) {
        SetError(error, SystemError(path, "cannot create a file in " + HostFolderOf(target)));
        return false;
    }
    bool written = true;
    std::string failure;
    if (replacing) {
        // Owner first: a change of owner may clear set-id bits that the mode then restores.
        (void)!::fchown(fd, old.st_uid, old.st_gid);
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            written = false;
            failure = SystemError(path, "cannot keep the file's permissions");
        }
    }
    if (written && !(WriteAll(fd, file) && ::fsync(fd) == 0)) {
        written = false;
        failure = SystemError(path, "cannot write " + temp);
    }
    // The descriptor stays open (and the temporary locked) until it is
    // renamed or removed, so that no other process takes it for a stale one.
    if (written && ::rename(temp.c_str(), target.c_str()) != 0) {
        written = false;
        failure = SystemError(path, "cannot replace " + target);
    }
    if (!written) {
        ::unlink(temp.c_str());
    }
    ::close(fd);
    if (!written) {
        SetError(error, failure);
        return false;
    }
    SyncDirectoryOf(target);
    return true;
}

bool LoadHive(const std::string& path, std::string* error)
{
    std::string target;
    if (FollowHostLinks(path, &target, nullptr)) {
        registry::RemoveStaleHiveTemporaries(target);
    }
    std::string file;
    if (!ReadHostFile(path, &file, error)) {
        return false;
    }
    if (file.size() < HEADER_SIZE + TRAILER_SIZE ||
        file.compare(0, sizeof(MAGIC), MAGIC, sizeof(MAGIC)) != 0) {
        SetError(error, path + ": not a hive file");
        return false;
    }
    Reader header(file, sizeof(MAGIC), HEADER_SIZE);
    std::uint32_t payloadSize = 0;
    header.U32(&payloadSize);
    if (file.size() - HEADER_SIZE - TRAILER_SIZE != payloadSize) {
        SetError(error, path + ": hive file is truncated or has trailing bytes");
        return false;
    }
    Reader trailer(file, HEADER_SIZE + payloadSize, file.size());
    std::uint32_t storedCrc = 0;
    trailer.U32(&storedCrc);
    if (Crc32(file, HEADER_SIZE, payloadSize) != storedCrc) {
        SetError(error, path + ": hive file checksum mismatch");
        return false;
    }
    auto root = std::make_shared<Key>();
    Reader reader(file, HEADER_SIZE, HEADER_SIZE + payloadSize);
    if (!ReadRoot(reader, root.get()) || !reader.AtEnd()) {
        SetError(error, path + ": hive file structure is corrupt");
        return false;
    }
    std::lock_guard lock(registry::HiveMutex());
    registry::ReplaceHiveRoot(std::move(root));
    return true;
}

}  // namespace vtsim
