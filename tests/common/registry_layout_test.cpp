// The names by board model and the device subkey names.
#include <gtest/gtest.h>

#include <string>

#include "common/board_types.h"
#include "common/registry_layout.h"
#include "platform/kernel.h"

namespace {

TEST(RegistryLayout, NamesByBoardModel)
{
    struct Expected {
        DWORD boardType;
        const char* model;
        const char16_t* driverKey;
        const char16_t* kernelKey;
        const char16_t* templateKey;
        const char16_t* format;
    } const expected[] = {
        {135, "VTC-4100", u"SYSTEM\\CurrentControlSet\\Services\\RLX4100S", u"RLX4100S",
         u"Drivers\\BuiltIn\\PCI\\Template\\Rlx4100S", u"VTC-4100 BoardID=%d I/O=%xH"},
        {226, "VTC-4100E", u"SYSTEM\\CurrentControlSet\\Services\\RLX4100ES", u"RLX4100ES",
         u"Drivers\\BuiltIn\\PCI\\Template\\Rlx4100ES", u"VTC-4100E BoardID=%d I/O=%xH"},
        {221, "VTM-6200K", u"SYSTEM\\CurrentControlSet\\Services\\RLX6200KS", u"RLX6200KS",
         u"Drivers\\BuiltIn\\PCI\\Template\\Rlx6200KS", u"VTM-6200K BoardID=%d I/O=%xH"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.model);
        const ModelNames* names = NamesOf(e.boardType);
        ASSERT_NE(names, nullptr);
        EXPECT_EQ(names->boardType, e.boardType);
        EXPECT_STREQ(names->model, e.model);
        EXPECT_EQ(std::u16string(names->driverKey), e.driverKey);
        EXPECT_EQ(std::u16string(names->kernelKeyName), e.kernelKey);
        EXPECT_EQ(std::u16string(names->templateKey), e.templateKey);
        EXPECT_EQ(std::u16string(names->deviceNameFormat), e.format);
    }
    for (DWORD other : {0u, 1u, 0x87u + 1, 0xFFFFFFFFu}) {
        EXPECT_EQ(NamesOf(other), nullptr) << other;
    }
    // The library searches the same driver keys.
    for (const WCHAR* key : DRIVER_KEY_SEARCH_ORDER) {
        bool found = false;
        for (DWORD type : {BOARD_TYPE_VTC4100, BOARD_TYPE_VTC4100E, BOARD_TYPE_VTM6200K}) {
            found = found || std::u16string(NamesOf(type)->driverKey) == key;
        }
        EXPECT_TRUE(found);
    }
}

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
         {"Device", "Device255", "Device300", "Device99999999999999999999", "DeviceABC",
          "Device7x", "Device 7", "Device-1", "Device+1", "Dev7", "XDevice7", "Devic", "",
          "Template0"}) {
        DWORD number = 999;
        EXPECT_FALSE(ParseDeviceSubkeyName(Wide(name).c_str(), &number)) << name;
        EXPECT_EQ(number, 999u) << name;
    }
    DWORD number = 999;
    EXPECT_FALSE(ParseDeviceSubkeyName(nullptr, &number));
}

}  // namespace
