// The hive's key deletion services that the rest of the simulated target
// (the device manager's active keys) uses instead of the tree and its lock.
#include <atomic>
#include <thread>

#include "platform/host/registry/hive.h"
#include "tests/host/registry/registry_test_support.h"

namespace {

using namespace registry_test;
using HiveServices = RegistryTest;
using vtsim::registry::DeleteKey;
using vtsim::registry::DeleteSubkeys;

TEST_F(HiveServices, DeleteKeyRemovesOneKeyWithItsSubtreeAndLeavesItsHandlesStale)
{
    HKEY deep = Create(u"Drivers\\Active\\01\\Deep");
    RegCloseKey(Create(u"Drivers\\Active\\02"));
    const DWORD one = 1;
    EXPECT_TRUE(DeleteKey(u"drivers\\ACTIVE\\01")) << "the path matches without regard to case";
    EXPECT_EQ(Subkeys(u"Drivers\\Active"), (std::vector<std::u16string>{u"02"}));
    EXPECT_EQ(RegSetValueExW(deep, u"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(deep), ERROR_SUCCESS);

    for (const char16_t* refused :
         {u"Drivers\\Active\\01", u"Missing\\02", u"", u"\\Drivers", u"Drivers\\\\Active"}) {
        EXPECT_FALSE(DeleteKey(refused)) << "missing, the root, or not a path";
    }
    EXPECT_EQ(Subkeys(u""), (std::vector<std::u16string>{u"Drivers"}));
    EXPECT_EQ(Subkeys(u"Drivers\\Active"), (std::vector<std::u16string>{u"02"}));
}

TEST_F(HiveServices, DeleteSubkeysEmptiesAKeyButKeepsItAndItsValues)
{
    HKEY active = Create(u"Drivers\\Active");
    const DWORD seven = 7;
    RegSetValueExW(active, u"Kept", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), 4);
    RegCloseKey(active);
    RegCloseKey(Create(u"Drivers\\Active\\01\\Deep"));
    RegCloseKey(Create(u"Drivers\\Active\\02"));
    EXPECT_TRUE(DeleteSubkeys(u"Drivers\\Active"));
    EXPECT_TRUE(Subkeys(u"Drivers\\Active").empty());
    EXPECT_EQ(Query(u"Drivers\\Active", u"Kept").data, (std::vector<BYTE>{7, 0, 0, 0}));
    EXPECT_FALSE(DeleteSubkeys(u"Drivers\\Missing"));
    EXPECT_TRUE(DeleteSubkeys(u"")) << "the root's subkeys";
    EXPECT_TRUE(Subkeys(u"").empty());
}

TEST_F(HiveServices, DeletionsTakeTheHiveLockBesideOtherWriters)
{
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 200; ++i) {
            RegCloseKey(Create(u"Drivers\\Active\\01"));
            RegCloseKey(Create(u"Drivers\\Active\\02"));
        }
        done = true;
    });
    while (!done) {
        DeleteKey(u"Drivers\\Active\\01");
        DeleteSubkeys(u"Drivers\\Active");
    }
    writer.join();
    EXPECT_TRUE(DeleteSubkeys(u"Drivers\\Active"));
    EXPECT_TRUE(Subkeys(u"Drivers\\Active").empty());
}

}  // namespace
