#include "tools/vtdio/text_table.h"

#include <algorithm>

namespace vtdio {

std::string FormatTable(const std::vector<std::vector<std::string>>& rows,
                        const std::vector<bool>& rightAligned)
{
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const bool last = i + 1 == row.size();
            const std::string pad(widths[i] - row[i].size(), ' ');
            const bool right = i < rightAligned.size() && rightAligned[i];
            line += (i != 0 ? "  " : "") + (right ? pad + row[i] : row[i] + (last ? "" : pad));
        }
        text += line + "\n";
    }
    return text;
}

}  // namespace vtdio
