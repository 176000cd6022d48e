#pragma once

#include "skin/TbsDataSkinCustomControl.h"

// The look of a scroll bar: where its track and buttons lie (control coordinates at the natural
// size) and the images of its buttons, thumb and thumb mark in their states (picture coordinates).
// Empty state images are resolved to their fallbacks by the bar that copies the record.
class TbsDataSkinScrollBarControl : public TbsDataSkinCustomControl {
public:
    using TbsDataSkinCustomControl::TbsDataSkinCustomControl;

    void LoadFromFile(const TMemIniFile& ini) override;
    void SaveToFile(TMemIniFile& ini) const override;
    const char* ClassName() const override { return "TbsDataSkinScrollBarControl"; }

    Rect TrackArea;
    Rect UpButtonRect;         // bottom or right end: increases the position
    Rect ActiveUpButtonRect;
    Rect DownUpButtonRect;
    Rect DownButtonRect;       // top or left end: decreases the position
    Rect ActiveDownButtonRect;
    Rect DownDownButtonRect;
    Rect ThumbRect;
    Rect ActiveThumbRect;
    Rect DownThumbRect;
    int ThumbOffset1 { 0 };    // fixed leading and trailing lengths of a stretched thumb
    int ThumbOffset2 { 0 };
    Rect GlyphRect;            // the mark centred on the thumb ("velmarrect")
    Rect ActiveGlyphRect;
    Rect DownGlyphRect;
};
