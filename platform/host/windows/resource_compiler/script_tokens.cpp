// Reading a resource script: comments, preprocessing directives, macro
// expansion and tokens.
#include "platform/host/windows/resource_compiler/script_tokens.h"

#include "platform/host/windows/resource_compiler/script_lexer.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace vtsim::rc {
namespace {

constexpr int kMaxIncludeDepth = 16;

struct Condition {
    bool active;        // this branch's lines count
    bool parentActive;  // the enclosing branch's lines count
    bool seenElse;
    int line;
};

class Reader {
public:
    explicit Reader(std::vector<std::string> includeDirs) : includeDirs_(std::move(includeDirs)) {}

    void ReadFile(const std::string& path, int depth, const std::string& fromFile, int fromLine)
    {
        if (depth > kMaxIncludeDepth) {
            throw ScriptError(fromFile, fromLine, "includes nested too deeply");
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            throw ScriptError(fromFile.empty() ? path : fromFile, fromLine, "cannot read " + path);
        }
        std::ostringstream content;
        content << in.rdbuf();
        stream_.files.push_back(path);
        std::string text = WithoutComments(content.str(), path);

        std::vector<Condition> conditions;
        std::istringstream lines(text);
        std::string line;
        int number = 0;
        while (std::getline(lines, line)) {
            ++number;
            int first = number;
            // A backslash at the end continues the line.
            while (!line.empty() && (line.back() == '\\' || line.back() == '\r')) {
                if (line.back() == '\r') {
                    line.pop_back();
                    continue;
                }
                line.pop_back();
                std::string next;
                if (!std::getline(lines, next)) {
                    break;
                }
                ++number;
                line += next;
            }
            std::size_t start = line.find_first_not_of(" \t");
            bool active = conditions.empty() || conditions.back().active;
            if (start != std::string::npos && line[start] == '#') {
                Directive(line.substr(start + 1), path, first, depth, &conditions);
            } else if (active) {
                Tokenize(line, path, first);
            }
        }
        if (!conditions.empty()) {
            throw ScriptError(path, conditions.back().line, "#if without #endif");
        }
    }

