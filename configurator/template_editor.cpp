// The template editor: lifetime, window start, the tree and the tabs.
#include "configurator/template_editor.h"

#include <new>

#include "configurator/resource.h"
#include "platform/kernel.h"

TemplateEditorDialog* activeEditor = nullptr;

namespace {

// Where the pages sit in the editor's client area: the hidden frame 106.
constexpr int kPageX = 160;
constexpr int kPageY = 30;

bool IsTemplateText(const vtfw::WString& text, bool ignoreCase)
{
    static constexpr char kPrefix[] = "Template";
    if (text.size() < 8) {
        return false;
    }
    for (std::size_t i = 0; i < 8; ++i) {
        WCHAR c = text[i];
        WCHAR p = static_cast<WCHAR>(kPrefix[i]);
        if (ignoreCase) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<WCHAR>(c + 32) : c;
            p = (p >= 'A' && p <= 'Z') ? static_cast<WCHAR>(p + 32) : p;
        }
        if (c != p) {
            return false;
        }
    }
    return true;
}

}  // namespace

TemplateEditorDialog::TemplateEditorDialog(const vtfw::WString& scriptPath)
    : Dialog(IDD_TEMPLATE_EDITOR), scriptPath_(scriptPath), devicePage_(this), edgePage_(this)
{
    OnClicked(IDC_ADD, [this] { Add(); });
    OnClicked(IDC_REMOVE, [this] { Remove(); });
    OnClicked(IDC_SAVE, [this] { Save(); });
    OnClicked(IDC_CLOSE, [this] { Close(); });
    OnTreeSelection(IDC_TREE, [this] { SelectionChanged(); });
    OnTabSelection(IDC_TAB, [this] { TabChanged(); });
}

TemplateEditorDialog::~TemplateEditorDialog()
{
    if (activeEditor == this) {
        activeEditor = nullptr;
    }
}

TemplateEditorDialog* TemplateEditorDialog::New(const vtfw::WString& scriptPath)
{
    void* memory = LocalAlloc(LMEM_FIXED, sizeof(TemplateEditorDialog));
    if (memory == nullptr) {
        return nullptr;
    }
    TemplateEditorDialog* editor = nullptr;
    try {
        editor = new (memory) TemplateEditorDialog(scriptPath);
    } catch (const std::bad_alloc&) {
        LocalFree(memory);  // no memory for its handlers either
        return nullptr;
    }
    editor->allocated_ = true;
    editor->DeleteAfterDestroy();
    return editor;
}

void TemplateEditorDialog::Release()
{
    DeleteSelf();
}

void TemplateEditorDialog::DeleteSelf()
{
    if (!allocated_) {
        delete this;
        return;
    }
    this->~TemplateEditorDialog();
    LocalFree(this);
}

BOOL TemplateEditorDialog::OnInitDialog()
{
    tree_ = vtfw::TreeView(Item(IDC_TREE));
    tabs_ = vtfw::TabControl(Item(IDC_TAB));
    saveButton_ = vtfw::Button(Item(IDC_SAVE));

    currentIndex_ = 0;
    for (ModelTemplates& model : models_) {
        model.usedSwitchIds = 0;
        model.removedTemplates = 0;
    }
    saveButton_.Enable(false);

    HTREEITEM root = tree_.InsertItem(TEXT("DeviceTemplate"));
    for (BoardModel model : kModels) {
        tree_.InsertItem(InfoOf(model).label, root);
    }
    RegistryScript script;
    OpenScript(&script);
    PopulateTree(script);
    tabs_.InsertItem(0, TEXT("Device"));
    tabs_.InsertItem(1, TEXT("DI"));

    for (int n = 0; n < kTemplateCount && script.DriverKey()[0] != '\0'; ++n) {
        for (BoardModel model : kModels) {
            ModelTemplates& templates = models_[static_cast<int>(model)];
            TemplateRecord& record = templates.records[n];
            if ((scanned_[static_cast<int>(model)] >> n & 1) != 0 &&
                LoadTemplate(script, model, &record, n) && IsSwitchId(record.switchId)) {
                templates.usedSwitchIds |= static_cast<WORD>(1u << record.switchId);
            }
        }
    }
    script.Close();
    currentModel_ = BoardModel::VTM6200K;
    currentIndex_ = 0;

    devicePage_.Create(Window());
    edgePage_.Create(Window());
    for (vtfw::Dialog* page :
         {static_cast<vtfw::Dialog*>(&devicePage_), static_cast<vtfw::Dialog*>(&edgePage_)}) {
        page->PlaceAt(kPageX, kPageY);
        page->Show(false);
    }
    RefreshCurrentPage();
    RefuseChange();  // says once why the script is not changed, when it is not
    return TRUE;
}

