#include "tools/vtcfg/commands.h"

#include <algorithm>
#include <cstdint>

#include "tools/common/command_words.h"
#include "tools/common/parse_unsigned.h"

namespace vtcfg {

namespace {

constexpr int kAnswerOk = 1;      // IDOK
constexpr int kAnswerCancel = 2;  // IDCANCEL
constexpr int kAnswerYes = 6;     // IDYES
constexpr int kAnswerNo = 7;      // IDNO

bool Fail(std::string* error, std::string message)
{
    *error = std::move(message);
    return false;
}

// Fills *command from the command's name and arguments; false with a
// message when they do not make a command.
bool Build(const std::string& name, const std::vector<std::string>& args, Command* command,
           std::string* error)
{
    command->words.clear();
    command->number = 0;
    // A command without arguments; anyArgs: arguments are ignored.
    auto simple = [&](CommandKind kind, bool anyArgs = false) {
        command->kind = kind;
        return anyArgs || args.empty();
    };
    auto click = [&](int id, const char* what) {
        command->kind = CommandKind::Click;
        command->number = id;
        command->words = {what};
        return args.empty();
    };
    if (name == "quit" || name == "exit") {
        return simple(CommandKind::Quit, true);
    }
    if (name == "help") {
        return simple(CommandKind::Help, true);
    }
    if (name == "echo") {
        command->kind = CommandKind::Echo;
        command->words = args;
        return true;
    }
    if (name == "open") {
        return simple(CommandKind::Open, true);
    }
    if (name == "script") {
        return simple(CommandKind::Script, true);
    }
    if (name == "answer" && args.size() == 1 && (args[0] == "ok" || args[0] == "cancel")) {
        command->kind = CommandKind::Answer;
        command->number = args[0] == "ok" ? kAnswerOk : kAnswerCancel;
        return true;
    }
    if (name == "select" && !args.empty()) {
        command->kind = CommandKind::Select;
        command->words = args;
        return true;
    }
    if (name == "add") {
        return click(kAddButton, "Add");
    }
    if (name == "remove") {
        return click(kRemoveButton, "Remove");
    }
    if (name == "save") {
        return click(kSaveButton, "Save");
    }
    if (name == "close") {
        return click(kCloseButton, "Close");
    }
    if (name == "tab" && args.size() == 1) {
        command->kind = CommandKind::Tab;
        command->words = args;
        return true;
    }
    if (name == "switchid" && args.size() == 1) {
        std::uint64_t s = 0;
        if (!vttools::ParseUnsigned(args[0], 15, &s)) {
            return Fail(error, "switchid takes 0 to 15");
        }
        command->kind = CommandKind::SwitchId;
        command->number = static_cast<int>(s);
        return true;
    }
    if (name == "edge" && args.size() == 2 && (args[1] == "rising" || args[1] == "falling")) {
        std::uint64_t bit = 0;
        if (!vttools::ParseUnsigned(args[0], 3, &bit)) {
            return Fail(error, "edge takes an input bit 0 to 3");
        }
        command->kind = CommandKind::Click;
        command->number = kEdgeFirst + 2 * static_cast<int>(bit) + (args[1] == "falling" ? 1 : 0);
        command->words = {"Bit" + args[0] + " " + args[1]};
        return true;
    }
    if (name == "escape") {
        return simple(CommandKind::Escape);
    }
    if (name == "show") {
        return simple(CommandKind::Show);
    }
    if ((name == "picture" || name == "states") && args.size() == 1) {
        command->kind = name == "picture" ? CommandKind::Picture : CommandKind::States;
        command->words = args;
        return true;
    }
    return Fail(error, "unknown command or wrong arguments: " + name + " ('help' lists them)");
}

}  // namespace

std::string AnswerName(int answer)
{
    switch (answer) {
    case kAnswerOk:
        return "OK";
    case kAnswerCancel:
        return "Cancel";
    case kAnswerYes:
        return "Yes";
    case kAnswerNo:
        return "No";
    default:
        return std::to_string(answer);
    }
}

ParseResult ParseCommand(const std::string& line, Command* command, std::string* error)
{
    std::vector<std::string> words;
    if (!vttools::SplitCommandLine(line, &words, error)) {
        return ParseResult::Usage;
    }
    if (words.empty()) {
        return ParseResult::Empty;
    }
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (!Build(words[0], args, command, error)) {
        if (error->empty()) {
            *error = "unknown command or wrong arguments: " + words[0] + " ('help' lists them)";
        }
        return ParseResult::Usage;
    }
    return ParseResult::Command;
}

bool FindTreePath(const std::vector<std::pair<int, std::string>>& items,
                  const std::vector<std::string>& texts, std::vector<std::string>* path)
{
    std::vector<std::string> ancestors;  // texts of the current item's ancestors and itself
    for (const auto& [depth, text] : items) {
        ancestors.resize(static_cast<std::size_t>(depth));
        ancestors.push_back(text);
        if (ancestors.size() < texts.size()) {
            continue;
        }
        if (std::equal(texts.begin(), texts.end(),
                       ancestors.end() - static_cast<long>(texts.size()))) {
            *path = ancestors;
            return true;
        }
    }
    return false;
}

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
           "  states FILE             write every control's state, one line each\n"
           "  script                  print the registry script the editor edits\n"
           "  open                    open a new editor (DriverConfig again)\n"
           "  echo TEXT... | help | quit\n";
}

}  // namespace vtcfg
