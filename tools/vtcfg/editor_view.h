// How vtcfg reads the editor window: the tree's items, the editor's state
// as text, and its windows' states.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/host/control/window_snapshot.h"
#include "tools/vtcfg/commands.h"
#include "tools/vtcfg/control_states.h"

namespace vtcfg {

// The tree view's items in display order as (depth, text), for
// FindTreePath.
std::vector<std::pair<int, std::string>> TreeItemsOf(const vtsim::WindowSnapshot& tree);

// The editor's state as lines: the tree (selected node marked with '>',
// collapsed nodes with '+'), the tab, the buttons, and the page shown with
// its model, SwitchID and edges.
std::string DescribeEditor(const vtsim::WindowSnapshot& editor);

// The states of the editor and of every window in it, in creation order,
// positions in dialog units (see ControlState).
std::vector<ControlState> ControlStatesOf(const vtsim::WindowSnapshot& editor);

}  // namespace vtcfg