    TokenStream Finish(const std::string& path)
    {
        Token end;
        end.kind = Token::Kind::End;
        end.file = path;
        end.line = lastLine_;
        stream_.tokens.push_back(end);
        return std::move(stream_);
    }

private:
    void Directive(const std::string& text, const std::string& file, int line, int depth,
                   std::vector<Condition>* conditions)
    {
        std::size_t at = text.find_first_not_of(" \t");
        std::size_t end = at == std::string::npos ? at : text.find_first_of(" \t", at);
        std::string name = at == std::string::npos ? "" : text.substr(at, end - at);
        std::string rest = end == std::string::npos ? "" : text.substr(end);
        std::size_t restStart = rest.find_first_not_of(" \t");
        rest = restStart == std::string::npos ? "" : rest.substr(restStart);
        while (!rest.empty() &&
               (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) {
            rest.pop_back();
        }
        bool active = conditions->empty() || conditions->back().active;

        if (name == "ifdef" || name == "ifndef") {
            bool defined = macros_.count(FirstWord(rest, file, line)) != 0;
            bool holds = name == "ifdef" ? defined : !defined;
            conditions->push_back({active && holds, active, false, line});
            return;
        }
        if (name == "if") {
            if (rest != "0" && rest != "1") {
                throw ScriptError(file, line, "#if takes 0 or 1 only here; use #ifdef or #ifndef");
            }
            conditions->push_back({active && rest == "1", active, false, line});
            return;
        }
        if (name == "else") {
            if (conditions->empty() || conditions->back().seenElse) {
                throw ScriptError(file, line, "#else without #if");
            }
            Condition& condition = conditions->back();
            condition.seenElse = true;
            condition.active = condition.parentActive && !condition.active;
            return;
        }
        if (name == "endif") {
            if (conditions->empty()) {
                throw ScriptError(file, line, "#endif without #if");
            }
            conditions->pop_back();
            return;
        }
        if (name == "elif") {
            throw ScriptError(file, line, "#elif is not supported; nest #ifdef instead");
        }
        if (!active) {
            return;
        }
        if (name == "define") {
            Define(rest, file, line);
        } else if (name == "undef") {
            macros_.erase(FirstWord(rest, file, line));
        } else if (name == "include") {
            Include(rest, file, line, depth);
        } else if (name == "error") {
            throw ScriptError(file, line, "#error " + rest);
        } else if (name == "pragma" || name == "line" || name.empty()) {
            // code_page and the like: nothing to do here.
        } else {
            throw ScriptError(file, line, "unknown directive #" + name);
        }
    }

    std::string FirstWord(const std::string& text, const std::string& file, int line)
    {
        std::size_t end = 0;
        while (end < text.size() && IsWordChar(text[end])) {
            ++end;
        }
        if (end == 0 || !IsWordStart(text[0])) {
            throw ScriptError(file, line, "a macro name is expected");
        }
        return text.substr(0, end);
    }

    void Define(const std::string& text, const std::string& file, int line)
    {
        std::string name = FirstWord(text, file, line);
        if (name.size() < text.size() && text[name.size()] == '(') {
            throw ScriptError(file, line, "macros with parameters are not supported");
        }
        std::vector<Token> body;
        LexLine(text.substr(name.size()), file, line, &body);
        macros_[name] = std::move(body);
    }

    void Include(const std::string& text, const std::string& file, int line, int depth)
    {
        if (text.size() >= 2 && text.front() == '<' && text.back() == '>') {
            std::string name = text.substr(1, text.size() - 2);
            if (!IsSystemHeader(name)) {
                throw ScriptError(file, line, "unknown system header <" + name + ">");
            }
            // The resource editors' headers, not <windows.h>, define the id of
            // controls nobody asks for, as the Windows resource compilers see it.
            std::string lower;
            for (char c : name) {
                lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
            }
            if (lower == "winres.h" || lower == "afxres.h") {
                Define("IDC_STATIC (-1)", file, line);
            }
            return;
        }
        if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
            throw ScriptError(file, line, "#include needs \"file\" or <file>");
        }
        std::string name = text.substr(1, text.size() - 2);
        namespace fs = std::filesystem;
        std::vector<fs::path> candidates{fs::path(file).parent_path() / name};
        for (const std::string& dir : includeDirs_) {
            candidates.push_back(fs::path(dir) / name);
        }
        for (const fs::path& candidate : candidates) {
            std::error_code error;
            if (fs::is_regular_file(candidate, error)) {
                ReadFile(candidate.lexically_normal().string(), depth + 1, file, line);
                return;
            }
        }
        throw ScriptError(file, line, "cannot find included file \"" + name + "\"");
    }

    void Tokenize(const std::string& text, const std::string& file, int line)
    {
        std::vector<Token> raw;
        LexLine(text, file, line, &raw);
        std::set<std::string> expanding;
        for (const Token& token : raw) {
            Emit(token, &expanding);
        }
        lastLine_ = line;
    }

    // Appends a token, replacing a macro by its body (the body's tokens take
    // the place of the use).
    void Emit(const Token& token, std::set<std::string>* expanding)
    {
        auto macro = token.kind == Token::Kind::Word ? macros_.find(token.text) : macros_.end();
        if (macro == macros_.end() || expanding->count(token.text) != 0) {
            stream_.tokens.push_back(token);
            return;
        }
        expanding->insert(token.text);
        for (Token inner : macro->second) {
            inner.file = token.file;
            inner.line = token.line;
            Emit(inner, expanding);
        }
        expanding->erase(token.text);
    }

    std::vector<std::string> includeDirs_;
    std::map<std::string, std::vector<Token>> macros_;
    TokenStream stream_;
    int lastLine_ = 1;
};

}  // namespace

bool IsSystemHeader(const std::string& name)
{
    static const std::set<std::string> known = {"windows.h", "winres.h",   "winresrc.h",
                                                "winuser.h", "commctrl.h", "afxres.h"};
    std::string lower;
    for (char c : name) {
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return known.count(lower) != 0;
}

TokenStream ReadScript(const std::string& path, const std::vector<std::string>& includeDirs)
{
    Reader reader(includeDirs);
    reader.ReadFile(path, 0, "", 0);
    return reader.Finish(path);
}

}  // namespace vtsim::rc
