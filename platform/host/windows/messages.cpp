// Message delivery: sent messages call the procedure in the calling thread;
// posted messages wait in the queue of the thread that owns their window
// until its message loop takes them.
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "platform/host/windows/dialog_manager.h"
#include "platform/host/windows/window_classes.h"
#include "platform/host/windows/window_objects.h"

namespace vtsim::internal {
namespace {

struct ThreadQueue {
    std::deque<MSG> messages;
    std::condition_variable arrived;
};

struct Queues {
    std::mutex mutex;
    std::map<std::thread::id, ThreadQueue> byThread;
};

Queues& AllQueues()
{
    static Queues* queues = new Queues;  // lives until process exit
    return *queues;
}

// Drops the calling thread's queue when the thread ends, so that a later
// thread that gets the same id starts with an empty queue.
struct QueueOfThisThread {
    QueueOfThisThread() = default;
    QueueOfThisThread(const QueueOfThisThread&) = delete;
    QueueOfThisThread& operator=(const QueueOfThisThread&) = delete;
    ~QueueOfThisThread()
    {
        Queues& queues = AllQueues();
        std::lock_guard lock(queues.mutex);
        queues.byThread.erase(std::this_thread::get_id());
    }
};

// Called (without the queues' lock) whenever a thread uses its own queue.
void NoteQueueUse()
{
    [[maybe_unused]] thread_local QueueOfThisThread queue;
}

void Enqueue(std::thread::id thread, const MSG& message)
{
    if (thread == std::this_thread::get_id()) {
        NoteQueueUse();
    }
    Queues& queues = AllQueues();
    std::lock_guard lock(queues.mutex);
    ThreadQueue& queue = queues.byThread[thread];
    queue.messages.push_back(message);
    queue.arrived.notify_all();
}

// True when message passes the filter of GetMessageW / PeekMessageW.
bool Matches(const MSG& message, HWND window, UINT min, UINT max)
{
    if (message.message == WM_QUIT) {
        return true;
    }
    if (window != nullptr && message.hwnd != window && IsChild(window, message.hwnd) == FALSE) {
        return false;
    }
    if (min == 0 && max == 0) {
        return true;
    }
    return message.message >= min && message.message <= max;
}

// Takes (or, without remove, copies) the first matching message of the
// calling thread's queue; waits for one when wait is set.
bool TakeMessage(MSG* out, HWND window, UINT min, UINT max, bool remove, bool wait)
{
    NoteQueueUse();
    Queues& queues = AllQueues();
    std::unique_lock lock(queues.mutex);
    ThreadQueue& queue = queues.byThread[std::this_thread::get_id()];
    for (;;) {
        for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it) {
            if (!Matches(*it, window, min, max)) {
                continue;
            }
            *out = *it;
            if (remove) {
                queue.messages.erase(it);
            }
            return true;
        }
        if (!wait) {
            return false;
        }
        queue.arrived.wait(lock);
    }
}

}  // namespace

bool HasQueuedMessages()
{
    Queues& queues = AllQueues();
    std::lock_guard lock(queues.mutex);
    auto found = queues.byThread.find(std::this_thread::get_id());
    return found != queues.byThread.end() && !found->second.messages.empty();
}

void DiscardMessagesOfDestroyedWindows()
{
    Queues& queues = AllQueues();
    std::lock_guard lock(queues.mutex);
    for (auto& [thread, queue] : queues.byThread) {
        std::erase_if(queue.messages, [](const MSG& message) {
            return message.hwnd != nullptr && IsWindow(message.hwnd) == FALSE;
        });
    }
}

}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowPtr held = HoldWindow(window);
    if (!held) {
        return FailWith<LRESULT>(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    WNDPROC procedure = ProcedureOf(window);
    if (procedure == nullptr) {
        return 0;
    }
    return procedure(window, message, wParam, lParam);
}

extern "C" LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam)
{
    if (procedure == nullptr) {
        return 0;
    }
    return procedure(window, message, wParam, lParam);
}

extern "C" BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::thread::id thread = std::this_thread::get_id();
    if (window != nullptr) {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        if (target == nullptr) {
            return FailWith<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
        }
        thread = target->thread;
    }
    MSG queued{};
    queued.hwnd = window;
    queued.message = message;
    queued.wParam = wParam;
    queued.lParam = lParam;
    queued.time = GetTickCount();
    Enqueue(thread, queued);
    return TRUE;
}

extern "C" void PostQuitMessage(int exitCode)
{
    MSG quit{};
    quit.message = WM_QUIT;
    quit.wParam = static_cast<WPARAM>(exitCode);
    quit.time = GetTickCount();
    Enqueue(std::this_thread::get_id(), quit);
}

extern "C" BOOL GetMessageW(LPMSG message, HWND window, UINT min, UINT max)
{
    if (message == nullptr) {
        return FailWith<BOOL>(ERROR_INVALID_PARAMETER, -1);
    }
    if (window != nullptr && IsWindow(window) == FALSE) {
        return FailWith<BOOL>(ERROR_INVALID_WINDOW_HANDLE, -1);
    }
    TakeMessage(message, window, min, max, true, true);
    return message->message == WM_QUIT ? FALSE : TRUE;
}

extern "C" BOOL PeekMessageW(LPMSG message, HWND window, UINT min, UINT max, UINT remove)
{
    if (message == nullptr) {
        return FALSE;
    }
    return TakeMessage(message, window, min, max, (remove & PM_REMOVE) != 0, false) ? TRUE : FALSE;
}

extern "C" BOOL TranslateMessage(const MSG* message)
{
    return message != nullptr && (message->message == WM_KEYDOWN || message->message == WM_KEYUP)
               ? TRUE
               : FALSE;
}

extern "C" LRESULT DispatchMessageW(const MSG* message)
{
    if (message == nullptr || message->hwnd == nullptr) {
        return 0;
    }
    return SendMessageW(message->hwnd, message->message, message->wParam, message->lParam);
}

extern "C" LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_SETTEXT: {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        if (target == nullptr) {
            return FALSE;
        }
        target->text = TextOf(reinterpret_cast<LPCWSTR>(lParam));
        return TRUE;
    }
    case WM_GETTEXT: {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        if (target == nullptr) {
            return 0;
        }
        return CopyText(target->text, reinterpret_cast<LPWSTR>(lParam), wParam);
    }
    case WM_GETTEXTLENGTH: {
        WindowLock lock = LockWindows();
        Window* target = FindWindowLocked(window);
        return target == nullptr ? 0 : static_cast<LRESULT>(target->text.size());
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            SendMessageW(window, WM_CLOSE, 0, 0);
        }
        return 0;
    default:
        return 0;
    }
}
