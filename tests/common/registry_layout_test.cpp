// The DeviceName text formatted from each model's format.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "common/board_types.h"
#include "common/registry_layout.h"
#include "platform/kernel.h"

namespace {

TEST(RegistryLayout, DeviceNameTextFitsItsLimit)
{
    WCHAR text[DEVICE_NAME_MAX_CHARS + 1];
    ASSERT_EQ(StringCchPrintfW(text, std::size(text), NamesOf(BOARD_TYPE_VTM6200K)->deviceNameFormat, 15, 0xC000),
              S_OK);
    EXPECT_EQ(std::u16string(text), u"VTM-6200K BoardID=15 I/O=c000H");
    ASSERT_EQ(StringCchPrintfW(text, std::size(text), NamesOf(BOARD_TYPE_VTC4100)->deviceNameFormat, 3, 0xE800),
              S_OK);
    EXPECT_EQ(std::u16string(text), u"VTC-4100 BoardID=3 I/O=e800H");
    // The longest text a model can give (switch 15, 32-bit base) still fits.
    EXPECT_EQ(StringCchPrintfW(text, std::size(text), NamesOf(BOARD_TYPE_VTC4100E)->deviceNameFormat, 15,
                               0xFFFFFFFFu),
              S_OK);
}

}  // namespace
