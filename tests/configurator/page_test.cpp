// The editor's two pages driven as a person would: the Device tab (model,
// features, picture, SwitchID) and the DI tab (edge pairs), observed in the
// controls and in the script the editor saves.
#include "tests/configurator/editor_fixture.h"

using namespace editor_test;

namespace {

struct Pair {
    bool enabled;
    bool rising;
    bool falling;
};

class Pages : public EditorTest {
protected:
    Pair EdgePair(int input) const
    {
        const auto rising = Shot(kEdgeFirst + 2 * input);
        const auto falling = Shot(kEdgeFirst + 2 * input + 1);
        EXPECT_EQ(rising.enabled, falling.enabled);
        return {rising.enabled, rising.checked, falling.checked};
    }
    void ClickEdge(int input, bool falling)
    {
        Click(kEdgeFirst + 2 * input + (falling ? 1 : 0));
    }
};

TEST_F(Pages, DevicePageShowsTheModelItsFeaturesAndPicture)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 3, 0) + Written("RLX4100ES", 0, 4, 0) +
                                      Written("RLX6200KS", 0, 5, 0));
    ASSERT_NE(Open(), nullptr);
    struct Expected {
        const char* model;
        const char* features;
        int width;
        int height;
        int switchId;
    };
    const std::string five =
        "\n*16 Isolated Digital Input channel\n*16 Isolated Digital Output channel\n"
        "*16 Digital Input channel\n*16 Digital Output channel\n*Interrupt handling capability\n";
    const std::string three =
        "\n*16 Isolated Digital Input channel\n*16 Isolated Digital Output "
        "channel\n*Interrupt handling capability\n";
    for (const Expected& expected : {Expected{"VTC-4100", five.c_str(), 189, 135, 3},
                                     Expected{"VTC-4100E", five.c_str(), 192, 144, 4},
                                     Expected{"VTM-6200K", three.c_str(), 118, 109, 5}}) {
        SCOPED_TRACE(expected.model);
        Select({"DeviceTemplate", expected.model, "Template0"});
        EXPECT_EQ(Shot(kModelName).text, expected.model);
        EXPECT_EQ(Shot(kFeatures).text, expected.features);
        const auto picture = Shot(kPicture).bitmap;
        EXPECT_EQ(picture.width, expected.width);
        EXPECT_EQ(picture.height, expected.height);
        const auto list = Shot(kSwitchIdList);
        ASSERT_EQ(list.comboItems.size(), 16U);
        EXPECT_EQ(list.comboItems[15], "15");
        EXPECT_EQ(list.comboSelection, expected.switchId);
    }
}

TEST_F(Pages, SwitchIdInUseIsRefusedAndAFreedOneCanBeTaken)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 0) + Written("RLX4100S", 1, 1, 0));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    ChooseSwitchId(0);
    EXPECT_TRUE(BoxTexts().empty()) << "the template's own SwitchID";
    ChooseSwitchId(1);
    ASSERT_EQ(BoxTexts(), (std::vector<std::u16string>{u"SwitchID already used!"}));
    EXPECT_EQ(vtsim::MessageBoxes()[0].owner,
              reinterpret_cast<std::uintptr_t>(GetParent(Control(kSwitchIdList))));
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, 0);
    EXPECT_TRUE(Shot(kSave).enabled) << "a refused choice still counts as an edit";

    ChooseSwitchId(2);  // frees 0
    Select({"DeviceTemplate", "VTC-4100", "Template1"});
    ChooseSwitchId(0);
    EXPECT_EQ(BoxTexts().size(), 1U);
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script),
              Written("RLX4100S", 0, 2, 0) + Written("RLX4100S", 1, 0, 0));
}

TEST_F(Pages, SameSwitchIdInTwoModelsIsAccepted)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 7, 0) + Written("RLX4100ES", 0, 0, 0));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100E", "Template0"});
    ChooseSwitchId(7);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, 7);
}

TEST_F(Pages, SectionWithoutTriggerModeKeepsItsSwitchIdAndTakesIt)
{
    folder_.Write(kVtc4100Script,
                  "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template0]\r\n"
                  "\"SwitchID\"=dword:4\r\n\r\n");
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, 4);
    Select({"DeviceTemplate", "VTC-4100"});
    for (int i = 0; i < 5; ++i) {
        Select({"DeviceTemplate", "VTC-4100"});
        Click(kAdd);
    }
    EXPECT_EQ(SelectedNode(), "Template5");
    // A save writes SwitchID 4 with the template: a new one must not get it too.
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, 5);
}

TEST_F(Pages, SwitchIdOutsideTheListSelectsNothingAndCanBeReplaced)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0xFFFFFFFF, 0));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    EXPECT_EQ(Shot(kSwitchIdList).comboSelection, -1);
    ChooseSwitchId(0);
    EXPECT_TRUE(BoxTexts().empty());
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script), Written("RLX4100S", 0, 0, 0));
}

TEST_F(Pages, EdgePageShowsTheTriggerModeAndEditsOneBitPerClick)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 5));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    Tab("DI");
    const bool falling[4] = {true, false, true, false};
    for (int input = 0; input < 4; ++input) {
        const Pair pair = EdgePair(input);
        EXPECT_TRUE(pair.enabled) << input;
        EXPECT_EQ(pair.falling, falling[input]) << input;
        EXPECT_NE(pair.rising, pair.falling) << input;
    }
    ClickEdge(1, true);
    EXPECT_TRUE(Shot(kSave).enabled);
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script), Written("RLX4100S", 0, 0, 7));
    ClickEdge(1, false);
    ClickEdge(0, true);  // already falling: no change, still an edit
    EXPECT_TRUE(Shot(kSave).enabled);
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script), Written("RLX4100S", 0, 0, 5));
}

TEST_F(Pages, Vtm6200KEnablesTwoPairsAndKeepsTheOtherBits)
{
    folder_.Write(kVtc4100Script, Written("RLX6200KS", 0, 0, 0xC) + Written("RLX4100S", 0, 0, 0xF));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    Tab("DI");
    Select({"DeviceTemplate", "VTM-6200K", "Template0"});
    EXPECT_TRUE(EdgePair(0).enabled);
    EXPECT_TRUE(EdgePair(1).enabled);
    EXPECT_TRUE(EdgePair(0).rising);
    for (int input : {2, 3}) {
        const Pair pair = EdgePair(input);
        EXPECT_FALSE(pair.enabled) << input;
        EXPECT_TRUE(pair.falling) << "a disabled pair keeps the check mark it had";
    }
    ClickEdge(0, true);
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script),
              Written("RLX6200KS", 0, 0, 0xD) + Written("RLX4100S", 0, 0, 0xF));
}

TEST_F(Pages, EditsFollowTheSelectedTemplate)
{
    folder_.Write(kVtc4100Script, Written("RLX4100S", 0, 0, 0) + Written("RLX4100S", 1, 1, 0));
    ASSERT_NE(Open(), nullptr);
    Select({"DeviceTemplate", "VTC-4100", "Template1"});
    Tab("DI");
    ClickEdge(3, true);
    Select({"DeviceTemplate", "VTC-4100", "Template0"});
    EXPECT_TRUE(EdgePair(3).rising);
    Tab("Device");
    Select({"DeviceTemplate", "VTC-4100", "Template1"});
    Tab("DI");
    EXPECT_TRUE(EdgePair(3).falling) << "switching templates and tabs loses no edit";
    Click(kSave);
    EXPECT_EQ(folder_.Read(kVtc4100Script),
              Written("RLX4100S", 0, 0, 0) + Written("RLX4100S", 1, 1, 8));
}

}  // namespace
