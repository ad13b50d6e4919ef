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
#include "configurator/registry_script.h"
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
    // Sets this editor's changed flag and enables Save (a page's edit).
    void NoteEdit();
    // Whether this editor holds edits that are not saved.
    bool Changed() const
    {
        return changed_;
    }

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
    void PopulateTree(RegistryScript& script);
    void SelectionChanged();
    void TabChanged();
    void RefreshCurrentPage();
    void ShowPageOfTab(int tab);
    int SelectedTemplateNumber();
    HTREEITEM ModelNode(BoardModel model) const;

    // The buttons (template_editor_commands.cpp). Save returns whether the
    // script now holds what the editor shows; when it does not, a message
    // box has said why and the edits stay.
    void Add();
    void Remove();
    bool Save();
    void Close();
    int FindFreeTemplateNumber(HTREEITEM modelNode) const;
    void AssignFreeSwitchId(BoardModel model, int n);

    // The script (template_store.cpp). OpenScript reads the script for
    // the window's start: the records and the tree come from it; when the
    // script cannot be read, or may not be changed, blocked_ says why.
    // LoadTemplate reads the record's values (a value that is there stays
    // read when the other is not) and returns whether SwitchID was there.
    void OpenScript(RegistryScript* script);
    bool LoadTemplate(RegistryScript& script, BoardModel model, TemplateRecord* record, int n);
    bool SaveTemplate(RegistryScript& script, BoardModel model, const TemplateRecord& record,
                      int n);
    void DeleteTemplate(RegistryScript& script, BoardModel model, int n);
    // The whole save: every removed template cut, every template in the tree
    // written, read back and committed once. False with the reason in *why.
    bool WriteScript(vtfw::WString* why);
    bool ReadsBackAsShown(RegistryScript& script);
    // Shows why the script is not changed (blocked_), when it is not.
    bool RefuseChange();
    void ShowError(const vtfw::WString& text);

    vtfw::WString scriptPath_;
    ModelTemplates models_[kModelCount] = {};
    BoardModel currentModel_ = BoardModel::VTM6200K;
    int currentIndex_ = 0;
    vtfw::TreeView tree_;
    vtfw::TabControl tabs_;
    vtfw::Button saveButton_;
    DeviceSettingPage devicePage_;
    InterruptEdgePage edgePage_;
    bool allocated_ = false;         // made by New
    bool changed_ = false;           // set by every edit, cleared by a save or a prompt's answer
    vtfw::WString blocked_;          // why the script is not changed; empty when it may be
    int scanned_[kModelCount] = {};  // the template numbers found at the start, by model
};

// The editor whose record the pages edit, shared by every editor window of
// the process: each page sets it to its own editor whenever it acts; cleared
// when that editor goes. (Each editor keeps its own changed flag.)
extern TemplateEditorDialog* activeEditor;
