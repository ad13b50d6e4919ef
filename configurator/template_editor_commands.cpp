// The editor's buttons: Add, Remove, Save, Close, and the window's end.
#include "configurator/resource.h"
#include "configurator/template_editor.h"

namespace {

bool StartsWithTemplate(const vtfw::WString& text)
{
    return text.compare(0, 8, TEXT("Template")) == 0;
}

}  // namespace

void TemplateEditorDialog::Add()
{
    if (RefuseChange()) {
        return;
    }
    HTREEITEM selected = tree_.Selection();
    const vtfw::WString text = tree_.ItemText(selected);
    if (selected != nullptr && text.find(TEXT("DeviceTemplate")) == vtfw::WString::npos) {
        HTREEITEM modelNode = StartsWithTemplate(text) ? tree_.Parent(selected) : selected;
        BoardModel model;
        const int n = FindFreeTemplateNumber(modelNode);
        if (n == kTemplateCount) {
            vtfw::AppMessageBox(Window(), TEXT("Support up to 16 Templates"));
        } else if (ModelOfText(tree_.ItemText(modelNode), &model)) {
            AssignFreeSwitchId(model, n);
            HTREEITEM added = tree_.InsertItem(TemplateNodeText(n).c_str(), modelNode);
            changed_ = true;
            saveButton_.Enable(true);
            tree_.Select(added);
        }
    }
    changed_ = true;
}

int TemplateEditorDialog::FindFreeTemplateNumber(HTREEITEM modelNode) const
{
    unsigned taken = 0;
    for (HTREEITEM child = tree_.FirstChild(modelNode); child != nullptr;
         child = tree_.NextSibling(child)) {
        const int n = TemplateNumberOfText(tree_.ItemText(child));
        if (n >= 0 && n < kTemplateCount) {
            taken |= 1u << n;
        }
    }
    for (int n = 0; n < kTemplateCount; ++n) {
        if ((taken >> n & 1u) == 0) {
            return n;
        }
    }
    return kTemplateCount;
}

void TemplateEditorDialog::AssignFreeSwitchId(BoardModel model, int n)
{
    ModelTemplates& templates = models_[static_cast<int>(model)];
    for (int s = 0; s < kTemplateCount; ++s) {
        if ((templates.usedSwitchIds >> s & 1) == 0) {
            templates.records[n].switchId = s;
            templates.usedSwitchIds |= static_cast<WORD>(1u << s);
            return;
        }
    }
    // every SwitchID is taken: the record keeps its own
}

void TemplateEditorDialog::Remove()
{
    HTREEITEM selected = tree_.Selection();
    HTREEITEM parent = tree_.Parent(selected);
    if (selected == nullptr || parent == nullptr || tree_.Parent(parent) == nullptr) {
        return;  // only a template node is removed
    }
    if (RefuseChange()) {
        return;
    }
    const int n = SelectedTemplateNumber();
    BoardModel model;
    if (n < 0 || !ModelOfText(tree_.ItemText(parent), &model)) {
        return;
    }
    ModelTemplates& templates = models_[static_cast<int>(model)];
    templates.removedTemplates |= static_cast<WORD>(1u << n);
    const int switchId = templates.records[n].switchId;
    if (IsSwitchId(switchId)) {
        templates.usedSwitchIds &= static_cast<WORD>(~(1u << switchId));
    }
    tree_.DeleteItem(selected);
    changed_ = true;
    saveButton_.Enable(true);
}

bool TemplateEditorDialog::Save()
{
    if (RefuseChange()) {
        return false;
    }
    vtfw::WString why;
    if (!WriteScript(&why)) {
        ShowError(why);  // the edits stay, and so do the flag and Save
        return false;
    }
    changed_ = false;
    saveButton_.Enable(false);
    return true;
}

void TemplateEditorDialog::Close()
{
    if (changed_) {
        const int answer = vtfw::AppMessageBox(
            Window(), TEXT("The configuration of device is change, save the change"), MB_OKCANCEL,
            TEXT("Note"));
        if (answer == IDOK && !Save()) {
            return;  // the window stays, with its edits, until they are saved or dropped
        }
        changed_ = false;
    }
    EndDialog(IDCANCEL);  // as the framework's cancel: the window goes, OnDestroy runs
}

void TemplateEditorDialog::OnDestroy()
{
    if (changed_) {
        const int answer = vtfw::AppMessageBox(
            nullptr, TEXT("The configuration of VTM-6200K is change, save the change"), MB_OKCANCEL,
            TEXT("Note"));
        if (answer == IDOK) {
            Save();  // a failure is shown; the window goes all the same
        }
    }
    changed_ = false;
    HWND owner = GetParent(Window());
    if (owner != nullptr) {
        SetFocus(owner);
    }
}
