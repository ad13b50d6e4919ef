// User-interface services: the Win32 window, dialog and message-box subset
// that the package's dialogs call, by the real names, types, values and
// semantics, so that the same code builds against the platform SDK's
// headers.
//
// Windows are objects behind HWND handles: class, id, text, style and
// extended style, position and size, enabled and visible state, parent and
// children (in creation order), owner, window procedure, user data, and the
// controls' own state. Messages are delivered to window and dialog
// procedures in the calling thread: SendMessageW calls the procedure before
// it returns; PostMessageW queues the message for the calling thread's
// message loop. Threads: a window is used from the thread that created it
// (its procedures run there); the calls below are safe to make from several
// threads at once on different windows.
//
// Failures set the thread's last error: ERROR_INVALID_WINDOW_HANDLE for a
// handle that names no live window, ERROR_INVALID_PARAMETER for bad
// arguments, ERROR_CONTROL_ID_NOT_FOUND for a dialog item id that names no
// control, ERROR_RESOURCE_* when a template cannot be found.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"
#else

#include "platform/resources.h"
#include "platform/types.h"

// ---- Types ----------------------------------------------------------------------

using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
struct HMENU__;
using HMENU = HMENU__*;
struct HFONT__;
using HFONT = HFONT__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
struct HDC__;
using HDC = HDC__*;

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    LONG x;
    LONG y;
};
using LPPOINT = POINT*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

// The lParam of WM_NCCREATE and WM_CREATE.
struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

// The header of a classic (not extended) dialog template in memory; the
// extended form (DLGTEMPLATEEX, which resource compilers write for
// DIALOGEX) has no declared type, as in the SDK. Both are accepted where a
// template is taken. Packed to 2 bytes as in the SDK.
#pragma pack(push, 2)
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};
struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};
#pragma pack(pop)
using LPCDLGTEMPLATEW = const DLGTEMPLATE*;

// The header of every WM_NOTIFY message.
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
using LPNMHDR = NMHDR*;

// ---- Messages ---------------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// WM_SYSCOMMAND: the caption's close box.
constexpr WPARAM SC_CLOSE = 0xF060;

// Dialog messages.
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;

// WM_GETDLGCODE results.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// Virtual keys the dialog manager acts on.
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;

constexpr WPARAM MAKEWPARAM(WORD low, WORD high)
{
    return static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(low, high)));
}
constexpr LPARAM MAKELPARAM(WORD low, WORD high)
{
    return static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(low, high)));
}

// ---- Window styles ------------------------------------------------------------------

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_CAPTION = WS_BORDER | WS_DLGFRAME;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// Dialog template styles.
constexpr DWORD DS_ABSALIGN = 0x0001;
constexpr DWORD DS_SYSMODAL = 0x0002;
constexpr DWORD DS_3DLOOK = 0x0004;
constexpr DWORD DS_FIXEDSYS = 0x0008;
constexpr DWORD DS_NOFAILCREATE = 0x0010;
constexpr DWORD DS_LOCALEDIT = 0x0020;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_NOIDLEMSG = 0x0100;
constexpr DWORD DS_SETFOREGROUND = 0x0200;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD DS_CENTER = 0x0800;
constexpr DWORD DS_CENTERMOUSE = 0x1000;
constexpr DWORD DS_CONTEXTHELP = 0x2000;
constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// ---- Buttons ("Button") ----------------------------------------------------------------

constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_CHECKBOX = 0x0002;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_RADIOBUTTON = 0x0004;
constexpr DWORD BS_3STATE = 0x0005;
constexpr DWORD BS_AUTO3STATE = 0x0006;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD BS_USERBUTTON = 0x0008;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD BS_PUSHBOX = 0x000A;
constexpr DWORD BS_OWNERDRAW = 0x000B;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD BS_LEFTTEXT = 0x0020;
constexpr DWORD BS_TEXT = 0x0000;
constexpr DWORD BS_ICON = 0x0040;
constexpr DWORD BS_BITMAP = 0x0080;
constexpr DWORD BS_LEFT = 0x0100;
constexpr DWORD BS_RIGHT = 0x0200;
constexpr DWORD BS_CENTER = 0x0300;
constexpr DWORD BS_TOP = 0x0400;
constexpr DWORD BS_BOTTOM = 0x0800;
constexpr DWORD BS_VCENTER = 0x0C00;
constexpr DWORD BS_PUSHLIKE = 0x1000;
constexpr DWORD BS_MULTILINE = 0x2000;
constexpr DWORD BS_NOTIFY = 0x4000;
constexpr DWORD BS_FLAT = 0x8000;

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;
constexpr UINT BM_GETIMAGE = 0x00F6;
constexpr UINT BM_SETIMAGE = 0x00F7;

