// DeviceGetFeatures: the fixed description of a board model.
#include <cstring>

#include "common/board_types.h"
#include "library/connections.h"
#include "library/include/rlx4100.h"
#include "library/status.h"

namespace {

struct FeaturesRecord {
    BYTE bytes[DEVICE_FEATURES_SIZE];
};

constexpr void Put16(FeaturesRecord& record, DWORD offset, DWORD value)
{
    record.bytes[offset] = static_cast<BYTE>(value);
    record.bytes[offset + 1] = static_cast<BYTE>(value >> 8);
}

constexpr void Put32(FeaturesRecord& record, DWORD offset, DWORD value)
{
    Put16(record, offset, value & 0xFFFF);
    Put16(record, offset + 2, value >> 16);
}

// Little-endian record: version text at 0, library name at 16, board type
// at 48, the digital line count at 58 and 60, 1 at 62, 0x1500 at 784.
constexpr FeaturesRecord MakeFeatures(DWORD boardType, DWORD lineCount)
{
    FeaturesRecord record{};
    constexpr WCHAR version[] = TEXT("Ver 1.0");
    for (DWORD i = 0; i < sizeof(version) / sizeof(version[0]); ++i) {
        Put16(record, 2 * i, version[i]);
    }
    constexpr WCHAR libraryName[] = TEXT("RLX4100.DLL");
    for (DWORD i = 0; i < sizeof(libraryName) / sizeof(libraryName[0]); ++i) {
        Put16(record, 16 + 2 * i, libraryName[i]);
    }
    Put32(record, 48, boardType);
    Put16(record, 58, lineCount);
    Put16(record, 60, lineCount);
    Put16(record, 62, 1);
    Put32(record, 784, 0x1500);
    return record;
}

// Digital input (and output) lines of a model.
constexpr DWORD LinesOf(DWORD boardType)
{
    return PortCountOf(boardType) * LINES_PER_PORT;
}

constexpr FeaturesRecord VTC4100_FEATURES =
    MakeFeatures(BOARD_TYPE_VTC4100, LinesOf(BOARD_TYPE_VTC4100));
constexpr FeaturesRecord VTM6200K_FEATURES =
    MakeFeatures(BOARD_TYPE_VTM6200K, LinesOf(BOARD_TYPE_VTM6200K));

}  // namespace

LONG DeviceGetFeatures(LONG handle, void* buffer, WORD size)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    // The whole record is written: a buffer declared smaller is refused
    // rather than overrun.
    if (buffer == nullptr || size < DEVICE_FEATURES_SIZE) {
        return ApiDeviceStatus(connection->deviceNumber, API_INVALID_PARAMETER);
    }

    const FeaturesRecord* record = nullptr;
    switch (connection->settings.BoardID) {
    case BOARD_TYPE_VTM6200K:
        record = &VTM6200K_FEATURES;
        break;
    case BOARD_TYPE_VTC4100:
    case BOARD_TYPE_VTC4100E:
        record = &VTC4100_FEATURES;
        break;
    default:
        return ApiDeviceStatus(connection->deviceNumber, API_BOARD_NOT_SUPPORTED);
    }
    std::memcpy(buffer, record->bytes, sizeof(record->bytes));
    return API_SUCCESS;
}
