// The dialog manager by its contracts: templates from this program's own
// resources (test_resources.rc) made into windows, what a person's input
// does to them (radio groups, disabled and hidden controls, Enter, Escape,
// the close box), modal results, destroy order, and that nothing is left
// behind.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/host/control/ui_driver.h"
#include "platform/resources.h"
#include "platform/ui.h"
#include "tests/host/windows/test_resource_ids.h"

namespace {

// What the dialog procedure saw, in order, and how it reacts.
struct Recorder {
    std::vector<std::string> events;
    LPARAM initParam = 0;
    BOOL initResult = TRUE;
    std::function<void(HWND)> onInit;
};
Recorder* recorder = nullptr;

LRESULT CALLBACK ChildSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_DESTROY && recorder != nullptr) {
        recorder->events.push_back("destroy " + std::to_string(GetDlgCtrlID(window)));
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

// Records every child's WM_DESTROY.
void SpyOnChildren(HWND dialog)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        LONG_PTR original =
            SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChildSpy));
        SetWindowLongPtrW(child, GWLP_USERDATA, original);
    }
}

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        recorder->events.push_back("init");
        recorder->initParam = lParam;
        if (recorder->onInit) {
            recorder->onInit(dialog);
        }
        return recorder->initResult;
    case WM_COMMAND:
        recorder->events.push_back("command " + std::to_string(LOWORD(wParam)) + " " +
                                   std::to_string(HIWORD(wParam)));
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam) == IDOK ? 100 : 200);
        }
        return TRUE;
    case WM_DESTROY:
        recorder->events.push_back("destroy dialog");
        return FALSE;
    default:
        return FALSE;
    }
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        recorder = &record_;
        vtsim::ClearModalDialogs();
        before_ = vtsim::GetLiveCounts();
    }
    void TearDown() override
    {
        vtsim::SetUiHandler({});
        recorder = nullptr;
        EXPECT_TRUE(vtsim::TopLevelWindows().empty());
        EXPECT_EQ(vtsim::GetLiveCounts(), before_) << vtsim::Describe(vtsim::GetLiveCounts());
    }

    // Shows the sample dialog modally, with drive run on it once shown.
    INT_PTR ShowSample(const std::function<void(HWND)>& drive, LPARAM param = 42)
    {
        vtsim::SetUiHandler([&](vtsim::UiPrompt& prompt) {
            if (prompt.kind == vtsim::UiPrompt::Kind::Dialog) {
                drive(prompt.window);
            }
        });
        return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, &RecordingProc,
                               param);
    }

    static bool Checked(HWND dialog, int id)
    {
        return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
    }

    Recorder record_;
    vtsim::LiveCounts before_;
};

TEST_F(Dialogs, ModalDialogGetsItsParameterAndReturnsTheEndDialogValue)
{
    HWND focused = nullptr;
    HWND first = nullptr;
    EXPECT_EQ(ShowSample([&](HWND dialog) {
                  focused = GetFocus();
                  first = GetDlgItem(dialog, IDOK);
                  EXPECT_TRUE(vtsim::PressOk(dialog));
              }),
              100);
    EXPECT_EQ(record_.initParam, 42);
    // TRUE from WM_INITDIALOG: the first control with WS_TABSTOP has the focus.
    EXPECT_EQ(focused, first);
    ASSERT_EQ(vtsim::ModalDialogs().size(), 1u);
    EXPECT_EQ(vtsim::ModalDialogs()[0].caption, u"Sample \"dialog\"");
    EXPECT_EQ(vtsim::ModalDialogs()[0].result, 100);
    EXPECT_EQ(vtsim::ModalDialogs()[0].ending, vtsim::DialogEnding::ByProgram);

    // Focus given by the procedure itself (FALSE) stays where it put it.
    record_.initResult = FALSE;
    record_.onInit = [](HWND dialog) {
        SetFocus(GetDlgItem(dialog, IDC_NAME));
    };
    ShowSample([&](HWND dialog) {
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_NAME));
        vtsim::PressCancel(dialog);
    });
}

