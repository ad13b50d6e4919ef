// How vtcfg reads the editor window: its controls' ids, the tree node a
// person names, and the editor's state as text.
#pragma once

#include <string>
#include <vector>

#include "platform/host/control/window_snapshot.h"

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

// The path of texts from the top of the tree to the node that texts name:
// texts from the top ("DeviceTemplate VTC-4100 Template2"), from a node
// anywhere ("VTC-4100 Template2"), or one node's text found anywhere
// ("VTM-6200K"); the first match in display order wins. False when no node
// matches.
bool FindTreePath(const vtsim::WindowSnapshot& tree, const std::vector<std::string>& texts,
                  std::vector<std::string>* path);

// The editor's state as lines: the tree (selected node marked with '>',
// collapsed nodes with '+'), the tab, the buttons, and the page shown with
// its model, SwitchID and edges.
std::string DescribeEditor(const vtsim::WindowSnapshot& editor);

}  // namespace vtcfg
