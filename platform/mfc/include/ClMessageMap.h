#pragma once
// Message maps: tables that route commands (and, for windows, messages) to member functions.
// In the map, name the handler by its bare member name: ON_COMMAND(ID_EDIT_UNDO, OnUndo).
#include "ClassLibExport.h"

class CCmdTarget;
class CCmdUI;

// Handlers are stored as this type and called back with their real signature (nSig).
typedef void (CCmdTarget::*AFX_PMSG)();

enum AfxSig : UINT_PTR {
    AfxSig_end = 0,
    AfxSig_vv,         // void ()
    AfxSig_bv,         // BOOL ()
    AfxSig_vw,         // void (UINT nID)                 ON_COMMAND_RANGE
    AfxSig_bw,         // BOOL (UINT nID)                 ON_COMMAND_EX
    AfxSig_cmdui,      // void (CCmdUI*)                  ON_UPDATE_COMMAND_UI
    AfxSig_cmduiw,     // void (CCmdUI*, UINT nID)        ON_UPDATE_COMMAND_UI_RANGE
    AfxSig_vNMHDRpl,   // void (NMHDR*, LRESULT*)         ON_NOTIFY
    AfxSig_lwl,        // LRESULT (WPARAM, LPARAM)        ON_MESSAGE (windows)
    // Window messages (see ClWnd.h for the ON_WM_ entries).
    AfxSig_is,         // int (LPCREATESTRUCT)
    AfxSig_vwii,       // void (UINT, int, int)
    AfxSig_vwp,        // void (UINT, CPoint)
    AfxSig_vwww,       // void (UINT, UINT, UINT)
    AfxSig_vwt,        // void (UINT_PTR)
    AfxSig_bD,         // BOOL (CDC*)
    AfxSig_vW,         // void (CWnd*)
    AfxSig_vwwW,       // void (UINT, UINT, CScrollBar*)
    AfxSig_bWww,       // BOOL (CWnd*, UINT, UINT)
    AfxSig_vWp,        // void (CWnd*, CPoint)
    AfxSig_bwsp,       // BOOL (UINT, short, CPoint)
    AfxSig_vbw,        // void (BOOL, UINT)
    AfxSig_vwWb,       // void (UINT, CWnd*, BOOL)
};

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;   // WM_COMMAND, WM_NOTIFY or a window message
    UINT nCode;      // command or notification code
    UINT nID;        // first command or control id
    UINT nLastID;    // last id of a range
    UINT_PTR nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Command codes passed to OnCmdMsg.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

// What OnCmdMsg reports instead of calling, when asked only whether a handler exists.
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    AFX_PMSG pmf;
};

// Extra data of a WM_NOTIFY routed through OnCmdMsg.
struct AFX_NOTIFY
{
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        (void)sizeof(ThisClass); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            {0, 0, 0, 0, AfxSig_end, nullptr} \
        }; \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap; \
    }

// The handler as a member of CCmdTarget (adjusting for the class's place in its hierarchy), stored
// with the common type.
#define AFX_MSG_HANDLER(result, params, memberFxn) \
    reinterpret_cast<AFX_PMSG>(static_cast<result (CCmdTarget::*) params>( \
        static_cast<result (ThisClass::*) params>(&ThisClass::memberFxn)))

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_vv, AFX_MSG_HANDLER(void, (), memberFxn)},
#define ON_COMMAND_EX(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_bw, AFX_MSG_HANDLER(BOOL, (UINT), memberFxn)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AfxSig_vw, AFX_MSG_HANDLER(void, (UINT), memberFxn)},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AfxSig_bw, AFX_MSG_HANDLER(BOOL, (UINT), memberFxn)},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), AfxSig_cmdui, \
     AFX_MSG_HANDLER(void, (CCmdUI*), memberFxn)},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(idLast), AfxSig_cmduiw, \
     AFX_MSG_HANDLER(void, (CCmdUI*, UINT), memberFxn)},
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {WM_COMMAND, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSig_vv, AFX_MSG_HANDLER(void, (), memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    {WM_NOTIFY, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSig_vNMHDRpl, \
     AFX_MSG_HANDLER(void, (NMHDR*, LRESULT*), memberFxn)},
// A control's own handling of what it tells its parent (reflected back to the control's object).
#define WM_REFLECT_BASE 0xBC00
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    {WM_COMMAND + WM_REFLECT_BASE, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_vv, AFX_MSG_HANDLER(void, (), memberFxn)},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    {WM_NOTIFY + WM_REFLECT_BASE, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_vNMHDRpl, \
     AFX_MSG_HANDLER(void, (NMHDR*, LRESULT*), memberFxn)},
#define ON_MESSAGE(message, memberFxn) \
    {(UINT)(message), 0, 0, 0, AfxSig_lwl, AFX_MSG_HANDLER(LRESULT, (WPARAM, LPARAM), memberFxn)},
