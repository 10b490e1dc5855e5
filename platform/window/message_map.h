#pragma once

#include <memory>

#include "platform/draw/dc.h"
#include "platform/window/cmd_target.h"
#include "platform/window/window_messages.h"

// Static message maps in the framework's form:
//
//   class MainDialog : public CDialog {
//       ...
//       void OnPaint();
//       void OnStartRestore();
//       DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(MainDialog, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(1005, OnStartRestore)
//   END_MESSAGE_MAP()
//
// Handlers are named without their class; the entries are searched in order, the derived
// class's table before its base class's map.

#define DECLARE_MESSAGE_MAP()                         \
  public:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
  protected:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass [[maybe_unused]] = theClass;    \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                                        \
    { 0, 0, 0, 0, nullptr }                                                                      \
    }                                                                                            \
    ;                                                                                            \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]}; \
    return &messageMap;                                                                          \
    }

#define AFX_MSG_THIS(t) static_cast<ThisClass*>(t)

// void OnPaint()
#define ON_WM_PAINT()                                                  \
    {WM_PAINT, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
         AFX_MSG_THIS(t)->OnPaint();                                   \
         return 0;                                                     \
     }},

// BOOL OnEraseBkgnd(CDC* dc)
#define ON_WM_ERASEBKGND()                                                                \
    {WM_ERASEBKGND, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {             \
         return AFX_MSG_THIS(t)->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(w))); \
     }},

// void OnTimer(UINT_PTR id)
#define ON_WM_TIMER()                                                    \
    {WM_TIMER, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT { \
         AFX_MSG_THIS(t)->OnTimer(static_cast<UINT_PTR>(w));             \
         return 0;                                                       \
     }},

// void OnSysCommand(UINT id, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                      \
    {WM_SYSCOMMAND, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
         AFX_MSG_THIS(t)->OnSysCommand(static_cast<UINT>(w), l);                \
         return 0;                                                              \
     }},

// HICON OnQueryDragIcon(): the result travels as the icon's address (the handle itself on
// Windows), valid while the handler's object keeps the icon.
#define ON_WM_QUERYDRAGICON()                                                                   \
    {WM_QUERYDRAGICON, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                  \
         return reinterpret_cast<LRESULT>(std::to_address(AFX_MSG_THIS(t)->OnQueryDragIcon())); \
     }},

// void memberFxn() for a command (a menu item or a button click) from control id.
#define ON_COMMAND(id, memberFxn)                                 \
    {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {               \
         AFX_MSG_THIS(t)->memberFxn();                            \
         return 0;                                                \
     }},

// void memberFxn() for notification code from control id.
#define ON_CONTROL(code, id, memberFxn)                                                 \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                     \
         AFX_MSG_THIS(t)->memberFxn();                                                  \
         return 0;                                                                      \
     }},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// LRESULT memberFxn(WPARAM, LPARAM) for any message.
#define ON_MESSAGE(message, memberFxn)                                                       \
    {static_cast<UINT>(message), 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
         return AFX_MSG_THIS(t)->memberFxn(w, l);                                            \
     }},
