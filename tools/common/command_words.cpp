#include "tools/common/command_words.h"

namespace vttools {

bool SplitCommandLine(const std::string& line, std::vector<std::string>* words, std::string* error)
{
    words->clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        if (i >= line.size() || line[i] == '#') {
            break;
        }
        std::string word;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            const char c = line[i];
            if (c == '"' || c == '\'') {
                const std::size_t end = line.find(c, i + 1);
                if (end == std::string::npos) {
                    *error = std::string("unterminated ") + c + " quote";
                    return false;
                }
                word += line.substr(i + 1, end - i - 1);
                i = end + 1;
            } else {
                word += c;
                ++i;
            }
        }
        words->push_back(word);
    }
    return true;
}

}  // namespace vttools
