// Message boxes: each one is recorded and answered by the hook, the
// handler, the queue of answers or its default button, in that order.
#include <deque>
#include <mutex>

#include "platform/host/windows/ui_prompts.h"
#include "platform/ui.h"

namespace vtsim {
namespace {

struct MessageBoxState {
    std::mutex mutex;
    std::deque<int> answers;
    MessageBoxHook hook;
    internal::BoundedRecords<MessageBoxRecord> shown;
};

MessageBoxState& State()
{
    static MessageBoxState* state = new MessageBoxState;  // lives until process exit
    return *state;
}

// The buttons of each MB_ type, in the order they stand.
std::vector<int> ButtonsOf(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
        return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
        return {IDOK};
    }
}

}  // namespace

int DefaultMessageBoxAnswer(unsigned type)
{
    std::vector<int> buttons = ButtonsOf(type);
    std::size_t index = (type & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

std::vector<MessageBoxRecord> MessageBoxes()
{
    return State().shown.All();
}

void ClearMessageBoxes()
{
    MessageBoxState& state = State();
    state.shown.Clear();
    std::lock_guard lock(state.mutex);
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

extern "C" int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    using namespace vtsim;
    MessageBoxState& state = State();
    MessageBoxRecord record;
    record.text = text != nullptr ? text : u"";
    record.caption = caption != nullptr ? caption : u"Error";
    record.owner = reinterpret_cast<std::uintptr_t>(owner);
    record.type = type;
    MessageBoxHook hook;
    {
        std::lock_guard lock(state.mutex);
        hook = state.hook;
    }
    // The box is up: the hook and the handler run without the lock, as they
    // may show boxes of their own.
    if (hook) {
        record.answer = hook(record);
    } else {
        UiPrompt prompt;
        prompt.kind = UiPrompt::Kind::MessageBox;
        prompt.box = &record;
        if (internal::OfferToHandler(prompt)) {
            record.answer = prompt.answer;
        }
    }
    if (record.answer == 0) {
        std::lock_guard lock(state.mutex);
        if (!state.answers.empty()) {
            record.answer = state.answers.front();
            state.answers.pop_front();
        }
    }
    if (record.answer == 0) {
        record.answer = DefaultMessageBoxAnswer(type);
    }
    state.shown.Add(record);
    return record.answer;
}
