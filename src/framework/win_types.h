// The Win32 names the portable code speaks: types, messages, notifications,
// styles and the structs that travel with messages, with the values and
// layouts of the real platform. The Win32 backend passes them through
// unchanged; the headless backend interprets them. Only portable code includes
// this header; the Win32 backend includes <windows.h> instead and checks the
// layouts against it.
#pragma once

#include <cstddef>
#include <cstdint>

struct HWND__;
typedef HWND__* HWND;
typedef void* HANDLE;
typedef void* HBITMAP;
typedef unsigned int UINT;
typedef int BOOL;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef const char* LPCTSTR;
typedef char TCHAR;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

struct POINT {
    int32_t x, y;
};

// What WM_HELP (the F1 key) carries.
struct HELPINFO {
    UINT cbSize;
    int iContextType;
    int iCtrlId;
    HANDLE hItemHandle;
    UINT_PTR dwContextId;
    POINT MousePos;
};

struct RECT {
    int32_t left, top, right, bottom;
};
struct SIZE {
    int32_t cx, cy;
};

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define MAKELONG(a, b) ((int32_t)(((WORD)(a)) | (((DWORD)((WORD)(b))) << 16)))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))

// Dialog results and standard ids.
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDHELP 9
#define ID_WIZBACK 12323
#define ID_WIZNEXT 12324
#define ID_WIZFINISH 12325
#define ID_HELP 57670

// Message boxes.
#define MB_OK 0x0000u
#define MB_OKCANCEL 0x0001u
#define MB_YESNOCANCEL 0x0003u
#define MB_YESNO 0x0004u
#define MB_TYPEMASK 0x000Fu
#define MB_ICONERROR 0x0010u
#define MB_ICONQUESTION 0x0020u
#define MB_ICONWARNING 0x0030u
#define MB_ICONINFORMATION 0x0040u
#define MB_ICONMASK 0x00F0u
#define MB_DEFBUTTON1 0x0000u
#define MB_DEFBUTTON2 0x0100u
#define MB_DEFMASK 0x0F00u
#define MB_HELP 0x4000u

// Window messages.
#define WM_NULL 0x0000
#define WM_DESTROY 0x0002
#define WM_SETREDRAW 0x000B
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_CLOSE 0x0010
#define WM_NEXTDLGCTL 0x0028
#define WM_QUIT 0x0012
#define WM_HELP 0x0053
#define HELPINFO_WINDOW 0x0001
#define WM_NOTIFY 0x004E
#define WM_NCDESTROY 0x0082
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_TIMER 0x0113
#define WM_USER 0x0400
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSCHAR 0x0106
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_UP 0x26
#define VK_DOWN 0x28

// Window styles.
#define WS_OVERLAPPED 0x00000000u
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_VSCROLL 0x00200000u
#define WS_HSCROLL 0x00100000u
#define WS_SYSMENU 0x00080000u
#define WS_TABSTOP 0x00010000u
#define WS_GROUP 0x00020000u
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5

// Buttons.
#define BS_PUSHBUTTON 0x0000u
#define BS_DEFPUSHBUTTON 0x0001u
#define BS_CHECKBOX 0x0002u
#define BS_AUTOCHECKBOX 0x0003u
#define BS_RADIOBUTTON 0x0004u
#define BS_GROUPBOX 0x0007u
#define BS_AUTORADIOBUTTON 0x0009u
#define BS_TYPEMASK 0x000Fu
#define BN_CLICKED 0
#define BN_DOUBLECLICKED 5
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0
#define BST_CHECKED 1

// Edits.
#define ES_LEFT 0x0000u
#define ES_CENTER 0x0001u
#define ES_MULTILINE 0x0004u
#define ES_AUTOVSCROLL 0x0040u
#define ES_AUTOHSCROLL 0x0080u
#define ES_PASSWORD 0x0020u
#define ES_READONLY 0x0800u
#define ES_WANTRETURN 0x1000u
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define EM_SETSEL 0x00B1
#define EM_LINESCROLL 0x00B6
#define EM_GETLINECOUNT 0x00BA
#define EM_LIMITTEXT 0x00C5
#define EM_SETREADONLY 0x00CF

// Statics.
#define SS_LEFT 0x0000u
#define SS_CENTER 0x0001u
#define SS_BLACKFRAME 0x0007u
#define SS_BITMAP 0x000Eu
#define SS_TYPEMASK 0x001Fu
#define SS_NOPREFIX 0x0080u
#define SS_SUNKEN 0x1000u
#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define IMAGE_BITMAP 0

