#pragma once

#include "skin/TbsDataSkinControl.h"

// A control record whose image can be fitted to any size by its four stretch points (see
// TbsSkinCustomControl): the base of the list box and scroll bar records.
class TbsDataSkinCustomControl : public TbsDataSkinControl {
public:
    using TbsDataSkinControl::TbsDataSkinControl;

    void LoadFromFile(const TMemIniFile& ini) override;
    void SaveToFile(TMemIniFile& ini) const override;
    const char* ClassName() const override { return "TbsDataSkinCustomControl"; }

    Point LTPoint; // stretch points, relative to SkinRect's top-left corner
    Point RTPoint;
    Point LBPoint;
    Point RBPoint;
    Rect ClRect;   // the client area inside the frame image, relative to SkinRect
};
