// The editor's steps on the registry script: each opens the script, does
// its one job and closes it again.
#pragma once

#include "configurator/board_models.h"
#include "platform/framework/application.h"

// The template numbers of model in the script at path (bit n: template n
// has a header line). False when the script does not open.
bool ScanTemplates(const vtfw::WString& scriptPath, BoardModel model, int* templates);
