#include "tools/vtcfg_win/win_session.h"

#include <cstdio>
#include <fstream>

#include "platform/commctrl.h"
#include "tools/vtcfg/control_states.h"
#include "tools/vtcfg_win/message_box_answers.h"
#include "tools/vtcfg_win/window_states.h"

namespace vtcfg {

namespace {

using DriverConfigProc = int (*)(DWORD, const char*, const char*, DWORD);

struct FindEditor {
    HWND found = nullptr;
};

BOOL CALLBACK OnThreadWindow(HWND window, LPARAM param)
{
    if (TextOf(window) == kEditorCaption && IsWindowVisible(window)) {
        reinterpret_cast<FindEditor*>(param)->found = window;
        return FALSE;
    }
    return TRUE;
}

// Why a control cannot be clicked, or "" when it can.
std::string Unusable(HWND control)
{
    if (control == nullptr) {
        return "no such control";
    }
    if (!IsWindowVisible(control)) {
        return "not visible";
    }
    if (!IsWindowEnabled(control)) {
        return "disabled";
    }
    return "";
}

}  // namespace

WinSession::WinSession(std::string root, std::string libraryName)
    : root_(std::move(root)), libraryName_(std::move(libraryName))
{
    if (!root_.empty() && root_.back() != '/' && root_.back() != '\\') {
        root_ += '\\';  // DriverConfig appends "Public\..." directly
    }
}

WinSession::~WinSession()
{
    if (editor_ != nullptr && IsWindow(editor_)) {
        QueueAnswer(IDCANCEL);  // unsaved changes are dropped
        DestroyWindow(editor_);
        ReportBoxes();
    }
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

int WinSession::Open()
{
    if (module_ == nullptr) {
        module_ = LoadLibraryW(Wide(libraryName_).c_str());
        if (module_ == nullptr) {
            std::fprintf(stderr, "error: %s: the library does not load (error %lu)\n",
                         libraryName_.c_str(), GetLastError());
            return EXIT_LIBRARY;
        }
    }
    FARPROC proc = GetProcAddress(module_, "DriverConfig");
    if (proc == nullptr) {
        std::fprintf(stderr, "error: %s: no DriverConfig export\n", libraryName_.c_str());
        return EXIT_LIBRARY;
    }
    auto driverConfig = reinterpret_cast<DriverConfigProc>(reinterpret_cast<void (*)()>(proc));
    const int result = driverConfig(0, root_.c_str(), libraryName_.c_str(), 0);
    Pump();
    ReportBoxes();
    FindEditor find;
    EnumThreadWindows(GetCurrentThreadId(), OnThreadWindow, reinterpret_cast<LPARAM>(&find));
    editor_ = find.found;
    if (result == 0 || editor_ == nullptr) {
        std::fprintf(stderr, "error: DriverConfig returned %d and showed no editor\n", result);
        return EXIT_LIBRARY;
    }
    std::printf("editor open on %s\n", root_.c_str());
    return EXIT_OK;
}

void WinSession::Pump()
{
    // Twice round: what one message posts is dispatched too, and the
    // window is painted before the next step looks at it.
    for (int round = 0; round < 2; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (editor_ == nullptr || !IsWindow(editor_) || !IsDialogMessageW(editor_, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        if (editor_ != nullptr && IsWindow(editor_)) {
            RedrawWindow(editor_, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        }
        Sleep(20);
    }
}

void WinSession::ReportBoxes()
{
    for (const AnsweredBox& box : TakeAnsweredBoxes()) {
        std::printf("message \"%s\": %s [%s] -> %s\n", box.caption.c_str(), box.text.c_str(),
                    box.buttons.c_str(), box.answer.c_str());
    }
}

int WinSession::Execute(const std::string& line, bool* quit)
{
    Command command;
    std::string error;
    switch (ParseCommand(line, &command, &error)) {
    case ParseResult::Empty:
        return EXIT_OK;
    case ParseResult::Usage:
        std::fprintf(stderr, "error: %s\n", error.c_str());
        return EXIT_USAGE;
    case ParseResult::Command:
        break;
    }
    const int result = Run(command, quit);
    Pump();
    ReportBoxes();
    if (editor_ != nullptr && !IsWindow(editor_)) {
        std::printf("the editor is closed\n");
        editor_ = nullptr;
    }
    return result;
}

HWND WinSession::Control(int id) const
{
    // The editor's own controls, then its pages' (child dialogs).
    if (HWND control = GetDlgItem(editor_, id)) {
        return control;
    }
    for (HWND child = GetWindow(editor_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "#32770") {
            if (HWND control = GetDlgItem(child, id)) {
                return control;
            }
        }
    }
    return nullptr;
}

int WinSession::Run(const Command& command, bool* quit)
{
    const std::vector<std::string>& words = command.words;
    switch (command.kind) {
    case CommandKind::Quit:
        *quit = true;
        return EXIT_OK;
    case CommandKind::Help:
        std::printf("%s", SessionHelp());
        return EXIT_OK;
    case CommandKind::Echo: {
        std::string text;
        for (const std::string& word : words) {
            text += (text.empty() ? "" : " ") + word;
        }
        std::printf("%s\n", text.c_str());
        return EXIT_OK;
    }
    case CommandKind::Open:
        return Open();
    case CommandKind::Answer:
        QueueAnswer(command.number);
        return EXIT_OK;
    case CommandKind::Script:
    case CommandKind::Show:
        std::fprintf(stderr, "error: not available on Windows\n");
        return EXIT_USAGE;
    default:
        break;
    }
    if (editor_ == nullptr || !IsWindow(editor_)) {
        std::fprintf(stderr, "error: no editor is open ('open' opens one)\n");
        return EXIT_FAILED;
    }
    switch (command.kind) {
    case CommandKind::Select:
        return Select(words);
    case CommandKind::Click:
        return Click(command.number, words[0]);
    case CommandKind::Tab:
        return SelectTab(words[0]);
    case CommandKind::SwitchId:
        return ChooseSwitchId(command.number);
    case CommandKind::Escape:
        return Escape();
    case CommandKind::Picture:
        return Picture(words[0]);
    case CommandKind::States:
        return WriteStates(words[0]);
    default:
        return EXIT_USAGE;
    }
}

int WinSession::Select(const std::vector<std::string>& texts)
{
    HWND tree = Control(kTreeView);
    std::vector<HTREEITEM> handles;
    const auto items = TreeItems(tree, &handles);
    std::vector<std::string> path;
    if (!FindTreePath(items, texts, &path)) {
        std::fprintf(stderr, "error: select: no such node\n");
        return EXIT_FAILED;
    }
    // The item whose ancestors' texts are the path.
    std::vector<std::string> ancestors;
    for (std::size_t i = 0; i < items.size(); ++i) {
        ancestors.resize(static_cast<std::size_t>(items[i].first));
        ancestors.push_back(items[i].second);
        if (ancestors == path) {
            SetFocus(tree);  // a click on an item focuses the tree first
            SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(handles[i]));
            return EXIT_OK;
        }
    }
    return EXIT_FAILED;
}

int WinSession::Click(int id, const std::string& what)
{
    HWND control = Control(id);
    if (const std::string why = Unusable(control); !why.empty()) {
        std::fprintf(stderr, "error: %s: %s\n", what.c_str(), why.c_str());
        return EXIT_FAILED;
    }
    SendMessageW(control, BM_CLICK, 0, 0);
    return EXIT_OK;
}

int WinSession::SelectTab(const std::string& text)
{
    HWND tabs = Control(kTabControl);
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        WCHAR buffer[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 127;
        SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
        if (Utf8(buffer) != text) {
            continue;
        }
        // What the tab control does when a person clicks a tab: it takes the
        // focus, asks its parent, changes the tab and tells its parent.
        if ((GetWindowLongW(tabs, GWL_STYLE) & TCS_FOCUSNEVER) == 0) {
            SetFocus(tabs);
        }
        HWND parent = GetParent(tabs);
        NMHDR header{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)),
                     static_cast<UINT>(TCN_SELCHANGING)};
        if (SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header))) {
            return EXIT_OK;  // the dialog keeps the tab
        }
        SendMessageW(tabs, TCM_SETCURSEL, index, 0);
        header.code = static_cast<UINT>(TCN_SELCHANGE);
        SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        return EXIT_OK;
    }
    std::fprintf(stderr, "error: tab %s: no such tab\n", text.c_str());
    return EXIT_FAILED;
}

