#include "tools/vtdio/status_text.h"

#include "common/control_codes.h"
#include "library/include/rlx4100.h"

namespace vtdio {
namespace {

const char* PlainName(std::int32_t code)
{
    switch (code) {
    case API_SUCCESS:
        return "API_SUCCESS";
    case API_CONFIG_NOT_FOUND:
        return "API_CONFIG_NOT_FOUND";
    case API_INVALID_HANDLE:
        return "API_INVALID_HANDLE";
    case API_UNKNOWN_FUNCTION:
        return "API_UNKNOWN_FUNCTION";
    default:
        return nullptr;
    }
}

// Reason numbers of device-qualified statuses: the library's own, the
// translated platform errors and the stream driver's statuses (which share
// 10 and 24 with the library's).
std::string ReasonName(std::uint32_t reason)
{
    switch (reason) {
    case 0:
        return "request failed without a platform error";
    case API_ALLOC_FAILED:
        return "API_ALLOC_FAILED";
    case API_PORT_OUT_OF_RANGE:
        return "API_PORT_OUT_OF_RANGE";
    case API_INVALID_PARAMETER:
        return "API_INVALID_PARAMETER";
    case API_BOARD_NOT_SUPPORTED:
        return "API_BOARD_NOT_SUPPORTED";
    case API_DRIVER_OPEN_FAILED:
        return "API_DRIVER_OPEN_FAILED";
    case API_EVENT_NOT_SUPPORTED:
        return "API_EVENT_NOT_SUPPORTED";
    case API_PROPERTY_NOT_SUPPORTED:
        return "API_PROPERTY_NOT_SUPPORTED";
    case API_WAIT_FAILED:
        return "API_WAIT_FAILED";
    case DRV_STATUS_PORT_OUT_OF_RANGE:
        return "DRV_STATUS_PORT_OUT_OF_RANGE";
    case API_SYS_UNKNOWN:
        return "API_SYS_UNKNOWN";
    case API_SYS_FILE_NOT_FOUND:
        return "API_SYS_FILE_NOT_FOUND";
    case API_SYS_INVALID_HANDLE:
        return "API_SYS_INVALID_HANDLE";
    case API_SYS_TOO_MANY_COMMANDS:
        return "API_SYS_TOO_MANY_COMMANDS";
    case API_SYS_NO_ACCESS:
        return "API_SYS_NO_ACCESS";
    case DRV_STATUS_INVALID_PARAMETER:
        return "DRV_STATUS_INVALID_PARAMETER";
    default:
        return "platform error " + std::to_string(reason);
    }
}

}  // namespace

DecodedStatus DecodeStatus(std::int32_t status)
{
    DecodedStatus decoded;
    if (const char* plain = PlainName(status)) {
        decoded.reason = static_cast<std::uint32_t>(status);
        decoded.name = plain;
        return decoded;
    }
    const auto bits = static_cast<std::uint32_t>(status);
    // The status is a plain 32-bit sum, so a reason of 4096 or more (the
    // driver's 0xC000000D) does not sit in bits 0 to 11: recognise it first.
    const std::uint32_t rest = bits - DRV_STATUS_INVALID_PARAMETER;
    if (rest % 4096 == 0 && rest / 4096 >= 1 && rest / 4096 <= 256) {
        decoded.deviceQualified = true;
        decoded.device = rest / 4096 - 1;
        decoded.reason = DRV_STATUS_INVALID_PARAMETER;
    } else if (bits >= 4096) {
        decoded.deviceQualified = true;
        decoded.device = bits / 4096 - 1;
        decoded.reason = bits % 4096;
    } else {
        decoded.reason = bits;
        decoded.name = "unknown status";
        return decoded;
    }
    decoded.name = ReasonName(decoded.reason);
    return decoded;
}

std::string DescribeStatus(std::int32_t status)
{
    const DecodedStatus decoded = DecodeStatus(status);
    std::string text = std::to_string(status) + " = ";
    if (decoded.deviceQualified) {
        text += "device " + std::to_string(decoded.device) + ", ";
    }
    return text + decoded.name;
}

}  // namespace vtdio