constexpr UINT BST_UNCHECKED = 0x0000;
constexpr UINT BST_CHECKED = 0x0001;
constexpr UINT BST_INDETERMINATE = 0x0002;
constexpr UINT BST_PUSHED = 0x0004;
constexpr UINT BST_FOCUS = 0x0008;

constexpr WORD BN_CLICKED = 0;

// ---- Statics ("Static") -------------------------------------------------------------------

constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_BLACKRECT = 0x0004;
constexpr DWORD SS_GRAYRECT = 0x0005;
constexpr DWORD SS_WHITERECT = 0x0006;
constexpr DWORD SS_BLACKFRAME = 0x0007;
constexpr DWORD SS_GRAYFRAME = 0x0008;
constexpr DWORD SS_WHITEFRAME = 0x0009;
constexpr DWORD SS_SIMPLE = 0x000B;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
constexpr DWORD SS_OWNERDRAW = 0x000D;
constexpr DWORD SS_BITMAP = 0x000E;
constexpr DWORD SS_ETCHEDHORZ = 0x0010;
constexpr DWORD SS_ETCHEDVERT = 0x0011;
constexpr DWORD SS_ETCHEDFRAME = 0x0012;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_REALSIZECONTROL = 0x0040;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD SS_NOTIFY = 0x0100;
constexpr DWORD SS_CENTERIMAGE = 0x0200;
constexpr DWORD SS_RIGHTJUST = 0x0400;
constexpr DWORD SS_SUNKEN = 0x1000;

constexpr UINT STM_SETICON = 0x0170;
constexpr UINT STM_GETICON = 0x0171;
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;

constexpr WORD STN_CLICKED = 0;

// ---- Edit fields ("Edit") -----------------------------------------------------------------

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_NUMBER = 0x2000;

constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;

// ---- Combo boxes ("ComboBox") ----------------------------------------------------------------

constexpr DWORD CBS_SIMPLE = 0x0001;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
constexpr DWORD CBS_OEMCONVERT = 0x0080;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD CBS_HASSTRINGS = 0x0200;
constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
constexpr DWORD CBS_DISABLENOSCROLL = 0x0800;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;

constexpr int CB_OKAY = 0;
constexpr int CB_ERR = -1;
constexpr int CB_ERRSPACE = -2;

constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_DBLCLK = 2;
constexpr WORD CBN_SETFOCUS = 3;
constexpr WORD CBN_KILLFOCUS = 4;
constexpr WORD CBN_EDITCHANGE = 5;
constexpr WORD CBN_EDITUPDATE = 6;
constexpr WORD CBN_DROPDOWN = 7;
constexpr WORD CBN_CLOSEUP = 8;
constexpr WORD CBN_SELENDOK = 9;
constexpr WORD CBN_SELENDCANCEL = 10;

// ---- ShowWindow, SetWindowPos, GetWindow, window data -------------------------------------

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
#define HWND_TOP (static_cast<HWND>(nullptr))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<LONG_PTR>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2)))

constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;

constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_HINSTANCE = -6;
constexpr int GWLP_HWNDPARENT = -8;
constexpr int GWLP_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_USERDATA = -21;
constexpr int DWLP_MSGRESULT = 0;
constexpr int DWLP_DLGPROC = DWLP_MSGRESULT + static_cast<int>(sizeof(LRESULT));
constexpr int DWLP_USER = DWLP_DLGPROC + static_cast<int>(sizeof(DLGPROC));

// The class name of dialogs (WC_DIALOG on the target is this atom).
#define WC_DIALOGW (reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(0x8002)))

// ---- Message boxes ---------------------------------------------------------------------

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFBUTTON4 = 0x00000300;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFMASK = 0x00000F00;

// Dialog and message box results, and the standard control ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDTRYAGAIN = 10;
constexpr int IDCONTINUE = 11;

// PeekMessageW.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// RedrawWindow flags are not needed; InvalidateRect and UpdateWindow stand
// for a repaint.

