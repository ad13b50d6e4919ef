// Compiling the statements of a resource script: the resource's name and
// type, then DIALOGEX (script_dialog.cpp) or BITMAP.
#include "platform/host/windows/resource_compiler/script_compiler.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/host/windows/dialog_template.h"
#include "platform/host/windows/resource_compiler/script_constants.h"
#include "platform/host/windows/resource_compiler/script_cursor.h"
#include "platform/host/windows/resource_compiler/script_dialog.h"
#include "platform/host/windows/resource_compiler/script_tokens.h"

namespace vtsim::rc {
namespace {

constexpr std::uint16_t kDialogType = 5;
constexpr std::uint16_t kBitmapType = 2;
constexpr std::size_t kBitmapFileHeader = 14;
constexpr std::size_t kBitmapInfoHeader = 40;

bool IsMemoryFlag(const std::string& word)
{
    static const char* const kFlags[] = {"DISCARDABLE", "MOVEABLE", "FIXED",
                                         "PURE",        "IMPURE",   "PRELOAD",
                                         "LOADONCALL",  "SHARED",   "NONSHARED"};
    return std::any_of(std::begin(kFlags), std::end(kFlags),
                       [&](const char* flag) { return UpperCase(word) == flag; });
}

class Compiler : private TokenCursor {
public:
    Compiler(TokenStream stream, std::string scriptDir, std::vector<std::string> includeDirs)
        : TokenCursor(std::move(stream.tokens)),
          scriptDir_(std::move(scriptDir)),
          includeDirs_(std::move(includeDirs))
    {
        result_.dependencies = std::move(stream.files);
    }

    CompiledScript Run()
    {
        while (Peek().kind != Token::Kind::End) {
            Statement();
        }
        return std::move(result_);
    }

private:
    // ---- Statements ----

    void Statement()
    {
        const Token& first = Peek();
        if (IsWord(first, "LANGUAGE")) {
            Next();
            Expression();
            Expect(",");
            Expression();
            return;
        }
        if (IsWord(first, "STRINGTABLE")) {
            Fail(first, "STRINGTABLE is not supported");
        }
        CompiledResource resource;
        ResourceName(&resource);
        const Token& type = Next();
        while (Peek().kind == Token::Kind::Word && IsMemoryFlag(Peek().text)) {
            Next();
        }
        if (IsWord(type, "DIALOGEX")) {
            resource.type = kDialogType;
            resource.data = internal::WriteDialogTemplate(CompileDialog(*this));
        } else if (IsWord(type, "BITMAP")) {
            resource.type = kBitmapType;
            resource.data = Bitmap();
        } else if (IsWord(type, "DIALOG")) {
            Fail(type, "DIALOG is not supported; use DIALOGEX");
        } else {
            Fail(type, "unknown resource type " + Describe(type));
        }
        for (const CompiledResource& other : result_.resources) {
            if (other.type == resource.type && other.id == resource.id &&
                other.name == resource.name) {
                Fail(first, "a resource of this type and name is already defined");
            }
        }
        result_.resources.push_back(std::move(resource));
    }

    void ResourceName(CompiledResource* resource)
    {
        const Token& token = Peek();
        if (token.kind == Token::Kind::Word) {
            long long value = 0;
            if (!LookUpConstant(token.text, &value)) {
                Next();
                resource->name = UpperCase(token.text);
                return;
            }
        }
        if (token.kind == Token::Kind::String) {
            Next();
            resource->name = UpperCase(token.text);
            return;
        }
        long long id = Expression();
        if (id < 0 || id > 0xFFFF) {
            Fail(token, "a resource id is 0 to 65535");
        }
        resource->id = static_cast<std::uint16_t>(id);
    }

    std::vector<std::uint8_t> Bitmap()
    {
        const Token& token = String();
        namespace fs = std::filesystem;
        std::vector<fs::path> candidates{fs::path(scriptDir_) / token.text};
        for (const std::string& dir : includeDirs_) {
            candidates.push_back(fs::path(dir) / token.text);
        }
        for (const fs::path& candidate : candidates) {
            std::ifstream in(candidate, std::ios::binary);
            if (!in) {
                continue;
            }
            std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                            std::istreambuf_iterator<char>());
            if (bytes.size() < kBitmapFileHeader + kBitmapInfoHeader || bytes[0] != 'B' ||
                bytes[1] != 'M') {
                Fail(token, candidate.string() + " is not a bitmap file");
            }
            result_.dependencies.push_back(candidate.lexically_normal().string());
            return {bytes.begin() + kBitmapFileHeader, bytes.end()};
        }
        Fail(token, "cannot find bitmap \"" + token.text + "\"");
    }

    std::string scriptDir_;
    std::vector<std::string> includeDirs_;
    CompiledScript result_;
};

}  // namespace

CompiledScript CompileScript(const std::string& path, const std::vector<std::string>& includeDirs)
{
    TokenStream stream = ReadScript(path, includeDirs);
    std::string dir = std::filesystem::path(path).parent_path().string();
    return Compiler(std::move(stream), dir, includeDirs).Run();
}

}  // namespace vtsim::rc
