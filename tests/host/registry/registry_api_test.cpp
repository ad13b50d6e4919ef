// The registry services as the driver and the library use them.
#include <atomic>
#include <thread>

#include "tests/host/registry/registry_test_support.h"

namespace {

using namespace registry_test;
using Api = RegistryTest;

TEST_F(Api, CreateMakesParentsAndOpensExistingKeysWithoutRegardToCase)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vendor\\App", 0, nullptr, 0, 0,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_NE(key, nullptr);
    EXPECT_NE(key, HKEY_LOCAL_MACHINE);
    EXPECT_LT(reinterpret_cast<ULONG_PTR>(key), 0x80000000u)
        << "handles are small numbers, not pointers";
    EXPECT_EQ(vtsim::GetLiveCounts().registryKeys, 1u);

    HKEY again = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\vendor\\APP", 0, nullptr, 0, 0,
                              nullptr, &again, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_NE(again, key) << "each open gives its own handle";

    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"software\\VENDOR", 0, 0, &opened), ERROR_SUCCESS);
    HKEY child = nullptr;
    EXPECT_EQ(RegOpenKeyExW(opened, u"app", 0, 0, &child), ERROR_SUCCESS);
    EXPECT_EQ(Subkeys(u"")[0], u"Software") << "the name keeps the case it was created with";
    EXPECT_EQ(Subkeys(u"software")[0], u"Vendor");

    for (HKEY k : {key, again, opened, child}) {
        EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    }
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE) << "a handle closes once";
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_F(Api, ErrorCodes)
{
    HKEY key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Missing\\Key", 0, 0, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Missing", 0, 0, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, nullptr, 0, 0, nullptr, nullptr, nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"A\\\\B", 0, nullptr, 0, 0, nullptr, &key, nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\A", 0, nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Subkeys(u"").size(), 0u) << "a refused path creates nothing";

    const HKEY bad[] = {nullptr, reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234)),
                        reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)),
                        reinterpret_cast<HKEY>(&key)};
    for (HKEY handle : bad) {
        DWORD size = 4;
        DWORD data = 0;
        WCHAR name[8];
        DWORD chars = 8;
        EXPECT_EQ(RegOpenKeyExW(handle, u"A", 0, 0, &key), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCreateKeyExW(handle, u"A", 0, nullptr, 0, 0, nullptr, &key, nullptr),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegEnumKeyExW(handle, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(
            RegQueryValueExW(handle, u"V", nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size),
            ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegSetValueExW(handle, u"V", 0, REG_DWORD, reinterpret_cast<BYTE*>(&data), 4),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCloseKey(handle), ERROR_INVALID_HANDLE);
    }
}

TEST_F(Api, EnumerationFollowsCreationOrderAndReportsShortBuffers)
{
    for (const char16_t* path : {u"List\\beta", u"List\\Alpha", u"List\\gamma7"}) {
        RegCloseKey(Create(path));
    }
    HKEY list = Create(u"LIST");
    WCHAR name[16] = {u'x'};
    DWORD chars = 5;  // "Alpha" without room for the terminator
    EXPECT_EQ(RegEnumKeyExW(list, 1, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(name[0], u'x') << "nothing is copied";
    chars = 6;
    ASSERT_EQ(RegEnumKeyExW(list, 1, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(chars, 5u);
    EXPECT_EQ(std::u16string(name), u"Alpha");
    chars = 16;
    EXPECT_EQ(RegEnumKeyExW(list, 3, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumKeyExW(list, 0, nullptr, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(list);
    EXPECT_EQ(Subkeys(u"List"), (std::vector<std::u16string>{u"beta", u"Alpha", u"gamma7"}));
}

TEST_F(Api, QueryReportsSizesTypesAndMissingValues)
{
    HKEY key = Create(u"Values");
    const std::vector<BYTE> text = WideBytes(u"VTD1:");
    ASSERT_EQ(
        RegSetValueExW(key, u"CallName", 0, REG_SZ, text.data(), static_cast<DWORD>(text.size())),
        ERROR_SUCCESS);

    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"callname", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 12u) << "UTF-16 with the terminator";

    BYTE buffer[16] = {0xEE};
    size = 11;
    EXPECT_EQ(RegQueryValueExW(key, u"CallName", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(buffer[0], 0xEE);
    size = sizeof(buffer);
    EXPECT_EQ(RegQueryValueExW(key, u"CallName", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 12), text);

    EXPECT_EQ(RegQueryValueExW(key, u"CallName", nullptr, &type, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key, u"CallName", nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(Api, SetStoresBytesAsGivenAndReplacesByNameWithoutRegardToCase)
{
    HKEY key = Create(u"Values");
    const DWORD mode = 5;
    const BYTE odd[3] = {1, 2, 3};
    const BYTE multi[] = {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0};
    ASSERT_EQ(
        RegSetValueExW(key, u"TriggerMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode), 4),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, u"Blob", 0, REG_BINARY, odd, 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, u"List", 0, REG_MULTI_SZ, multi, sizeof(multi)), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, u"Empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_BINARY, odd, 1), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, u"Bad", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, u"Line\nBreak", 0, REG_BINARY, odd, 1), ERROR_INVALID_PARAMETER);
    // The same name in other case replaces the value (type too).
    ASSERT_EQ(RegSetValueExW(key, u"TRIGGERMODE", 0, REG_BINARY, odd, 2), ERROR_SUCCESS);
    RegCloseKey(key);

    EXPECT_EQ(Query(u"Values", u"triggermode").type, REG_BINARY);
    EXPECT_EQ(Query(u"Values", u"triggermode").data, (std::vector<BYTE>{1, 2}));
    EXPECT_EQ(Query(u"Values", u"Blob").data, (std::vector<BYTE>{1, 2, 3}));
    EXPECT_EQ(Query(u"Values", u"List").data, std::vector<BYTE>(multi, multi + sizeof(multi)));
    EXPECT_EQ(Query(u"Values", u"Empty").data.size(), 0u);
    EXPECT_EQ(Query(u"Values", u"").data, (std::vector<BYTE>{1}))
        << "NULL and \"\" name the default value";
    EXPECT_EQ(Query(u"Values", u"Bad").result, ERROR_FILE_NOT_FOUND);
    EXPECT_NE(vtsim::ExportRegistryScript().find("\"TriggerMode\"=hex:01,02"), std::string::npos)
        << "the stored name keeps its first case";
}

TEST_F(Api, InjectedWriteFailureDeniesTheSetOrTheCreationAndChangesNothing)
{
    HKEY key = Create(u"Existing");
    const DWORD one = 1;
    vtsim::ArmFault(vtsim::Fault::RegistryWrite, 1);
    EXPECT_EQ(RegSetValueExW(key, u"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_ACCESS_DENIED);
    EXPECT_TRUE(vtsim::FaultFired(vtsim::Fault::RegistryWrite));
    EXPECT_EQ(RegSetValueExW(key, u"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_SUCCESS);
    RegCloseKey(key);

    // Opening an existing key through create is no write: the fault stays armed
    // for the next key that is really created, which then fails whole.
    vtsim::ArmFault(vtsim::Fault::RegistryWrite, 1);
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"existing", 0, nullptr, 0, 0, nullptr, &opened,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(opened);
    EXPECT_FALSE(vtsim::FaultFired(vtsim::Fault::RegistryWrite));
    HKEY created = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"New\\Deep", 0, nullptr, 0, 0, nullptr, &created,
                              nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(Subkeys(u""), (std::vector<std::u16string>{u"Existing"}))
        << "no parent was left behind";
}

TEST_F(Api, HandlesOfARemovedHiveFailSafelyAndStillClose)
{
    HKEY key = Create(u"Drivers\\Active\\01");
    HKEY root = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, nullptr, 0, 0, &root), ERROR_SUCCESS);
    vtsim::ResetRegistry();
    RegCloseKey(Create(u"Drivers\\Active\\01"));  // the same path again is another key

    const DWORD one = 1;
    DWORD size = 4;
    DWORD value = 0;
    WCHAR name[8];
    DWORD chars = 8;
    HKEY child = nullptr;
    for (HKEY stale : {key, root}) {
        EXPECT_EQ(RegSetValueExW(stale, u"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(
            RegQueryValueExW(stale, u"V", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
            ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegEnumKeyExW(stale, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCreateKeyExW(stale, u"X", 0, nullptr, 0, 0, nullptr, &child, nullptr),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCloseKey(stale), ERROR_SUCCESS) << "a stale handle is still released";
    }
    EXPECT_EQ(Query(u"Drivers\\Active\\01", u"V").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(Api, ConcurrentWritersAndReadersKeepTheHiveConsistent)
{
    constexpr int THREADS = 4;
    constexpr int KEYS = 50;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < KEYS; ++i) {
                std::u16string path = u"Shared\\T" + std::u16string(1, char16_t(u'0' + t)) + u"K" +
                                      std::u16string(1, char16_t(u'A' + i % 26)) +
                                      std::u16string(1, char16_t(u'a' + i / 26));
                HKEY key = nullptr;
                DWORD value = static_cast<DWORD>(t * 1000 + i);
                if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, 0, nullptr,
                                    &key, nullptr) != ERROR_SUCCESS ||
                    RegSetValueExW(key, u"N", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4) !=
                        ERROR_SUCCESS) {
                    ++failures;
                }
                RegCloseKey(key);
                Subkeys(u"Shared");  // readers run beside the writers
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(Subkeys(u"Shared").size(), static_cast<std::size_t>(THREADS * KEYS));
}

}  // namespace
