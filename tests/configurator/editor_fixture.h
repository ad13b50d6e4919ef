// The template editor as a person meets it: the configurator library
// loaded by name, DriverConfig called on a platform tree in a scratch
// folder, and the editor window driven through the headless windows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/commctrl.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/ui_driver.h"
#include "platform/kernel.h"
#include "platform/module_loader.h"
#include "platform/ui.h"
#include "tests/support/scratch_folder.h"

namespace editor_test {

using DriverConfigProc = int (*)(DWORD, const char*, const char*, DWORD);

inline constexpr const char* kRoot = "C:\\TREE\\";
inline constexpr const char* kVtc4100Script =
    "TREE/Public/Korvel/Device_Drivers/VTC4100/VTC4100.reg";
inline constexpr const char* kVtm6200KScript =
    "TREE/Public/Korvel/Device_Drivers/VTM6200K/VTM6200K.reg";
inline constexpr const char* kEditorCaption = "VTC-4100/E/VTM-6200K device setting templates";

// Control ids of the editor and its pages.
enum : int {
    kTab = 101,
    kTree = 102,
    kRemove = 103,
    kAdd = 104,
    kSave = 1006,
    kClose = 1007,
    kModelName = 1001,
    kSwitchIdList = 1002,
    kPicture = 1003,
    kFeatures = 1004,
    kEdgeFirst = 2100,
};

// A template section as the editor writes it at the end of a file.
inline std::string Section(const std::string& driverKey, int n, unsigned switchId,
                           unsigned triggerMode)
{
    char values[80];
    std::snprintf(values, sizeof values,
                  "\n\"SwitchID\"=dword:%x\r\n\n\"TriggerMode\"=dword:%x\r\n", switchId,
                  triggerMode);
    return " \r\n[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\" + driverKey +
           "\\Template" + std::to_string(n) + "] \r\n" + values;
}

// A template section as a person would write it in the script.
inline std::string Written(const std::string& driverKey, int n, unsigned switchId,
                           unsigned triggerMode)
{
    char values[80];
    std::snprintf(values, sizeof values, "\"SwitchID\"=dword:%x\r\n\"TriggerMode\"=dword:%x\r\n",
                  switchId, triggerMode);
    return "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\" + driverKey + "\\Template" +
           std::to_string(n) + "]\r\n" + values + "\r\n";
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::DisarmAllFaults();
        vtsim::ClearMessageBoxes();
        before_ = vtsim::GetLiveCounts();
        module_ = LoadLibraryW(u"VTC4100Cfg.dll");
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
        driverConfig_ = reinterpret_cast<DriverConfigProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(module_, "DriverConfig")));
        ASSERT_NE(driverConfig_, nullptr);
    }
    void TearDown() override
    {
        vtsim::DisarmAllFaults();
        for (HWND window : vtsim::TopLevelWindows()) {
            if (vtsim::Snapshot(window).text == kEditorCaption) {
                vtsim::QueueMessageBoxAnswer(IDCANCEL);
                DestroyWindow(window);
            }
        }
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
        vtsim::ClearMessageBoxes();
        const vtsim::LiveCounts after = vtsim::GetLiveCounts();
        EXPECT_EQ(after.windows, before_.windows) << "a window was left alive";
        EXPECT_EQ(after.allocations, before_.allocations) << "an allocation was not freed";
        EXPECT_EQ(after.handles, before_.handles) << "a handle was left open";
        EXPECT_EQ(after.bitmaps, before_.bitmaps) << "a bitmap was not deleted";
    }

    // Calls DriverConfig as the host does and returns the new editor window
    // (NULL when none appeared).
    HWND Open(const char* libraryName = "VTC4100Cfg.dll", int* result = nullptr,
              const char* root = kRoot)
    {
        const std::vector<HWND> before = vtsim::TopLevelWindows();
        const int returned = driverConfig_(0, root, libraryName, 0);
        if (result != nullptr) {
            *result = returned;
        }
        for (HWND window : vtsim::TopLevelWindows()) {
            if (std::find(before.begin(), before.end(), window) == before.end() &&
                vtsim::Snapshot(window).text == kEditorCaption) {
                editor_ = window;
                return window;
            }
        }
        return nullptr;
    }

    HWND Control(int id) const
    {
        return vtsim::FindControl(editor_, id);
    }
    vtsim::WindowSnapshot Shot(int id) const
    {
        return vtsim::Snapshot(Control(id));
    }
    // The tree as lines "  Template3" (two spaces per level).
    std::vector<std::string> Tree() const
    {
        std::vector<std::string> lines;
        for (const auto& item : Shot(kTree).treeItems) {
            lines.push_back(std::string(2 * static_cast<std::size_t>(item.depth), ' ') + item.text);
        }
        return lines;
    }
    std::string SelectedNode() const
    {
        for (const auto& item : Shot(kTree).treeItems) {
            if (item.selected) {
                return item.text;
            }
        }
        return {};
    }
    void Select(const std::vector<std::string>& path)
    {
        std::string error;
        ASSERT_TRUE(vtsim::SelectTreeItem(Control(kTree), path, &error)) << error;
    }
    void Click(int id)
    {
        std::string error;
        ASSERT_TRUE(vtsim::Click(Control(id), &error)) << error;
    }
    void Tab(const char* text)
    {
        std::string error;
        ASSERT_TRUE(vtsim::SelectTab(Control(kTab), text, &error)) << error;
    }
    void ChooseSwitchId(int s)
    {
        std::string error;
        ASSERT_TRUE(vtsim::ChooseComboEntry(Control(kSwitchIdList), s, &error)) << error;
    }
    bool PageVisible(int controlId) const
    {
        return IsWindowVisible(GetParent(Control(controlId))) != FALSE;
    }
    std::vector<std::u16string> BoxTexts() const
    {
        std::vector<std::u16string> texts;
        for (const auto& box : vtsim::MessageBoxes()) {
            texts.push_back(box.text);
        }
        return texts;
    }

    test_support::ScratchFolder folder_{'C'};
    HMODULE module_ = nullptr;
    DriverConfigProc driverConfig_ = nullptr;
    HWND editor_ = nullptr;
    vtsim::LiveCounts before_;
};

}  // namespace editor_test
