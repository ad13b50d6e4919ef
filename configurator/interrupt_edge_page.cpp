// The DI tab: one Rising/Falling pair per interrupt input.
#include "configurator/interrupt_edge_page.h"

#include "configurator/resource.h"
#include "configurator/template_editor.h"

namespace {

constexpr int kPairs = 4;

int RisingButton(int input)
{
    return IDC_EDGE_FIRST + 2 * input;
}

int FallingButton(int input)
{
    return IDC_EDGE_FIRST + 2 * input + 1;
}

int InputsOf(int boardType)
{
    for (BoardModel model : kModels) {
        if (InfoOf(model).boardType == boardType) {
            return InfoOf(model).interruptInputs;
        }
    }
    return kPairs;
}

}  // namespace

InterruptEdgePage::InterruptEdgePage(TemplateEditorDialog* editor)
    : Dialog(IDD_INTERRUPT_EDGE_PAGE), editor_(editor)
{
    OnClickedRange(IDC_EDGE_FIRST, IDC_EDGE_LAST, [this](int id) { EdgeClicked(id); });
}

BOOL InterruptEdgePage::OnInitDialog()
{
    activeEditor = editor_;
    Refresh();
    return TRUE;
}

void InterruptEdgePage::Refresh()
{
    activeEditor = editor_;
    const TemplateRecord& record = editor_->CurrentRecord();
    const int inputs = InputsOf(record.boardType);
    for (int input = 0; input < inputs; ++input) {
        EnableWindow(Item(RisingButton(input)), TRUE);
        EnableWindow(Item(FallingButton(input)), TRUE);
    }
    for (int input = kPairs - 1; input >= inputs; --input) {
        EnableWindow(Item(RisingButton(input)), FALSE);
        EnableWindow(Item(FallingButton(input)), FALSE);
    }
    for (int input = 0; input < inputs; ++input) {
        const bool falling = (record.triggerMode >> input & 1u) != 0;
        CheckRadioButton(Window(), RisingButton(input), FallingButton(input),
                         falling ? FallingButton(input) : RisingButton(input));
    }
}

void InterruptEdgePage::EdgeClicked(int id)
{
    activeEditor = editor_;
    const int b = id - IDC_EDGE_FIRST;
    const int input = b / 2;
    TemplateRecord& record = editor_->CurrentRecord();
    if (IsDlgButtonChecked(Window(), id) == BST_CHECKED) {
        if (b % 2 == 1) {
            record.triggerMode |= 1u << input;
        } else {
            record.triggerMode &= ~(1u << input);
        }
    }
    editor_->NoteEdit();
}
