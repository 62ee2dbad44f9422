#pragma once

#include "platform/win32/DC.h"
#include "platform/win32/Wnd.h"

// A window that draws itself into a device context.
class CView : public CWnd {
public:
    virtual void OnDraw(CDC& dc) = 0;
};
