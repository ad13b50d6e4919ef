// Machine descriptions: the default machine, model names, TOML and its errors.
#include <gtest/gtest.h>

#include <set>

#include "platform/host/control/machine.h"

using vtsim::BoardModel;
using vtsim::MachineDescription;

TEST(MachineDescription, DefaultHasThreeDistinctBoardsAndIdentitiesTellModelsApart)
{
    const MachineDescription m = MachineDescription::Default();
    ASSERT_EQ(m.boards.size(), 3u);
    std::set<std::uint32_t> slots, bases, switches, irqs;
    std::set<BoardModel> models;
    for (const auto& b : m.boards) {
        slots.insert(b.slot), bases.insert(b.ioBase), switches.insert(b.switchId);
        irqs.insert(b.irq), models.insert(b.model);
        BoardModel parsed;
        ASSERT_TRUE(vtsim::ParseModelName(vtsim::ModelName(b.model), &parsed));
        EXPECT_EQ(parsed, b.model);
    }
    EXPECT_EQ(slots.size() + bases.size() + switches.size() + irqs.size() + models.size(), 15u);

    const auto e = vtsim::IdentityOf(BoardModel::VTC4100E);
    EXPECT_EQ(vtsim::IdentityOf(BoardModel::VTC4100).deviceId, 0x4100u);
    EXPECT_NE(vtsim::IdentityOf(BoardModel::VTC4100).subSystemId, 0xB100u);
    EXPECT_EQ(e.deviceId, 0x4100u);
    EXPECT_EQ(e.subSystemId, 0xB100u);
    EXPECT_EQ(vtsim::IdentityOf(BoardModel::VTM6200K).deviceId, 0x6200u);
    const auto unknown = vtsim::IdentityOf(BoardModel::Unknown).deviceId;
    EXPECT_TRUE(unknown != 0x4100u && unknown != 0x6200u);

    BoardModel parsed;
    EXPECT_TRUE(vtsim::ParseModelName("vtc4100e", &parsed));
    EXPECT_EQ(parsed, BoardModel::VTC4100E);
    EXPECT_FALSE(vtsim::ParseModelName("VTC-4200", &parsed));
}

TEST(MachineDescription, TomlReadsBoardsWithDefaultsAndFaults)
{
    MachineDescription m;
    std::string error;
    ASSERT_TRUE(MachineDescription::FromToml(R"(
[[board]]
model = "VTM-6200K"
slot = 9
switch = 7
io_base = 0xD000
irq = 10
loopback = true

[[board]]
model = "unknown"
bus = 1
slot = 9
io_base = 0xD100
io_length = 0x40
irq = 10
omit_pci_info = true
isr_dll = "Missing.dll"
)",
                                             &m, &error))
        << error;
    ASSERT_EQ(m.boards.size(), 2u);
    EXPECT_EQ(m.boards[0].model, BoardModel::VTM6200K);
    EXPECT_EQ(m.boards[0].switchId, 7);
    EXPECT_EQ(m.boards[0].ioLength, 0x20u);
    EXPECT_TRUE(m.boards[0].loopback);
    EXPECT_EQ(m.boards[1].bus, 1u);
    EXPECT_EQ(m.boards[1].ioLength, 0x40u);
    EXPECT_TRUE(m.boards[1].omitPciInfo);
    EXPECT_EQ(m.boards[1].isrDllOverride, "Missing.dll");
}

TEST(MachineDescription, TomlErrorsNameTheProblem)
{
    const std::string head = "[[board]]\nmodel = \"VTC-4100\"\nslot = 5\nirq = 10\n";
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {"[[board]]\nmodel = \"VTC-9\"\nslot = 1\nio_base = 0xE000\nirq = 3\n", "VTC-9"},
        {head, "board @0: missing key 'io_base'"},  // numbered as the tools number them
        {head + "io_base = 0xE000\nswitch = 16\n", "'switch'"},
        {head + "io_base = 0xE000\nswich = 1\n", "unknown key 'swich'"},
        {head + "io_base = 0xE000\nio_length = 8\n", "too small"},
        {head + "io_base = 0xE000\n" + head + "io_base = 0xE010\nslot = 6\n",
         "line "},  // a duplicate key: a TOML error with its position
        {head + "io_base = 0xE000\n[[board]]\nmodel = \"VTM-6200K\"\nslot = 6\nirq = 10\n"
                "io_base = 0xE010\n",
         "board @1: the I/O window overlaps that of board @0"},
        {head + "io_base = 0xE000\n" + head + "io_base = 0xE400\n",
         "board @1: bus/slot/function is already taken by board @0"},
        {"[[board]]\nmodel = \"VTC-4100\"\nslot = 5\nirq = 10\nio_base = 0xE000\nboard = 1\n",
         "board @0: unknown key 'board'"},
        {"model = \"VTC-4100\"\n", "unknown top-level key 'model'"},
        {"[[board]\n", "line 1"},
    };
    for (const auto& c : cases) {
        MachineDescription m;
        std::string error;
        EXPECT_FALSE(MachineDescription::FromToml(c.text, &m, &error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_FALSE(error.empty());
    }
    std::string error;
    EXPECT_FALSE(MachineDescription::FromTomlFile("/nonexistent/machine.toml", nullptr, &error));
    EXPECT_NE(error.find("/nonexistent/machine.toml"), std::string::npos);
}

TEST(MachineDescription, TomlWrittenOutReadsBackUnchanged)
{
    MachineDescription m = MachineDescription::Default();
    vtsim::BoardConfig odd;
    odd.model = BoardModel::Unknown;
    odd.bus = 2;
    odd.slot = 31;
    odd.function = 7;
    odd.switchId = 15;
    odd.ioBase = 0xFF00;
    odd.ioLength = 0x40;
    odd.irq = 15;
    odd.loopback = true;
    odd.omitPciInfo = odd.incompleteIsrInfo = odd.omitIoWindow = true;
    odd.isrDllOverride = "dir\\\"quoted\"\ttab\x01\xC3\x84.dll";
    m.boards.push_back(odd);

    const std::string toml = m.ToToml();
    MachineDescription back;
    std::string error;
    ASSERT_TRUE(MachineDescription::FromToml(toml, &back, &error)) << error << "\n" << toml;
    EXPECT_EQ(back.boards, m.boards) << toml;
    // Faults that are not set are left out, so the default machine's file
    // holds only what a person edits.
    EXPECT_EQ(MachineDescription::Default().ToToml().find("omit_"), std::string::npos);
}
