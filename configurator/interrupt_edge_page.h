// The DI tab of the template editor: for each interrupt input of the
// selected template's model a Rising/Falling radio pair (2100 + 2i and
// 2101 + 2i); the choices form the record's trigger mode. The pairs of
// inputs the model lacks are disabled and keep their check marks.
#pragma once

#include "platform/framework/dialog.h"

class TemplateEditorDialog;

class InterruptEdgePage : public vtfw::Dialog {
public:
    explicit InterruptEdgePage(TemplateEditorDialog* editor);

    // Shows the editor's current record: enables the pairs of the model's
    // inputs (2 for the VTM-6200K, else 4), disables the others, and checks
    // Falling where the record's trigger mode bit is 1, else Rising.
    void Refresh();

protected:
    BOOL OnInitDialog() override;

private:
    void EdgeClicked(int id);

    TemplateEditorDialog* editor_;
};
