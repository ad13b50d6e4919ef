#include "tools/vtcfg_win/message_box_answers.h"

#include <deque>

#include "tools/vtcfg/commands.h"
#include "tools/vtcfg_win/window_states.h"

namespace vtcfg {

namespace {

HHOOK hook = nullptr;
std::deque<int> queued;
std::vector<AnsweredBox> answered;

constexpr int kMessageTextId = 0xFFFF;  // the box's text is a static with this id

// A message box is a dialog with the text static and at least one of the
// standard buttons.
bool IsMessageBox(HWND window)
{
    return ClassOf(window) == "#32770" && GetDlgItem(window, kMessageTextId) != nullptr &&
           (GetDlgItem(window, IDOK) != nullptr || GetDlgItem(window, IDYES) != nullptr);
}

void Answer(HWND box)
{
    AnsweredBox record;
    record.caption = TextOf(box);
    record.text = TextOf(GetDlgItem(box, kMessageTextId));
    std::vector<int> buttons;
    for (int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
        if (GetDlgItem(box, id) != nullptr) {
            buttons.push_back(id);
            record.buttons += (record.buttons.empty() ? "" : ", ") + AnswerName(id);
        }
    }
    int answer = buttons.front();
    if (!queued.empty()) {
        answer = queued.front();
        queued.pop_front();
    }
    record.answer = AnswerName(answer);
    answered.push_back(record);
    // Pressing the button: the box ends with its id once its loop runs.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}

LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsMessageBox(window)) {
            Answer(window);
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

bool StartAnsweringMessageBoxes()
{
    if (hook == nullptr) {
        hook = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    }
    return hook != nullptr;
}

void StopAnsweringMessageBoxes()
{
    if (hook != nullptr) {
        UnhookWindowsHookEx(hook);
        hook = nullptr;
    }
}

void QueueAnswer(int answer)
{
    queued.push_back(answer);
}

std::vector<AnsweredBox> TakeAnsweredBoxes()
{
    std::vector<AnsweredBox> boxes;
    boxes.swap(answered);
    return boxes;
}

}  // namespace vtcfg
