#include "tools/vtcfg/editor_session.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/host/control/pictures.h"
#include "platform/host/control/ui_driver.h"
#include "platform/kernel.h"
#include "platform/module_loader.h"
#include "tools/common/platform_tree.h"
#include "tools/vtcfg/editor_view.h"

namespace vtcfg {

namespace {

using DriverConfigProc = int (*)(DWORD, const char*, const char*, DWORD);

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

}  // namespace

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
    Command command;
    std::string error;
    switch (ParseCommand(line, &command, &error)) {
    case ParseResult::Empty:
        return EXIT_OK;
    case ParseResult::Usage:
        err_ << "error: " << error << "\n";
        return EXIT_USAGE;
    case ParseResult::Command:
        break;
    }
    const int result = Run(command, quit);
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

int EditorSession::Run(const Command& command, bool* quit)
{
    const std::vector<std::string>& words = command.words;
    switch (command.kind) {
    case CommandKind::Quit:
        *quit = true;
        return EXIT_OK;
    case CommandKind::Help:
        out_ << SessionHelp();
        return EXIT_OK;
    case CommandKind::Echo:
        for (std::size_t i = 0; i < words.size(); ++i) {
            out_ << (i == 0 ? "" : " ") << words[i];
        }
        out_ << "\n";
        return EXIT_OK;
    case CommandKind::Open:
        return Open();
    case CommandKind::Script:
        return PrintScript();
    case CommandKind::Answer:
        vtsim::QueueMessageBoxAnswer(command.number);
        return EXIT_OK;
    default:
        break;
    }
    if (!RequireEditor()) {
        return EXIT_FAILED;
    }
    std::string error;
    switch (command.kind) {
    case CommandKind::Select:
        return Select(words);
    case CommandKind::Click:
        return ClickControl(command.number, words[0].c_str());
    case CommandKind::Tab:
        if (!vtsim::SelectTab(vtsim::FindControl(editor_, kTabControl), words[0], &error)) {
            err_ << "error: tab " << words[0] << ": " << error << "\n";
            return EXIT_FAILED;
        }
        return EXIT_OK;
    case CommandKind::SwitchId:
        if (!vtsim::ChooseComboEntry(vtsim::FindControl(editor_, kSwitchIdList), command.number,
                                     &error)) {
            err_ << "error: switchid: " << error << "\n";
            return EXIT_FAILED;
        }
        return EXIT_OK;
    case CommandKind::Escape:
        if (!vtsim::PressKey(editor_, vtsim::Key::Escape, &error)) {
            err_ << "error: escape: " << error << "\n";
            return EXIT_FAILED;
        }
        return EXIT_OK;
    case CommandKind::Show:
        return ShowState();
    case CommandKind::Picture:
        return Picture(words[0]);
    case CommandKind::States:
        return WriteStates(words[0]);
    default:
        return EXIT_USAGE;
    }
}

int EditorSession::Select(const std::vector<std::string>& texts)
{
    std::vector<std::string> path;
    if (!FindTreePath(TreeItemsOf(vtsim::Snapshot(vtsim::FindControl(editor_, kTreeView))), texts,
                      &path)) {
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

int EditorSession::WriteStates(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << FormatControlStates(ControlStatesOf(vtsim::Snapshot(editor_)));
    if (!out.flush()) {
        err_ << "error: states: " << path << ": cannot be written\n";
        return EXIT_FAILED;
    }
    out_ << "states written to " << path << "\n";
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
             << ButtonsOf(box.type) << "] -> " << AnswerName(box.answer) << "\n";
    }
    boxesSeen_ = boxes.size();
}

}  // namespace vtcfg
