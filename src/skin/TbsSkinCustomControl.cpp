#include "skin/TbsSkinCustomControl.h"

#include "skin/TbsDataSkinCustomControl.h"

#include <algorithm>

namespace {

// A control without a parent shows nowhere; the skin still may not make it larger than a screen.
constexpr int UnparentedSizeLimit = 4096;

} // namespace

TbsSkinCustomControl::TbsSkinCustomControl(TComponent* owner)
    : TbsSkinControl(owner)
{
    m_default_font.SetName("Arial");
    m_default_font.SetHeight(14);
    m_default_font.SetStyle(0);
    m_default_font.OnChange = [this](TObject*) {
        DefaultFontChanged();
        if (m_skin_index == -1)
            Invalidate();
    };
}

TbsSkinCustomControl::~TbsSkinCustomControl() = default;

void TbsSkinCustomControl::SetDefaultWidth(int width)
{
    m_default_width = width;
    if (m_skin_index == -1 && width > 0)
        SetWidth(width);
}

void TbsSkinCustomControl::SetDefaultHeight(int height)
{
    m_default_height = height;
    if (m_skin_index == -1 && height > 0)
        SetHeight(height);
}

void TbsSkinCustomControl::SetDefaultFont(const TFont& font)
{
    m_default_font.Assign(font); // fires OnChange, which calls the hook
}

void TbsSkinCustomControl::BeforeChangeSkinData()
{
    TbsSkinControl::BeforeChangeSkinData();
    // The pictures these point at are about to be freed.
    m_picture = nullptr;
    m_mask_picture = nullptr;
}

void TbsSkinCustomControl::LookUpSkinRecord()
{
    TbsSkinControl::LookUpSkinRecord();
    m_picture = nullptr;
    m_mask_picture = nullptr;
    if (m_skin_index == -1)
        return;
    auto* record = dynamic_cast<TbsDataSkinCustomControl*>(m_skin_data->ControlRecord(m_skin_index));
    if (!record) {
        m_stretch_mode = TbsStretchMode::FixedSize;
        return;
    }
    m_natural = { record->LTPoint, record->RTPoint, record->LBPoint, record->RBPoint, record->ClRect };
    m_skin_rect = record->SkinRect;
    m_picture = m_skin_data->ControlPicture(record->PictureIndex);
    m_mask_picture = m_skin_data->ControlPicture(record->MaskPictureIndex);
    if (m_skin_rect.Width() < 1 || m_skin_rect.Height() < 1)
        m_stretch_mode = TbsStretchMode::NoSkinRect;
    else if (m_natural.RB.x != 0 && m_natural.RB.y != 0)
        m_stretch_mode = TbsStretchMode::Corners;
    else if (m_natural.RT.x != 0 || m_natural.RT.y != 0)
        m_stretch_mode = TbsStretchMode::Horizontal;
    else if (m_natural.LB.x != 0 || m_natural.LB.y != 0)
        m_stretch_mode = TbsStretchMode::Vertical;
    else
        m_stretch_mode = TbsStretchMode::FixedSize;
}

Size TbsSkinCustomControl::SkinSizeLimit() const
{
    if (TWinControl* parent = Parent())
        return { std::max(parent->Width(), 0), std::max(parent->Height(), 0) };
    return { UnparentedSizeLimit, UnparentedSizeLimit };
}

void TbsSkinCustomControl::AdjustSize(int& width, int& height)
{
    if (m_skin_index == -1)
        return;
    // The sizes a skin gives are bounded by the area the control can paint.
    const Size limit = SkinSizeLimit();
    const int sw = std::min(m_skin_rect.Width(), limit.width);
    const int sh = std::min(m_skin_rect.Height(), limit.height);
    const int dw = SatSub(width, m_skin_rect.Width());
    const int dh = SatSub(height, m_skin_rect.Height());
    const TbsStretchPoints& n = m_natural;
    auto moved = [](Point p, int dx, int dy) { return Point { SatAdd(p.x, dx), SatAdd(p.y, dy) }; };
    switch (m_stretch_mode) {
    case TbsStretchMode::Corners:
        m_fitted.LT = n.LT;
        m_fitted.RT = moved(n.RT, dw, 0);
        m_fitted.LB = moved(n.LB, 0, dh);
        m_fitted.RB = moved(n.RB, dw, dh);
        m_fitted.Client = { n.Client.left, n.Client.top, SatAdd(n.Client.right, dw), SatAdd(n.Client.bottom, dh) };
        break;
    case TbsStretchMode::Horizontal:
        height = sh;
        m_fitted.LT = n.LT;
        m_fitted.RT = moved(n.RT, dw, 0);
        m_fitted.Client = { n.Client.left, n.Client.top, SatAdd(n.Client.right, dw), n.Client.bottom };
        break;
    case TbsStretchMode::Vertical:
        width = sw;
        m_fitted.LT = n.LT;
        m_fitted.LB = moved(n.LB, 0, dh);
        m_fitted.Client = { n.Client.left, n.Client.top, n.Client.right, SatAdd(n.Client.bottom, dh) };
        break;
    case TbsStretchMode::FixedSize:
        if (m_skin_data && dynamic_cast<TbsDataSkinCustomControl*>(m_skin_data->ControlRecord(m_skin_index))) {
            width = sw;
            height = sh;
            m_fitted.Client = n.Client;
        }
        break;
    case TbsStretchMode::NoSkinRect:
        break;
    }
}

