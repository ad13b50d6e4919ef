// Message boxes: recorded, answered by the hook while one is set, else from
// a queue of answers (IDOK when empty).
#include <deque>
#include <mutex>

#include "platform/host/control/diagnostics.h"
#include "platform/ui.h"

namespace {

struct MessageBoxState {
    std::mutex mutex;
    std::vector<vtsim::MessageBoxRecord> shown;
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
    state.shown.push_back(record);
    return record.answer;
}

namespace vtsim {

std::vector<MessageBoxRecord> MessageBoxes()
{
    MessageBoxState& state = State();
    std::lock_guard lock(state.mutex);
    return state.shown;
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