// Error codes of the window services.
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
constexpr DWORD ERROR_CONTROL_ID_NOT_FOUND = 1421;
constexpr DWORD ERROR_WINDOW_NOT_DIALOG = 1420;
constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;

extern "C" {

// ---- Window classes and windows -----------------------------------------------------------

// Registers a window class of the calling process: its name (matched
// without regard to case) and procedure. Returns a non-zero atom; 0 with
// ERROR_CLASS_ALREADY_EXISTS when the name is taken (also by a built-in
// class: "Button", "Static", "Edit", "ComboBox", "#32770" and the common
// controls of platform/commctrl.h), ERROR_INVALID_PARAMETER without a name
// or procedure.
ATOM RegisterClassW(const WNDCLASSW* windowClass);
// Removes a class registered with RegisterClassW; FALSE with
// ERROR_CLASS_DOES_NOT_EXIST when there is none, ERROR_CLASS_HAS_WINDOWS while
// windows of it live.
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);

// Creates a window of a registered or built-in class. A WS_CHILD window
// needs a parent (else NULL, ERROR_TLW_WITH_WSCHILD) and takes menu as its
// control id; a top-level window takes parent as its owner (its top-level
// ancestor when parent is a child). Position and size are in pixels,
// relative to the parent's client area for a child. The procedure gets
// WM_NCCREATE and WM_CREATE with a CREATESTRUCTW (FALSE or -1 there: the
// window is destroyed and NULL returned); a WS_VISIBLE window is shown
// afterwards. NULL with ERROR_CANNOT_FIND_WND_CLASS for an unknown class.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);

// Destroys the window: first the top-level windows it owns, then the
// window itself, which gets WM_DESTROY, then its children (each gets its
// WM_DESTROY after its parent's, while its own children still exist), then
// WM_NCDESTROY children first. The focus leaves a destroyed window. A modal
// dialog destroyed this way ends its dialog box. FALSE with
// ERROR_INVALID_WINDOW_HANDLE for a handle of no live window.
BOOL DestroyWindow(HWND window);

// TRUE while the handle names a live window (not yet destroyed).
BOOL IsWindow(HWND window);

// The default handling of a message: WM_SETTEXT, WM_GETTEXT,
// WM_GETTEXTLENGTH on the window's text; WM_CLOSE destroys the window;
// WM_SYSCOMMAND with SC_CLOSE sends WM_CLOSE; anything else returns 0.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls a window procedure (as GetWindowLongPtrW(GWLP_WNDPROC) returned it)
// with the message.
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the window's class name (terminated, truncated to fit) and returns
// the characters copied without the terminator; 0 on failure.
int GetClassNameW(HWND window, LPWSTR buffer, int bufferChars);

// ---- Relations -------------------------------------------------------------------------

// The parent of a child window, the owner of a top-level window, NULL for a
// top-level window without owner (or a handle of no window).
HWND GetParent(HWND window);
// A related window: GW_CHILD (first child), GW_HWNDNEXT / GW_HWNDPREV (the
// next / previous sibling in creation order), GW_HWNDFIRST / GW_HWNDLAST,
// GW_OWNER. NULL when there is none.
HWND GetWindow(HWND window, UINT relation);
// TRUE when child is a descendant of parent.
BOOL IsChild(HWND parent, HWND child);
// The first child (in creation order) of the dialog with that control id;
// NULL with ERROR_CONTROL_ID_NOT_FOUND when there is none. Only direct
// children are searched.
HWND GetDlgItem(HWND dialog, int id);
// A child window's control id; 0 for a top-level window or no window.
int GetDlgCtrlID(HWND window);

// ---- Window data ---------------------------------------------------------------------------

// Reads a window's value by index: GWL_STYLE, GWL_EXSTYLE, GWLP_ID,
// GWLP_USERDATA, GWLP_WNDPROC, GWLP_HINSTANCE, GWLP_HWNDPARENT (the owner),
// and for dialogs DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER. 0 with
// ERROR_INVALID_PARAMETER for another index (or ERROR_INVALID_WINDOW_HANDLE).
LONG_PTR GetWindowLongPtrW(HWND window, int index);
// Sets a value (the same indexes) and returns the previous one. Setting
// GWL_STYLE changes the style bits as stored (use ShowWindow and
// EnableWindow to show, hide, enable and disable: they notify).
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
LONG GetWindowLongW(HWND window, int index);
LONG SetWindowLongW(HWND window, int index, LONG value);