TEST_F(Dialogs, EnterEscapeAndTheCloseBoxBecomeCommands)
{
    EXPECT_EQ(ShowSample([](HWND dialog) {
                  EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
                  EXPECT_TRUE(vtsim::PressKey(dialog, vtsim::Key::Enter));
              }),
              100);
    EXPECT_EQ(ShowSample([](HWND dialog) { vtsim::PressKey(dialog, vtsim::Key::Escape); }), 200);
    EXPECT_EQ(ShowSample([](HWND dialog) { vtsim::ClickCloseBox(dialog); }), 200);
    // Nobody ends it, or nobody is attached at all: Escape is pressed for it.
    EXPECT_EQ(ShowSample([](HWND) {}), 200);
    EXPECT_EQ(vtsim::ModalDialogs().back().ending, vtsim::DialogEnding::ByEscape);
    vtsim::SetUiHandler({});
    EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, &RecordingProc, 0),
              200);
    EXPECT_EQ(vtsim::ModalDialogs().back().ending, vtsim::DialogEnding::ByEscape);
    EXPECT_EQ(vtsim::ModalDialogs().size(), 5u);

    std::vector<std::string> expected = {"init", "command 1 0", "destroy dialog"};
    for (int escapes = 0; escapes < 4; ++escapes) {
        expected.insert(expected.end(), {"init", "command 2 0", "destroy dialog"});
    }
    EXPECT_EQ(record_.events, expected);
}

// The default button's frame stays where DM_SETDEFID puts it: a push button
// that a click gives the focus to does not take it over.
TEST_F(Dialogs, TheDefaultButtonFollowsTheDefaultIdNotTheFocus)
{
    auto type = [](HWND dialog, int id) {
        return GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK;
    };
    EXPECT_EQ(ShowSample([&](HWND dialog) {
                  EXPECT_EQ(type(dialog, IDOK), BS_DEFPUSHBUTTON);
                  SetFocus(GetDlgItem(dialog, IDCANCEL));
                  EXPECT_EQ(type(dialog, IDOK), BS_DEFPUSHBUTTON);
                  EXPECT_EQ(type(dialog, IDCANCEL), BS_PUSHBUTTON);
                  SendMessageW(dialog, DM_SETDEFID, IDCANCEL, 0);
                  EXPECT_EQ(type(dialog, IDOK), BS_PUSHBUTTON);
                  EXPECT_EQ(type(dialog, IDCANCEL), BS_DEFPUSHBUTTON);
                  SetFocus(GetDlgItem(dialog, IDOK));
                  EXPECT_EQ(type(dialog, IDCANCEL), BS_DEFPUSHBUTTON);
                  // Enter presses the focused push button all the same.
                  vtsim::PressKey(dialog, vtsim::Key::Enter);
              }),
              100);
}

