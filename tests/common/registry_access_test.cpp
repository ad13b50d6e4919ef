// AccessRegistryValues: sizes by type, overwrite flag, failing rows, the
// fault guard, and no handle or allocation left behind.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "common/registry_access.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/registry_control.h"
#include "platform/registry.h"

namespace {

constexpr const WCHAR* KEY = u"SYSTEM\\CurrentControlSet\\Services\\RLXDAQ\\Device007";

class AccessRegistryValuesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::DisarmAllFaults();
        vtsim::ResetRegistry();
        before_ = vtsim::GetLiveCounts();
    }
    void TearDown() override
    {
        vtsim::DisarmAllFaults();
        EXPECT_EQ(vtsim::GetLiveCounts(), before_) << vtsim::Describe(vtsim::GetLiveCounts());
    }

    // Stored type and size of a value, or type REG_NONE / size 0 when missing.
    static std::pair<DWORD, std::vector<BYTE>> Stored(const WCHAR* name, const WCHAR* path = KEY)
    {
        HKEY key = nullptr;
        DWORD type = REG_NONE;
        DWORD size = 0;
        std::vector<BYTE> data;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key) == ERROR_SUCCESS) {
            if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
                data.resize(size);
                RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
            }
            RegCloseKey(key);
        }
        return {type, data};
    }

    // A page that cannot be read, after a readable one.
    struct GuardPages {
        GuardPages()
        {
            page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
            base = static_cast<BYTE*>(::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE,
                                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
            ::mprotect(base + page, page, PROT_NONE);
        }
        ~GuardPages()
        {
            ::munmap(base, 2 * page);
        }
        BYTE* readableEnd() const
        {
            return base + page;
        }
        BYTE* unreadable() const
        {
            return base + page;
        }
        std::size_t page;
        BYTE* base;
    };

    vtsim::LiveCounts before_;
};

TEST_F(AccessRegistryValuesTest, WritesEachTypeWithItsSizeAndReadsItBack)
{
    WCHAR name[] = u"VTD1:";
    WCHAR multi[] = u"ab\0c\0";  // "ab", "c", then the empty string
    DWORD mode = 0x0A;
    BYTE blob[] = {1, 2, 3, 4, 5};
    RegistryValueEntry rows[] = {
        {u"CallName", REG_SZ, 0, name},
        {u"Strings", REG_MULTI_SZ, 0, multi},
        {u"TriggerMode", REG_DWORD, 999, &mode},  // size ignored for REG_DWORD
        {u"Blob", REG_BINARY, 3, blob},           // only the row's size is written
        {nullptr, 0, 0, nullptr},
    };
    ASSERT_EQ(AccessRegistryValues(KEY, rows, REGISTRY_ACCESS_WRITE, 0), 1u);
    EXPECT_EQ(Stored(u"CallName").first, REG_SZ);
    EXPECT_EQ(Stored(u"CallName").second.size(), 12u);
    EXPECT_EQ(Stored(u"Strings").first, REG_MULTI_SZ);
    EXPECT_EQ(Stored(u"Strings").second.size(), 12u) << "(2+1 + 1+1 + 1) characters";
    EXPECT_EQ(std::memcmp(Stored(u"Strings").second.data(), multi, 12), 0);
    EXPECT_EQ(Stored(u"TriggerMode").second, (std::vector<BYTE>{0x0A, 0, 0, 0}));
    EXPECT_EQ(Stored(u"Blob").second, (std::vector<BYTE>{1, 2, 3}));

    WCHAR readName[16] = {};
    WCHAR readMulti[16] = {};
    DWORD readMode = 0;
    BYTE readBlob[8] = {};
    RegistryValueEntry reads[] = {
        {u"callname", REG_NONE, sizeof(readName), readName},
        {u"Strings", REG_DWORD, sizeof(readMulti),
         readMulti},  // the stored type replaces the row's
        {u"TriggerMode", REG_NONE, sizeof(readMode), &readMode},
        {u"Blob", REG_NONE, sizeof(readBlob), readBlob},
        {nullptr, 0, 0, nullptr},
    };
    ASSERT_EQ(AccessRegistryValues(KEY, reads, 7, 0), 1u) << "any mode other than 1 reads";
    EXPECT_EQ(std::u16string(readName), u"VTD1:");
    EXPECT_EQ(reads[0].type, REG_SZ);
    EXPECT_EQ(reads[0].size, 12u);
    EXPECT_EQ(reads[1].type, REG_MULTI_SZ);
    EXPECT_EQ(readMode, 0x0Au);
    EXPECT_EQ(reads[2].size, 4u);
    EXPECT_EQ(reads[3].size, 3u);

    WCHAR empty[] = u"";
    RegistryValueEntry emptyRows[] = {{u"Empty", REG_SZ, 0, empty},
                                      {u"EmptyList", REG_MULTI_SZ, 0, empty},
                                      {nullptr, 0, 0, nullptr}};
    ASSERT_EQ(AccessRegistryValues(KEY, emptyRows, REGISTRY_ACCESS_WRITE, 1), 1u);
    EXPECT_EQ(Stored(u"Empty").second.size(), 2u);
    EXPECT_EQ(Stored(u"EmptyList").second.size(), 2u);
}

