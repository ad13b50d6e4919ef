// Time and process identity.
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/kernel.h"

namespace {

const auto g_bootTime = std::chrono::steady_clock::now();

}  // namespace

extern "C" void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

extern "C" DWORD GetTickCount()
{
    auto elapsed = std::chrono::steady_clock::now() - g_bootTime;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return static_cast<DWORD>(static_cast<unsigned long long>(ms));  // wraps at 2^32
}

extern "C" DWORD GetCurrentProcessId()
{
    return static_cast<DWORD>(::getpid());
}
