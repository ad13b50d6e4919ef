#include "tools/common/model_names.h"

#include "common/registry_layout.h"

namespace vttools {

const char* ModelOfBoardType(std::uint32_t boardType)
{
    const ModelNames* names = NamesOf(boardType);
    return names != nullptr ? names->model : "unknown";
}

}  // namespace vttools
