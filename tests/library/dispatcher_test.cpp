// DriverProc: every function code gives what the named export gives.
#include <cstring>
#include <functional>

#include "library_test_support.h"

using namespace librarytest;

namespace {

// What a call leaves behind: its result locations and the board's latches.
struct Outputs {
    BYTE bytes[DEVICE_FEATURES_SIZE];
    WORD word, wordMask;
    DWORD dword, dwordMask;
    BYTE latches[4];
    BYTE interruptEnable;
    bool operator==(const Outputs& other) const
    {
        return std::memcmp(this, &other, sizeof(*this)) == 0;
    }
};

LONG Proc(DWORD code, LONG_PTR first, const void* block)
{
    return DriverProc(0, 0, code, first, reinterpret_cast<LONG_PTR>(block));
}

struct Case {
    const char* name;
    std::function<LONG(LONG, Outputs&)> viaProc;
    std::function<LONG(LONG, Outputs&)> viaExport;
};

const BYTE TWO_VALUES[2] = {0x77, 0x88};
BYTE FALLING[4] = {0x03, 0, 0, 0};

const Case CASES[] = {
    {"2",
     [](LONG h, Outputs& o) {
         DeviceGetFeaturesBlock b{o.bytes, 800};
         return Proc(2, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DeviceGetFeatures(h, o.bytes, 800);
     }},
    {"20",
     [](LONG h, Outputs& o) {
         DioReadPortByteBlock b{1, 0, o.bytes};
         return Proc(20, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioReadPortByte(h, 1, o.bytes);
     }},
    {"20 bad port",
     [](LONG h, Outputs& o) {
         DioReadPortByteBlock b{9, 0, o.bytes};
         return Proc(20, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioReadPortByte(h, 9, o.bytes);
     }},
    {"21",
     [](LONG h, Outputs&) {
         DioWritePortByteBlock b{1, 0x0F, 0x05};
         return Proc(21, h, &b);
     },
     [](LONG h, Outputs&) {
         return DioWritePortByte(h, 1, 0x0F, 0x05);
     }},
    {"22",
     [](LONG h, Outputs& o) {
         DioReadBitBlock b{2, 3, &o.word};
         return Proc(22, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioReadBit(h, 2, 3, &o.word);
     }},
    {"23",
     [](LONG h, Outputs&) {
         DioWriteBitBlock b{3, 6, 1};
         return Proc(23, h, &b);
     },
     [](LONG h, Outputs&) {
         return DioWriteBit(h, 3, 6, 1);
     }},
    {"24",
     [](LONG h, Outputs& o) {
         DioGetCurrentDOByteBlock b{2, 0, o.bytes};
         return Proc(24, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioGetCurrentDOByte(h, 2, o.bytes);
     }},
    {"25",
     [](LONG h, Outputs& o) {
         DioGetCurrentDOBitBlock b{0, 1, &o.word};
         return Proc(25, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioGetCurrentDOBit(h, 0, 1, &o.word);
     }},
    {"26",
     [](LONG h, Outputs&) {
         WritePortByteBlock b{VTC4100_BASE + 1, 0x1A5};
         return Proc(26, h, &b);
     },
     [](LONG h, Outputs&) {
         return WritePortByte(h, VTC4100_BASE + 1, 0x1A5);
     }},
    {"27",
     [](LONG h, Outputs&) {
         WritePortWordBlock b{VTC4100_BASE + 2, 0xBEEF};
         return Proc(27, h, &b);
     },
     [](LONG h, Outputs&) {
         return WritePortWord(h, VTC4100_BASE + 2, 0xBEEF);
     }},
    {"28",
     [](LONG h, Outputs& o) {
         ReadPortByteBlock b{VTC4100_BASE + 1, 0, &o.word};
         return Proc(28, h, &b);
     },
     [](LONG h, Outputs& o) {
         return ReadPortByte(h, VTC4100_BASE + 1, &o.word);
     }},
    {"29",
     [](LONG h, Outputs& o) {
         ReadPortWordBlock b{VTC4100_BASE + 2, 0, &o.word};
         return Proc(29, h, &b);
     },
     [](LONG h, Outputs& o) {
         return ReadPortWord(h, VTC4100_BASE + 2, &o.word);
     }},
    {"77",
     [](LONG h, Outputs&) {
         EnableEventBlock b{EVT_DI_INTERRUPT0, 1, 1};
         return Proc(77, h, &b);
     },
     [](LONG h, Outputs&) {
         return EnableEvent(h, EVT_DI_INTERRUPT0, 1, 1);
     }},
    {"78",
     [](LONG h, Outputs& o) {
         CheckEventBlock b{&o.word, 0};
         return Proc(78, h, &b);
     },
     [](LONG h, Outputs& o) {
         return CheckEvent(h, &o.word, 0);
     }},
    {"108",
     [](LONG h, Outputs&) {
         DeviceSetPropertyBlock b{PROP_DI_FALLING_EDGE_MASK, 0, 4, FALLING};
         return Proc(108, h, &b);
     },
     [](LONG h, Outputs&) {
         return DeviceSetProperty(h, PROP_DI_FALLING_EDGE_MASK, FALLING, 4);
     }},
    {"109",
     [](LONG h, Outputs& o) {
         o.dword = 4;
         DeviceGetPropertyBlock b{PROP_SLOT_NUMBER, 0, &o.dword, o.bytes};
         return Proc(109, h, &b);
     },
     [](LONG h, Outputs& o) {
         o.dword = 4;
         return DeviceGetProperty(h, PROP_SLOT_NUMBER, o.bytes, &o.dword);
     }},
    {"122",
     [](LONG h, Outputs& o) {
         DioReadPortWordBlock b{2, 0, &o.word, &o.wordMask};
         return Proc(122, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioReadPortWord(h, 2, &o.wordMask, &o.word);
     }},
    {"123",
     [](LONG h, Outputs&) {
         DioWritePortWordBlock b{1, 0x0FF0, 0xFFFF};
         return Proc(123, h, &b);
     },
     [](LONG h, Outputs&) {
         return DioWritePortWord(h, 1, 0x0FF0, 0xFFFF);
     }},
    {"124",
     [](LONG h, Outputs& o) {
         DioReadPortDwordBlock b{1, 0, &o.dword, &o.dwordMask};
         return Proc(124, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioReadPortDword(h, 1, &o.dwordMask, &o.dword);
     }},
    {"125",
     [](LONG h, Outputs&) {
         DioWritePortDwordBlock b{0, 0, 0x00FF00FF, 0x12345678};
         return Proc(125, h, &b);
     },
     [](LONG h, Outputs&) {
         return DioWritePortDword(h, 0, 0x00FF00FF, 0x12345678);
     }},
    {"126",
     [](LONG h, Outputs& o) {
         DioGetCurrentDOWordBlock b{3, 0, &o.word, &o.wordMask};
         return Proc(126, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioGetCurrentDOWord(h, 3, &o.wordMask, &o.word);
     }},
    {"127",
     [](LONG h, Outputs& o) {
         DioGetCurrentDODwordBlock b{0, 0, &o.dword, &o.dwordMask};
         return Proc(127, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioGetCurrentDODword(h, 0, &o.dwordMask, &o.dword);
     }},
    {"131",
     [](LONG h, Outputs&) {
         DioEnableEventAndSpecifyDiPortsBlock b{EVT_DI_INTERRUPT1, 1, 2};
         return Proc(131, h, &b);
     },
     [](LONG h, Outputs&) {
         return DioEnableEventAndSpecifyDiPorts(h, EVT_DI_INTERRUPT1, 1, 2);
     }},
    {"132", [](LONG h, Outputs&) { return DriverProc(0, 0, 132, h, EVT_DI_INTERRUPT0); },
     [](LONG h, Outputs&) {
         return DioDisableEvent(h, EVT_DI_INTERRUPT0);
     }},
    {"133",
     [](LONG h, Outputs& o) {
         DioGetLatestEventDiPortsStateBlock b{EVT_DI_INTERRUPT1, o.bytes, 4};
         return Proc(133, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioGetLatestEventDiPortsState(h, EVT_DI_INTERRUPT1, o.bytes, 4);
     }},
    {"134",
     [](LONG h, Outputs& o) {
         DioReadDiPortsBlock b{0, 4, o.bytes};
         return Proc(134, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioReadDiPorts(h, 0, 4, o.bytes);
     }},
    {"135",
     [](LONG h, Outputs&) {
         DioWriteDoPortsBlock b{1, 2, TWO_VALUES};
         return Proc(135, h, &b);
     },
     [](LONG h, Outputs&) {
         return DioWriteDoPorts(h, 1, 2, TWO_VALUES);
     }},
    {"136",
     [](LONG h, Outputs& o) {
         DioGetCurrentDoPortsStateBlock b{0, 4, o.bytes};
         return Proc(136, h, &b);
     },
     [](LONG h, Outputs& o) {
         return DioGetCurrentDoPortsState(h, 0, 4, o.bytes);
     }},
};

class Dispatcher : public OpenBoards {
protected:
    void SetUp() override
    {
        OpenBoards::SetUp();
        for (unsigned port = 0; port < 4; ++port) {
            vtcBoard->setInputPort(port, BYTE(0x1F * (port + 1)));
        }
    }
    // Runs one form of a case from the same starting outputs.
    std::pair<LONG, Outputs> Run(const std::function<LONG(LONG, Outputs&)>& call)
    {
        const BYTE start[4] = {0x5A, 0xA5, 0x3C, 0xC3};
        EXPECT_EQ(DioWriteDoPorts(vtc, 0, 4, start), API_SUCCESS);
        Outputs outputs;
        std::memset(&outputs, 0xEE, sizeof(outputs));
        const LONG status = call(vtc, outputs);
        for (unsigned port = 0; port < 4; ++port) {
            outputs.latches[port] = vtcBoard->outputLatch(port);
        }
        outputs.interruptEnable = vtcBoard->interruptEnable();
        return {status, outputs};
    }
};

TEST_F(Dispatcher, EveryCodeGivesWhatTheNamedExportGives)
{
    for (const Case& c : CASES) {
        const auto [procStatus, procOutputs] = Run(c.viaProc);
        const auto [exportStatus, exportOutputs] = Run(c.viaExport);
        EXPECT_EQ(procStatus, exportStatus) << "code " << c.name;
        EXPECT_TRUE(procOutputs == exportOutputs) << "code " << c.name;
    }
    // The cases reach the board: spot checks that both forms did work.
    EXPECT_EQ(Run(CASES[3].viaProc).second.latches[1], 0xA5);  // 21: mask 0x0F, state 5
    EXPECT_EQ(Run(CASES[2].viaProc).first, Status(VTC4100_SLOT, API_PORT_OUT_OF_RANGE));
}

TEST_F(Dispatcher, CodesOutsideTheTableAndTheHighBits)
{
    for (DWORD code : {3u, 19u, 30u, 76u, 79u, 107u, 110u, 121u, 128u, 130u, 137u, 0xFFFFu}) {
        EXPECT_EQ(DriverProc(0, 0, code, vtc, 0), API_UNKNOWN_FUNCTION) << code;
    }
    BYTE value = 0;
    DioReadPortByteBlock block{1, 0, &value};
    EXPECT_EQ(Proc(0x10000 | FUNC_DIO_READ_PORT_BYTE, vtc, &block), API_SUCCESS);
    EXPECT_EQ(value, 0x3E);
}

TEST_F(Dispatcher, MissingBlockIsAnsweredLikeAMissingAddress)
{
    for (DWORD code : {2u, 20u, 21u, 78u, 109u, 125u, 136u}) {
        EXPECT_EQ(DriverProc(0, 0, code, vtc, 0), Status(VTC4100_SLOT, API_INVALID_PARAMETER))
            << code;
        EXPECT_EQ(DriverProc(0, 0, code, 0, 0), API_INVALID_HANDLE) << code;
    }
}

TEST_F(Dispatcher, OpenAndCloseTakeTheHandleVariable)
{
    LONG second = 0;
    ASSERT_EQ(DriverProc(0, 0, FUNC_DEVICE_OPEN, NumberOfSlot(VTC4100_SLOT),
                         reinterpret_cast<LONG_PTR>(&second)),
              API_SUCCESS);
    EXPECT_EQ(second, vtc);
    EXPECT_EQ(DriverProc(0, 0, FUNC_DEVICE_CLOSE, reinterpret_cast<LONG_PTR>(&second), 0),
              API_SUCCESS);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(DriverProc(0, 0, FUNC_DEVICE_CLOSE, reinterpret_cast<LONG_PTR>(&second), 0),
              API_INVALID_HANDLE);
}

}  // namespace
