// The template editor window: a tree of the setting templates of the three
// board models, the two pages that show the selected template (Device and
// DI tabs), and Add, Remove, Save and Close. The templates live in memory as
// one record per template number and model; the tree decides which
// templates exist; Save writes every template in the tree (and cuts the
// removed ones) into the board package's registry script.
//
// The window is modeless, made by DriverConfig from template 100 of the
// configurator's resources; the object deletes itself (with its pages) once
// its window is destroyed. Every step runs on the window's thread.
#pragma once

#include "configurator/board_models.h"
#include "configurator/device_setting_page.h"
#include "configurator/interrupt_edge_page.h"
#include "platform/framework/controls.h"
#include "platform/framework/dialog.h"

// One template of one model.
struct TemplateRecord {
    int boardType;      // the model's board type code
    int switchId;       // the ID switch value that selects the template (0 to 15)
    DWORD triggerMode;  // bit i: edge of interrupt input i, 1 falling, 0 rising
};

// The templates of one model.
struct ModelTemplates {
    TemplateRecord records[kTemplateCount];  // by template number
    WORD usedSwitchIds;                      // bit s: an existing template has SwitchID s
    WORD removedTemplates;                   // bit n: template n was removed since the last save
};

class TemplateEditorDialog : public vtfw::Dialog {
public:
    // scriptPath: the board package's registry script (copied).
    explicit TemplateEditorDialog(const vtfw::WString& scriptPath);
    ~TemplateEditorDialog() override;

    // Makes an editor in memory of the platform's allocator (LocalAlloc);
    // NULL when there is none. Such an editor deletes itself after its
    // window is destroyed (or with Release when its window was never made).
    static TemplateEditorDialog* New(const vtfw::WString& scriptPath);
    void Release();

    // What the pages show and edit.
    TemplateRecord& CurrentRecord()
    {
        return models_[static_cast<int>(currentModel_)].records[currentIndex_];
    }
    BoardModel CurrentModel() const
    {
        return currentModel_;
    }
    WORD& UsedSwitchIdsOfCurrentModel()
    {
        return models_[static_cast<int>(currentModel_)].usedSwitchIds;
    }
    // Sets the module-wide changed flag and enables Save (a page's edit).
    void NoteEdit();

    const vtfw::WString& ScriptPath() const
    {
        return scriptPath_;
    }

protected:
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    void DeleteSelf() override;

private:
    // Window start and the tree (template_editor.cpp).
    void PopulateTree();
    void SelectionChanged();
    void TabChanged();
    void RefreshCurrentPage();
    void ShowPageOfTab(int tab);
    int SelectedTemplateNumber();
    HTREEITEM ModelNode(BoardModel model) const;

    // The buttons (template_editor_commands.cpp).
    void Add();
    void Remove();
    void Save();
    void Close();
    int FindFreeTemplateNumber(HTREEITEM modelNode) const;
    void AssignFreeSwitchId(BoardModel model, int n);

    // The script (template_store.cpp).
    bool LoadTemplate(BoardModel model, TemplateRecord* record, int n);
    void SaveTemplate(BoardModel model, const TemplateRecord& record, int n);
    void DeleteTemplate(BoardModel model, int n);

    vtfw::WString scriptPath_;
    ModelTemplates models_[kModelCount] = {};
    BoardModel currentModel_ = BoardModel::VTM6200K;
    int currentIndex_ = 0;
    vtfw::TreeView tree_;
    vtfw::TabControl tabs_;
    vtfw::Button saveButton_;
    DeviceSettingPage devicePage_;
    InterruptEdgePage edgePage_;
    bool allocated_ = false;  // made by New
};

// Module-wide state shared by every editor window of the process: the
// changed flag (set by every edit, cleared by a save or an answer to a save
// prompt) and the editor whose record the pages edit (each page sets it to
// its own editor whenever it acts; cleared when that editor goes).
extern bool configurationChanged;
extern TemplateEditorDialog* activeEditor;
