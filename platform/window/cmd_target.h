#pragma once

#include "platform/window/win_types.h"

class CCmdTarget;

// One row of a static message map: a message (and for WM_COMMAND a notification code and a
// control identifier range) and the thunk that unpacks the message and calls the handler.
using AfxMsgThunk = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT message;
    UINT code;          // WM_COMMAND: the notification code; 0 otherwise
    UINT id;            // WM_COMMAND: first control identifier; 0 otherwise
    UINT lastId;        // WM_COMMAND: last control identifier
    AfxMsgThunk thunk;  // null ends the table
};

// A class's table with its base class's map behind it.
struct AFX_MSGMAP {
    const AFX_MSGMAP* (*baseMap)();
    const AFX_MSGMAP_ENTRY* entries;
};

// Base of every class that receives messages through a static message map.
class CCmdTarget {
  public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // The class's message map (DECLARE_MESSAGE_MAP overrides it).
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
    static const AFX_MSGMAP* GetThisMessageMap();

    // Looks message (code, id for WM_COMMAND) up in this object's map, the derived class's
    // table first, then each base map; calls the first handler found. False when none matches.
    bool DispatchThroughMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
};
