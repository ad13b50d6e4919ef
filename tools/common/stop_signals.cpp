#include "tools/common/stop_signals.h"

#include <signal.h>

namespace vttools {

namespace {

std::atomic<bool> g_stop{false};
volatile sig_atomic_t g_signal = 0;
volatile sig_atomic_t g_sessionEnd = 0;
volatile sig_atomic_t g_secondEnds = 1;

void OnStopSignal(int number)
{
    g_signal = number;
    if (number != SIGINT) {
        g_sessionEnd = 1;
    }
    if (g_stop.exchange(true) && g_secondEnds) {
        signal(number, SIG_DFL);
        raise(number);
    }
}

}  // namespace

void InstallStopHandlers()
{
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(number, &action, nullptr);
    }
}

std::atomic<bool>& StopRequested()
{
    return g_stop;
}

int LastStopSignal()
{
    return g_signal;
}

std::string StopSignalName(int number)
{
    switch (number) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "signal " + std::to_string(number);
    }
}

bool SessionEndRequested()
{
    return g_sessionEnd != 0;
}

void SetSecondSignalEndsProcess(bool ends)
{
    g_secondEnds = ends ? 1 : 0;
}

}  // namespace vttools
