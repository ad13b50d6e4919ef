// Digital I/O end to end: library calls checked on the simulated boards'
// input lines and output latches.
#include "library_test_support.h"

using namespace librarytest;

namespace {

class DigitalIo : public OpenBoards {
protected:
    void WriteLatches(LONG handle, std::initializer_list<BYTE> values)
    {
        ASSERT_EQ(DioWriteDoPorts(handle, 0, DWORD(values.size()), values.begin()), API_SUCCESS);
    }
};

TEST_F(DigitalIo, MaskedByteWriteChangesOnlyTheMaskedBitsOfTheLatch)
{
    WriteLatches(vtc, {0x00, 0xF0, 0x00, 0x00});
    ASSERT_EQ(DioWritePortByte(vtc, 1, 0x0F, 0x05), API_SUCCESS);
    EXPECT_EQ(vtcBoard->outputLatch(1), 0xF5);
    EXPECT_EQ(vtcBoard->outputLatch(0), 0x00);
    BYTE readback = 0;
    EXPECT_EQ(DioGetCurrentDOByte(vtc, 1, &readback), API_SUCCESS);
    EXPECT_EQ(readback, 0xF5);
    EXPECT_EQ(DioWritePortByte(vtc, 4, 0xFF, 0xFF), Status(VTC4100_SLOT, API_PORT_OUT_OF_RANGE));
}

TEST_F(DigitalIo, PortRangesAreCheckedAgainstTheBoard)
{
    for (unsigned port = 0; port < 4; ++port) {
        vtcBoard->setInputPort(port, BYTE(0x11 * (port + 1)));
    }
    BYTE buffer[4] = {};
    ASSERT_EQ(DioReadDiPorts(vtc, 1, 3, buffer), API_SUCCESS);
    EXPECT_EQ(buffer[0], 0x22);
    EXPECT_EQ(buffer[2], 0x44);
    const LONG outOfRange = Status(VTC4100_SLOT, API_PORT_OUT_OF_RANGE);
    EXPECT_EQ(DioReadDiPorts(vtc, 1, 4, buffer), outOfRange);
    EXPECT_EQ(DioReadDiPorts(vtc, 1, 0, buffer), outOfRange);
    EXPECT_EQ(DioReadDiPorts(vtc, 4, 1, buffer), outOfRange);
    EXPECT_EQ(DioReadDiPorts(vtc, 0, 1, nullptr), Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    // The range is tested before the data address, except by the DO byte
    // and bit readbacks, which test their result address first.
    const LONG invalid = Status(VTC4100_SLOT, API_INVALID_PARAMETER);
    EXPECT_EQ(DioReadDiPorts(vtc, 4, 1, nullptr), outOfRange);
    EXPECT_EQ(DioReadPortByte(vtc, 4, nullptr), outOfRange);
    EXPECT_EQ(DioReadBit(vtc, 9, 0, nullptr), outOfRange);
    EXPECT_EQ(DioReadBit(vtc, 0, 8, nullptr), invalid);
    EXPECT_EQ(DioWriteDoPorts(vtc, 2, 3, nullptr), outOfRange);
    EXPECT_EQ(DioGetCurrentDOByte(vtc, 4, nullptr), invalid);
    EXPECT_EQ(DioGetCurrentDOBit(vtc, 9, 0, nullptr), invalid);
    WORD bit = 0;
    EXPECT_EQ(DioReadBit(vtc, 9, 8, &bit), outOfRange);
    EXPECT_EQ(DioGetCurrentDOBit(vtc, 9, 0, &bit), outOfRange);
    EXPECT_EQ(DioWriteDoPorts(vtm, 1, 2, buffer), Status(VTM6200K_SLOT, API_PORT_OUT_OF_RANGE));
    EXPECT_EQ(DioReadDiPorts(0, 0, 1, buffer), API_INVALID_HANDLE);

    const BYTE values[2] = {0xA5, 0x5A};
    ASSERT_EQ(DioWriteDoPorts(vtm, 0, 2, values), API_SUCCESS);
    EXPECT_EQ(vtmBoard->outputLatch(0), 0xA5);
    EXPECT_EQ(vtmBoard->outputLatch(1), 0x5A);
    ASSERT_EQ(DioGetCurrentDoPortsState(vtm, 1, 1, buffer), API_SUCCESS);
    EXPECT_EQ(buffer[0], 0x5A);
}

TEST_F(DigitalIo, WordAndDwordReadsReportTheValidBits)
{
    vtmBoard->setInputPort(0, 0x12);
    vtmBoard->setInputPort(1, 0x34);
    DWORD mask = 0, value = 0xFFFFFFFF;
    ASSERT_EQ(DioReadPortDword(vtm, 0, &mask, &value), API_SUCCESS);
    EXPECT_EQ(mask, 0x0000FFFFu);
    EXPECT_EQ(value, 0x3412u);
    ASSERT_EQ(DioReadPortDword(vtm, 1, &mask, &value), API_SUCCESS);
    EXPECT_EQ(mask, 0x000000FFu);
    EXPECT_EQ(value, 0x34u);
    EXPECT_EQ(DioReadPortDword(vtm, 2, &mask, &value),
              Status(VTM6200K_SLOT, API_PORT_OUT_OF_RANGE));
    EXPECT_EQ(DioReadPortDword(vtm, 0, nullptr, &value),
              Status(VTM6200K_SLOT, API_INVALID_PARAMETER));

    vtcBoard->setInputPort(3, 0x9C);
    WORD wordMask = 0, word = 0;
    ASSERT_EQ(DioReadPortWord(vtc, 3, &wordMask, &word), API_SUCCESS);
    EXPECT_EQ(wordMask, 0x00FF);
    EXPECT_EQ(word, 0x9C);

    // Readback: the value is stored whatever the location held; a start
    // port beyond the board takes the widest mask, then fails.
    WriteLatches(vtc, {0x01, 0x02, 0x03, 0x04});
    WORD readback = 0xFFFF;
    ASSERT_EQ(DioGetCurrentDOWord(vtc, 2, &wordMask, &readback), API_SUCCESS);
    EXPECT_EQ(readback, 0x0403);
    EXPECT_EQ(DioGetCurrentDODword(vtc, 9, &mask, &value),
              Status(VTC4100_SLOT, API_PORT_OUT_OF_RANGE));
    EXPECT_EQ(mask, 0xFFFFFFFFu);
    ASSERT_EQ(DioGetCurrentDODword(vtc, 1, &mask, &value), API_SUCCESS);
    EXPECT_EQ(mask, 0x00FFFFFFu);
    EXPECT_EQ(value, 0x040302u);
}

TEST_F(DigitalIo, MaskedWordDwordAndBitWritesKeepTheOtherBits)
{
    WriteLatches(vtc, {0x0F, 0x33, 0x55, 0x77});
    ASSERT_EQ(DioWritePortWord(vtc, 0, 0x00F0, 0xFFFF), API_SUCCESS);
    EXPECT_EQ(vtcBoard->outputLatch(0), 0xFF);
    EXPECT_EQ(vtcBoard->outputLatch(1), 0x33);

    // Two ports remain from port 2: the mask is cut to them.
    ASSERT_EQ(DioWritePortDword(vtc, 2, 0xFFFF0F0F, 0x00000000), API_SUCCESS);
    EXPECT_EQ(vtcBoard->outputLatch(2), 0x50);
    EXPECT_EQ(vtcBoard->outputLatch(3), 0x70);
    EXPECT_EQ(DioWritePortWord(vtm, 2, 0xFF, 0xFF), Status(VTM6200K_SLOT, API_PORT_OUT_OF_RANGE));
    EXPECT_EQ(DioWritePortDword(vtm, 7, 0xFF, 0xFF), Status(VTM6200K_SLOT, API_PORT_OUT_OF_RANGE));

    ASSERT_EQ(DioWriteBit(vtc, 3, 0, 1), API_SUCCESS);
    EXPECT_EQ(vtcBoard->outputLatch(3), 0x71);
    ASSERT_EQ(DioWriteBit(vtc, 3, 4, 0), API_SUCCESS);
    EXPECT_EQ(vtcBoard->outputLatch(3), 0x61);
    ASSERT_EQ(DioWriteBit(vtc, 3, 1, 2), API_SUCCESS);  // any non-zero state sets just the bit
    EXPECT_EQ(vtcBoard->outputLatch(3), 0x63);
    EXPECT_EQ(DioWriteBit(vtc, 3, 8, 1), Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(vtcBoard->outputLatch(3), 0x63);

    WORD bit = 7;
    ASSERT_EQ(DioGetCurrentDOBit(vtc, 3, 6, &bit), API_SUCCESS);
    EXPECT_EQ(bit, 1);
    vtcBoard->setInputPort(2, 0x80);
    ASSERT_EQ(DioReadBit(vtc, 2, 7, &bit), API_SUCCESS);
    EXPECT_EQ(bit, 1);
    EXPECT_EQ(DioReadBit(vtc, 2, 8, &bit), Status(VTC4100_SLOT, API_INVALID_PARAMETER));
}

TEST_F(DigitalIo, RawRegistersAreReachedByIoAddress)
{
    WriteLatches(vtc, {0x11, 0, 0, 0});
    // Only the low 16 bits of the address count: offset 0, the DO port.
    ASSERT_EQ(WritePortByte(vtc, 0x10000 + VTC4100_BASE, 0x1A5), API_SUCCESS);
    EXPECT_EQ(vtcBoard->outputLatch(0), 0xA5);
    BYTE shadow = 0;
    ASSERT_EQ(DioGetCurrentDOByte(vtc, 0, &shadow), API_SUCCESS);
    EXPECT_EQ(shadow, 0x11);

    ASSERT_EQ(WritePortWord(vtc, VTC4100_BASE + 2, 0xBEEF), API_SUCCESS);
    EXPECT_EQ(vtcBoard->outputLatch(2), 0xEF);
    EXPECT_EQ(vtcBoard->outputLatch(3), 0xBE);

    vtcBoard->setInputPort(1, 0x3C);
    WORD value = 0xFFFF;
    ASSERT_EQ(ReadPortByte(vtc, VTC4100_BASE + 1, &value), API_SUCCESS);
    EXPECT_EQ(value, 0x3C);
    EXPECT_EQ(ReadPortByte(vtc, VTC4100_BASE - 1, &value),
              Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(ReadPortWord(vtc, VTC4100_BASE + IO_LENGTH + 1, &value),
              Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    // The offset equal to the range's length is the driver's to refuse.
    EXPECT_EQ(ReadPortByte(vtc, VTC4100_BASE + IO_LENGTH, &value), Status(VTC4100_SLOT, 64));
    EXPECT_EQ(ReadPortByte(vtc, VTC4100_BASE, nullptr),
              Status(VTC4100_SLOT, API_INVALID_PARAMETER));
}

}  // namespace
