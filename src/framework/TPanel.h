#pragma once

#include "framework/TWinControl.h"

// A windowed container painted in its colour.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner)
        : TWinControl(owner)
    {
    }
};
