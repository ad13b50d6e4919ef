#include "tools/vtcfg_win/window_states.h"

#include <cstdio>

#include "platform/commctrl.h"

namespace vtcfg {

namespace {

// How many pixels 400 dialog units are in the dialog (x, y).
std::pair<int, int> PixelsPer400(HWND dialog)
{
    RECT r{0, 0, 400, 400};
    if (!MapDialogRect(dialog, &r)) {
        return {0, 0};
    }
    return {r.right, r.bottom};
}

std::string ItemText(HWND tree, HTREEITEM item)
{
    WCHAR buffer[256] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = 255;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return Utf8(buffer);
}

void AddTreeItems(HWND tree, HTREEITEM first, int depth,
                  std::vector<std::pair<int, std::string>>* items, std::vector<HTREEITEM>* handles)
{
    for (HTREEITEM item = first; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        items->emplace_back(depth, ItemText(tree, item));
        if (handles != nullptr) {
            handles->push_back(item);
        }
        AddTreeItems(tree, TreeView_GetChild(tree, item), depth + 1, items, handles);
    }
}

std::string SelectionOf(HWND window, const std::string& className)
{
    if (className == "ComboBox") {
        const LRESULT index = SendMessageW(window, CB_GETCURSEL, 0, 0);
        if (index < 0) {
            return "";
        }
        const LRESULT length = SendMessageW(window, CB_GETLBTEXTLEN, index, 0);
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(window, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        return Utf8(text.c_str());
    }
    if (className == "SysTabControl32") {
        const LRESULT index = SendMessageW(window, TCM_GETCURSEL, 0, 0);
        if (index < 0) {
            return "";
        }
        WCHAR buffer[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 127;
        SendMessageW(window, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
        return Utf8(buffer);
    }
    if (className == "SysTreeView32") {
        HTREEITEM selected = TreeView_GetSelection(window);
        std::string path;
        for (HTREEITEM item = selected; item != nullptr; item = TreeView_GetParent(window, item)) {
            path = ItemText(window, item) + (path.empty() ? "" : "/") + path;
        }
        return path;
    }
    return "";
}

void AddStates(HWND window, int depth, std::pair<int, int> parentUnits,
               std::vector<ControlState>* states)
{
    ControlState s;
    s.depth = depth;
    s.className = ClassOf(window);
    s.id = depth == 0 ? 0 : GetDlgCtrlID(window);
    if (s.id == 0xFFFF) {
        s.id = -1;  // IDC_STATIC, a 16-bit id in the template
    }
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    // A combo box shows its entry (see selection); a picture's text is the
    // reference to its bitmap resource, not shown text.
    const bool picture = s.className == "Static" && (style & SS_TYPEMASK) == SS_BITMAP;
    s.text = s.className == "ComboBox" || picture ? "" : TextOf(window);
    RECT client{};
    GetClientRect(window, &client);
    if (depth == 0) {
        const auto own = PixelsPer400(window);
        s.width = PixelsToDialogUnits(client.right, own.first);
        s.height = PixelsToDialogUnits(client.bottom, own.second);
    } else {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
        s.x = PixelsToDialogUnits(r.left, parentUnits.first);
        s.y = PixelsToDialogUnits(r.top, parentUnits.second);
        s.width = PixelsToDialogUnits(r.right - r.left, parentUnits.first);
        s.height = PixelsToDialogUnits(r.bottom - r.top, parentUnits.second);
    }
    s.visible = (style & WS_VISIBLE) != 0;
    s.enabled = IsWindowEnabled(window) != FALSE;
    if (s.className == "Button") {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON || type == BS_CHECKBOX ||
            type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE) {
            s.checked = SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
        }
        s.isDefault = type == BS_DEFPUSHBUTTON;
    }
    // A combo box with an edit field has the focus in that field.
    s.focused =
        GetFocus() == window || (s.className == "ComboBox" && IsChild(window, GetFocus()) != FALSE);
    s.selection = SelectionOf(window, s.className);
    states->push_back(s);
    // The edit field of a combo box is part of it (its text is the entry).
    if (s.className == "ComboBox") {
        return;
    }
    const auto units = s.className == "#32770" ? PixelsPer400(window) : parentUnits;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        AddStates(child, depth + 1, units, states);
    }
}

}  // namespace

std::string Utf8(const WCHAR* text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) {
        return "";
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    out.pop_back();
    return out;
}

std::wstring Wide(const std::string& utf8)
{
    const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (chars <= 1) {
        return L"";
    }
    std::wstring out(static_cast<std::size_t>(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), chars);
    out.pop_back();
    return out;
}

std::string TextOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    return Utf8(text.c_str());
}

std::string ClassOf(HWND window)
{
    WCHAR name[64] = {};
    GetClassNameW(window, name, 64);
    return Utf8(name);
}

std::vector<ControlState> StatesOf(HWND editor)
{
    std::vector<ControlState> states;
    AddStates(editor, 0, {0, 0}, &states);
    return states;
}

std::vector<std::pair<int, std::string>> TreeItems(HWND tree, std::vector<HTREEITEM>* handles)
{
    std::vector<std::pair<int, std::string>> items;
    AddTreeItems(tree, TreeView_GetRoot(tree), 0, &items, handles);
    return items;
}

bool WriteWindowBmp(HWND window, const std::string& path, std::string* error)
{
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const int rowBytes = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(rowBytes) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int rows = GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height) {
        *error = "the screen could not be read";
        return false;
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = _wfopen(Wide(path).c_str(), L"wb");
    if (out == nullptr) {
        *error = path + ": cannot be written";
        return false;
    }
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                         std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                         std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    if (std::fclose(out) != 0 || !written) {
        *error = path + ": cannot be written";
        return false;
    }
    return true;
}

}  // namespace vtcfg