// List boxes.
#define LBS_NOTIFY 0x0001u
#define LBS_SORT 0x0002u
#define LBS_MULTIPLESEL 0x0008u
#define LBS_EXTENDEDSEL 0x0800u
#define LB_ERR (-1)
#define LB_ERRSPACE (-2)
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETSEL 0x0185
#define LB_SETCURSEL 0x0186
#define LB_GETSEL 0x0187
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_GETTOPINDEX 0x018E
#define LB_GETSELCOUNT 0x0190
#define LB_GETSELITEMS 0x0191
#define LB_GETHORIZONTALEXTENT 0x0193
#define LB_SETHORIZONTALEXTENT 0x0194
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
#define LB_FINDSTRINGEXACT 0x01A2
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2

// Combo boxes.
#define CBS_DROPDOWN 0x0002u
#define CBS_DROPDOWNLIST 0x0003u
#define CB_ERR (-1)
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRINGEXACT 0x0158
#define CB_SETCURSEL 0x014E
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CBN_SELCHANGE 1

// Progress bars.
#define PBM_SETRANGE 0x0401
#define PBM_SETPOS 0x0402

// Common-control notifications.
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
#define NM_FIRST 0u
#define NM_CLICK (NM_FIRST - 2u)
#define NM_DBLCLK (NM_FIRST - 3u)
#define NM_RETURN (NM_FIRST - 4u)

// List views.
#define LVS_REPORT 0x0001u
#define LVS_LIST 0x0003u
#define LVS_TYPEMASK 0x0003u
#define LVS_SINGLESEL 0x0004u
#define LVS_SHOWSELALWAYS 0x0008u
#define LVS_SORTASCENDING 0x0010u
#define LVS_SORTDESCENDING 0x0020u
#define LVS_OWNERDATA 0x1000u
#define LVS_NOSORTHEADER 0x8000u
#define LVM_FIRST 0x1000
#define LVM_GETITEMCOUNT (LVM_FIRST + 4)
#define LVM_GETITEMA (LVM_FIRST + 5)
#define LVM_SETITEMA (LVM_FIRST + 6)
#define LVM_INSERTITEMA (LVM_FIRST + 7)
#define LVM_DELETEITEM (LVM_FIRST + 8)
#define LVM_DELETEALLITEMS (LVM_FIRST + 9)
#define LVM_GETNEXTITEM (LVM_FIRST + 12)
#define LVM_FINDITEMA (LVM_FIRST + 13)
#define LVM_ENSUREVISIBLE (LVM_FIRST + 19)
#define LVM_REDRAWITEMS (LVM_FIRST + 21)
#define LVM_GETCOLUMNWIDTH (LVM_FIRST + 29)
#define LVM_SETCOLUMNWIDTH (LVM_FIRST + 30)
#define LVSCW_AUTOSIZE (-1)
#define LVSCW_AUTOSIZE_USEHEADER (-2)
#define LVM_INSERTCOLUMNA (LVM_FIRST + 27)
#define LVM_DELETECOLUMN (LVM_FIRST + 28)
#define LVM_SETITEMSTATE (LVM_FIRST + 43)
#define LVM_GETITEMSTATE (LVM_FIRST + 44)
#define LVM_SETITEMCOUNT (LVM_FIRST + 47)
#define LVM_GETITEMTEXTA (LVM_FIRST + 45)
#define LVM_SETITEMTEXTA (LVM_FIRST + 46)
#define LVM_GETSELECTEDCOUNT (LVM_FIRST + 50)
#define LVM_SETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 54)
#define LVIF_TEXT 0x0001u
#define LVIF_IMAGE 0x0002u
#define LVIF_PARAM 0x0004u
#define LVIF_STATE 0x0008u
#define LVIS_FOCUSED 0x0001u
#define LVIS_SELECTED 0x0002u
#define LVNI_ALL 0x0000u
#define LVNI_FOCUSED 0x0001u
#define LVNI_SELECTED 0x0002u
#define LVCF_FMT 0x0001u
#define LVCF_WIDTH 0x0002u
#define LVCF_TEXT 0x0004u
#define LVCF_SUBITEM 0x0008u
#define LVCFMT_LEFT 0x0000
#define LVS_EX_FULLROWSELECT 0x00000020u
#define LVN_FIRST (0u - 100u)
#define LVN_ITEMCHANGING (LVN_FIRST - 0u)
#define LVN_ITEMCHANGED (LVN_FIRST - 1u)
#define LVN_ODSTATECHANGED (LVN_FIRST - 15u)
#define LVN_GETDISPINFOA (LVN_FIRST - 50u)
#define LVN_ODFINDITEMA (LVN_FIRST - 52u)
#define LVN_GETDISPINFOW (LVN_FIRST - 77u)
#define LVN_ODFINDITEMW (LVN_FIRST - 79u)
#define LVFI_PARAM 0x0001u
#define LVFI_STRING 0x0002u
#define LVFI_SUBSTRING 0x0004u
#define LVFI_PARTIAL 0x0008u
#define LVFI_WRAP 0x0020u

