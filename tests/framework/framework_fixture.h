// The framework tests' dialogs (from the program's own resources) and
// fixture: a main dialog that records what reached it, a child page, and a
// fixture that checks that no window outlives a test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/framework/application.h"
#include "platform/framework/controls.h"
#include "platform/framework/dialog.h"
#include "platform/framework/file.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/ui_driver.h"
#include "tests/framework/framework_test_ids.h"

namespace framework_test {

// A module handle that names no module: templates cannot be found in it.
inline HINSTANCE NoModule()
{
    return reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(0x5000));
}

inline std::string Narrow(const std::u16string& text)
{
    return std::string(text.begin(), text.end());
}

// The main test dialog: records what reached it.
class MainDialog : public vtfw::Dialog {
public:
    explicit MainDialog(int* destroyed = nullptr) : Dialog(IDD_MAIN), destroyed_(destroyed)
    {
        OnClicked(IDC_ACTION, [this] {
            events.push_back("action");
            seenModule = vtfw::ResourceModule();
        });
        OnClicked(IDC_RAISE, [this] {
            events.push_back("raise");
            throw vtfw::FileException(vtfw::FileException::Operation::Write, ERROR_DISK_FULL);
        });
        OnClicked(IDC_CLOSE, [this] {
            EndDialog(7);
            events.push_back(
                "after end");  // still safe: the object lives until the handler returns
        });
        OnClickedRange(IDC_EDGE_FIRST, IDC_EDGE_LAST,
                       [this](int id) { events.push_back("edge " + std::to_string(id)); });
        OnComboSelection(IDC_COMBO, [this] {
            events.push_back("combo " +
                             std::to_string(vtfw::ComboBox(Item(IDC_COMBO)).Selection()));
        });
        OnTreeSelection(IDC_TREE, [this] {
            vtfw::TreeView tree(Item(IDC_TREE));
            events.push_back("tree " + Narrow(tree.ItemText(tree.Selection())));
        });
        OnTabSelection(IDC_TABS, [this] {
            events.push_back("tab " + std::to_string(vtfw::TabControl(Item(IDC_TABS)).Selection()));
        });
    }
    ~MainDialog() override
    {
        if (destroyed_ != nullptr) {
            ++*destroyed_;
        }
    }

    std::vector<std::string> events;
    HINSTANCE seenModule = NoModule();

protected:
    BOOL OnInitDialog() override
    {
        events.push_back("init");
        vtfw::ComboBox combo(Item(IDC_COMBO));
        combo.AddString(TEXT("zero"));
        combo.AddString(TEXT("one"));
        vtfw::TreeView tree(Item(IDC_TREE));
        HTREEITEM root = tree.InsertItem(TEXT("Root"));
        tree.InsertItem(TEXT("Leaf A"), root);
        tree.InsertItem(TEXT("Leaf B"), root);
        vtfw::TabControl tabs(Item(IDC_TABS));
        tabs.InsertItem(0, TEXT("First"));
        tabs.InsertItem(1, TEXT("Second"));
        return TRUE;
    }
    void OnDestroy() override
    {
        events.push_back("destroy");
        if (destroyed_ != nullptr) {
            destroyedWindowHadControls = Item(IDC_ACTION) != nullptr;
        }
    }

public:
    bool destroyedWindowHadControls = false;

private:
    int* destroyed_;
};

class ChildPage : public vtfw::Dialog {
public:
    ChildPage() : Dialog(IDD_CHILD)
    {
        OnClicked(IDC_CHILD_BUTTON, [this] { ++clicks; });
    }
    int clicks = 0;
};

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::ClearMessageBoxes();
        vtsim::ClearModalDialogs();
        before_ = vtsim::GetLiveCounts();
    }
    void TearDown() override
    {
        vtsim::SetUiHandler({});
        vtfw::SetResourceModule(nullptr);
        EXPECT_EQ(vtsim::GetLiveCounts().windows, before_.windows) << "a window was left alive";
        vtsim::ClearMessageBoxes();
    }

    // Runs dialog modally; drive acts on the shown window.
    static INT_PTR RunModal(vtfw::Dialog& dialog, const std::function<void(HWND)>& drive)
    {
        vtsim::SetUiHandler([&](vtsim::UiPrompt& prompt) {
            if (prompt.kind == vtsim::UiPrompt::Kind::Dialog) {
                drive(prompt.window);
            }
        });
        const INT_PTR result = dialog.DoModal();
        vtsim::SetUiHandler({});
        return result;
    }

    vtsim::LiveCounts before_;
};

}  // namespace framework_test
