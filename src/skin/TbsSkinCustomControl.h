#pragma once

#include "framework/TFont.h"
#include "skin/TbsSkinControl.h"

// How a skin image is fitted to the control's size.
enum class TbsStretchMode { NoSkinRect = -1, FixedSize = 0, Corners = 1, Horizontal = 2, Vertical = 3 };

// A skinned control whose record's image is fitted to any control size: fixed size, horizontal or
// vertical stretching with tiled middles, or nine-part stretching; with the size rules that go with
// each, an optional window shape from a mask picture, and a default size and font for the
// unskinned state.
class TbsSkinCustomControl : public TbsSkinControl {
public:
    explicit TbsSkinCustomControl(TComponent* owner);
    ~TbsSkinCustomControl() override;

    int DefaultWidth() const { return m_default_width; }
    int DefaultHeight() const { return m_default_height; }
    void SetDefaultWidth(int width);
    void SetDefaultHeight(int height);
    TFont& DefaultFont() { return m_default_font; }
    void SetDefaultFont(const TFont& font);

    TbsStretchMode StretchMode() const { return m_stretch_mode; }
    // The record's points and client rectangle fitted to the control's current size.
    const TbsStretchPoints& FittedPoints() const { return m_fitted; }
    const TbsStretchPoints& NaturalPoints() const { return m_natural; }
    Rect SkinRect() const { return m_skin_rect; }
    TBitmap* Picture() const { return m_picture; }
    const std::optional<TbsRegion>& WindowRegion() const { return m_region; }

    void LookUpSkinRecord() override;
    void ApplySkin() override;
    void BeforeChangeSkinData() override;
    // A skinned resize goes through the size adjuster and refits the window shape.
    void SetBounds(int left, int top, int width, int height) override;

    // Changes a proposed size in place to what the skin allows, and fits the points to it. A size
    // the skin fixes is at most SkinSizeLimit().
    virtual void AdjustSize(int& width, int& height);
    // The largest size a skin may give the control: its parent's client area, beyond which it
    // shows nothing.
    Size SkinSizeLimit() const;

protected:
    virtual void DefaultFontChanged() { }
    void PaintUnskinnedImage(TBitmap& bitmap) override;
    void PaintSkinnedImage(TBitmap& bitmap) override;
    void UpdateRegion();

    TbsStretchPoints m_natural; // copied from the record at each look-up
    Rect m_skin_rect;
    TbsStretchPoints m_fitted;  // computed by the size adjuster only
    TBitmap* m_picture { nullptr };
    TBitmap* m_mask_picture { nullptr };
    TbsStretchMode m_stretch_mode { TbsStretchMode::NoSkinRect };

private:
    int m_default_width { 0 };
    int m_default_height { 0 };
    TFont m_default_font;
};
