#include "tools/vtcfg/editor_session.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/host/control/pictures.h"
#include "platform/host/control/ui_driver.h"
#include "platform/kernel.h"
#include "platform/module_loader.h"
#include "tools/common/command_words.h"
#include "tools/common/numbers.h"
#include "tools/common/platform_tree.h"
#include "tools/vtcfg/editor_view.h"

namespace vtcfg {

namespace {

using DriverConfigProc = int (*)(DWORD, const char*, const char*, DWORD);

constexpr const char* kEditorCaption = "VTC-4100/E/VTM-6200K device setting templates";

std::u16string Wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

std::string ButtonsOf(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return "OK, Cancel";
    case MB_YESNO:
        return "Yes, No";
    case MB_YESNOCANCEL:
        return "Yes, No, Cancel";
    default:
        return "OK";
    }
}

std::string AnswerText(int answer)
{
    switch (answer) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return std::to_string(answer);
    }
}

}  // namespace

const char* SessionHelp()
{
    return "Commands (a node is named by its texts from the top, or by one text found "
           "anywhere):\n"
           "  select TEXT...          select a node: select VTC-4100 Template2\n"
           "  add | remove | save | close\n"
           "                          click the editor's button\n"
           "  tab Device|DI           switch the tab\n"
           "  switchid N              choose SwitchID N (0 to 15) on the Device tab\n"
           "  edge BIT rising|falling click an edge of interrupt input BIT on the DI tab\n"
           "  answer ok|cancel        the answer to the next prompt (unanswered: OK)\n"
           "  escape                  press Escape in the editor\n"
           "  show                    print the tree, the buttons and the shown page\n"
           "  picture FILE            write a PNG picture of the editor\n"
           "  script                  print the registry script the editor edits\n"
           "  open                    open a new editor (DriverConfig again)\n"
           "  echo TEXT... | help | quit\n";
}

EditorSession::EditorSession(std::string root, std::string libraryName, std::ostream& out,
                             std::ostream& err)
    : root_(std::move(root)), libraryName_(std::move(libraryName)), out_(out), err_(err)
{
    if (!root_.empty() && root_.back() != '/' && root_.back() != '\\') {
        root_ += '/';  // DriverConfig appends "Public\..." directly
    }
}