// ---- Text -------------------------------------------------------------------------------------

// Sends WM_SETTEXT: the window's text (a caption, a label, a button's text,
// an edit field's content). TRUE on success.
BOOL SetWindowTextW(HWND window, LPCWSTR text);
// Sends WM_GETTEXT: copies at most maxChars - 1 characters and a
// terminator, returns the characters copied; 0 for an empty text or a
// failure.
int GetWindowTextW(HWND window, LPWSTR buffer, int maxChars);
int GetWindowTextLengthW(HWND window);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int maxChars);

// ---- Position and size --------------------------------------------------------------------------

// Moves and sizes the window (pixels; a child relative to its parent's
// client area), unless SWP_NOMOVE / SWP_NOSIZE; SWP_SHOWWINDOW and
// SWP_HIDEWINDOW show or hide it. insertAfter is accepted and ignored:
// windows do not overlap in a way that matters here. FALSE for no window.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// The window's rectangle in screen pixels.
BOOL GetWindowRect(HWND window, LPRECT rect);
// The client area: left and top 0, right and bottom its width and height.
BOOL GetClientRect(HWND window, LPRECT rect);
// Converts a rectangle from the dialog's dialog units to pixels with the
// base units of its template font: x * baseX / 4, y * baseY / 8, rounded.
BOOL MapDialogRect(HWND dialog, LPRECT rect);

// ---- Visibility and input
// -------------------------------------------------------------------------

// Shows (SW_SHOW, SW_SHOWNORMAL, ...) or hides (SW_HIDE) the window, with
// WM_SHOWWINDOW when the state changes. Returns whether it was visible
// before. A hidden window, and everything inside it, gets no input.
BOOL ShowWindow(HWND window, int command);
// TRUE when the window and all its ancestors are visible.
BOOL IsWindowVisible(HWND window);
// Enables or disables the window (WS_DISABLED), with WM_ENABLE when the
// state changes. Returns non-zero when it was disabled before. A disabled
// window, and everything inside it, gets no input; the focus leaves it.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);

// ---- Focus and activation
// ----------------------------------------------------------------------------

// Gives the calling thread's keyboard focus to the window (NULL: to none),
// with WM_KILLFOCUS to the window that had it and WM_SETFOCUS to the new
// one. The default button's look does not follow the focus: a push button
// that takes the focus (as a click gives it) keeps its look, and the
// dialog's default button (DM_SETDEFID) keeps the default one. Returns the
// window that had the focus; NULL with an error when window names no live
// window.
HWND SetFocus(HWND window);
// The calling thread's focus window, or NULL.
HWND GetFocus();
// The active (foreground) top-level window: the one most recently shown or
// activated that still lives.
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();

// ---- Dialogs
// ---------------------------------------------------------------------------------------------

// Runs a modal dialog from the template named templateName in the module
// (MAKEINTRESOURCEW(id) or a name; NULL module: the program itself) with
// dialogProc as its procedure, owned by owner (its top-level window; NULL:
// none). The dialog is created hidden with its controls, gets
// WM_INITDIALOG (wParam: the first visible, enabled control with
// WS_TABSTOP, which gets the focus when the procedure returns TRUE; lParam:
// initParam), and is shown unless EndDialog was called meanwhile; the
// owner is disabled while it runs. It runs until EndDialog, then is
// destroyed (see DestroyWindow), the owner enabled again, and EndDialog's
// result returned. Returns -1 when the template cannot be found
// (ERROR_RESOURCE_*) or the dialog or one of its controls cannot be
// created. The dialog's message loop runs in the calling thread; on the
// simulated target it is driven from outside (platform/host/control/
// ui_driver.h).
INT_PTR DialogBoxParamW(HINSTANCE module, LPCWSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam);
// The same from a template in memory (classic or extended).
INT_PTR DialogBoxIndirectParamW(HINSTANCE module, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                DLGPROC dialogProc, LPARAM initParam);
// Creates a modeless dialog as DialogBoxParamW does and returns it after
// WM_INITDIALOG, shown when the template has WS_VISIBLE. A template with
// WS_CHILD makes a child dialog inside parent (which it needs). NULL when
// it cannot be created. It lives until DestroyWindow.
HWND CreateDialogParamW(HINSTANCE module, LPCWSTR templateName, HWND parent, DLGPROC dialogProc,
                        LPARAM initParam);
