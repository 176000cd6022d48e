#pragma once

#include "platform/Color.h"
#include "skin/TbsDataSkinControl.h"

// The look of a tree view: its font and background colour.
class TbsDataSkinTreeView : public TbsDataSkinControl {
public:
    using TbsDataSkinControl::TbsDataSkinControl;

    void LoadFromFile(const TMemIniFile& ini) override;
    void SaveToFile(TMemIniFile& ini) const override;
    const char* ClassName() const override { return "TbsDataSkinTreeView"; }

    std::string FontName { "Arial" };
    int FontHeight { 14 };
    unsigned FontStyle { 0 };
    TColor FontColor { 0 };
    TColor BGColor { 0 };
};
