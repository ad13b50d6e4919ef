// The guarded copy: the kernel copies the bytes itself, so that an
// inaccessible source or destination is reported instead of faulting.
#include <errno.h>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>

#include "platform/ddk.h"
#include "platform/kernel.h"

namespace {

// Fallback where process_vm_readv is not allowed: bytes pass through a pipe,
// and the kernel reports EFAULT for a bad buffer on either side.
bool CopyThroughPipe(void* dst, const void* src, std::size_t size)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    constexpr std::size_t kChunk = 4096;  // always fits in an empty pipe
    bool ok = true;
    auto* out = static_cast<char*>(dst);
    const auto* in = static_cast<const char*>(src);
    for (std::size_t done = 0; ok && done < size;) {
        std::size_t chunk = std::min(kChunk, size - done);
        ok = ::write(fds[1], in + done, chunk) == static_cast<ssize_t>(chunk) &&
             ::read(fds[0], out + done, chunk) == static_cast<ssize_t>(chunk);
        done += chunk;
    }
    ::close(fds[0]);
    ::close(fds[1]);
    return ok;
}

}  // namespace

extern "C" BOOL CeSafeCopyMemory(LPVOID dst, LPCVOID src, DWORD size)
{
    if (size == 0) {
        return TRUE;
    }
    iovec local{dst, size};
    iovec remote{const_cast<void*>(src), size};
    ssize_t copied = ::process_vm_readv(::getpid(), &local, 1, &remote, 1, 0);
    bool ok = copied == static_cast<ssize_t>(size);
    if (copied < 0 && (errno == EPERM || errno == ENOSYS)) {
        ok = CopyThroughPipe(dst, src, size);
    }
    if (!ok) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    return TRUE;
}
