// Compiling a DIALOGEX statement: the dialog's position and size, its
// options (STYLE, EXSTYLE, CAPTION, FONT, MENU, ...), and its controls, as
// CONTROL statements or the control keywords (PUSHBUTTON, LTEXT, ...).
#include "platform/host/windows/resource_compiler/script_dialog.h"

#include "platform/host/kernel/utf.h"
#include "platform/ui.h"

namespace vtsim::rc {
namespace {

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

// The text of a token as UTF-16; fails on text that is not valid UTF-8.
std::u16string Wide(const Token& token)
{
    std::u16string text;
    std::size_t bad = 0;
    if (!internal::DecodeUtf8(token.text, &text, &bad)) {
        throw ScriptError(token.file, token.line, "the text is not valid UTF-8");
    }
    return text;
}

// Reads a DIALOGEX statement's body through the cursor's token methods.
class DialogReader {
public:
    explicit DialogReader(TokenCursor& cursor) : cursor_(cursor) {}

    internal::DialogTemplateData Read()
    {
        internal::DialogTemplateData dialog;
        dialog.x = cursor_.Coordinate();
        cursor_.Expect(",");
        dialog.y = cursor_.Coordinate();
        cursor_.Expect(",");
        dialog.cx = cursor_.Coordinate();
        cursor_.Expect(",");
        dialog.cy = cursor_.Coordinate();
        if (cursor_.Accept(",")) {
            dialog.helpId = cursor_.Dword();
        }
        DialogOptions(&dialog);
        const Token& begin = cursor_.Next();
        if (!cursor_.IsWord(begin, "BEGIN") && !cursor_.IsPunct(begin, "{")) {
            cursor_.Fail(begin, "BEGIN expected, found " + cursor_.Describe(begin));
        }
        for (;;) {
            const Token& token = cursor_.Peek();
            if (cursor_.IsWord(token, "END") || cursor_.IsPunct(token, "}")) {
                cursor_.Next();
                break;
            }
            if (token.kind == Token::Kind::End) {
                cursor_.Fail(token, "END expected before the end of the script");
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
            const Token& option = cursor_.Peek();
            if (cursor_.IsWord(option, "STYLE")) {
                cursor_.Next();
                dialog->style = cursor_.Dword();
            } else if (cursor_.IsWord(option, "EXSTYLE")) {
                cursor_.Next();
                dialog->exStyle = cursor_.Dword();
            } else if (cursor_.IsWord(option, "CAPTION")) {
                cursor_.Next();
                dialog->title = Wide(cursor_.String());
                caption = true;
            } else if (cursor_.IsWord(option, "FONT")) {
                cursor_.Next();
                Font(dialog);
                font = true;
            } else if (cursor_.IsWord(option, "MENU")) {
                cursor_.Next();
                const Token& menu = cursor_.Next();
                if (menu.kind == Token::Kind::Number) {
                    dialog->menu = {true, static_cast<std::uint16_t>(menu.number), {}};
                } else {
                    dialog->menu.text = Wide(menu);
                }
            } else if (cursor_.IsWord(option, "CLASS")) {
                cursor_.Fail(option, "dialogs of a class of their own are not supported");
            } else if (cursor_.IsWord(option, "LANGUAGE")) {
                cursor_.Next();
                cursor_.Expression();
                cursor_.Expect(",");
                cursor_.Expression();
            } else if (cursor_.IsWord(option, "CHARACTERISTICS") ||
                       cursor_.IsWord(option, "VERSION")) {
                cursor_.Next();
                cursor_.Expression();
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
        const Token& at = cursor_.Peek();
        long long size = cursor_.Expression();
        if (size <= 0 || size > 0xFFFF) {
            cursor_.Fail(at, "a font size is 1 to 65535 points");
        }
        dialog->pointSize = static_cast<std::uint16_t>(size);
        cursor_.Expect(",");
        dialog->typeface = Wide(cursor_.String());
        dialog->weight = 0;
        dialog->italic = 0;
        dialog->charset = 1;
        if (cursor_.Accept(",")) {
            dialog->weight = static_cast<std::uint16_t>(cursor_.Expression());
            if (cursor_.Accept(",")) {
                dialog->italic = static_cast<std::uint8_t>(cursor_.Expression());
                if (cursor_.Accept(",")) {
                    dialog->charset = static_cast<std::uint8_t>(cursor_.Expression());
                }
            }
        }
    }

    // A control's text: a string, or a number (a resource id, for a
    // picture).
    internal::NameOrOrdinal Text()
    {
        const Token& token = cursor_.Peek();
        if (token.kind == Token::Kind::String) {
            cursor_.Next();
            return {false, 0, Wide(token)};
        }
        long long id = cursor_.Expression();
        if (id < 0 || id > 0xFFFF) {
            cursor_.Fail(token, "a control's text is a \"text\" or a resource id");
        }
        return {true, static_cast<std::uint16_t>(id), {}};
    }

    internal::DialogItemTemplate Control()
    {
        const Token& keyword = cursor_.Next();
        internal::DialogItemTemplate item;
        const DWORD childVisible = WS_CHILD | WS_VISIBLE;
        if (cursor_.IsWord(keyword, "CONTROL")) {
            item.title = Text();
            cursor_.Expect(",");
            item.id = cursor_.Dword();
            cursor_.Expect(",");
            ControlClass(&item);
            cursor_.Expect(",");
            item.style = cursor_.Dword(childVisible);
            cursor_.Expect(",");
            Rectangle(&item);
            if (cursor_.Accept(",")) {
                item.exStyle = cursor_.Dword();
                if (cursor_.Accept(",")) {
                    item.helpId = cursor_.Dword();
                }
            }
            return item;
        }
        const ControlKind* kind = nullptr;
        for (const ControlKind& candidate : kControlKinds) {
            if (cursor_.IsWord(keyword, candidate.keyword)) {
                kind = &candidate;
            }
        }
        if (kind == nullptr) {
            cursor_.Fail(keyword, "unknown control " + cursor_.Describe(keyword));
        }
        if (kind->hasText) {
            item.title = Text();
            cursor_.Expect(",");
        }
        item.id = cursor_.Dword();
        cursor_.Expect(",");
        Rectangle(&item);
        item.windowClass = {true, kind->classOrdinal, {}};
        item.style = childVisible | kind->style;
        if (cursor_.Accept(",")) {
            item.style = cursor_.Dword(item.style);
            if (cursor_.Accept(",")) {
                item.exStyle = cursor_.Dword();
                if (cursor_.Accept(",")) {
                    item.helpId = cursor_.Dword();
                }
            }
        }
        return item;
    }

    void ControlClass(internal::DialogItemTemplate* item)
    {
        const Token& token = cursor_.Next();
        std::uint16_t ordinal = 0;
        if (token.kind == Token::Kind::String) {
            item->windowClass.text = Wide(token);
        } else if (token.kind == Token::Kind::Word && PredefinedClassWord(token.text, &ordinal)) {
            item->windowClass = {true, ordinal, {}};
        } else {
            cursor_.Fail(token, "a control class is expected, found " + cursor_.Describe(token));
        }
    }

    void Rectangle(internal::DialogItemTemplate* item)
    {
        item->x = cursor_.Coordinate();
        cursor_.Expect(",");
        item->y = cursor_.Coordinate();
        cursor_.Expect(",");
        item->cx = cursor_.Coordinate();
        cursor_.Expect(",");
        item->cy = cursor_.Coordinate();
    }

private:
    TokenCursor& cursor_;
};

}  // namespace

internal::DialogTemplateData CompileDialog(TokenCursor& cursor)
{
    return DialogReader(cursor).Read();
}

}  // namespace vtsim::rc
