// Message boxes: recorded, answered from a queue of answers (IDOK when empty).
#include <deque>
#include <mutex>

#include "platform/host/control/diagnostics.h"
#include "platform/ui.h"

namespace {

struct MessageBoxState {
    std::mutex mutex;
    std::vector<vtsim::MessageBoxRecord> shown;
    std::deque<int> answers;
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
    std::lock_guard lock(state.mutex);
    vtsim::MessageBoxRecord record;
    record.text = text != nullptr ? text : u"";
    record.caption = caption != nullptr ? caption : u"";
    record.type = type;
    record.answer = IDOK;
    if (!state.answers.empty()) {
        record.answer = state.answers.front();
        state.answers.pop_front();
    }
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
}

void QueueMessageBoxAnswer(int answer)
{
    MessageBoxState& state = State();
    std::lock_guard lock(state.mutex);
    state.answers.push_back(answer);
}

}  // namespace vtsim