int WinSession::ChooseSwitchId(int index)
{
    HWND combo = Control(kSwitchIdList);
    if (const std::string why = Unusable(combo); !why.empty()) {
        std::fprintf(stderr, "error: switchid: %s\n", why.c_str());
        return EXIT_FAILED;
    }
    if (index >= SendMessageW(combo, CB_GETCOUNT, 0, 0)) {
        std::fprintf(stderr, "error: switchid: no entry %d\n", index);
        return EXIT_FAILED;
    }
    // What the list does when a person picks an entry: the click on it
    // focuses it, the chosen entry is shown and the parent told.
    SetFocus(combo);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return EXIT_OK;
}

int WinSession::Escape()
{
    // The key goes to the window with the focus; the dialog manager in the
    // message loop turns it into the dialog's Cancel.
    HWND focus = GetFocus();
    if (focus == nullptr || (focus != editor_ && !IsChild(editor_, focus))) {
        focus = editor_;
    }
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
    return EXIT_OK;
}

int WinSession::Picture(const std::string& path)
{
    // The display shows what the windows painted a moment later: the picture
    // is read once the painting has settled.
    SetForegroundWindow(editor_);
    for (int round = 0; round < 5; ++round) {
        Pump();
        Sleep(100);
    }
    // The pages lie over the tab control, which does not clip its siblings:
    // they are painted last, as they are once the tab control has painted.
    for (HWND child = GetWindow(editor_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "#32770" && IsWindowVisible(child)) {
            RedrawWindow(child, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    }
    Sleep(200);
    std::string error;
    if (!WriteWindowBmp(editor_, path, &error)) {
        std::fprintf(stderr, "error: picture: %s\n", error.c_str());
        return EXIT_FAILED;
    }
    std::printf("picture written to %s\n", path.c_str());
    return EXIT_OK;
}

int WinSession::WriteStates(const std::string& path)
{
    std::ofstream out(Wide(path).c_str(), std::ios::binary);
    out << FormatControlStates(StatesOf(editor_));
    if (!out.flush()) {
        std::fprintf(stderr, "error: states: %s: cannot be written\n", path.c_str());
        return EXIT_FAILED;
    }
    std::printf("states written to %s\n", path.c_str());
    return EXIT_OK;
}

}  // namespace vtcfg
