// Internal: an open host file behind a CreateFileW handle.
#pragma once

#include "platform/host/internal_header.h"

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/host/kernel/objects.h"
#include "platform/types.h"

namespace vtsim::internal {

// One open of a host file: its descriptor, the access the open granted and
// the handle's file position. Every operation takes the object's lock, so
// calls on one handle do not interleave. The descriptor is closed when the
// handle is closed (or, for an object that never got a handle, when it dies).
class DiskFile : public KernelObject {
public:
    DiskFile(int descriptor, DWORD access) : descriptor_(descriptor), access_(access) {}
    ~DiskFile() override;
    BOOL OnHandleClosed() override;

    // The Win32 calls of platform/file_io.h on this file: results and last
    // errors as documented there.
    BOOL Read(void* buffer, DWORD count, DWORD* done);
    BOOL Write(const void* data, DWORD count, DWORD* done);
    DWORD Size(DWORD* high);
    DWORD Move(std::int64_t distance, DWORD method, bool wide, LONG* high);
    BOOL CutAtPosition();
    BOOL Flush();
    // The host's absolute path of the open file, links resolved; false with
    // the last error set when the descriptor has none.
    bool FinalPath(std::string* path);

private:
    std::mutex mutex_;
    int descriptor_;  // -1 once closed
    const DWORD access_;
    std::int64_t position_ = 0;
};

// Opens the host file for CreateFileW (disposition and access as documented
// there). Returns the object, or nullptr with *error set.
std::shared_ptr<DiskFile> OpenDiskFile(const std::string& hostPath, DWORD access, DWORD disposition,
                                       DWORD* error);

// The CreateFileW-family error for an errno value.
DWORD ErrorFromErrno(int error);

}  // namespace vtsim::internal
