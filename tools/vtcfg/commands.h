// vtcfg's session commands as one script line each, parsed the same way by
// the host's vtcfg and by vtcfg.exe on Windows, so that one script drives
// the editor on both; and the editor's control ids that the commands act
// on. Plain C++: no platform header.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vtcfg {

// The editor's controls and its pages'.
constexpr int kTabControl = 101;
constexpr int kTreeView = 102;
constexpr int kRemoveButton = 103;
constexpr int kAddButton = 104;
constexpr int kSaveButton = 1006;
constexpr int kCloseButton = 1007;
constexpr int kModelName = 1001;
constexpr int kSwitchIdList = 1002;
constexpr int kFeatures = 1004;
constexpr int kEdgeFirst = 2100;  // rising 2100 + 2i, falling 2101 + 2i

// The editor window's caption.
constexpr const char* kEditorCaption = "VTC-4100/E/VTM-6200K device setting templates";

enum class CommandKind {
    Quit,  // quit, exit
    Help,
    Echo,  // words: the text
    Open,
    Script,
    Answer,    // number: the answer (IDOK 1, IDCANCEL 2)
    Select,    // words: the node's texts
    Click,     // number: the control id (add, remove, save, close, edge); words[0]: its name
    Tab,       // words[0]: the tab's text
    SwitchId,  // number: the SwitchID, which is also the list's entry index
    Escape,
    Show,
    Picture,  // words[0]: the file
    States,   // words[0]: the file
};

struct Command {
    CommandKind kind = CommandKind::Help;
    std::vector<std::string> words;
    int number = 0;
};

enum class ParseResult {
    Empty,    // a blank line or a comment: nothing to do
    Command,  // *command holds the command
    Usage,    // *error says what is wrong with the line
};

// Parses one line. A line is words (blanks separate, quotes group, # starts
// a comment); the first word names the command. Usage with a message for an
// unknown command, wrong arguments or an unterminated quote.
ParseResult ParseCommand(const std::string& line, Command* command, std::string* error);

// The path of texts from the top of the tree to the node that texts name,
// given the tree's items in display order as (depth, text): texts from the
// top ("DeviceTemplate VTC-4100 Template2"), from a node anywhere
// ("VTC-4100 Template2"), or one node's text found anywhere ("VTM-6200K");
// the first match in display order wins. False when no node matches.
bool FindTreePath(const std::vector<std::pair<int, std::string>>& items,
                  const std::vector<std::string>& texts, std::vector<std::string>* path);

// The name of a message box answer as vtcfg prints it ("OK", "Cancel",
// "Yes", "No"; another id as its number).
std::string AnswerName(int answer);

// Help text of the session's commands.
const char* SessionHelp();

}  // namespace vtcfg
