// The DeviceName text formatted from each model's format, and the device
// subkey names.
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
    ASSERT_EQ(StringCchPrintfW(text, std::size(text),
                               NamesOf(BOARD_TYPE_VTM6200K)->deviceNameFormat, 15, 0xC000),
              S_OK);
    EXPECT_EQ(std::u16string(text), u"VTM-6200K BoardID=15 I/O=c000H");
    ASSERT_EQ(StringCchPrintfW(text, std::size(text), NamesOf(BOARD_TYPE_VTC4100)->deviceNameFormat,
                               3, 0xE800),
              S_OK);
    EXPECT_EQ(std::u16string(text), u"VTC-4100 BoardID=3 I/O=e800H");
    // The longest text a model can give (switch 15, 32-bit base) still fits.
    EXPECT_EQ(StringCchPrintfW(text, std::size(text),
                               NamesOf(BOARD_TYPE_VTC4100E)->deviceNameFormat, 15, 0xFFFFFFFFu),
              S_OK);
}

// ASCII test names as registry (UTF-16) names.
std::u16string Wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

TEST(RegistryLayout, DeviceSubkeyNamesAreDevicePlusADecimalNumberUpTo254)
{
    const struct {
        const char* name;
        DWORD number;
    } accepted[] = {
        {"Device000", 0},  {"Device254", 254}, {"device7", 7},
        {"DEVICE0007", 7}, {"dEvIcE42", 42},   {"Device0000000000000000000012", 12},
    };
    for (const auto& a : accepted) {
        DWORD number = 999;
        EXPECT_TRUE(ParseDeviceSubkeyName(Wide(a.name).c_str(), &number)) << a.name;
        EXPECT_EQ(number, a.number) << a.name;
    }
    // Nothing after the tag, a number past 254 (however long), any other
    // character, another tag: not a device entry, and the number untouched.
    for (const char* name :
         {"Device", "Device255", "Device300", "Device99999999999999999999", "DeviceABC", "Device7x",
          "Device 7", "Device-1", "Device+1", "Dev7", "XDevice7", "Devic", "", "Template0"}) {
        DWORD number = 999;
        EXPECT_FALSE(ParseDeviceSubkeyName(Wide(name).c_str(), &number)) << name;
        EXPECT_EQ(number, 999u) << name;
    }
    DWORD number = 999;
    EXPECT_FALSE(ParseDeviceSubkeyName(nullptr, &number));
}

}  // namespace
