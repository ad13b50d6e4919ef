// Device files: CreateFileW, DeviceIoControl and CloseHandle routed to the
// test driver's Open, IOControl and Close, and what happens to a handle whose
// device goes away.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "devmgr_fixture.h"
#include "platform/device_file.h"

namespace devmgr_test {
namespace {

class DeviceFileTest : public DeviceManagerTest {
protected:
    std::string ActiveKeyOf(const std::u16string& name)
    {
        for (const auto& d : vtsim::Devices()) {
            if (d.name == name) {
                return Narrow(d.activeKey);
            }
        }
        return "<none>";
    }
};

TEST_F(DeviceFileTest, OpenAndCloseReachTheDriverOnceWithTheCallersModes)
{
    BootOrFail(Options());
    const auto before = vtsim::GetLiveCounts();
    const std::string active = ActiveKeyOf(u"VTD2:");

    // Names match without regard to case.
    HANDLE file = CreateFileW(u"vtd2:", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CountEntries("TVD Open " + active + " c0000000 1\n"), 1u);
    EXPECT_EQ(vtsim::GetLiveCounts().handles, before.handles + 1);

    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(CountEntries("TVD Close " + active + "\n"), 1u);
    EXPECT_EQ(vtsim::GetLiveCounts().handles, before.handles);

    SetLastError(0);
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(file, 3, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(CountEntries("TVD Close " + active + "\n"), 1u) << "Close runs once";
}

TEST_F(DeviceFileTest, OpenFailures)
{
    auto templates = DefaultTemplates();
    templates[0].extra = "\"OpenError\"=dword:5\n";         // TestA = VTD2:
    templates[1].extra = "\"OpenError\"=dword:ffffffff\n";  // TestB = VTD3:, no last error
    BootOrFail(Options(templates));
    const auto before = vtsim::GetLiveCounts();

    for (const char16_t* name : {u"VTD9:", u"VTD", u"VTD1", u"", u"XVTD1:"}) {
        SetLastError(0);
        EXPECT_EQ(CreateFileW(name, 0, 0, nullptr, OPEN_EXISTING, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << Narrow(name);
    }
    SetLastError(0);
    EXPECT_EQ(CreateFileW(u"VTD2:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), 5u) << "the driver's own error";
    EXPECT_EQ(CreateFileW(u"VTD3:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);

    // An injected open failure comes before the driver is asked.
    vtsim::ClearDebugLog();
    vtsim::ArmFault(vtsim::Fault::DeviceOpen, 1);
    EXPECT_EQ(CreateFileW(u"VTD1:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
    EXPECT_TRUE(vtsim::FaultFired(vtsim::Fault::DeviceOpen));
    EXPECT_FALSE(HasEntryStartingWith("TVD Open"));
    HANDLE file = CreateFileW(u"VTD1:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));

    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

TEST_F(DeviceFileTest, ControlRequestsPassBuffersAndKeepTheDriversResults)
{
    BootOrFail(Options());
    HANDLE file = CreateFileW(u"VTD1:", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    // Code 1 echoes the input into the output.
    BYTE in[5] = {1, 2, 3, 4, 5}, out[8] = {};
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(file, 1, in, sizeof in, out, sizeof out, &returned, nullptr));
    EXPECT_EQ(returned, 5u);
    EXPECT_EQ(std::memcmp(in, out, sizeof in), 0);

    // Code 2 fails with a count and an error of the driver's choosing.
    SetLastError(0);
    returned = 0;
    EXPECT_FALSE(DeviceIoControl(file, 2, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(returned, 7u);
    EXPECT_EQ(GetLastError(), 0x20000042u);

    // Code 3 succeeds touching neither: the caller's values stay.
    SetLastError(1234);
    returned = 99;
    EXPECT_TRUE(DeviceIoControl(file, 3, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(returned, 99u);
    EXPECT_EQ(GetLastError(), 1234u);

    // Handles that are no open device file.
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    for (HANDLE bad : {HANDLE(nullptr), INVALID_HANDLE_VALUE, event}) {
        SetLastError(0);
        EXPECT_FALSE(DeviceIoControl(bad, 3, nullptr, 0, nullptr, 0, &returned, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    CloseHandle(event);
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(DeviceFileTest, HandleThatOutlivesItsDeviceFailsCleanly)
{
    const auto before = vtsim::GetLiveCounts();
    BootOrFail(Options());
    const std::string active = ActiveKeyOf(u"VTD1:");
    HANDLE file = CreateFileW(u"VTD1:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    vtsim::ClearDebugLog();
    vtsim::Shutdown();
    // The unload gives the open back to the driver before its Deinit.
    auto entries = vtsim::DebugEntries();
    auto close = std::find(entries.begin(), entries.end(), "TVD Close " + active + "\n");
    auto deinit = std::find(entries.begin(), entries.end(), "TVD Deinit " + active + "\n");
    ASSERT_NE(close, entries.end());
    ASSERT_NE(deinit, entries.end());
    EXPECT_LT(close, deinit);

    DWORD returned = 0;
    SetLastError(0);
    EXPECT_FALSE(DeviceIoControl(file, 3, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    vtsim::ClearDebugLog();
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(HasEntryStartingWith("TVD Close")) << "no second Close";
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

TEST_F(DeviceFileTest, ShutdownWaitsForRequestsInFlightAndThenRefusesThem)
{
    BootOrFail(Options());
    HANDLE file = CreateFileW(u"VTD2:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    std::atomic<int> started{0};
    std::atomic<long> succeeded{0};
    std::vector<std::thread> threads;
    std::vector<DWORD> lastErrors(2);
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            DWORD returned = 0;
            ++started;
            BYTE in[4] = {}, out[4] = {};
            while (DeviceIoControl(file, 1, in, 4, out, 4, &returned, nullptr)) {
                ++succeeded;
            }
            lastErrors[t] = GetLastError();
        });
    }
    while (started.load() < 2 || succeeded.load() < 1000) {
        std::this_thread::yield();
    }
    vtsim::Shutdown();
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(lastErrors, (std::vector<DWORD>{ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE}));
    EXPECT_TRUE(CloseHandle(file));
}

// The handle's close waits for the requests in flight on it; the driver
// sees its Close after the last IOControl has returned, and the file is
// freed only then (the sanitizer build turns a use of a freed file into a
// report).
TEST_F(DeviceFileTest, CloseWaitsForRequestsInFlightOnTheHandle)
{
    BootOrFail(Options());
    const auto before = vtsim::GetLiveCounts();
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, u"TVDSlowRelease");
    HANDLE file = CreateFileW(u"VTD1:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    vtsim::ClearDebugLog();

    BOOL slowResult = FALSE;
    DWORD fastError = 0;
    std::atomic<bool> closed{false};
    std::thread slow([&] {
        DWORD returned = 0;
        slowResult = DeviceIoControl(file, 4, nullptr, 0, nullptr, 0, &returned, nullptr);
    });
    std::thread fast([&] {
        DWORD returned = 0;
        BYTE in[4] = {}, out[4] = {};
        while (DeviceIoControl(file, 1, in, 4, out, 4, &returned, nullptr)) {
        }
        fastError = GetLastError();
    });
    while (!HasEntryStartingWith("TVD Slow begin")) {
        std::this_thread::yield();
    }
    std::thread closer([&] {
        EXPECT_TRUE(CloseHandle(file));
        closed = true;
    });
    // The slow request is held in the driver: the close must not return.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(closed.load()) << "the close returned under a request in flight";
    SetEvent(release);
    closer.join();
    slow.join();
    fast.join();

    const auto entries = vtsim::DebugEntries();
    auto end = std::find(entries.begin(), entries.end(), "TVD Slow end\n");
    auto close = std::find_if(entries.begin(), entries.end(),
                              [](const std::string& e) { return e.starts_with("TVD Close"); });
    EXPECT_NE(end, entries.end());
    EXPECT_NE(close, entries.end());
    EXPECT_LT(end, close) << "the driver's Close came before its request ended";
    EXPECT_TRUE(slowResult);
    EXPECT_EQ(fastError, static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(release);
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

}  // namespace
}  // namespace devmgr_test
