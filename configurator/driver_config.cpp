// DriverConfig: from the host's call to the editor window.
#include "configurator/driver_config.h"

#include <cstring>

#include "configurator/module.h"
#include "configurator/template_editor.h"

vtfw::WString ScriptPathFor(const char* root, const char* libraryName)
{
    const std::size_t folderLength = std::strstr(libraryName, "KCfg.dll") != nullptr ? 8 : 7;
    const std::size_t nameLength = std::strlen(libraryName);
    const std::string folder(libraryName, nameLength < folderLength ? nameLength : folderLength);
    const std::string path =
        std::string(root) + "Public\\Korvel\\Device_Drivers\\" + folder + "\\" + folder + ".reg";
    vtfw::WString wide;
    for (char c : path) {
        wide.push_back(static_cast<WCHAR>(static_cast<unsigned char>(c)));
    }
    return wide;
}

extern "C" VTCFG_EXPORT int DriverConfig(DWORD, const char* root, const char* libraryName, DWORD)
{
    if (root == nullptr || libraryName == nullptr) {
        return 0;
    }
    vtfw::ResourceModuleScope scope(ConfiguratorModule());
    TemplateEditorDialog* editor = TemplateEditorDialog::New(ScriptPathFor(root, libraryName));
    if (editor == nullptr) {
        MessageBoxW(nullptr, TEXT(" NEW Device Config Objeft failed!"), nullptr, MB_OK);
        return 0;
    }
    if (editor->Create(nullptr)) {
        ShowWindow(editor->Window(), SW_SHOWNORMAL);
    } else {
        editor->Release();
    }
    return 1;
}
