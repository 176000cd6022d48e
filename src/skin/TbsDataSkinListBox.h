#pragma once

#include "platform/Color.h"
#include "skin/TbsDataSkinCustomControl.h"

// The look of a list box: its frame (the base's image and points), item backgrounds and fonts, the
// caption strip with its buttons, and the names of the scroll-bar records its bars use.
class TbsDataSkinListBox : public TbsDataSkinCustomControl {
public:
    using TbsDataSkinCustomControl::TbsDataSkinCustomControl;

    void LoadFromFile(const TMemIniFile& ini) override;
    void SaveToFile(TMemIniFile& ini) const override;
    const char* ClassName() const override { return "TbsDataSkinListBox"; }

    Rect ItemRect;       // picture coordinates; its height is the item height
    Rect ActiveItemRect;
    Rect FocusItemRect;
    int ItemLeftOffset { 0 };
    int ItemRightOffset { 0 };
    Rect ItemTextRect;   // item coordinates at the natural item width
    std::string FontName { "Arial" };
    int FontHeight { 14 };
    unsigned FontStyle { 0 };
    TColor FontColor { 0 };
    TColor ActiveFontColor { 0 };
    TColor FocusFontColor { 0 };
    Rect CaptionRect;
    std::string CaptionFontName { "Arial" };
    int CaptionFontHeight { 14 };
    unsigned CaptionFontStyle { 0 };
    TColor CaptionFontColor { 0 };
    Rect UpButtonRect;
    Rect ActiveUpButtonRect;
    Rect DownUpButtonRect;
    Rect DownButtonRect;
    Rect ActiveDownButtonRect;
    Rect DownDownButtonRect;
    Rect CheckButtonRect;
    Rect ActiveCheckButtonRect;
    Rect DownCheckButtonRect;
    std::string VScrollBarName { "vscrollbar" };
    std::string HScrollBarName { "hscrollbar" };
    std::string BothScrollBarName { "bothhscrollbar" };
};
