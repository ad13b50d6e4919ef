// Rows of text cells laid out in columns as wide as their widest cell.
#pragma once

#include <string>
#include <vector>

namespace vtdio {

// One line per row, cells two spaces apart; a column whose flag in
// rightAligned is set is right-aligned, the others left-aligned; the last
// cell of a row is not padded. Widths count bytes (the cells are ASCII).
std::string FormatTable(const std::vector<std::vector<std::string>>& rows,
                        const std::vector<bool>& rightAligned);

}  // namespace vtdio
