// The editor's script steps: scan, load, save and delete one template.
#include "configurator/template_store.h"

#include "configurator/registry_script.h"
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

}  // namespace

bool ScanTemplates(const vtfw::WString& scriptPath, BoardModel model, int* templates)
{
    RegistryScript script;
    if (script.Open(scriptPath.c_str(), InfoOf(model).boardName) != 0) {
        return false;
    }
    *templates = script.ScanTemplateNumbers();
    script.Close();
    return true;
}

bool TemplateEditorDialog::LoadTemplate(BoardModel model, TemplateRecord* record, int n)
{
    record->switchId = n;
    RegistryScript script;
    if (script.Open(scriptPath_.c_str(), InfoOf(model).boardName) != 0) {
        return false;
    }
    TemplateValues values(record);
    if (script.AccessValues(InfoOf(model).driverKey, n, values.rows, SCRIPT_ACCESS_READ) == 0) {
        return false;  // a value read before the failure stays in the record
    }
    script.Close();
    return true;
}

void TemplateEditorDialog::SaveTemplate(BoardModel model, const TemplateRecord& record, int n)
{
    RegistryScript script;
    if (script.Open(scriptPath_.c_str(), InfoOf(model).boardName) != 0) {
        return;
    }
    const char* driverKey = InfoOf(model).driverKey;
    if (script.HasTemplateSection(n, driverKey) == 0) {
        script.AppendTemplateSection(n);
    }
    TemplateRecord written = record;
    TemplateValues values(&written);
    script.AccessValues(driverKey, n, values.rows, SCRIPT_ACCESS_WRITE);
    script.Close();
}

void TemplateEditorDialog::DeleteTemplate(BoardModel model, int n)
{
    RegistryScript script;
    if (script.Open(scriptPath_.c_str(), InfoOf(model).boardName) != 0) {
        return;
    }
    script.DeleteTemplateSection(n, InfoOf(model).driverKey);
    script.Close();
}