HWND CreateDialogIndirectParamW(HINSTANCE module, LPCDLGTEMPLATEW dialogTemplate, HWND parent,
                                DLGPROC dialogProc, LPARAM initParam);
// Marks the dialog as ended with result and hides it; a modal dialog's
// loop returns once the procedure that called EndDialog has returned.
// FALSE for a window that is not a dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);
// The dialog class's window procedure: passes each message to the dialog
// procedure first; when that returns FALSE it handles DM_GETDEFID (the id
// set with DM_SETDEFID, else the first BS_DEFPUSHBUTTON child's, with
// DC_HASDEFID in the high word; 0 when none), DM_SETDEFID, WM_CLOSE (sends
// WM_COMMAND IDCANCEL with the Cancel button, unless that button exists and
// is disabled) and the rest as DefWindowProcW. When the dialog procedure
// returns TRUE, the result is its DWLP_MSGRESULT value (WM_INITDIALOG:
// the procedure's own result).
LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Gives a message to the dialog manager of the dialog: Enter (WM_KEYDOWN
// VK_RETURN) sends WM_COMMAND with the focused push button's id, else the
// default button's (DM_GETDEFID; nothing when that button is disabled),
// else IDOK; Escape sends WM_COMMAND IDCANCEL (nothing when the Cancel
// button exists and is disabled); other messages for the dialog or its
// controls are dispatched. Returns TRUE when the message was for the
// dialog (handled), FALSE otherwise (the caller dispatches it).
BOOL IsDialogMessageW(HWND dialog, LPMSG message);

// Checks the button id check and clears every other button with an id from
// first to last (BM_SETCHECK), disabled or not. FALSE when the dialog is no
// window.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
// BM_SETCHECK with check (BST_CHECKED, BST_UNCHECKED) to the dialog's
// button id.
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
// BM_GETCHECK of the dialog's button id: BST_CHECKED or BST_UNCHECKED (0
// also when there is no such button).
UINT IsDlgButtonChecked(HWND dialog, int id);
// SendMessageW to the dialog's control id; 0 when there is none.
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
// The next (or previous) visible, enabled control of control's group (a
// group runs from a WS_GROUP control to the control before the next
// WS_GROUP), wrapping within the group; control itself when there is no
// other.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

// ---- Messages and the message loop
// ---------------------------------------------------------------------

// Calls the window's procedure with the message in the calling thread and
// returns its result; 0 with ERROR_INVALID_WINDOW_HANDLE for no window.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the calling thread's message loop (window NULL: a
// thread message). FALSE for a handle of no window.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues WM_QUIT with exitCode for the calling thread.
void PostQuitMessage(int exitCode);
// Takes the next queued message of the calling thread (for window and its
// children when window is not NULL; the filter range is honoured when
// min or max is non-zero), waiting for one when none is queued. Returns 0
// for WM_QUIT, -1 for an invalid window, non-zero otherwise.
BOOL GetMessageW(LPMSG message, HWND window, UINT min, UINT max);
// As GetMessageW without waiting: FALSE when nothing matches; PM_REMOVE
// takes the message off the queue.
BOOL PeekMessageW(LPMSG message, HWND window, UINT min, UINT max, UINT remove);
// Accepts key messages (no character messages are generated here: the
// simulated target has no keyboard layout). Returns TRUE for WM_KEYDOWN
// and WM_KEYUP.
BOOL TranslateMessage(const MSG* message);
// Calls the procedure of message->hwnd with the message; 0 for a thread
// message.
LRESULT DispatchMessageW(const MSG* message);

// ---- Message boxes
// ---------------------------------------------------------------------------------------

// Shows a modal message box with text and caption (NULL: "Error"), owned by
// owner, with the buttons and default of type, and returns the button
// chosen (IDOK, IDCANCEL, IDYES, ...). On the simulated target every box is
// recorded and answered from outside (platform/host/control/ui_driver.h),
// or with its default button when nobody answers.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---- Painting
// ---------------------------------------------------------------------------------------------

// Marks the window (or a part of it) for repainting, and repaints what is
// marked at once. Nothing is drawn until a picture is asked for, and
// pictures always show the current state: both only check the window.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);

}  // extern "C"

#endif  // _WIN32
