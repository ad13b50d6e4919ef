// Device properties: values by id, buffer handling, the edge selection.
#include <cstring>
#include <vector>

#include "library_test_support.h"

using namespace librarytest;

namespace {

using Properties = LibraryTest;

DWORD GetNumber(LONG handle, WORD id)
{
    DWORD value = 0xDEADBEEF, length = 4;
    EXPECT_EQ(DeviceGetProperty(handle, id, &value, &length), API_SUCCESS) << id;
    return value;
}

TEST_F(Properties, ValuesSizesAndIds)
{
    LONG vtc = Open(VTC4100_SLOT);
    LONG vtm = Open(VTM6200K_SLOT);
    EXPECT_EQ(GetNumber(vtc, PROP_DEVICE_NUMBER), NumberOfSlot(VTC4100_SLOT));
    EXPECT_EQ(GetNumber(vtc, PROP_BOARD_TYPE), 135u);
    EXPECT_EQ(GetNumber(vtc, PROP_SWITCH_ID), 1u);
    EXPECT_EQ(GetNumber(vtc, PROP_BASE_ADDRESS), VTC4100_BASE);
    EXPECT_EQ(GetNumber(vtc, PROP_IRQ), 10u);
    EXPECT_EQ(GetNumber(vtc, PROP_SLOT_NUMBER), VTC4100_SLOT);
    EXPECT_EQ(GetNumber(vtc, PROP_DO_CHANNEL_COUNT), 32u);
    EXPECT_EQ(GetNumber(vtm, PROP_DO_CHANNEL_COUNT), 16u);
    EXPECT_EQ(GetNumber(vtm, PROP_DI_PORT_COUNT), 2u);

    // Ids 0 to 6 clear the whole buffer; the counts write only their 4 bytes.
    BYTE buffer[8];
    DWORD length = sizeof(buffer);
    std::memset(buffer, 0xCC, sizeof(buffer));
    ASSERT_EQ(DeviceGetProperty(vtc, PROP_BOARD_TYPE, buffer, &length), API_SUCCESS);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(buffer[7], 0);
    length = sizeof(buffer);
    std::memset(buffer, 0xCC, sizeof(buffer));
    ASSERT_EQ(DeviceGetProperty(vtc, PROP_DI_PORT_COUNT, buffer, &length), API_SUCCESS);
    EXPECT_EQ(buffer[7], 0xCC);

    length = 0;
    EXPECT_EQ(DeviceGetProperty(vtc, PROP_BOARD_TYPE, nullptr, &length), API_SUCCESS);
    EXPECT_EQ(length, 4u);
    length = 2;
    EXPECT_EQ(DeviceGetProperty(vtc, PROP_DI_INTERRUPT_BITS, buffer, &length),
              Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(length, 4u);
    ASSERT_EQ(DeviceGetProperty(vtc, PROP_DI_INTERRUPT_BITS, buffer, &length), API_SUCCESS);
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 4), (std::vector<BYTE>{3, 0, 3, 0}));
    EXPECT_EQ(DeviceGetProperty(vtc, 7, buffer, &length),
              Status(VTC4100_SLOT, API_PROPERTY_NOT_SUPPORTED));
    EXPECT_EQ(DeviceGetProperty(vtc, PROP_IRQ, buffer, nullptr),
              Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(DeviceSetProperty(vtc, PROP_DEVICE_NUMBER, buffer, 4),
              Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(DeviceGetProperty(0, PROP_IRQ, buffer, &length), API_INVALID_HANDLE);
    DeviceClose(&vtc);
    DeviceClose(&vtm);
}

TEST_F(Properties, EdgeMasksSetTheConnectionsTriggerMode)
{
    LONG vtc = Open(VTC4100_SLOT);
    LONG vtm = Open(VTM6200K_SLOT);
    BYTE data[4] = {0xFF, 0, 0, 0}, mask[4];
    DWORD length = 4;
    ASSERT_EQ(DeviceSetProperty(vtc, PROP_DI_FALLING_EDGE_MASK, data, 4), API_SUCCESS);
    ASSERT_EQ(DeviceGetProperty(vtc, PROP_DI_RISING_EDGE_MASK, mask, &length), API_SUCCESS);
    EXPECT_EQ(mask[0], 0x00);
    ASSERT_EQ(DeviceGetProperty(vtc, PROP_DI_FALLING_EDGE_MASK, mask, &length), API_SUCCESS);
    EXPECT_EQ(mask[0], 0x0F);

    // Two-port board: rising on input 0 leaves input 1 falling.
    data[0] = 0x01;
    ASSERT_EQ(DeviceSetProperty(vtm, PROP_DI_RISING_EDGE_MASK, data, 2), API_SUCCESS);
    length = 2;
    ASSERT_EQ(DeviceGetProperty(vtm, PROP_DI_FALLING_EDGE_MASK, mask, &length), API_SUCCESS);
    EXPECT_EQ(mask[0], 0x02);
    EXPECT_EQ(DeviceSetProperty(vtm, PROP_DI_RISING_EDGE_MASK, data, 1),
              Status(VTM6200K_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(DeviceSetProperty(vtm, PROP_DI_RISING_EDGE_MASK, nullptr, 2),
              Status(VTM6200K_SLOT, API_INVALID_PARAMETER));
    DeviceClose(&vtc);
    DeviceClose(&vtm);
}

}  // namespace
