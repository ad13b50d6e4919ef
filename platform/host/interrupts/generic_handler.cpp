// The generic installable handler. Until it receives its settings it passes
// every interrupt on (SYSINTR_CHAIN). It never acknowledges the device; the
// driver's interrupt thread does.
//
// Settings are accepted only with IOCTL_GIISR_INFO, a present input of
// exactly sizeof(GIISR_INFO) bytes. When CheckPort is set the record must also
// name a port width of 1, 2 or 4 bytes and an I/O-space port (PortIsIO, and
// the same space for MaskAddr): this machine has no memory-mapped devices
// and a 32-bit field cannot carry a host pointer, so such a record is refused
// (ERROR_NOT_SUPPORTED) rather than read through a bad address later.
#include "platform/host/interrupts/generic_handler.h"

#include <cstring>

#include "platform/kernel.h"

namespace vtsim::internal {

namespace {

DWORD ReadIoPort(DWORD address, DWORD width)
{
    switch (width) {
    case 1:
        return READ_PORT_UCHAR(reinterpret_cast<PUCHAR>(static_cast<ULONG_PTR>(address)));
    case 2:
        return READ_PORT_USHORT(reinterpret_cast<PUSHORT>(static_cast<ULONG_PTR>(address)));
    default:
        return READ_PORT_ULONG(reinterpret_cast<PULONG>(static_cast<ULONG_PTR>(address)));
    }
}

class GenericInstallableHandler : public ChainHandler {
public:
    DWORD Service() override
    {
        if (!configured_) {
            return SYSINTR_CHAIN;
        }
        if (!info_.CheckPort) {
            return info_.SysIntr;
        }
        const DWORD value = ReadIoPort(info_.PortAddr, info_.PortSize);
        const DWORD mask =
            info_.UseMaskReg ? ReadIoPort(info_.MaskAddr, info_.PortSize) : info_.Mask;
        return (value & mask) != 0 ? info_.SysIntr : SYSINTR_CHAIN;
    }

    BOOL IoControl(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                   DWORD* returned) override
    {
        (void)out;
        (void)outSize;
        if (returned) {
            *returned = 0;
        }
        if (code != IOCTL_GIISR_INFO) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return FALSE;
        }
        if (in == nullptr || inSize != sizeof(GIISR_INFO)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        GIISR_INFO info;
        std::memcpy(&info, in, sizeof info);
        if (info.CheckPort) {
            if (info.PortSize != 1 && info.PortSize != 2 && info.PortSize != 4) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            if (!info.PortIsIO) {
                SetLastError(ERROR_NOT_SUPPORTED);
                return FALSE;
            }
        }
        info_ = info;
        configured_ = true;
        return TRUE;
    }

private:
    bool configured_ = false;
    GIISR_INFO info_{};
};

}  // namespace

std::unique_ptr<ChainHandler> CreateGenericInstallableHandler()
{
    return std::make_unique<GenericInstallableHandler>();
}

}  // namespace vtsim::internal
