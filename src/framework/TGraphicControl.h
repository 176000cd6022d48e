#pragma once

#include "framework/TControl.h"

// A windowless control, painted on its parent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner)
        : TControl(owner)
    {
    }
};
