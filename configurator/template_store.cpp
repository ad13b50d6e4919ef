// The editor's steps on the registry script: reading it at the window's
// start, loading, saving and deleting templates, and the whole save.
#include "configurator/script_messages.h"
#include "configurator/template_editor.h"
#include "platform/types.h"

namespace {

// The template's values in the order they are written.
struct TemplateValues {
    explicit TemplateValues(TemplateRecord* record)
        : rows{{"SwitchID", REG_DWORD, 4, &record->switchId},
               {"TriggerMode", REG_DWORD, 4, &record->triggerMode},
               {nullptr, 0, 0, nullptr}}
    {}
    ScriptValueEntry rows[3];
};

static_assert(sizeof(TemplateRecord::switchId) == 4 && sizeof(TemplateRecord::triggerMode) == 4);

// The first reason that keeps the editor from changing the script without
// changing what the boards get at boot; empty when there is none.
vtfw::WString ProblemOf(const RegistryScript& script, const vtfw::WString& path)
{
    for (BoardModel model : kModels) {
        const ScriptProblem problem = script.FindProblem(InfoOf(model).driverKey);
        if (problem.Found()) {
            return ProblemText(path, problem);
        }
    }
    if (script.IsReadOnly()) {
        return ReadOnlyText(path, script.ReadOnlyError());
    }
    return {};
}

// Whether template n of the model holds the 32-bit number value under name.
bool HoldsDword(RegistryScript& script, BoardModel model, int n, const char* name, DWORD value)
{
    DWORD type = 0;
    DWORD read = 0;
    DWORD size = sizeof read;
    return script.ReadValue(InfoOf(model).driverKey, n, name, &type, &read, &size) == 0 &&
           type == REG_DWORD && read == value;
}

}  // namespace

void TemplateEditorDialog::OpenScript(RegistryScript* script)
{
    const int error = script->Open(scriptPath_.c_str(), InfoOf(BoardModel::VTC4100).boardName);
    if (error != 0) {
        blocked_ = OpenFailureText(scriptPath_, static_cast<DWORD>(error));
        return;
    }
    blocked_ = ProblemOf(*script, scriptPath_);
}

bool TemplateEditorDialog::LoadTemplate(RegistryScript& script, BoardModel model,
                                        TemplateRecord* record, int n)
{
    record->switchId = n;
    TemplateValues values(record);
    script.AccessValues(InfoOf(model).driverKey, n, values.rows, SCRIPT_ACCESS_READ);
    // The SwitchID read counts as used even when TriggerMode is missing: a
    // save writes it, and another template must not get it too.
    DWORD type = 0;
    DWORD size = 0;
    return script.ReadValue(InfoOf(model).driverKey, n, "SwitchID", &type, nullptr, &size) == 1 &&
           type == REG_DWORD && size == sizeof(DWORD);
}

bool TemplateEditorDialog::SaveTemplate(RegistryScript& script, BoardModel model,
                                        const TemplateRecord& record, int n)
{
    const char* driverKey = InfoOf(model).driverKey;
    if (!script.SelectBoard(InfoOf(model).boardName)) {
        return false;
    }
    if (script.HasTemplateSection(n, driverKey) == 0 && script.AppendTemplateSection(n) != 0) {
        return false;
    }
    TemplateRecord written = record;
    TemplateValues values(&written);
    return script.AccessValues(driverKey, n, values.rows, SCRIPT_ACCESS_WRITE) == 1;
}

void TemplateEditorDialog::DeleteTemplate(RegistryScript& script, BoardModel model, int n)
{
    script.DeleteTemplateSection(n, InfoOf(model).driverKey);
}

bool TemplateEditorDialog::WriteScript(vtfw::WString* why)
{
    // The script is read again: it may have changed since the window's start.
    RegistryScript script;
    const int error = script.Open(scriptPath_.c_str(), InfoOf(BoardModel::VTC4100).boardName);
    if (error != 0) {
        *why = SaveFailureText(
            scriptPath_,
            vtfw::FileException(vtfw::FileException::Operation::Open, static_cast<DWORD>(error)));
        return false;
    }
    *why = ProblemOf(script, scriptPath_);
    if (!why->empty()) {
        blocked_ = *why;
        return false;
    }
    script.DeferCommits();
    for (int n = kTemplateCount - 1; n >= 0; --n) {
        for (BoardModel model : kModels) {
            if ((models_[static_cast<int>(model)].removedTemplates >> n & 1) != 0) {
                DeleteTemplate(script, model, n);
            }
        }
    }
    bool written = true;
    for (HTREEITEM modelNode = tree_.FirstChild(tree_.Root()); modelNode != nullptr && written;
         modelNode = tree_.NextSibling(modelNode)) {
        BoardModel model;
        if (!ModelOfText(tree_.ItemText(modelNode), &model)) {
            continue;
        }
        for (HTREEITEM node = tree_.FirstChild(modelNode); node != nullptr && written;
             node = tree_.NextSibling(node)) {
            const int n = TemplateNumberOfText(tree_.ItemText(node));
            if (n >= 0 && n < kTemplateCount) {
                written =
                    SaveTemplate(script, model, models_[static_cast<int>(model)].records[n], n);
            }
        }
    }
    if (!written) {
        *why = SaveFailureText(
            scriptPath_,
            vtfw::FileException(vtfw::FileException::Operation::Write, ERROR_NOT_ENOUGH_MEMORY));
        return false;
    }
    if (!ReadsBackAsShown(script)) {
        *why = SaveFailureText(
            scriptPath_,
            vtfw::FileException(vtfw::FileException::Operation::Write, ERROR_INVALID_DATA));
        return false;
    }
    if (script.Commit() != ERROR_SUCCESS) {
        *why = SaveFailureText(scriptPath_, script.LastFailure());
        return false;
    }
    for (ModelTemplates& templates : models_) {
        templates.removedTemplates = 0;
    }
    return true;
}

bool TemplateEditorDialog::ReadsBackAsShown(RegistryScript& script)
{
    for (HTREEITEM modelNode = tree_.FirstChild(tree_.Root()); modelNode != nullptr;
         modelNode = tree_.NextSibling(modelNode)) {
        BoardModel model;
        if (!ModelOfText(tree_.ItemText(modelNode), &model) ||
            !script.SelectBoard(InfoOf(model).boardName)) {
            continue;
        }
        int shown = 0;
        for (HTREEITEM node = tree_.FirstChild(modelNode); node != nullptr;
             node = tree_.NextSibling(node)) {
            const int n = TemplateNumberOfText(tree_.ItemText(node));
            if (n < 0 || n >= kTemplateCount) {
                continue;
            }
            shown |= 1 << n;
            const TemplateRecord& record = models_[static_cast<int>(model)].records[n];
            if (!HoldsDword(script, model, n, "SwitchID", static_cast<DWORD>(record.switchId)) ||
                !HoldsDword(script, model, n, "TriggerMode", record.triggerMode)) {
                return false;
            }
        }
        if (script.ScanTemplateNumbers() != shown) {
            return false;
        }
    }
    return true;
}

void TemplateEditorDialog::ShowError(const vtfw::WString& text)
{
    vtfw::AppMessageBox(Window(), text.c_str(), MB_OK | MB_ICONERROR);
}

bool TemplateEditorDialog::RefuseChange()
{
    if (blocked_.empty()) {
        return false;
    }
    ShowError(blocked_);
    return true;
}
