// Board models by name, for output.
#pragma once

#include <cstdint>

namespace vttools {

// The model name of a board type as the board table names it
// ("VTC-4100", "VTC-4100E", "VTM-6200K"); "unknown" for any other code.
const char* ModelOfBoardType(std::uint32_t boardType);

}  // namespace vttools
