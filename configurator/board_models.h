// The three board models the configurator edits templates for, in the
// order the editor lists them, and how tree node texts name them.
#pragma once

#include "platform/framework/application.h"
#include "platform/types.h"

enum class BoardModel { VTM6200K = 0, VTC4100 = 1, VTC4100E = 2 };
constexpr int kModelCount = 3;

struct BoardModelInfo {
    LPCWSTR label;          // tree label and model name: "VTM-6200K"
    const char* boardName;  // the script's board name: "VTM6200K"
    const char* driverKey;  // the script's driver key: "RLX6200KS"
    int boardType;          // the board type code: 221
    int interruptInputs;    // 2 or 4
};

// The model's row; the models in this order: VTM-6200K, VTC-4100, VTC-4100E.
const BoardModelInfo& InfoOf(BoardModel model);
constexpr BoardModel kModels[kModelCount] = {BoardModel::VTM6200K, BoardModel::VTC4100,
                                             BoardModel::VTC4100E};

// The model a node text names: the text starts with "VTC-4100E",
// "VTM-6200K" or "VTC-4100", tested in this order (the longer label
// first). False when it names none.
bool ModelOfText(const vtfw::WString& text, BoardModel* model);

// The template number of a template node's text: the text (at most its
// first 19 characters) starts with "Template" and is followed by one or two
// decimal digits. -1 for any other text.
int TemplateNumberOfText(const vtfw::WString& text);

// The text of template n's node: "Template" and n in decimal.
vtfw::WString TemplateNodeText(int n);

constexpr int kTemplateCount = 16;
// True for the SwitchIDs a board's ID switch can show (0 to 15).
constexpr bool IsSwitchId(int value)
{
    return value >= 0 && value < 16;
}
