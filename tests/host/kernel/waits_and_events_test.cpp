// Events and waits: the behaviour the driver's interrupt thread and the
// library's event threads rely on.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/kernel.h"

namespace {

HANDLE NewEvent(bool manual, bool initial, const char16_t* name = nullptr)
{
    HANDLE event = CreateEventW(nullptr, manual, initial, name);
    EXPECT_NE(event, nullptr);
    return event;
}

TEST(Events, NamedEventIsSharedAndForgottenAfterItsLastHandle)
{
    auto before = vtsim::GetLiveCounts();
    HANDLE first = NewEvent(false, false, u"VT_EVT_Shared");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    SetLastError(1234);
    HANDLE second = CreateEventW(nullptr, TRUE, TRUE, u"VT_EVT_Shared");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    // The flags of the second call are ignored: still auto-reset, not set.
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);
    ASSERT_TRUE(SetEvent(first));
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_TIMEOUT);

    // Names are case-sensitive.
    HANDLE other = NewEvent(false, false, u"vt_evt_shared");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(CloseHandle(other));

    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
    HANDLE fresh = NewEvent(true, true, u"VT_EVT_Shared");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(fresh, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(fresh));
    EXPECT_EQ(vtsim::GetLiveCounts(), before);
}

TEST(Events, InvalidHandlesFail)
{
    HANDLE event = NewEvent(false, false);
    ASSERT_TRUE(CloseHandle(event));
    for (HANDLE bad : {event, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(bad));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(0);
        EXPECT_FALSE(SetEvent(bad));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(0);
        EXPECT_EQ(WaitForSingleObject(bad, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    // A stale handle does not reach a newer object.
    HANDLE newer = NewEvent(false, true);
    EXPECT_NE(newer, event);
    EXPECT_TRUE(CloseHandle(newer));
}

TEST(Waits, MultipleReturnsLowestSignalledAndChangesOnlyThat)
{
    HANDLE autoA = NewEvent(false, false);
    HANDLE manualB = NewEvent(true, true);
    HANDLE autoC = NewEvent(false, true);
    HANDLE set[] = {autoA, manualB, autoC};
    EXPECT_EQ(WaitForMultipleObjects(3, set, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, set, FALSE, 0), WAIT_OBJECT_0 + 1);  // manual stays set
    ASSERT_TRUE(ResetEvent(manualB));
    EXPECT_EQ(WaitForMultipleObjects(3, set, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(3, set, FALSE, 0), WAIT_TIMEOUT);  // C consumed

    ASSERT_TRUE(SetEvent(autoA));
    ASSERT_TRUE(SetEvent(autoC));
    EXPECT_EQ(WaitForMultipleObjects(3, set, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(autoC, 0), WAIT_OBJECT_0);  // untouched by the first wait

    HANDLE withNull[] = {autoA, nullptr};
    SetLastError(0);
    EXPECT_EQ(WaitForMultipleObjects(2, withNull, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    SetLastError(0);
    EXPECT_EQ(WaitForMultipleObjects(0, set, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForMultipleObjects(3, set, TRUE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(3, nullptr, FALSE, 0), WAIT_FAILED);
    for (HANDLE h : set) {
        CloseHandle(h);
    }
}

TEST(Waits, TimeoutsElapseAndHugeTimeoutsStillWait)
{
    HANDLE event = NewEvent(false, false);
    DWORD start = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(event, 50), WAIT_TIMEOUT);
    EXPECT_GE(GetTickCount() - start, 49u);

    // 0x80000000 counts as 0x7FFFFFFF: it must wait, not time out at once.
    std::thread setter([event] {
        Sleep(30);
        SetEvent(event);
    });
    EXPECT_EQ(WaitForSingleObject(event, 0x80000000u), WAIT_OBJECT_0);
    setter.join();
    CloseHandle(event);
}

TEST(Waits, WaitedObjectOutlivesItsClosedHandle)
{
    HANDLE event = NewEvent(false, false, u"VT_EVT_KeepAlive");
    HANDLE second = CreateEventW(nullptr, FALSE, FALSE, u"VT_EVT_KeepAlive");
    std::atomic<DWORD> result{0xDEAD};
    std::thread waiter([&] { result = WaitForSingleObject(event, 5000); });
    Sleep(50);
    ASSERT_TRUE(CloseHandle(event));  // a third party closes the waited handle
    Sleep(20);
    EXPECT_EQ(result.load(), 0xDEADu);  // still waiting
    ASSERT_TRUE(SetEvent(second));
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);
    CloseHandle(second);
}

TEST(Waits, EverySignalWakesExactlyOneWaiter)
{
    constexpr int kWaiters = 4;
    constexpr int kSignals = 2000;
    HANDLE event = NewEvent(false, false);
    HANDLE stop = NewEvent(true, false);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < kWaiters; ++i) {
        waiters.emplace_back([&] {
            HANDLE both[] = {event, stop};
            while (WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0) {
                ++woken;
            }
        });
    }
    // Each signal is given only after the previous one was taken, so none
    // can merge with another; every one must wake a waiter.
    for (int i = 0; i < kSignals; ++i) {
        SetEvent(event);
        DWORD start = GetTickCount();
        while (woken.load() <= i && GetTickCount() - start < 2000) {
            std::this_thread::yield();
        }
        if (woken.load() != i + 1) {
            ADD_FAILURE() << "signal " << i << " woke " << woken.load() - i << " waiters";
            break;
        }
    }
    SetEvent(stop);
    for (auto& t : waiters) {
        t.join();
    }
    EXPECT_EQ(woken.load(), kSignals);
    CloseHandle(event);
    CloseHandle(stop);
}

}  // namespace