EditorSession::~EditorSession()
{
    if (editor_ != nullptr && IsWindow(editor_)) {
        // Unsaved changes are dropped: the prompt at the window's end is
        // answered Cancel.
        vtsim::QueueMessageBoxAnswer(IDCANCEL);
        DestroyWindow(editor_);
        ReportNewMessageBoxes();
    }
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

std::string EditorSession::ScriptPath() const
{
    const std::string name = libraryName_;
    const std::size_t length = name.find("KCfg.dll") != std::string::npos ? 8 : 7;
    return vttools::PackageScriptPath(root_, name.substr(0, length));
}

int EditorSession::Open()
{
    if (module_ == nullptr) {
        module_ = LoadLibraryW(Wide(libraryName_).c_str());
        if (module_ == nullptr) {
            err_ << "error: " << libraryName_ << ": the library does not load (error "
                 << GetLastError() << ")\n";
            return EXIT_LIBRARY;
        }
    }
    FARPROC proc = GetProcAddress(module_, "DriverConfig");
    if (proc == nullptr) {
        err_ << "error: " << libraryName_ << ": no DriverConfig export\n";
        return EXIT_LIBRARY;
    }
    auto driverConfig = reinterpret_cast<DriverConfigProc>(reinterpret_cast<void (*)()>(proc));
    const std::vector<HWND> before = vtsim::TopLevelWindows();
    const int result = driverConfig(0, root_.c_str(), libraryName_.c_str(), 0);
    ReportNewMessageBoxes();
    editor_ = nullptr;
    for (HWND window : vtsim::TopLevelWindows()) {
        if (std::find(before.begin(), before.end(), window) == before.end() &&
            vtsim::Snapshot(window).text == kEditorCaption) {
            editor_ = window;
        }
    }
    if (result == 0 || editor_ == nullptr) {
        err_ << "error: DriverConfig returned " << result << " and showed no editor\n";
        return EXIT_LIBRARY;
    }
    out_ << "editor open on " << ScriptPath() << "\n";
    return EXIT_OK;
}

void EditorSession::PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (editor_ == nullptr || !IsWindow(editor_) || !IsDialogMessageW(editor_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int EditorSession::Execute(const std::string& line, bool* quit)
{
    std::vector<std::string> words;
    std::string error;
    if (!vttools::SplitCommandLine(line, &words, &error)) {
        err_ << "error: " << error << "\n";
        return EXIT_USAGE;
    }
    if (words.empty()) {
        return EXIT_OK;
    }
    const int result = Run(words, quit);
    PumpMessages();
    ReportNewMessageBoxes();
    if (editor_ != nullptr && !IsWindow(editor_)) {
        out_ << "the editor is closed\n";
        editor_ = nullptr;
    }
    return result;
}

bool EditorSession::RequireEditor()
{
    if (editor_ != nullptr && IsWindow(editor_)) {
        return true;
    }
    err_ << "error: no editor is open ('open' opens one)\n";
    return false;
}

int EditorSession::Run(const std::vector<std::string>& words, bool* quit)
{
    const std::string& command = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (command == "quit" || command == "exit") {
        *quit = true;
        return EXIT_OK;
    }
    if (command == "help") {
        out_ << SessionHelp();
        return EXIT_OK;
    }
    if (command == "echo") {
        for (std::size_t i = 0; i < args.size(); ++i) {
            out_ << (i == 0 ? "" : " ") << args[i];
        }
        out_ << "\n";
        return EXIT_OK;
    }
    if (command == "open") {
        return Open();
    }
    if (command == "script") {
        return PrintScript();
    }
    if (command == "answer" && args.size() == 1 && (args[0] == "ok" || args[0] == "cancel")) {
        vtsim::QueueMessageBoxAnswer(args[0] == "ok" ? IDOK : IDCANCEL);
        return EXIT_OK;
    }
    if (!RequireEditor()) {
        return EXIT_FAILED;
    }
    if (command == "select" && !args.empty()) {
        return Select(args);
    }
    if (command == "add" && args.empty()) {
        return ClickControl(kAddButton, "Add");
    }
    if (command == "remove" && args.empty()) {
        return ClickControl(kRemoveButton, "Remove");
    }
    if (command == "save" && args.empty()) {
        return ClickControl(kSaveButton, "Save");
    }
    if (command == "close" && args.empty()) {
        return ClickControl(kCloseButton, "Close");
    }
    if (command == "tab" && args.size() == 1) {
        std::string error;
        if (!vtsim::SelectTab(vtsim::FindControl(editor_, kTabControl), args[0], &error)) {
            err_ << "error: tab " << args[0] << ": " << error << "\n";
            return EXIT_FAILED;
        }
        return EXIT_OK;
    }
    if (command == "switchid" && args.size() == 1) {
        std::uint64_t s = 0;
        if (!vttools::ParseUnsigned(args[0], 15, &s)) {
            err_ << "error: switchid takes 0 to 15\n";
            return EXIT_USAGE;
        }
        std::string error;
        if (!vtsim::ChooseComboEntry(vtsim::FindControl(editor_, kSwitchIdList),
                                     static_cast<int>(s), &error)) {
            err_ << "error: switchid: " << error << "\n";
            return EXIT_FAILED;
        }
        return EXIT_OK;
    }
    if (command == "edge" && args.size() == 2 && (args[1] == "rising" || args[1] == "falling")) {
        std::uint64_t bit = 0;
        if (!vttools::ParseUnsigned(args[0], 3, &bit)) {
            err_ << "error: edge takes an input bit 0 to 3\n";
            return EXIT_USAGE;
        }
        const int id = kEdgeFirst + 2 * static_cast<int>(bit) + (args[1] == "falling" ? 1 : 0);
        return ClickControl(id, ("Bit" + args[0] + " " + args[1]).c_str());
    }
    if (command == "escape" && args.empty()) {
        std::string error;
        if (!vtsim::PressKey(editor_, vtsim::Key::Escape, &error)) {
            err_ << "error: escape: " << error << "\n";
            return EXIT_FAILED;
        }
        return EXIT_OK;
    }
    if (command == "show" && args.empty()) {
        return ShowState();
    }
    if (command == "picture" && args.size() == 1) {
        return Picture(args[0]);
    }
    err_ << "error: unknown command or wrong arguments: " << command << " ('help' lists them)\n";
    return EXIT_USAGE;
}

int EditorSession::Select(const std::vector<std::string>& texts)
{
    std::vector<std::string> path;
    if (!FindTreePath(vtsim::Snapshot(vtsim::FindControl(editor_, kTreeView)), texts, &path)) {
        err_ << "error: select: no such node\n";
        return EXIT_FAILED;
    }
    std::string error;
    if (!vtsim::SelectTreeItem(vtsim::FindControl(editor_, kTreeView), path, &error)) {
        err_ << "error: select: " << error << "\n";
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

int EditorSession::ClickControl(int id, const char* what)
{
    std::string error;
    if (!vtsim::Click(vtsim::FindControl(editor_, id), &error)) {
        err_ << "error: " << what << ": " << error << "\n";
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

int EditorSession::ShowState()
{
    out_ << DescribeEditor(vtsim::Snapshot(editor_));
    return EXIT_OK;
}

int EditorSession::Picture(const std::string& path)
{
    std::string error;
    if (!vtsim::WriteWindowPng(vtsim::Snapshot(editor_), path, &error)) {
        err_ << "error: picture: " << error << "\n";
        return EXIT_FAILED;
    }
    out_ << "picture written to " << path << "\n";
    return EXIT_OK;
}

int EditorSession::PrintScript()
{
    std::ifstream in(ScriptPath(), std::ios::binary);
    if (!in) {
        err_ << "error: " << ScriptPath() << ": cannot be read\n";
        return EXIT_FAILED;
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string shown;
    for (char c : text) {
        if (c != '\r') {
            shown += c;  // CR LF shown as one line break
        }
    }
    out_ << shown;
    if (!shown.empty() && shown.back() != '\n') {
        out_ << "\n";
    }
    return EXIT_OK;
}

void EditorSession::ReportNewMessageBoxes()
{
    const auto boxes = vtsim::MessageBoxes();
    for (std::size_t i = boxesSeen_; i < boxes.size(); ++i) {
        const auto& box = boxes[i];
        out_ << "message \"" << std::string(box.caption.begin(), box.caption.end())
             << "\": " << std::string(box.text.begin(), box.text.end()) << " ["
             << ButtonsOf(box.type) << "] -> " << AnswerText(box.answer) << "\n";
    }
    boxesSeen_ = boxes.size();
}

}  // namespace vtcfg
