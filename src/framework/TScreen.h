#pragma once

#include "framework/TControl.h"

// The screen: the cursor that overrides every control's own while it is not crDefault, and the
// display's density.
class TScreen {
public:
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor);
    int PixelsPerInch() const;

private:
    TCursor m_cursor { crDefault };
};

extern TScreen Screen;
