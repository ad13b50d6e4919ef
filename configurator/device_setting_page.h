// The Device tab of the template editor: the model of the selected template,
// its features and picture, and the choice of its SwitchID (the ID switch
// value that selects the template on the target; no two templates of one
// model share one).
#pragma once

#include "platform/framework/controls.h"
#include "platform/framework/dialog.h"

class TemplateEditorDialog;

class DeviceSettingPage : public vtfw::Dialog {
public:
    explicit DeviceSettingPage(TemplateEditorDialog* editor);
    ~DeviceSettingPage() override;

    // Shows the editor's current record: its SwitchID selected in the list
    // (none for a SwitchID outside 0 to 15), and by its board type the model
    // name, the feature text and the board's picture (from the resource
    // module). Another board type changes nothing.
    void Refresh();

protected:
    BOOL OnInitDialog() override;
    void OnDestroy() override;

private:
    void SwitchIdChosen();

    TemplateEditorDialog* editor_;
    int chosenSwitchId_ = 0;
    HBITMAP picture_ = nullptr;  // the bitmap set by Refresh, deleted by the page
};
