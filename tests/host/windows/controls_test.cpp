// Common controls and combo boxes by their contracts (what the program's
// calls do, what a person's input notifies, in which order), message
// delivery (sent at once, posted through the queue), and message boxes.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/commctrl.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/ui_driver.h"
#include "platform/resources.h"
#include "platform/ui.h"
#include "tests/host/windows/test_resource_ids.h"

namespace {

constexpr int kCombo = 2001;
constexpr int kTree = 2002;
constexpr int kTabs = 2003;

std::vector<std::string>* events = nullptr;
bool refuseSelectionChange = false;

std::string NotificationName(UINT code)
{
    switch (code) {
    case TVN_SELCHANGINGW:
        return "TVN_SELCHANGING";
    case TVN_SELCHANGEDW:
        return "TVN_SELCHANGED";
    case TVN_DELETEITEMW:
        return "TVN_DELETEITEM";
    case TCN_SELCHANGING:
        return "TCN_SELCHANGING";
    case TCN_SELCHANGE:
        return "TCN_SELCHANGE";
    default:
        return std::to_string(code);
    }
}

INT_PTR CALLBACK HostProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == TVN_DELETEITEMW) {
            return FALSE;  // not needed here
        }
        events->push_back(NotificationName(header->code));
        if (refuseSelectionChange &&
            (header->code == TVN_SELCHANGINGW || header->code == TCN_SELCHANGING)) {
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_COMMAND) {
        events->push_back("command " + std::to_string(LOWORD(wParam)) + " " +
                          std::to_string(HIWORD(wParam)));
        return TRUE;
    }
    if (message == WM_APP) {
        events->push_back("app " + std::to_string(wParam));
        return TRUE;
    }
    return FALSE;
}

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        events = &events_;
        refuseSelectionChange = false;
        before_ = vtsim::GetLiveCounts();
        host_ = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, &HostProc, 0);
        ASSERT_NE(host_, nullptr);
        ShowWindow(host_, SW_SHOW);
    }
    void TearDown() override
    {
        DestroyWindow(host_);
        events = nullptr;
        EXPECT_EQ(vtsim::GetLiveCounts(), before_) << vtsim::Describe(vtsim::GetLiveCounts());
    }

    HWND Child(LPCWSTR className, int id, DWORD style)
    {
        return CreateWindowExW(0, className, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 100,
                               host_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                               nullptr);
    }

    static HTREEITEM Insert(HWND tree, HTREEITEM parent, const char16_t* text)
    {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<LPWSTR>(text);
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    static HTREEITEM Selected(HWND tree)
    {
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    }

    HWND host_ = nullptr;
    std::vector<std::string> events_;
    vtsim::LiveCounts before_;
};

TEST_F(Controls, ComboSelectionByProgramIsSilentByPersonNotified)
{
    HWND combo = Child(u"ComboBox", kCombo, CBS_DROPDOWNLIST);
    ASSERT_NE(combo, nullptr);
    for (const char16_t* text : {u"VTC-4100", u"VTC-4100E", u"VTM-6200K"}) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 5, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), -1);  // out of range clears it
    EXPECT_TRUE(events_.empty());

    EXPECT_TRUE(vtsim::ChooseComboEntry(combo, "VTM-6200K"));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    char16_t text[32] = {};
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text)), 9);
    EXPECT_EQ(std::u16string(text), u"VTM-6200K");
    EXPECT_FALSE(vtsim::ChooseComboEntry(combo, 3));
    EXPECT_FALSE(vtsim::ChooseComboEntry(combo, "VTX"));
    // CBN_SELCHANGE, then CBN_SELENDOK as the list closes.
    EXPECT_EQ(events_, (std::vector<std::string>{"command 2001 1", "command 2001 9"}));
}

