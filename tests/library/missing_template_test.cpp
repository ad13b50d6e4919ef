// The device setting dialog when its template cannot be found: the
// library's sources built into a program of their own, without the
// library's resources and without module startup code, so that the module
// handle stays null and the program (which has no resources) is searched.
#include <gtest/gtest.h>

#include "library/include/rlx4100.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/ui_driver.h"

namespace {

TEST(DeviceConfigWithoutTemplate, ReturnsTheDialogServicesFailureValue)
{
    vtsim::ClearModalDialogs();
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    EXPECT_EQ(DeviceConfig(0, 0, nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(DeviceConfigExt(3, 0, nullptr, nullptr, nullptr), -1);
    EXPECT_TRUE(vtsim::ModalDialogs().empty());
    EXPECT_TRUE(vtsim::TopLevelWindows().empty());
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

}  // namespace
