// Message boxes: recorded, answered by the hook while one is set, else from
// a queue of answers (IDOK when empty). The record keeps the most recent
// boxes only, so a program that shows boxes for ever (a failed open in a
// loop) does not grow without bound.
#include <deque>
#include <mutex>

#include "platform/host/control/diagnostics.h"
#include "platform/ui.h"

namespace {

constexpr std::size_t kMaxRecords = 1024;

struct MessageBoxState {
    std::mutex mutex;
    std::deque<vtsim::MessageBoxRecord> shown;
    std::deque<int> answers;
    vtsim::MessageBoxHook hook;
};

MessageBoxState& State()
{
    static MessageBoxState* state = new MessageBoxState;  // lives until process exit
    return *state;
}

}  // namespace

extern "C" int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type)
{
    MessageBoxState& state = State();
    vtsim::MessageBoxRecord record;
    record.text = text != nullptr ? text : u"";
    record.caption = caption != nullptr ? caption : u"";
    record.type = type;
    record.answer = IDOK;
    vtsim::MessageBoxHook hook;
    {
        std::lock_guard lock(state.mutex);
        hook = state.hook;
        if (!hook && !state.answers.empty()) {
            record.answer = state.answers.front();
            state.answers.pop_front();
        }
    }
    // The box is up: the hook runs without the state's lock, as it may show
    // boxes of its own.
    if (hook) {
        record.answer = hook(record);
    }
    std::lock_guard lock(state.mutex);
    if (state.shown.size() == kMaxRecords) {
        state.shown.pop_front();
    }
    state.shown.push_back(std::move(record));
    return state.shown.back().answer;
}

namespace vtsim {

std::vector<MessageBoxRecord> MessageBoxes()
{
    MessageBoxState& state = State();
    std::lock_guard lock(state.mutex);
    return std::vector<MessageBoxRecord>(state.shown.begin(), state.shown.end());
}

void ClearMessageBoxes()
{
    MessageBoxState& state = State();
    std::lock_guard lock(state.mutex);
    state.shown.clear();
    state.answers.clear();
    state.hook = nullptr;
}

void QueueMessageBoxAnswer(int answer)
{
    MessageBoxState& state = State();
    std::lock_guard lock(state.mutex);
    state.answers.push_back(answer);
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxState& state = State();
    std::lock_guard lock(state.mutex);
    state.hook = std::move(hook);
}

}  // namespace vtsim
