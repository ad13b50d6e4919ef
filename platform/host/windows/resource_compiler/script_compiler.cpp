// Compiling the statements of a resource script: DIALOGEX with its options
// and controls, and BITMAP.
#include "platform/host/windows/resource_compiler/script_compiler.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "platform/host/kernel/utf.h"
#include "platform/host/windows/dialog_template.h"
#include "platform/host/windows/resource_compiler/script_constants.h"
#include "platform/host/windows/resource_compiler/script_cursor.h"
#include "platform/host/windows/resource_compiler/script_tokens.h"
#include "platform/ui.h"

namespace vtsim::rc {
namespace {

constexpr std::uint16_t kDialogType = 5;
constexpr std::uint16_t kBitmapType = 2;
constexpr std::size_t kBitmapFileHeader = 14;
constexpr std::size_t kBitmapInfoHeader = 40;

// A control statement other than CONTROL: its class and default style.
struct ControlKind {
    const char* keyword;
    std::uint16_t classOrdinal;  // 0x80 Button, 0x81 Edit, 0x82 Static, 0x85 ComboBox
    DWORD style;
    bool hasText;
};

const ControlKind kControlKinds[] = {
    {"PUSHBUTTON", 0x80, BS_PUSHBUTTON | WS_TABSTOP, true},
    {"DEFPUSHBUTTON", 0x80, BS_DEFPUSHBUTTON | WS_TABSTOP, true},
    {"CHECKBOX", 0x80, BS_CHECKBOX | WS_TABSTOP, true},
    {"AUTOCHECKBOX", 0x80, BS_AUTOCHECKBOX | WS_TABSTOP, true},
    {"RADIOBUTTON", 0x80, BS_RADIOBUTTON, true},
    {"AUTORADIOBUTTON", 0x80, BS_AUTORADIOBUTTON, true},
    {"STATE3", 0x80, BS_3STATE | WS_TABSTOP, true},
    {"AUTO3STATE", 0x80, BS_AUTO3STATE | WS_TABSTOP, true},
    {"GROUPBOX", 0x80, BS_GROUPBOX, true},
    {"LTEXT", 0x82, SS_LEFT | WS_GROUP, true},
    {"CTEXT", 0x82, SS_CENTER | WS_GROUP, true},
    {"RTEXT", 0x82, SS_RIGHT | WS_GROUP, true},
    {"EDITTEXT", 0x81, ES_LEFT | WS_BORDER | WS_TABSTOP, false},
    {"COMBOBOX", 0x85, CBS_SIMPLE | WS_TABSTOP, false},
};

// Class names that a CONTROL may give unquoted.
bool PredefinedClassWord(const std::string& word, std::uint16_t* ordinal)
{
    static const std::pair<const char*, std::uint16_t> kClasses[] = {
        {"BUTTON", 0x80},  {"EDIT", 0x81},      {"STATIC", 0x82},
        {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85},
    };
    for (const auto& [name, value] : kClasses) {
        if (UpperCase(word) == name) {
            *ordinal = value;
            return true;
        }
    }
    return false;
}

bool IsMemoryFlag(const std::string& word)
{
    static const char* const kFlags[] = {"DISCARDABLE", "MOVEABLE", "FIXED",
                                         "PURE",        "IMPURE",   "PRELOAD",
                                         "LOADONCALL",  "SHARED",   "NONSHARED"};
    return std::any_of(std::begin(kFlags), std::end(kFlags),
                       [&](const char* flag) { return UpperCase(word) == flag; });
}

std::u16string Wide(const Token& token)
{
    std::u16string text;
    std::size_t bad = 0;
    if (!internal::DecodeUtf8(token.text, &text, &bad)) {
        throw ScriptError(token.file, token.line, "the text is not valid UTF-8");
    }
    return text;
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
            resource.data = internal::WriteDialogTemplate(Dialog());
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

    internal::DialogTemplateData Dialog()
    {
        internal::DialogTemplateData dialog;
        dialog.x = Coordinate();
        Expect(",");
        dialog.y = Coordinate();
        Expect(",");
        dialog.cx = Coordinate();
        Expect(",");
        dialog.cy = Coordinate();
        if (Accept(",")) {
            dialog.helpId = Dword();
        }
        DialogOptions(&dialog);
        const Token& begin = Next();
        if (!IsWord(begin, "BEGIN") && !IsPunct(begin, "{")) {
            Fail(begin, "BEGIN expected, found " + Describe(begin));
        }
        for (;;) {
            const Token& token = Peek();
            if (IsWord(token, "END") || IsPunct(token, "}")) {
                Next();
                break;
            }
            if (token.kind == Token::Kind::End) {
                Fail(token, "END expected before the end of the script");
            }
            dialog.items.push_back(Control());
        }
        return dialog;
    }

    void DialogOptions(internal::DialogTemplateData* dialog)
    {
        dialog->style = WS_POPUP | WS_BORDER | WS_SYSMENU;
        bool caption = false;
        bool font = false;
        for (;;) {
            const Token& option = Peek();
            if (IsWord(option, "STYLE")) {
                Next();
                dialog->style = Dword();
            } else if (IsWord(option, "EXSTYLE")) {
                Next();
                dialog->exStyle = Dword();
            } else if (IsWord(option, "CAPTION")) {
                Next();
                dialog->title = Wide(String());
                caption = true;
            } else if (IsWord(option, "FONT")) {
                Next();
                Font(dialog);
                font = true;
            } else if (IsWord(option, "MENU")) {
                Next();
                const Token& menu = Next();
                if (menu.kind == Token::Kind::Number) {
                    dialog->menu = {true, static_cast<std::uint16_t>(menu.number), {}};
                } else {
                    dialog->menu.text = Wide(menu);
                }
            } else if (IsWord(option, "CLASS")) {
                Fail(option, "dialogs of a class of their own are not supported");
            } else if (IsWord(option, "LANGUAGE")) {
                Next();
                Expression();
                Expect(",");
                Expression();
            } else if (IsWord(option, "CHARACTERISTICS") || IsWord(option, "VERSION")) {
                Next();
                Expression();
            } else {
                break;
            }
        }
        if (caption) {
            dialog->style |= WS_CAPTION;
        }
        if (font) {
            dialog->style |= DS_SETFONT;
        }
    }

    void Font(internal::DialogTemplateData* dialog)
    {
        const Token& at = Peek();
        long long size = Expression();
        if (size <= 0 || size > 0xFFFF) {
            Fail(at, "a font size is 1 to 65535 points");
        }
        dialog->pointSize = static_cast<std::uint16_t>(size);
        Expect(",");
        dialog->typeface = Wide(String());
        dialog->weight = 0;
        dialog->italic = 0;
        dialog->charset = 1;
        if (Accept(",")) {
            dialog->weight = static_cast<std::uint16_t>(Expression());
            if (Accept(",")) {
                dialog->italic = static_cast<std::uint8_t>(Expression());
                if (Accept(",")) {
                    dialog->charset = static_cast<std::uint8_t>(Expression());
                }
            }
        }
    }

    const Token& String()
    {
        const Token& token = Next();
        if (token.kind != Token::Kind::String) {
            Fail(token, "a \"text\" is expected, found " + Describe(token));
        }
        return token;
    }

    // A control's text: a string, or a number (a resource id, for a
    // picture).
    internal::NameOrOrdinal Text()
    {
        const Token& token = Peek();
        if (token.kind == Token::Kind::String) {
            Next();
            return {false, 0, Wide(token)};
        }
        long long id = Expression();
        if (id < 0 || id > 0xFFFF) {
            Fail(token, "a control's text is a \"text\" or a resource id");
        }
        return {true, static_cast<std::uint16_t>(id), {}};
    }

    internal::DialogItemTemplate Control()
    {
        const Token& keyword = Next();
        internal::DialogItemTemplate item;
        const DWORD childVisible = WS_CHILD | WS_VISIBLE;
        if (IsWord(keyword, "CONTROL")) {
            item.title = Text();
            Expect(",");
            item.id = Dword();
            Expect(",");
            ControlClass(&item);
            Expect(",");
            item.style = Dword(childVisible);
            Expect(",");
            Rectangle(&item);
            if (Accept(",")) {
                item.exStyle = Dword();
                if (Accept(",")) {
                    item.helpId = Dword();
                }
            }
            return item;
        }
        const ControlKind* kind = nullptr;
        for (const ControlKind& candidate : kControlKinds) {
            if (IsWord(keyword, candidate.keyword)) {
                kind = &candidate;
            }
        }
        if (kind == nullptr) {
            Fail(keyword, "unknown control " + Describe(keyword));
        }
        if (kind->hasText) {
            item.title = Text();
            Expect(",");
        }
        item.id = Dword();
        Expect(",");
        Rectangle(&item);
        item.windowClass = {true, kind->classOrdinal, {}};
        item.style = childVisible | kind->style;
        if (Accept(",")) {
            item.style = Dword(item.style);
            if (Accept(",")) {
                item.exStyle = Dword();
                if (Accept(",")) {
                    item.helpId = Dword();
                }
            }
        }
        return item;
    }

    void ControlClass(internal::DialogItemTemplate* item)
    {
        const Token& token = Next();
        std::uint16_t ordinal = 0;
        if (token.kind == Token::Kind::String) {
            item->windowClass.text = Wide(token);
        } else if (token.kind == Token::Kind::Word && PredefinedClassWord(token.text, &ordinal)) {
            item->windowClass = {true, ordinal, {}};
        } else {
            Fail(token, "a control class is expected, found " + Describe(token));
        }
    }

    void Rectangle(internal::DialogItemTemplate* item)
    {
        item->x = Coordinate();
        Expect(",");
        item->y = Coordinate();
        Expect(",");
        item->cx = Coordinate();
        Expect(",");
        item->cy = Coordinate();
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