TEST_F(AccessRegistryValuesTest, OverwriteZeroLeavesAnExistingKeyAlone)
{
    DWORD first = 1;
    RegistryValueEntry rows[] = {{u"SwitchID", REG_DWORD, 4, &first}, {nullptr, 0, 0, nullptr}};
    ASSERT_EQ(AccessRegistryValues(KEY, rows, REGISTRY_ACCESS_WRITE, 0), 1u)
        << "a missing key is written";
    DWORD second = 2;
    rows[0].data = &second;
    EXPECT_EQ(AccessRegistryValues(KEY, rows, REGISTRY_ACCESS_WRITE, 0), 1u);
    EXPECT_EQ(Stored(u"SwitchID").second, (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_EQ(AccessRegistryValues(KEY, rows, REGISTRY_ACCESS_WRITE, 1), 1u);
    EXPECT_EQ(Stored(u"SwitchID").second, (std::vector<BYTE>{2, 0, 0, 0}));
}

TEST_F(AccessRegistryValuesTest, AnUnsupportedTypeFailsAfterTheRowsBeforeItWereWritten)
{
    DWORD value = 5;
    WCHAR text[] = u"%SystemRoot%";
    for (DWORD badType : {REG_NONE, REG_EXPAND_SZ, REG_DWORD_BIG_ENDIAN, REG_LINK, 8u, 0x100u}) {
        vtsim::ResetRegistry();
        RegistryValueEntry rows[] = {
            {u"BusNumber", REG_DWORD, 4, &value},
            {u"SlotNumber", REG_DWORD, 4, &value},
            {u"Path", badType, sizeof(text), text},
            {u"AfterTheBadRow", REG_DWORD, 4, &value},
            {nullptr, 0, 0, nullptr},
        };
        EXPECT_EQ(AccessRegistryValues(KEY, rows, REGISTRY_ACCESS_WRITE, 1), 0u) << badType;
        EXPECT_EQ(Stored(u"BusNumber").first, REG_DWORD);
        EXPECT_EQ(Stored(u"SlotNumber").first, REG_DWORD);
        EXPECT_EQ(Stored(u"Path").first, REG_NONE);
        EXPECT_EQ(Stored(u"AfterTheBadRow").first, REG_NONE);
    }
}

TEST_F(AccessRegistryValuesTest, ReadingStopsAtTheFirstRowThatCannotBeRead)
{
    WCHAR name[] = u"VTC-4100 BoardID=3 I/O=e800H";
    DWORD bus = 2;
    RegistryValueEntry rows[] = {{u"BusNumber", REG_DWORD, 4, &bus},
                                 {u"DeviceName", REG_SZ, 0, name},
                                 {nullptr, 0, 0, nullptr}};
    ASSERT_EQ(AccessRegistryValues(KEY, rows, REGISTRY_ACCESS_WRITE, 1), 1u);

    DWORD readBus = 0;
    WCHAR small[8] = {};
    DWORD never = 0xAAAA;
    RegistryValueEntry reads[] = {
        {u"BusNumber", REG_NONE, 4, &readBus},
        {u"DeviceName", REG_NONE, sizeof(small), small},
        {u"BusNumber", REG_NONE, 4, &never},
        {nullptr, 0, 0, nullptr},
    };
    EXPECT_EQ(AccessRegistryValues(KEY, reads, REGISTRY_ACCESS_READ, 0), 0u);
    EXPECT_EQ(readBus, 2u) << "rows before the failing one keep what was read";
    EXPECT_EQ(reads[1].size, 58u) << "the stored size is reported";
    EXPECT_EQ(never, 0xAAAAu);

    RegistryValueEntry missing[] = {{u"NoSuchValue", REG_DWORD, 4, &never},
                                    {nullptr, 0, 0, nullptr}};
    EXPECT_EQ(AccessRegistryValues(KEY, missing, REGISTRY_ACCESS_READ, 0), 0u);
    EXPECT_EQ(AccessRegistryValues(u"No\\Such\\Key", reads, REGISTRY_ACCESS_READ, 0), 0u);
    EXPECT_EQ(AccessRegistryValues(nullptr, reads, REGISTRY_ACCESS_READ, 0), 0u);
    EXPECT_EQ(AccessRegistryValues(KEY, nullptr, REGISTRY_ACCESS_READ, 0), 0u);
    EXPECT_EQ(AccessRegistryValues(nullptr, rows, REGISTRY_ACCESS_WRITE, 1), 0u);
    EXPECT_EQ(AccessRegistryValues(KEY, nullptr, REGISTRY_ACCESS_WRITE, 1), 0u);
}

TEST_F(AccessRegistryValuesTest, ABadDataPointerFailsTheCallInsteadOfFaulting)
{
    GuardPages pages;
    GuardPages listPages;
    // A string whose terminator would lie beyond the readable page.
    auto* tail = reinterpret_cast<WCHAR*>(pages.readableEnd()) - 3;
    tail[0] = u'a';
    tail[1] = u'b';
    tail[2] = u'c';
    // A list whose end lies beyond it.
    auto* listTail = reinterpret_cast<WCHAR*>(listPages.readableEnd()) - 4;
    listTail[0] = u'x';
    listTail[1] = 0;
    listTail[2] = u'y';
    listTail[3] = u'z';
    DWORD good = 1;
    struct Case {
        DWORD type;
        DWORD size;
        void* data;
    } const cases[] = {
        {REG_DWORD, 4, pages.unreadable()},
        {REG_DWORD, 4, nullptr},
        {REG_BINARY, 16, pages.unreadable()},
        {REG_BINARY, 4096,
         pages.readableEnd() - 100},  // runs into the unreadable page (large copy)
        {REG_SZ, 0, nullptr},
        {REG_SZ, 0, pages.unreadable()},
        {REG_SZ, 0, tail},
        {REG_MULTI_SZ, 0, listTail},
        {REG_MULTI_SZ, 0, pages.unreadable()},
    };
    for (const Case& c : cases) {
        vtsim::ResetRegistry();
        RegistryValueEntry rows[] = {{u"Before", REG_DWORD, 4, &good},
                                     {u"Bad", c.type, c.size, c.data},
                                     {nullptr, 0, 0, nullptr}};
        EXPECT_EQ(AccessRegistryValues(KEY, rows, REGISTRY_ACCESS_WRITE, 1), 0u)
            << c.type << " " << c.data;
        EXPECT_EQ(Stored(u"Before").first, REG_DWORD);
        EXPECT_EQ(Stored(u"Bad").first, REG_NONE);
    }
}

TEST_F(AccessRegistryValuesTest, AFailingRegistryWriteFailsTheCall)
{
    DWORD value = 3;
    BYTE large[600] = {};
    RegistryValueEntry rows[] = {{u"Large", REG_BINARY, sizeof(large), large},
                                 {u"SwitchID", REG_DWORD, 4, &value},
                                 {nullptr, 0, 0, nullptr}};
    vtsim::ArmFault(vtsim::Fault::RegistryWrite, 1);  // the key's creation
    EXPECT_EQ(AccessRegistryValues(KEY, rows, REGISTRY_ACCESS_WRITE, 1), 0u);
    EXPECT_EQ(Stored(u"Large").first, REG_NONE);
    vtsim::ArmFault(vtsim::Fault::RegistryWrite, 3);  // key, "Large", then "SwitchID" fails
    EXPECT_EQ(AccessRegistryValues(KEY, rows, REGISTRY_ACCESS_WRITE, 1), 0u);
    EXPECT_TRUE(vtsim::FaultFired(vtsim::Fault::RegistryWrite));
    EXPECT_EQ(Stored(u"Large").second.size(), sizeof(large));
    EXPECT_EQ(Stored(u"SwitchID").first, REG_NONE);
}

}  // namespace
