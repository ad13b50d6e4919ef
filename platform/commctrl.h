// Common controls: the tree view and the tab control, by the real class
// names, messages, records and values, driven through SendMessageW
// (platform/ui.h). Their notifications reach the parent as WM_NOTIFY with
// the control's NMHDR (or the larger record named below) in lParam; the
// parent's result (for a dialog: its DWLP_MSGRESULT) answers the "...ING"
// notifications, TRUE refusing the change.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sdk.h"
#else

#include "platform/types.h"
#include "platform/ui.h"

// ---- Initialisation -------------------------------------------------------------------

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
using LPINITCOMMONCONTROLSEX = INITCOMMONCONTROLSEX*;
constexpr DWORD ICC_TREEVIEW_CLASSES = 0x00000002;
constexpr DWORD ICC_BAR_CLASSES = 0x00000004;
constexpr DWORD ICC_TAB_CLASSES = 0x00000008;
constexpr DWORD ICC_WIN95_CLASSES = 0x000000FF;

// ---- Tree view ----------------------------------------------------------------------------

#define WC_TREEVIEWW (u"SysTreeView32")

struct _TREEITEM;
using HTREEITEM = _TREEITEM*;

#define TVI_ROOT (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(-0x10000)))
#define TVI_FIRST (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(-0x0FFFF)))
#define TVI_LAST (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(-0x0FFFE)))
#define TVI_SORT (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(-0x0FFFD)))

constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_EDITLABELS = 0x0008;
constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;

constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;

constexpr UINT TVIS_FOCUSED = 0x0001;
constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_BOLD = 0x0010;
constexpr UINT TVIS_EXPANDED = 0x0020;
constexpr UINT TVIS_EXPANDEDONCE = 0x0040;

struct TVITEMW {
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    LPARAM lParam;
};
using LPTVITEMW = TVITEMW*;

struct TVITEMEXW {
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    LPARAM lParam;
    int iIntegral;
    UINT uStateEx;
    HWND hwnd;
    int iExpandedImage;
    int iReserved;
};

struct TVINSERTSTRUCTW {
    HTREEITEM hParent;
    HTREEITEM hInsertAfter;
    union {
        TVITEMEXW itemex;
        TVITEMW item;
    };
};
using LPTVINSERTSTRUCTW = TVINSERTSTRUCTW*;

// How a selection change came about (NMTREEVIEWW::action).
constexpr UINT TVC_UNKNOWN = 0x0000;
constexpr UINT TVC_BYMOUSE = 0x0001;
constexpr UINT TVC_BYKEYBOARD = 0x0002;

struct NMTREEVIEWW {
    NMHDR hdr;
    UINT action;
    TVITEMW itemOld;
    TVITEMW itemNew;
    POINT ptDrag;
};
using LPNMTREEVIEWW = NMTREEVIEWW*;

constexpr UINT TV_FIRST = 0x1100;
// Inserts an item (lParam: TVINSERTSTRUCTW) under hParent (TVI_ROOT: at the
// top level) after hInsertAfter (TVI_LAST, TVI_FIRST, or a sibling);
// returns its handle, NULL on failure. The text is copied.
constexpr UINT TVM_INSERTITEMW = TV_FIRST + 50;
// Deletes an item (lParam) and its children (TVI_ROOT: all), with
// TVN_DELETEITEMW for each. Deleting the selected item, or its ancestor,
// selects the next sibling, else the previous one, else the parent, with
// TVN_SELCHANGINGW and TVN_SELCHANGEDW. TRUE on success.
constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
// Expands, collapses or toggles (wParam: TVE_*) an item (lParam), without
// notifications. TRUE when it has children.
constexpr UINT TVM_EXPAND = TV_FIRST + 2;
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
// An item related to lParam by wParam (TVGN_*): NULL when there is none.
constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
// TVGN_CARET: selects lParam (NULL: nothing) with TVN_SELCHANGINGW and, if
// not refused, TVN_SELCHANGEDW (action TVC_UNKNOWN), expanding its
// ancestors. TVGN_FIRSTVISIBLE: scrolls lParam to the top, expanding its
// ancestors. TRUE on success.
constexpr UINT TVM_SELECTITEM = TV_FIRST + 11;
constexpr UINT TVM_GETITEMSTATE = TV_FIRST + 39;
// Reads (TVIF_TEXT: the text into pszText, at most cchTextMax characters
// with the terminator; TVIF_STATE; TVIF_PARAM; TVIF_CHILDREN) or changes
// the item in lParam's TVITEMW hItem. TRUE on success.
constexpr UINT TVM_GETITEMW = TV_FIRST + 62;
constexpr UINT TVM_SETITEMW = TV_FIRST + 63;

constexpr WPARAM TVE_COLLAPSE = 0x0001;
constexpr WPARAM TVE_EXPAND = 0x0002;
constexpr WPARAM TVE_TOGGLE = 0x0003;

constexpr WPARAM TVGN_ROOT = 0x0000;
constexpr WPARAM TVGN_NEXT = 0x0001;
constexpr WPARAM TVGN_PREVIOUS = 0x0002;
constexpr WPARAM TVGN_PARENT = 0x0003;
constexpr WPARAM TVGN_CHILD = 0x0004;
constexpr WPARAM TVGN_FIRSTVISIBLE = 0x0005;
constexpr WPARAM TVGN_NEXTVISIBLE = 0x0006;
constexpr WPARAM TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr WPARAM TVGN_CARET = 0x0009;

constexpr UINT TVN_FIRST = 0U - 400U;
constexpr UINT TVN_SELCHANGINGW = TVN_FIRST - 50;
constexpr UINT TVN_SELCHANGEDW = TVN_FIRST - 51;
constexpr UINT TVN_ITEMEXPANDINGW = TVN_FIRST - 54;
constexpr UINT TVN_ITEMEXPANDEDW = TVN_FIRST - 55;
constexpr UINT TVN_DELETEITEMW = TVN_FIRST - 58;

// ---- Tab control -------------------------------------------------------------------------------

#define WC_TABCONTROLW (u"SysTabControl32")

constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_RTLREADING = 0x0004;
constexpr UINT TCIF_PARAM = 0x0008;
constexpr UINT TCIF_STATE = 0x0010;

struct TCITEMW {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};
using LPTCITEMW = TCITEMW*;

constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
// The selected tab's index, -1 when none.
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
// Selects tab wParam without notifications; returns the previous index, -1
// on failure.
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
constexpr UINT TCM_GETITEMW = TCM_FIRST + 60;
constexpr UINT TCM_SETITEMW = TCM_FIRST + 61;
// Inserts a tab (lParam: TCITEMW) at index wParam (at the end when beyond);
// returns its index, -1 on failure. The first tab becomes the selected one.
constexpr UINT TCM_INSERTITEMW = TCM_FIRST + 62;

constexpr UINT TCN_FIRST = 0U - 550U;
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;

extern "C" {

// Registers the common control classes: they are built in on the
// simulated target, so these only return TRUE.
void InitCommonControls();
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);

}  // extern "C"

#endif  // _WIN32