void TemplateEditorDialog::PopulateTree(RegistryScript& script)
{
    for (BoardModel model : kModels) {
        ModelTemplates& templates = models_[static_cast<int>(model)];
        for (int n = 0; n < kTemplateCount; ++n) {
            templates.records[n] = {InfoOf(model).boardType, n, 0};
        }
        scanned_[static_cast<int>(model)] = 0;
    }
    if (script.DriverKey()[0] == '\0') {
        return;  // no script: the root and the model nodes only
    }
    for (BoardModel model : {BoardModel::VTC4100, BoardModel::VTC4100E, BoardModel::VTM6200K}) {
        script.SelectBoard(InfoOf(model).boardName);
        scanned_[static_cast<int>(model)] = script.ScanTemplateNumbers();
    }
    for (int n = 0; n < kTemplateCount; ++n) {
        for (BoardModel model : kModels) {
            if ((scanned_[static_cast<int>(model)] >> n & 1) != 0) {
                tree_.InsertItem(TemplateNodeText(n).c_str(), ModelNode(model));
            }
        }
    }
    tree_.ScrollToTop(tree_.FirstChild(tree_.Root()));
}

HTREEITEM TemplateEditorDialog::ModelNode(BoardModel model) const
{
    for (HTREEITEM node = tree_.FirstChild(tree_.Root()); node != nullptr;
         node = tree_.NextSibling(node)) {
        BoardModel named;
        if (ModelOfText(tree_.ItemText(node), &named) && named == model) {
            return node;
        }
    }
    return nullptr;
}

int TemplateEditorDialog::SelectedTemplateNumber()
{
    const int n = TemplateNumberOfText(tree_.ItemText(tree_.Selection(), 20));
    if (n >= 0 && n < kTemplateCount) {
        currentIndex_ = n;
        return n;
    }
    return -1;
}

void TemplateEditorDialog::SelectionChanged()
{
    HTREEITEM selected = tree_.Selection();
    const int n = SelectedTemplateNumber();
    if (n == -1) {
        devicePage_.Show(false);
        edgePage_.Show(false);
        BoardModel model;
        if (ModelOfText(tree_.ItemText(selected), &model)) {
            currentModel_ = model;
        }
        return;
    }
    BoardModel model;
    if (ModelOfText(tree_.ItemText(tree_.Parent(selected)), &model)) {
        currentModel_ = model;
    }
    ShowPageOfTab(tabs_.Selection());
    RefreshCurrentPage();
    InvalidateRect(Window(), nullptr, TRUE);
    UpdateWindow(Window());
}

void TemplateEditorDialog::TabChanged()
{
    if (!IsTemplateText(tree_.ItemText(tree_.Selection()), true)) {
        return;
    }
    RefreshCurrentPage();
    ShowPageOfTab(tabs_.Selection());
}

void TemplateEditorDialog::ShowPageOfTab(int tab)
{
    devicePage_.Show(tab == 0);
    edgePage_.Show(tab == 1);
}

void TemplateEditorDialog::RefreshCurrentPage()
{
    switch (tabs_.Selection()) {
    case 0:
        devicePage_.Refresh();
        break;
    case 1:
        edgePage_.Refresh();
        break;
    default:
        break;
    }
}

void TemplateEditorDialog::NoteEdit()
{
    changed_ = true;
    saveButton_.Enable(true);
}
