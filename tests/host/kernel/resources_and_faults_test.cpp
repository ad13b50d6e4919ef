// Memory and handle counting, fault injection, message boxes and the guarded
// copy.
#include <gtest/gtest.h>

#include <sys/mman.h>

#include <cstring>

#include "platform/ddk.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/kernel.h"
#include "platform/ui.h"

namespace {

TEST(Memory, AllocationsAreCountedZeroedAndFreedOnce)
{
    auto before = vtsim::GetLiveCounts();
    auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, 64));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(block[i], 0);
    }
    EXPECT_EQ(vtsim::GetLiveCounts().allocations, before.allocations + 1);
    EXPECT_EQ(LocalFree(block), nullptr);
    EXPECT_EQ(LocalFree(block), block);  // a second free is refused
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
}

TEST(Faults, NthCallFailsOnceAndLeaksNothing)
{
    auto before = vtsim::GetLiveCounts();
    vtsim::ArmFault(vtsim::Fault::EventCreation, 2);
    HANDLE first = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EXPECT_NE(first, nullptr);
    EXPECT_FALSE(vtsim::FaultFired(vtsim::Fault::EventCreation));
    EXPECT_EQ(CreateEventW(nullptr, FALSE, FALSE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_TRUE(vtsim::FaultFired(vtsim::Fault::EventCreation));
    HANDLE third = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EXPECT_NE(third, nullptr);  // one-shot
    CloseHandle(first);
    CloseHandle(third);

    vtsim::ArmFault(vtsim::Fault::Allocation, 1);
    EXPECT_EQ(LocalAlloc(LPTR, 8), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);

    vtsim::ArmFault(vtsim::Fault::ThreadCreation, 1);
    EXPECT_EQ(CreateThread(
                  nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);

    vtsim::ArmFault(vtsim::Fault::Allocation, 1);
    vtsim::DisarmAllFaults();
    void* block = LocalAlloc(LPTR, 8);
    EXPECT_NE(block, nullptr);
    LocalFree(block);
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
}

TEST(Diagnostics, DescribeNamesEveryCounter)
{
    vtsim::LiveCounts counts;
    counts.handles = 2;
    counts.mappings = 1;
    std::string text = vtsim::Describe(counts);
    EXPECT_NE(text.find("handles=2"), std::string::npos);
    EXPECT_NE(text.find("mappings=1"), std::string::npos);
    EXPECT_NE(text.find("criticalSections=0"), std::string::npos);
}

TEST(MessageBoxes, RecordedAndAnsweredInOrder)
{
    vtsim::ClearMessageBoxes();
    vtsim::QueueMessageBoxAnswer(IDYES);
    vtsim::QueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"Overwrite?", u"VTD", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxW(nullptr, u"Sure?", u"VTD", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"Done", u"VTD", MB_OK), IDOK);
    auto boxes = vtsim::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, u"Overwrite?");
    EXPECT_EQ(boxes[0].caption, u"VTD");
    EXPECT_EQ(boxes[0].type, MB_YESNO);
    EXPECT_EQ(boxes[2].answer, IDOK);
    vtsim::ClearMessageBoxes();
}

TEST(MessageBoxes, OnlyTheNewestAreKept)
{
    vtsim::ClearMessageBoxes();
    constexpr int SHOWN = 3000;
    for (int i = 0; i < SHOWN; ++i) {
        char16_t text[16];
        StringCchPrintfW(text, 16, u"box %d", i);
        MessageBoxW(nullptr, text, u"Error", MB_OK);
    }
    const auto boxes = vtsim::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1024u);
    EXPECT_EQ(boxes.front().text, u"box 1976");
    EXPECT_EQ(boxes.back().text, u"box 2999");
    vtsim::ClearMessageBoxes();
}

TEST(SafeCopy, CopiesGoodMemoryAndRefusesBadPointers)
{
    char source[16] = "registry value";
    char target[16] = {};
    EXPECT_TRUE(CeSafeCopyMemory(target, source, sizeof source));
    EXPECT_STREQ(target, source);

    void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(page, MAP_FAILED);
    SetLastError(0);
    EXPECT_FALSE(CeSafeCopyMemory(target, page, 8));
    EXPECT_EQ(GetLastError(), ERROR_NOACCESS);
    SetLastError(0);
    EXPECT_FALSE(CeSafeCopyMemory(page, source, 8));
    EXPECT_EQ(GetLastError(), ERROR_NOACCESS);
    EXPECT_FALSE(CeSafeCopyMemory(target, reinterpret_cast<void*>(16), 4));
    munmap(page, 4096);
}

}  // namespace
