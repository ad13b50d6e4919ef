#include "tools/common/model_names.h"

#include "common/board_types.h"

namespace vttools {

const char* ModelOfBoardType(std::uint32_t boardType)
{
    return IsKnownBoardType(boardType) ? BoardTypeInfoOf(boardType).modelName : "unknown";
}

}  // namespace vttools