TEST_F(Dialogs, AutomaticRadioButtonsFormGroupsFromOneWsGroupToTheNext)
{
    ShowSample([&](HWND dialog) {
        EXPECT_TRUE(vtsim::Click(GetDlgItem(dialog, IDC_LONE_RADIO)));
        EXPECT_TRUE(vtsim::Click(GetDlgItem(dialog, IDC_FIRST_RADIO)));
        EXPECT_TRUE(Checked(dialog, IDC_FIRST_RADIO));
        EXPECT_TRUE(vtsim::Click(GetDlgItem(dialog, IDC_THIRD_RADIO)));
        EXPECT_FALSE(Checked(dialog, IDC_FIRST_RADIO));
        EXPECT_TRUE(Checked(dialog, IDC_THIRD_RADIO));
        EXPECT_TRUE(Checked(dialog, IDC_LONE_RADIO));  // a group of its own

        // A disabled button takes no click, but CheckRadioButton reaches it.
        EnableWindow(GetDlgItem(dialog, IDC_SECOND_RADIO), FALSE);
        std::string error;
        EXPECT_FALSE(vtsim::Click(GetDlgItem(dialog, IDC_SECOND_RADIO), &error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(Checked(dialog, IDC_THIRD_RADIO));
        EXPECT_TRUE(CheckRadioButton(dialog, IDC_FIRST_RADIO, IDC_THIRD_RADIO, IDC_SECOND_RADIO));
        EXPECT_TRUE(Checked(dialog, IDC_SECOND_RADIO));
        EXPECT_FALSE(Checked(dialog, IDC_THIRD_RADIO));

        // A hidden one neither; nor anything in a disabled dialog.
        ShowWindow(GetDlgItem(dialog, IDC_FIRST_RADIO), SW_HIDE);
        EXPECT_FALSE(vtsim::Click(GetDlgItem(dialog, IDC_FIRST_RADIO)));
        EXPECT_FALSE(EnableWindow(dialog, FALSE));  // was enabled
        EXPECT_FALSE(vtsim::Click(GetDlgItem(dialog, IDC_THIRD_RADIO)));
        EXPECT_TRUE(EnableWindow(dialog, TRUE));  // was disabled
        vtsim::PressOk(dialog);
    });
    // Clicks notify the dialog: BN_CLICKED (0) for each that went through.
    const std::vector<std::string> expected = {"init",           "command 1004 0",
                                               "command 1001 0", "command 1003 0",
                                               "command 1 0",    "destroy dialog"};
    EXPECT_EQ(record_.events, expected);
}

TEST_F(Dialogs, ChildrenAreDestroyedAfterTheDialog)
{
    record_.onInit = &SpyOnChildren;
    ShowSample([](HWND dialog) { vtsim::PressOk(dialog); });
    ASSERT_GE(record_.events.size(), 4u);
    EXPECT_EQ(record_.events[2], "destroy dialog");
    EXPECT_EQ(record_.events[3], "destroy 1");
    EXPECT_EQ(record_.events.back(), "destroy 1006");
    EXPECT_EQ(record_.events.size(), 3u + 10u);
}

TEST_F(Dialogs, EndingDuringInitialisationNeverShowsTheDialog)
{
    record_.onInit = [](HWND dialog) {
        EndDialog(dialog, 7);
    };
    bool shown = false;
    EXPECT_EQ(ShowSample([&](HWND) { shown = true; }), 7);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(vtsim::ModalDialogs().empty());
}

TEST_F(Dialogs, LayoutFollowsTheTemplateFontsDialogUnits)
{
    ShowSample([](HWND dialog) {
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right - client.left, 300);  // 200 * 6 / 4
        EXPECT_EQ(client.bottom - client.top, 195);  // 120 * 13 / 8
        // Placed at its template position (10, 20) from the screen's corner.
        const vtsim::WindowSnapshot whole = vtsim::Snapshot(dialog);
        EXPECT_EQ(whole.rect.x, 15);
        EXPECT_EQ(whole.rect.y, 33);  // 20 * 13 / 8 = 32.5, rounded up
        const vtsim::WindowSnapshot ok = vtsim::Snapshot(GetDlgItem(dialog, IDOK));
        // (20, 95, 50, 14) dialog units from the client area, rounded to the
        // nearest pixel.
        EXPECT_EQ(ok.rect.x - whole.rect.x - whole.client.x, 30);
        EXPECT_EQ(ok.rect.y - whole.rect.y - whole.client.y, 154);
        EXPECT_EQ(ok.rect.width, 75);
        EXPECT_EQ(ok.rect.height, 23);
        // A picture static takes its bitmap's size.
        const vtsim::WindowSnapshot picture = vtsim::Snapshot(GetDlgItem(dialog, IDC_PICTURE));
        EXPECT_EQ(picture.rect.width, 3);
        EXPECT_EQ(picture.rect.height, 2);
        vtsim::PressOk(dialog);
    });
}

TEST_F(Dialogs, ModelessDialogsLiveUntilDestroyedAndHoldChildDialogs)
{
    HWND dialog =
        CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, &RecordingProc, 5);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog));  // its template has no WS_VISIBLE
    EXPECT_FALSE(vtsim::Click(GetDlgItem(dialog, IDC_LONE_RADIO)));
    ShowWindow(dialog, SW_SHOW);
    EXPECT_TRUE(vtsim::Click(GetDlgItem(dialog, IDC_LONE_RADIO)));

    HWND page =
        CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_CHILD_PAGE), dialog, &RecordingProc, 6);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(GetParent(page), dialog);
    EXPECT_EQ(vtsim::TopLevelWindows(), std::vector<HWND>{dialog});
    EXPECT_NE(vtsim::FindControlByText(dialog, "Page"), nullptr);

    // OK ends nothing here: EndDialog only hides a modeless dialog.
    EXPECT_TRUE(vtsim::PressOk(dialog));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(DestroyWindow(dialog));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(record_.initParam, 6);
}

}  // namespace
