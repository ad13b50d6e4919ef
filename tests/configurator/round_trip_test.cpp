// The round trip: a template edited and saved in the editor, as a person
// would, reaches the board at the next boot of the target from the
// platform tree: the board whose ID switch matches the template starts with
// the template's trigger mode in its trigger-edge register.
#include <string>
#include <vector>

#include "platform/host/control/board.h"
#include "platform/host/control/target.h"
#include "tests/configurator/editor_fixture.h"
#include "tools/common/platform_tree.h"

using namespace editor_test;

namespace {

class RoundTrip : public EditorTest {
protected:
    void TearDown() override
    {
        vtsim::Shutdown();
        EditorTest::TearDown();
    }

    // Boots a machine of one board with the given ID switch from the tree
    // and returns the board's trigger-edge register.
    int BootAndReadTriggerRegister(vtsim::BoardModel model, std::uint8_t switchId)
    {
        vtsim::BootOptions options;
        vtsim::BoardConfig board;
        board.model = model;
        board.slot = 4;
        board.switchId = switchId;
        board.ioBase = 0xD000;
        board.irq = 7;
        options.machine.boards = {board};
        std::string error;
        EXPECT_TRUE(vttools::TreeScripts(tree_, &options.registryScripts, &error)) << error;
        if (!vtsim::Boot(options, &error)) {
            ADD_FAILURE() << error;
            return -1;
        }
        const int trigger = vtsim::Boards().at(0)->triggerMode();
        EXPECT_EQ(vtsim::Devices().size(), 1U) << "the driver started on the board";
        vtsim::Shutdown();
        return trigger;
    }

    std::string tree_ = folder_.HostPath("TREE").string();
};

TEST_F(RoundTrip, SavedTemplateSetsTheEdgesOfTheMatchingBoardAtTheNextBoot)
{
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(vttools::LayOutTree(tree_, false, &written, &error)) << error;
    // The package's VTC-4100 template 1 selects switch 3 with all edges rising.
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x00);

    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template1"});
    ChooseSwitchId(9);
    Tab("DI");
    Click(kEdgeFirst + 2 * 1 + 1);  // Bit1 falling
    Click(kEdgeFirst + 2 * 3 + 1);  // Bit3 falling
    Click(kSave);
    Click(kClose);
    // The VTM-6200K's templates live in its own package's script, which the
    // library edits when loaded by that model's name: a new template, Bit0
    // falling, on the lowest free SwitchID (the package's template 0 has 3).
    ASSERT_NE(Open("VTM6200KCfg.dll"), nullptr);
    Select({"DeviceTemplate", "VTM-6200K"});
    Click(kAdd);
    EXPECT_EQ(SelectedNode(), "Template1");
    Tab("DI");
    Click(kEdgeFirst + 1);
    Click(kClose);  // asks, and saves on OK
    EXPECT_EQ(vtsim::MessageBoxes().size(), 1U);

    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 9), 0x0A);
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTC4100, 3), 0x00)
        << "switch 3 no longer selects a template";
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTM6200K, 0), 0x01);
    EXPECT_EQ(BootAndReadTriggerRegister(vtsim::BoardModel::VTM6200K, 3), 0x01)
        << "the package's own template";
}

}  // namespace
