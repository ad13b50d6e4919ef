// Reading host files with a limit on their size; see
// platform/host/control/host_files.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/host/control/host_files.h"

namespace vtsim {

namespace {

bool Fail(std::string* error, const std::string& path, const std::string& reason)
{
    if (error != nullptr) {
        *error = path + ": " + reason;
    }
    return false;
}

// Closes a file descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const
    {
        return fd_;
    }

private:
    int fd_;
};

}  // namespace

std::string HostErrorText(int errorNumber)
{
    std::string text = std::strerror(errorNumber);
    if (!text.empty()) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    return text;
}

std::string HostFolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool FollowHostLinks(const std::string& path, std::string* target, std::string* error)
{
    constexpr int kMaxLinks = 40;  // as the host's own path lookup allows
    std::string current = path;
    for (int followed = 0; followed <= kMaxLinks; ++followed) {
        struct stat info = {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *target = current;
            return true;
        }
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) {
            return Fail(error, current, "cannot read the link: " + HostErrorText(errno));
        }
        link.resize(static_cast<std::size_t>(length));
        current = link[0] == '/' ? link : HostFolderOf(current) + "/" + link;
    }
    return Fail(error, path, HostErrorText(ELOOP));
}

bool ReadHostFile(const std::string& path, std::string* bytes, std::string* error)
{
    if (path.empty()) {
        return Fail(error, "''", "no file named");
    }
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        return Fail(error, path, HostErrorText(errno));
    }
    struct stat info = {};
    if (::fstat(file.get(), &info) != 0) {
        return Fail(error, path, HostErrorText(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return Fail(error, path, HostErrorText(EISDIR));
    }
    const std::string tooLarge = std::string("larger than ") + kMaxHostFileText;
    if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > kMaxHostFileBytes) {
        return Fail(error, path, tooLarge);
    }
    // A device or a pipe has no size to trust: read up to one byte past the
    // limit and refuse what does not end before it.
    bytes->clear();
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(error, path, HostErrorText(errno));
        }
        if (got == 0) {
            return true;
        }
        if (bytes->size() + static_cast<std::size_t>(got) > kMaxHostFileBytes) {
            bytes->clear();
            return Fail(error, path, tooLarge);
        }
        bytes->append(chunk, static_cast<std::size_t>(got));
    }
}

}  // namespace vtsim