void TbsSkinCustomControl::SetBounds(int left, int top, int width, int height)
{
    LookUpSkinRecord();
    bool skinned_resize = (width != Width() || height != Height()) && m_skin_index != -1;
    if (skinned_resize) {
        AdjustSize(width, height);
        if (m_stretch_mode == TbsStretchMode::FixedSize)
            m_fitted.Client = m_natural.Client;
    }
    TbsSkinControl::SetBounds(left, top, width, height);
    if (skinned_resize) {
        UpdateRegion();
        Invalidate();
    }
}

void TbsSkinCustomControl::ApplySkin()
{
    LookUpSkinRecord();
    const int old_width = Width();
    const int old_height = Height();
    if (m_skin_index == -1) {
        if (m_default_width > 0)
            SetWidth(m_default_width);
        if (m_default_height > 0)
            SetHeight(m_default_height);
    } else {
        int width = old_width;
        int height = old_height;
        AdjustSize(width, height);
        if (width != old_width)
            SetWidth(width);
        if (height != old_height)
            SetHeight(height);
    }
    if ((Width() == old_width && Height() == old_height) || m_skin_index == -1) {
        UpdateRegion();
        Invalidate();
    }
}

void TbsSkinCustomControl::UpdateRegion()
{
    if (!m_mask_picture || m_skin_index == -1) {
        if (m_region) {
            m_region.reset();
            Invalidate();
        }
        return;
    }
    // The mask is fitted like the picture: cut at the same points and its pieces placed at the
    // fitted positions, then scanned.
    TBitmap fitted;
    Rect whole { 0, 0, m_mask_picture->Width(), m_mask_picture->Height() };
    const Size limit { Width(), Height() };
    switch (m_stretch_mode) {
    case TbsStretchMode::Corners:
        PaintCorners(m_natural, whole, m_fitted, Width(), Height(), *m_mask_picture, true, fitted, limit);
        break;
    case TbsStretchMode::Horizontal:
        TileHorizontally(m_natural.LT.x, SatSub(whole.Width(), m_natural.RT.x), fitted, Width(), whole,
            *m_mask_picture, limit);
        break;
    case TbsStretchMode::Vertical:
        TileVertically(m_natural.LT.y, SatSub(whole.Height(), m_natural.LB.y), fitted, Height(), whole,
            *m_mask_picture, limit);
        break;
    default:
        fitted = *m_mask_picture;
        break;
    }
    m_region = RegionFromMask(fitted, { 0, 0 });
    Invalidate();
}

void TbsSkinCustomControl::PaintUnskinnedImage(TBitmap& bitmap)
{
    bitmap.Canvas().Brush().Color = clBtnFace;
    bitmap.Canvas().Brush().Style = TBrushStyle::bsSolid;
    bitmap.Canvas().FillRect({ 0, 0, bitmap.Width(), bitmap.Height() });
}

void TbsSkinCustomControl::PaintSkinnedImage(TBitmap& bitmap)
{
    if (!m_picture || m_stretch_mode == TbsStretchMode::NoSkinRect) {
        // A record without a usable picture or skin rectangle: the unskinned look.
        PaintUnskinnedImage(bitmap);
        return;
    }
    // The bitmap has the control's size: the fittings fill at most that much.
    const Size limit { bitmap.Width(), bitmap.Height() };
    const int sw = m_skin_rect.Width();
    const int sh = m_skin_rect.Height();
    switch (m_stretch_mode) {
    case TbsStretchMode::FixedSize:
        bitmap.SetSize(std::min(sw, limit.width), std::min(sh, limit.height));
        CopyPicturePart(bitmap, { 0, 0, sw, sh }, *m_picture, m_skin_rect);
        break;
    case TbsStretchMode::Corners:
        PaintCorners(m_natural, m_skin_rect, m_fitted, Width(), Height(), *m_picture, true, bitmap, limit);
        break;
    case TbsStretchMode::Horizontal:
        TileHorizontally(m_natural.LT.x, SatSub(sw, m_natural.RT.x), bitmap, Width(), m_skin_rect, *m_picture, limit);
        break;
    case TbsStretchMode::Vertical:
        TileVertically(m_natural.LT.y, SatSub(sh, m_natural.LB.y), bitmap, Height(), m_skin_rect, *m_picture, limit);
        break;
    case TbsStretchMode::NoSkinRect:
        break;
    }
}
