// The Device tab: model name, features, picture and the SwitchID choice.
#include "configurator/device_setting_page.h"

#include "configurator/resource.h"
#include "configurator/template_editor.h"

namespace {

constexpr LPCWSTR kThreeFeatures = TEXT(
    "\n*16 Isolated Digital Input channel\n*16 Isolated Digital Output channel\n"
    "*Interrupt handling capability\n");
constexpr LPCWSTR kFiveFeatures = TEXT(
    "\n*16 Isolated Digital Input channel\n*16 Isolated Digital Output channel\n"
    "*16 Digital Input channel\n*16 Digital Output channel\n"
    "*Interrupt handling capability\n");

struct Presentation {
    BoardModel model;
    LPCWSTR features;
    UINT bitmap;
};
constexpr Presentation kPresentations[] = {
    {BoardModel::VTC4100, kFiveFeatures, IDB_VTC4100},
    {BoardModel::VTC4100E, kFiveFeatures, IDB_VTC4100E},
    {BoardModel::VTM6200K, kThreeFeatures, IDB_VTM6200K},
};

}  // namespace

DeviceSettingPage::DeviceSettingPage(TemplateEditorDialog* editor)
    : Dialog(IDD_DEVICE_SETTING_PAGE), editor_(editor)
{
    OnComboSelection(IDC_SWITCH_ID, [this] { SwitchIdChosen(); });
}

DeviceSettingPage::~DeviceSettingPage() = default;

BOOL DeviceSettingPage::OnInitDialog()
{
    activeEditor = editor_;
    vtfw::ComboBox list(Item(IDC_SWITCH_ID));
    for (int s = 0; s < kTemplateCount; ++s) {
        const WCHAR text[3] = {static_cast<WCHAR>(s < 10 ? '0' + s : '1'),
                               static_cast<WCHAR>(s < 10 ? 0 : '0' + s - 10), 0};
        list.AddString(text);
    }
    Refresh();
    return TRUE;
}

void DeviceSettingPage::OnDestroy()
{
    // The picture control lets go of the bitmap before the page frees it.
    if (picture_ != nullptr) {
        vtfw::Picture(Item(IDC_BOARD_PICTURE)).SetBitmap(nullptr);
        DeleteObject(picture_);
        picture_ = nullptr;
    }
}

void DeviceSettingPage::Refresh()
{
    activeEditor = editor_;
    const TemplateRecord& record = editor_->CurrentRecord();
    vtfw::ComboBox(Item(IDC_SWITCH_ID)).Select(IsSwitchId(record.switchId) ? record.switchId : -1);
    for (const Presentation& shown : kPresentations) {
        if (InfoOf(shown.model).boardType != record.boardType) {
            continue;
        }
        SetDlgItemTextW(Window(), IDC_MODEL_NAME, InfoOf(shown.model).label);
        SetDlgItemTextW(Window(), IDC_FEATURES, shown.features);
        HBITMAP bitmap = LoadBitmapW(vtfw::ResourceModule(), MAKEINTRESOURCEW(shown.bitmap));
        if (bitmap != nullptr) {
            // The previous bitmap comes back to the page, also the one the
            // control loaded from the template; the page deletes it.
            HBITMAP previous = vtfw::Picture(Item(IDC_BOARD_PICTURE)).SetBitmap(bitmap);
            if (previous != nullptr) {
                DeleteObject(previous);
            }
            picture_ = bitmap;
        }
        if (shown.model == BoardModel::VTM6200K) {
            InvalidateRect(Window(), nullptr, TRUE);
            UpdateWindow(Window());
        }
        return;
    }
}

void DeviceSettingPage::SwitchIdChosen()
{
    activeEditor = editor_;
    TemplateRecord& record = editor_->CurrentRecord();
    WORD& used = editor_->UsedSwitchIdsOfCurrentModel();
    int s = vtfw::ComboBox(Item(IDC_SWITCH_ID)).Selection();
    if (!IsSwitchId(s)) {
        return;  // only a choice from the list is acted on
    }
    chosenSwitchId_ = s;
    if ((used >> s & 1) != 0 && s != record.switchId) {
        vtfw::AppMessageBox(Window(), TEXT("SwitchID already used!"));
        s = record.switchId;
        chosenSwitchId_ = s;
        vtfw::ComboBox(Item(IDC_SWITCH_ID)).Select(IsSwitchId(s) ? s : -1);
    }
    editor_->NoteEdit();
    if (IsSwitchId(record.switchId)) {
        used &= static_cast<WORD>(~(1u << record.switchId));
    }
    if (IsSwitchId(s)) {
        used |= static_cast<WORD>(1u << s);
    }
    record.switchId = s;
}
