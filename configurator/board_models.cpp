// The board model table and the node texts.
#include "configurator/board_models.h"

namespace {

constexpr int kBoardTypeVtc4100 = 135;
constexpr int kBoardTypeVtc4100E = 226;
constexpr int kBoardTypeVtm6200K = 221;

const BoardModelInfo kInfo[kModelCount] = {
    {TEXT("VTM-6200K"), "VTM6200K", "RLX6200KS", kBoardTypeVtm6200K, 2},
    {TEXT("VTC-4100"), "VTC4100", "RLX4100S", kBoardTypeVtc4100, 4},
    {TEXT("VTC-4100E"), "VTC4100E", "RLX4100ES", kBoardTypeVtc4100E, 4},
};

bool StartsWith(const vtfw::WString& text, LPCWSTR prefix)
{
    return text.compare(0, vtfw::WString(prefix).size(), prefix) == 0;
}

}  // namespace

const BoardModelInfo& InfoOf(BoardModel model)
{
    return kInfo[static_cast<int>(model)];
}

bool ModelOfText(const vtfw::WString& text, BoardModel* model)
{
    for (BoardModel candidate : {BoardModel::VTC4100E, BoardModel::VTM6200K, BoardModel::VTC4100}) {
        if (StartsWith(text, InfoOf(candidate).label)) {
            *model = candidate;
            return true;
        }
    }
    return false;
}

int TemplateNumberOfText(const vtfw::WString& text)
{
    const vtfw::WString considered = text.substr(0, 19);
    if (!StartsWith(considered, TEXT("Template")) || considered.size() < 9) {
        return -1;
    }
    const std::size_t digits = considered.size() <= 9 ? 1 : 2;
    int n = 0;
    for (std::size_t i = 8; i < 8 + digits; ++i) {
        const WCHAR c = considered[i];
        if (c < '0' || c > '9') {
            return -1;
        }
        n = n * 10 + (c - '0');
    }
    return n;
}

vtfw::WString TemplateNodeText(int n)
{
    vtfw::WString text = TEXT("Template");
    if (n >= 10) {
        text.push_back(static_cast<WCHAR>('0' + n / 10));
    }
    text.push_back(static_cast<WCHAR>('0' + n % 10));
    return text;
}
