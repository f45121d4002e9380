// Message maps: tables that send a command or notification of a control to
// a member function, searched from the most derived class to its bases.
#pragma once

#include "win_types.h"

class CWnd;
struct HELPINFO;

enum class AfxSig { Command, Notify, HelpInfo };

struct AFX_MSGMAP_ENTRY {
    UINT message;  // WM_COMMAND, WM_NOTIFY or WM_HELP; 0 ends the table
    UINT code;     // notification code; BN_CLICKED (0) also stands for a plain command
    UINT id;       // control or command id
    AfxSig sig;
    LRESULT (*thunk)(CWnd* self, NMHDR* nm, LRESULT* result, LPARAM lParam);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace fw {
template <class T, void (T::*F)()>
LRESULT CommandThunk(CWnd* self, NMHDR*, LRESULT*, LPARAM) {
    (static_cast<T*>(self)->*F)();
    return 0;
}
template <class T, void (T::*F)(NMHDR*, LRESULT*)>
LRESULT NotifyThunk(CWnd* self, NMHDR* nm, LRESULT* result, LPARAM) {
    (static_cast<T*>(self)->*F)(nm, result);
    return 0;
}
template <class T, BOOL (T::*F)(HELPINFO*)>
LRESULT HelpInfoThunk(CWnd* self, NMHDR*, LRESULT*, LPARAM lParam) {
    return (static_cast<T*>(self)->*F)(reinterpret_cast<HELPINFO*>(lParam));
}
}  // namespace fw

#define DECLARE_MESSAGE_MAP()                     \
  protected:                                      \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        typedef theClass ThisClass;                     \
        typedef baseClass TheBaseClass;                 \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                          \
    { 0, 0, 0, AfxSig::Command, nullptr }                                          \
    }                                                                              \
    ;                                                                              \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
    return &map;                                                                   \
    }

#define ON_COMMAND(id, fn) \
    {WM_COMMAND, 0, (id), AfxSig::Command, &fw::CommandThunk<ThisClass, &ThisClass::fn>},
#define ON_CONTROL(code, id, fn) \
    {WM_COMMAND, (UINT)(code), (id), AfxSig::Command, &fw::CommandThunk<ThisClass, &ThisClass::fn>},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_NOTIFY(code, id, fn) \
    {WM_NOTIFY, (UINT)(code), (id), AfxSig::Notify, &fw::NotifyThunk<ThisClass, &ThisClass::fn>},
#define ON_WM_HELPINFO() \
    {WM_HELP, 0, 0, AfxSig::HelpInfo, &fw::HelpInfoThunk<ThisClass, &ThisClass::OnHelpInfo>},