struct LVITEMA {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
    int iGroupId;
    UINT cColumns;
    UINT* puColumns;
    int* piColFmt;
    int iGroup;
};
struct LVCOLUMNA {
    UINT mask;
    int fmt;
    int cx;
    LPSTR pszText;
    int cchTextMax;
    int iSubItem;
    int iImage;
    int iOrder;
    int cxMin;
    int cxDefault;
    int cxIdeal;
};
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};
// What an owner-data list view asks its parent: the text of a row it
// shows, the row that starts with a typed text, a range of rows changed.
struct NMLVDISPINFOA {
    NMHDR hdr;
    LVITEMA item;
};
struct LVFINDINFOA {
    UINT flags;
    LPCSTR psz;
    LPARAM lParam;
    POINT pt;
    UINT vkDirection;
};
struct NMLVFINDITEMA {
    NMHDR hdr;
    int iStart;
    LVFINDINFOA lvfi;
};
struct NMLVODSTATECHANGE {
    NMHDR hdr;
    int iFrom;
    int iTo;
    UINT uNewState;
    UINT uOldState;
};
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};

// Tree views.
struct _TREEITEM;
typedef _TREEITEM* HTREEITEM;
#define TVI_ROOT ((HTREEITEM)(intptr_t)-0x10000)
#define TVI_FIRST ((HTREEITEM)(intptr_t)-0x0FFFF)
#define TVI_LAST ((HTREEITEM)(intptr_t)-0x0FFFE)
#define TVS_HASBUTTONS 0x0001u
#define TVS_HASLINES 0x0002u
#define TVS_LINESATROOT 0x0004u
#define TVS_SHOWSELALWAYS 0x0020u
#define TV_FIRST 0x1100
#define TVM_INSERTITEMA (TV_FIRST + 0)
#define TVM_DELETEITEM (TV_FIRST + 1)
#define TVM_EXPAND (TV_FIRST + 2)
#define TVM_GETCOUNT (TV_FIRST + 5)
#define TVM_GETNEXTITEM (TV_FIRST + 10)
#define TVM_SELECTITEM (TV_FIRST + 11)
#define TVM_GETITEMA (TV_FIRST + 12)
#define TVM_SETITEMA (TV_FIRST + 13)
#define TVGN_ROOT 0x0000u
#define TVGN_NEXT 0x0001u
#define TVGN_PREVIOUS 0x0002u
#define TVGN_PARENT 0x0003u
#define TVGN_CHILD 0x0004u
#define TVGN_CARET 0x0009u
#define TVE_EXPAND 0x0002u
#define TVIF_TEXT 0x0001u
#define TVIF_PARAM 0x0004u
#define TVIF_STATE 0x0008u
#define TVIF_HANDLE 0x0010u
#define TVIF_CHILDREN 0x0040u
#define TVN_FIRST (0u - 400u)
#define TVN_SELCHANGINGA (TVN_FIRST - 1u)
#define TVN_SELCHANGEDA (TVN_FIRST - 2u)

struct TVITEMA {
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    LPARAM lParam;
};
struct TVITEMEXA {
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
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
struct TVINSERTSTRUCTA {
    HTREEITEM hParent;
    HTREEITEM hInsertAfter;
    union {
        TVITEMEXA itemex;
        TVITEMA item;
    };
};
struct NMTREEVIEWA {
    NMHDR hdr;
    UINT action;
    TVITEMA itemOld;
    TVITEMA itemNew;
    POINT ptDrag;
};

// Property sheets.
#define PSH_NOAPPLYNOW 0x00000080u
#define PSH_WIZARD 0x00000020u
#define PSH_HASHELP 0x00000200u
#define PSP_HASHELP 0x00000020u
#define PSM_SETWIZBUTTONS (WM_USER + 112)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)
#define PSM_PRESSBUTTON (WM_USER + 113)
#define PSBTN_BACK 0
#define PSBTN_NEXT 1
#define PSBTN_FINISH 2
#define PSBTN_OK 3
#define PSBTN_CANCEL 5
#define PSBTN_HELP 6
#define PSWIZB_BACK 0x00000001u
#define PSWIZB_NEXT 0x00000002u
#define PSWIZB_FINISH 0x00000004u
#define PSWIZB_DISABLEDFINISH 0x00000008u
#define PSN_FIRST (0u - 200u)
#define PSN_SETACTIVE (PSN_FIRST - 0u)
#define PSN_KILLACTIVE (PSN_FIRST - 1u)
#define PSN_APPLY (PSN_FIRST - 2u)
#define PSN_RESET (PSN_FIRST - 3u)
#define PSN_HELP (PSN_FIRST - 5u)
#define PSN_WIZBACK (PSN_FIRST - 6u)
#define PSN_WIZNEXT (PSN_FIRST - 7u)
#define PSN_WIZFINISH (PSN_FIRST - 8u)
#define PSN_QUERYCANCEL (PSN_FIRST - 9u)