TEST_F(Controls, TreeSelectionNotifiesBeforeAndAfterAndCanBeRefused)
{
    HWND tree = Child(WC_TREEVIEWW, kTree, TVS_HASBUTTONS | TVS_HASLINES);
    ASSERT_NE(tree, nullptr);
    HTREEITEM boards = Insert(tree, TVI_ROOT, u"Boards");
    HTREEITEM first = Insert(tree, boards, u"VTC-4100");
    HTREEITEM second = Insert(tree, boards, u"VTM-6200K");
    HTREEITEM third = Insert(tree, boards, u"VTC-4100E");
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)),
              boards);
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                       reinterpret_cast<LPARAM>(boards))),
              first);
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT,
                                                       reinterpret_cast<LPARAM>(third))),
              boards);

    // By program: both notifications, and the parent opens.
    EXPECT_TRUE(SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(second)));
    EXPECT_EQ(Selected(tree), second);
    EXPECT_EQ(events_, (std::vector<std::string>{"TVN_SELCHANGING", "TVN_SELCHANGED"}));
    EXPECT_TRUE(vtsim::Snapshot(tree).treeItems[0].expanded);

    // Refused in TVN_SELCHANGING: the selection stays.
    refuseSelectionChange = true;
    EXPECT_FALSE(vtsim::SelectTreeItem(tree, {"Boards", "VTC-4100"}));
    EXPECT_EQ(Selected(tree), second);
    refuseSelectionChange = false;
    EXPECT_TRUE(vtsim::SelectTreeItem(tree, {"Boards", "VTC-4100E"}));
    EXPECT_EQ(Selected(tree), third);

    // Deleting the selected item selects the next sibling, else the
    // previous one, else the parent.
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(Selected(tree), second);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(third));
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(third));
    EXPECT_EQ(Selected(tree), second);
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(Selected(tree), boards);

    char16_t text[16] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = boards;
    item.pszText = text;
    item.cchTextMax = 4;  // too short: cut, terminated
    EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(std::u16string(text), u"Boa");
}

TEST_F(Controls, TabClicksNotifyTabSelectionByProgramDoesNot)
{
    HWND tabs = Child(WC_TABCONTROLW, kTabs, 0);
    ASSERT_NE(tabs, nullptr);
    for (const char16_t* text : {u"Device", u"Events"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<LPWSTR>(text);
        SendMessageW(tabs, TCM_INSERTITEMW, 9, reinterpret_cast<LPARAM>(&item));
    }
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(tabs, TCM_SETCURSEL, 1, 0), 0);
    EXPECT_TRUE(events_.empty());

    EXPECT_TRUE(vtsim::SelectTab(tabs, "Device"));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(events_, (std::vector<std::string>{"TCN_SELCHANGING", "TCN_SELCHANGE"}));

    refuseSelectionChange = true;
    EXPECT_FALSE(vtsim::SelectTab(tabs, 1));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(Controls, SentMessagesRunAtOncePostedOnesInQueueOrder)
{
    PostMessageW(host_, WM_APP, 1, 0);
    PostMessageW(host_, WM_APP, 2, 0);
    SendMessageW(host_, WM_APP, 3, 0);
    EXPECT_EQ(events_, std::vector<std::string>{"app 3"});

    PostQuitMessage(9);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 1u);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 9u);
    EXPECT_EQ(events_, (std::vector<std::string>{"app 3", "app 1", "app 2"}));
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));

    // A message posted to a window destroyed meanwhile is not delivered.
    HWND combo = Child(u"ComboBox", kCombo, CBS_DROPDOWNLIST);
    PostMessageW(combo, CB_SETCURSEL, 0, 0);
    DestroyWindow(combo);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueues, AThreadsQueueEndsWithTheThread)
{
    // A thread that ends with a message still queued leaves nothing to a
    // later thread (which may well get the same thread id).
    for (int round = 0; round < 20; ++round) {
        std::thread([] { PostQuitMessage(1); }).join();
        bool stale = true;
        std::thread([&stale] {
            MSG message{};
            stale = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE;
        }).join();
        EXPECT_FALSE(stale) << "round " << round;
    }
}

TEST(MessageBoxes, AreAnsweredByQueueOrDefaultAndRecordedBounded)
{
    vtsim::ClearMessageBoxes();
    EXPECT_EQ(MessageBoxW(nullptr, u"Save?", u"Editor", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    vtsim::QueueMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"Save?", nullptr, MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"Done", nullptr, MB_OK), IDOK);
    std::vector<vtsim::MessageBoxRecord> boxes = vtsim::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, u"Editor");
    EXPECT_EQ(boxes[0].answer, IDNO);
    EXPECT_EQ(boxes[1].caption, u"Error");
    EXPECT_EQ(boxes[1].answer, IDCANCEL);

    for (int i = 0; i < 1200; ++i) {
        MessageBoxW(nullptr, u"again", nullptr, MB_OK);
    }
    boxes = vtsim::MessageBoxes();
    EXPECT_EQ(boxes.size(), 1000u);
    EXPECT_EQ(boxes.back().text, u"again");
    vtsim::ClearMessageBoxes();
}

}  // namespace
