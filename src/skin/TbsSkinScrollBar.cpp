#include "skin/TbsSkinScrollBar.h"

#include "platform/WindowBackend.h"
#include "skin/TbsDataSkinScrollBarControl.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounding to the nearest integer, halves to the even neighbour.
int RoundEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// A value computed in floating point, rounded as RoundEven and kept within the int range.
int RoundedInt(double value)
{
    return RoundEven(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}

bool ImageEmpty(Rect r)
{
    return r.Width() < 1 || r.Height() < 1;
}

Rect Fallback(Rect image, Rect fallback)
{
    return ImageEmpty(image) ? fallback : image;
}

// The looks of an unskinned part: frame and inside colours.
constexpr TColor PressedFrame = 8388608;  // red 0, green 0, blue 128
constexpr TColor PressedInside = 11899781; // red 133, green 147, blue 181
constexpr TColor HotInside = 13811126;     // red 182, green 189, blue 210

constexpr int RepeatDelay = 500; // ms before the first repetition
constexpr int RepeatRate = 50;   // ms between repetitions

} // namespace

TbsSkinScrollBar::TbsSkinScrollBar(TComponent* owner)
    : TbsSkinCustomControl(owner)
{
    m_timer = Create<TTimer>("");
    m_timer->SetEnabled(false);
    m_timer->OnTimer = [this](TObject*) { RepeatTimerTick(); };
    TWinControl::SetBounds(0, 0, 200, 20);
}

TbsSkinScrollBar::~TbsSkinScrollBar() = default;

void TbsSkinScrollBar::SetKind(TScrollBarKind kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    Invalidate();
}

void TbsSkinScrollBar::SetPosition(int value)
{
    if (value < m_min)
        value = m_min;
    else if (m_page_size != 0)
        value = std::min(value, SatAdd(SatSub(m_max, m_page_size), 1));
    else
        value = std::min(value, m_max);
    if (value == m_position)
        return;
    m_position = value;
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TbsSkinScrollBar::SetMin(int value)
{
    m_min = value;
    if (m_position < m_min)
        m_position = m_min;
    Invalidate();
}

void TbsSkinScrollBar::SetMax(int value)
{
    m_max = value;
    if (m_page_size != 0) {
        if (double(m_max) - m_min < double(m_page_size) + m_position) {
            m_position = Saturated(1LL * m_max - m_min - m_page_size + 1);
            if (m_position < m_min)
                m_position = m_min;
        }
    } else if (m_max < m_position) {
        m_position = m_max;
    }
    Invalidate();
}

void TbsSkinScrollBar::SetPageSize(int value)
{
    if (static_cast<long long>(m_max) - m_min + 1 >= static_cast<long long>(value) + m_position)
        m_page_size = value;
    Invalidate();
}

void TbsSkinScrollBar::SetSmallChange(int value)
{
    m_small_change = value;
    Invalidate();
}

void TbsSkinScrollBar::SetLargeChange(int value)
{
    m_large_change = value;
    Invalidate();
}

void TbsSkinScrollBar::SetRange(int min, int max, int page_size, int position)
{
    m_min = min;
    m_max = max;
    m_page_size = page_size;
    if (position < m_min)
        position = m_min;
    else if (m_page_size != 0)
        position = std::min(position, SatAdd(SatSub(m_max, m_page_size), 1));
    else
        position = std::min(position, m_max);
    m_position = position;
    Invalidate();
}

void TbsSkinScrollBar::SetBoth(bool both)
{
    if (both == m_both)
        return;
    m_both = both;
    if (m_both) {
        m_saved_skin_data_name = SkinDataName();
        SetSkinDataName(m_both_skin_data_name);
    } else if (m_saved_skin_data_name) {
        SetSkinDataName(*m_saved_skin_data_name);
        m_saved_skin_data_name.reset();
    }
    if (m_skin_index == -1)
        Invalidate();
    else
        ApplySkin();
}

void TbsSkinScrollBar::SetBothMarkerWidth(int width)
{
    if (width < 0)
        return;
    m_both_marker_width = width;
    if (m_skin_index == -1)
        Invalidate();
}

void TbsSkinScrollBar::SetCanFocused(bool can_focused)
{
    m_can_focused = can_focused;
    SetTabStop(can_focused);
}

bool TbsSkinScrollBar::CanFocus() const
{
    return m_can_focused && TbsSkinCustomControl::CanFocus();
}

void TbsSkinScrollBar::LookUpSkinRecord()
{
    TbsSkinCustomControl::LookUpSkinRecord();
    auto* record = m_skin_index == -1
        ? nullptr
        : dynamic_cast<TbsDataSkinScrollBarControl*>(m_skin_data->ControlRecord(m_skin_index));
    m_has_bar_record = record != nullptr;
    if (!record)
        return;
    m_track_area = record->TrackArea;
    m_up_button_rect = record->UpButtonRect;
    m_active_up_button_rect = record->ActiveUpButtonRect;
    m_down_up_button_rect = Fallback(record->DownUpButtonRect, record->ActiveUpButtonRect);
    m_down_button_rect = record->DownButtonRect;
    m_active_down_button_rect = record->ActiveDownButtonRect;
    m_down_down_button_rect = Fallback(record->DownDownButtonRect, record->ActiveDownButtonRect);
    m_thumb_image = record->ThumbRect;
    m_active_thumb_image = Fallback(record->ActiveThumbRect, m_thumb_image);
    m_down_thumb_image = Fallback(record->DownThumbRect, m_active_thumb_image);
    m_thumb_offset1 = record->ThumbOffset1;
    m_thumb_offset2 = record->ThumbOffset2;
    m_glyph = record->GlyphRect;
    m_active_glyph = Fallback(record->ActiveGlyphRect, m_glyph);
    m_down_glyph = Fallback(record->DownGlyphRect, m_active_glyph);
}

void TbsSkinScrollBar::AdjustSize(int& width, int& height)
{
    TbsSkinCustomControl::AdjustSize(width, height);
    ComputeGeometry();
}

void TbsSkinScrollBar::ComputeGeometry()
{
    // Sizes and places come from the skin and may hold any value: coordinates saturate, and the
    // thumb's length is computed in floating point and kept within the int range.
    const int w = Width();
    const int h = Height();
    const bool horizontal = Horizontal();
    double frac0 = m_max == m_min ? 0.0 : (double(m_position) - m_min) / (double(m_max) - m_min);
    int natural = 16;
    int tw = 0, th = 0;
    if (!SkinnedBar()) {
        int wb = m_both ? SatSub(w, m_both_marker_width) : w;
        if (horizontal) {
            m_parts[DownPart].R = { 1, 1, 17, h - 1 };
            m_parts[UpPart].R = { SatSub(wb, 17), 1, SatSub(wb, 1), h - 1 };
            m_track_rect = { 17, 1, SatSub(wb, 17), h - 1 };
        } else {
            m_parts[DownPart].R = { 1, 1, w - 1, 17 };
            m_parts[UpPart].R = { 1, h - 17, w - 1, h - 1 };
            m_track_rect = { 1, 17, w - 1, h - 17 };
        }
    } else {
        const int dw = SatSub(w, m_skin_rect.Width());
        const int dh = SatSub(h, m_skin_rect.Height());
        m_track_rect = m_track_area;
        Rect up = m_up_button_rect;
        Rect down = m_down_button_rect;
        // A button that lies in the image's fixed far end moves with it. The far end begins at the
        // stretch point itself, so a button starting exactly there ("hscrollbar": 38 and 38) moves
        // too; otherwise it would be hit where the track is drawn.
        if (horizontal) {
            m_track_rect.right = SatAdd(m_track_rect.right, dw);
            if (up.left >= m_natural.RT.x)
                up = up.Translated(dw, 0);
            if (down.left >= m_natural.RT.x)
                down = down.Translated(dw, 0);
        } else {
            m_track_rect.bottom = SatAdd(m_track_rect.bottom, dh);
            if (up.top >= m_natural.LB.y)
                up = up.Translated(0, dh);
            if (down.top >= m_natural.LB.y)
                down = down.Translated(0, dh);
        }
        m_parts[UpPart].R = up;
        m_parts[DownPart].R = down;
        tw = m_thumb_image.Width();
        th = m_thumb_image.Height();
        natural = horizontal ? tw : th;
    }

    // The thumb along the axis.
    const int track_start = horizontal ? m_track_rect.left : m_track_rect.top;
    const int track_end = horizontal ? m_track_rect.right : m_track_rect.bottom;
    const double track_length = double(track_end) - track_start;
    int length = natural;
    if (m_page_size != 0) {
        double range = double(m_max) - m_min + 1;
        double quotient = range == 0 ? 0.0 : track_length * m_page_size / range;
        length = RoundedInt(quotient);
        if (length < natural)
            length = natural;
    }
    const int half = length / 2;
    m_thumb_range.Lo = SatAdd(track_start, half);
    m_thumb_range.Hi = SatSub(track_end, half);
    double frac = frac0;
    if (m_page_size != 0) {
        double top = double(m_max) - m_page_size + 1;
        if (top > m_min)
            frac = (double(m_position) - m_min) / (top - m_min);
        else
            frac = horizontal ? 1.0 : 0.0;
    }
    double offset = (double(m_thumb_range.Hi) - m_thumb_range.Lo) * frac;
    m_thumb_range.Offset = RoundedInt(offset);
    const int centre = SatAdd(m_thumb_range.Lo, m_thumb_range.Offset);
    const int from = SatSub(centre, half);
    const int to = SatAdd(centre, half);

    // Across the axis: the track's breadth unskinned, the image's breadth centred when skinned.
    Rect& thumb = m_parts[ThumbPart].R;
    if (horizontal) {
        int top = m_track_rect.top, bottom = m_track_rect.bottom;
        if (SkinnedBar()) {
            top = SatSub(SatAdd(m_track_rect.top, m_track_rect.Height() / 2), th / 2);
            bottom = SatAdd(top, th);
        }
        thumb = { from, top, to, bottom };
    } else {
        int left = m_track_rect.left, right = m_track_rect.right;
        if (SkinnedBar()) {
            left = SatSub(SatAdd(m_track_rect.left, m_track_rect.Width() / 2), tw / 2);
            right = SatAdd(left, tw);
        }
        thumb = { left, from, right, to };
    }
}

int TbsSkinScrollBar::PositionFromOffset(int offset) const
{
    double frac = 0.0;
    if (m_page_size != 0) {
        const Rect& thumb = m_parts[ThumbPart].R;
        int length = Horizontal() ? thumb.Width() : thumb.Height();
        int start = Horizontal() ? m_track_rect.left : m_track_rect.top;
        int end = Horizontal() ? m_track_rect.right : m_track_rect.bottom;
        double lo = double(start) + length / 2;
        double hi = double(end) - length / 2;
        if (hi - lo > 0)
            frac = (double(offset) + m_drag_offset) / (hi - lo);
        frac = std::clamp(frac, 0.0, 1.0);
        return SatAdd(m_min, RoundedInt((double(m_max) - m_min - m_page_size + 1) * frac));
    }
    double span = double(m_thumb_range.Hi) - m_thumb_range.Lo;
    if (span > 0)
        frac = double(offset) / span;
    frac = std::clamp(frac, 0.0, 1.0);
    return SatAdd(m_min, RoundedInt((double(m_max) - m_min) * frac));
}

int TbsSkinScrollBar::PartAt(Point p) const
{
    for (int part : { ThumbPart, UpPart, DownPart }) {
        if (part == ThumbPart && !Enabled())
            continue;
        if (m_parts[part].R.Contains(p))
            return part;
    }
    return NoPart;
}

void TbsSkinScrollBar::StartTimer(int interval)
{
    m_timer->SetInterval(interval);
    m_timer->SetEnabled(true);
}

void TbsSkinScrollBar::StopTimer()
{
    m_timer->SetEnabled(false);
    m_repeat_action = TRepeatAction::None;
}

void TbsSkinScrollBar::StepUp()
{
    if (OnUpButtonClick)
        OnUpButtonClick(this);
    else
        SetPosition(SatAdd(m_position, m_small_change));
}

void TbsSkinScrollBar::StepDown()
{
    if (OnDownButtonClick)
        OnDownButtonClick(this);
    else
        SetPosition(SatSub(m_position, m_small_change));
}

void TbsSkinScrollBar::PressPart(int part)
{
    m_parts[part].Down = true;
    Invalidate();
    switch (part) {
    case UpPart:
        StepUp();
        m_repeat_action = TRepeatAction::StepUp;
        StartTimer(RepeatDelay);
        break;
    case DownPart:
        StepDown();
        m_repeat_action = TRepeatAction::StepDown;
        StartTimer(RepeatDelay);
        break;
    case ThumbPart:
        m_drag_origin = Horizontal() ? m_last_mouse.x : m_last_mouse.y;
        m_drag_offset = m_thumb_range.Offset;
        m_drag_position = m_position;
        m_dragging = true;
        Invalidate();
        break;
    default:
        break;
    }
}

void TbsSkinScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TbsSkinCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    if (m_can_focused && !Focused()) {
        SetFocus();
        if (!Focused())
            return; // the click is dropped when the bar cannot take the focus
    }
    m_last_mouse = { x, y };
    m_mouse_down = true;
    ComputeGeometry();
    m_repeat_action = TRepeatAction::None;
    m_first_tick = true;
    int part = PartAt({ x, y });
    if (part != NoPart) {
        m_captured_part = part;
        PressPart(part);
        return;
    }
    if (!m_track_rect.Contains({ x, y }))
        return;
    const Rect& thumb = m_parts[ThumbPart].R;
    bool before = Horizontal() ? x < thumb.left : y < thumb.top;
    if (before) {
        SetPosition(SatSub(m_position, m_large_change));
        m_repeat_action = TRepeatAction::PageDown;
    } else {
        SetPosition(SatAdd(m_position, m_large_change));
        m_repeat_action = TRepeatAction::PageUp;
    }
    StartTimer(RepeatDelay);
}

void TbsSkinScrollBar::DblClick()
{
    TbsSkinCustomControl::DblClick();
    if (m_can_focused && !Focused())
        SetFocus();
}

void TbsSkinScrollBar::TrackHover()
{
    int part = PartAt(m_last_mouse);
    if (m_captured_part != NoPart && part != m_captured_part)
        part = NoPart;
    if (part == m_hover_part)
        return;
    auto is_button = [](int p) { return p == UpPart || p == DownPart; };
    if (m_hover_part != NoPart) {
        TPart& old = m_parts[m_hover_part];
        old.MouseIn = false;
        Invalidate();
        if (is_button(m_hover_part) && old.Down && m_timer->Enabled())
            StopTimer(); // leaving a held button pauses its repetition
    }
    m_hover_part = part;
    if (part != NoPart) {
        TPart& now = m_parts[part];
        now.MouseIn = true;
        Invalidate();
        if (is_button(part) && now.Down) {
            // Back on the held button: repetition resumes at the fast rate.
            m_repeat_action = part == UpPart ? TRepeatAction::StepUp : TRepeatAction::StepDown;
            m_first_tick = false;
            StartTimer(RepeatRate);
        }
    }
}

void TbsSkinScrollBar::MouseMove(TShiftState shift, int x, int y)
{
    TbsSkinCustomControl::MouseMove(shift, x, y);
    m_last_mouse = { x, y };
    ComputeGeometry();
    TrackHover();
    if (m_dragging) {
        int d = SatSub(Horizontal() ? x : y, m_drag_origin);
        if (m_page_size == 0)
            d = SatAdd(d, m_drag_offset);
        SetPosition(PositionFromOffset(d));
    }
}

void TbsSkinScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TbsSkinCustomControl::MouseUp(button, shift, x, y);
    m_mouse_down = false;
    if (m_repeat_action == TRepeatAction::PageDown || m_repeat_action == TRepeatAction::PageUp)
        StopTimer();
    int captured = m_captured_part;
    if (captured != NoPart) {
        TPart& part = m_parts[captured];
        part.Down = false;
        if (captured != m_hover_part)
            part.MouseIn = false;
        Invalidate();
        if (captured == ThumbPart)
            m_dragging = false;
        else
            StopTimer();
    }
    if (button == TMouseButton::mbLeft && OnLastChange && (captured == ThumbPart || captured == NoPart))
        OnLastChange(this);
    m_captured_part = NoPart;
}

void TbsSkinScrollBar::MouseLeave()
{
    TbsSkinCustomControl::MouseLeave();
    if (m_hover_part != NoPart && m_captured_part == NoPart && !m_dragging) {
        m_parts[m_hover_part].MouseIn = false;
        Invalidate();
        m_hover_part = NoPart;
    }
    if (m_mouse_down && m_repeat_action == TRepeatAction::PageUp)
        StopTimer();
}

void TbsSkinScrollBar::RepeatTimerTick()
{
    if (m_first_tick) {
        m_first_tick = false;
        StartTimer(RepeatRate);
        return;
    }
    switch (m_repeat_action) {
    case TRepeatAction::StepDown:
        StepDown();
        break;
    case TRepeatAction::StepUp:
        StepUp();
        break;
    case TRepeatAction::PageDown: {
        ComputeGeometry();
        TrackHover();
        const Rect& thumb = m_parts[ThumbPart].R;
        if (Horizontal() ? m_last_mouse.x < thumb.left : m_last_mouse.y < thumb.top)
            SetPosition(SatSub(m_position, m_large_change));
        else
            StopTimer();
        break;
    }
    case TRepeatAction::PageUp: {
        ComputeGeometry();
        TrackHover();
        const Rect& thumb = m_parts[ThumbPart].R;
        if (Horizontal() ? m_last_mouse.x > thumb.right : m_last_mouse.y > thumb.bottom)
            SetPosition(SatAdd(m_position, m_large_change));
        else
            StopTimer();
        break;
    }
    case TRepeatAction::None:
        break;
    }
}

bool TbsSkinScrollBar::MouseWheel(int steps, TShiftState shift, Point window_point)
{
    if (m_can_focused && Focused()) {
        // A step per notch, toward the user (steps <= 0) increasing the position.
        SetPosition(SatSub(m_position, SatMul(steps == 0 ? -1 : steps, m_small_change)));
        return true;
    }
    // A bar that takes no focus never gets the wheel on the platform (it goes to the focused list
    // or tree); here it goes to what the bar scrolls, or on to the bar's parent.
    return OnMouseWheel && OnMouseWheel(this, steps, shift, window_point);
}

void TbsSkinScrollBar::KeyDown(int& key, TShiftState shift)
{
    TbsSkinCustomControl::KeyDown(key, shift);
    if (!m_can_focused)
        return;
    if (key == VK_LEFT || key == VK_UP)
        SetPosition(SatSub(m_position, m_small_change));
    else if (key == VK_RIGHT || key == VK_DOWN)
        SetPosition(SatAdd(m_position, m_small_change));
}

void TbsSkinScrollBar::DoEnter()
{
    TbsSkinCustomControl::DoEnter();
    if (m_can_focused)
        Invalidate();
}

void TbsSkinScrollBar::DoExit()
{
    TbsSkinCustomControl::DoExit();
    if (m_can_focused)
        Invalidate();
}

bool TbsSkinScrollBar::ThumbPressedLook() const
{
    return m_parts[ThumbPart].Down || (m_can_focused && Focused());
}

void TbsSkinScrollBar::PaintPart(TBitmap& bitmap, int index)
{
    const TPart& part = m_parts[index];
    bool pressed = (part.Down && part.MouseIn) || (index == ThumbPart && ThumbPressedLook());
    TColor frame = clBtnShadow, inside = clBtnFace;
    if (pressed) {
        frame = PressedFrame;
        inside = PressedInside;
    } else if (part.MouseIn) {
        frame = PressedFrame;
        inside = HotInside;
    }
    // Parts of a bar too small for them (or past a wide corner marker) are drawn as far as they
    // lie on the bar; nothing is drawn outside it.
    const Rect bounds { 0, 0, bitmap.Width(), bitmap.Height() };
    TCanvas& canvas = bitmap.Canvas();
    auto fill = [&](Rect r, TColor color) {
        r = r.Intersected(bounds);
        if (r.IsEmpty())
            return;
        canvas.Brush().Color = color;
        canvas.FillRect(r);
    };
    Rect r = part.R.Intersected(bounds);
    if (r.IsEmpty())
        return;
    canvas.Brush().Style = TBrushStyle::bsSolid;
    fill({ r.left, r.top, r.right, r.top + 1 }, frame);
    fill({ r.left, r.bottom - 1, r.right, r.bottom }, frame);
    fill({ r.left, r.top, r.left + 1, r.bottom }, frame);
    fill({ r.right - 1, r.top, r.right, r.bottom }, frame);
    fill({ r.left + 1, r.top + 1, r.right - 1, r.bottom - 1 }, inside);
    if (index == ThumbPart)
        return;
    // A solid triangle of lines 1, 3, 5 and 7 pixels long, its tip toward the bar's end.
    const int cx = SatAdd(part.R.left, part.R.Width() / 2);
    const int cy = SatAdd(part.R.top, part.R.Height() / 2);
    for (int i = 0; i < 4; ++i) {
        if (Horizontal()) {
            int x = index == DownPart ? cx - 2 + i : cx + 1 - i;
            fill({ x, cy - i, x + 1, cy + i + 1 }, clBlack);
        } else {
            int y = index == DownPart ? cy - 2 + i : cy + 1 - i;
            fill({ cx - i, y, cx + i + 1, y + 1 }, clBlack);
        }
    }
}

void TbsSkinScrollBar::PaintUnskinnedImage(TBitmap& bitmap)
{
    TbsSkinCustomControl::PaintUnskinnedImage(bitmap);
    ComputeGeometry();
    if (Enabled())
        PaintPart(bitmap, ThumbPart);
    PaintPart(bitmap, UpPart);
    PaintPart(bitmap, DownPart);
}

void TbsSkinScrollBar::PaintSkinnedImage(TBitmap& bitmap)
{
    if (!SkinnedBar() || !m_picture) {
        PaintUnskinnedImage(bitmap);
        return;
    }
    TbsSkinCustomControl::PaintSkinnedImage(bitmap);
    ComputeGeometry();
    for (int index : { UpPart, DownPart }) {
        const TPart& part = m_parts[index];
        Rect pressed_image = index == UpPart ? m_down_up_button_rect : m_down_down_button_rect;
        Rect hover_image = index == UpPart ? m_active_up_button_rect : m_active_down_button_rect;
        Rect image = part.Down && part.MouseIn ? pressed_image : part.MouseIn ? hover_image : Rect {};
        if (!ImageEmpty(image))
            CopyPicturePart(bitmap, part.R, *m_picture, image);
    }
    if (!Enabled())
        return;
    const TPart& thumb = m_parts[ThumbPart];
    const bool down = ThumbPressedLook();
    Rect image = down ? m_down_thumb_image : thumb.MouseIn ? m_active_thumb_image : m_thumb_image;
    Rect mark = down ? m_down_glyph : thumb.MouseIn ? m_active_glyph : m_glyph;
    if (thumb.R.IsEmpty())
        return;
    // The thumb's image: the thumb's length along the axis and, tiled, the image's own breadth.
    // It is drawn straight onto the bar's image, clipped to its place, so that a thumb of any size
    // costs no more than the part of it that lies on the bar.
    Rect piece = thumb.R;
    if (m_page_size != 0) {
        if (Horizontal())
            piece.bottom = SatAdd(piece.top, image.Height());
        else
            piece.right = SatAdd(piece.left, image.Width());
    }
    TCanvas& canvas = bitmap.Canvas();
    CanvasState saved(canvas);
    canvas.IntersectClip(piece);
    if (m_page_size == 0)
        CopyPicturePart(canvas, piece, *m_picture, image);
    else if (Horizontal())
        DrawTiledHorizontally(canvas, piece.TopLeft(), m_thumb_offset1, m_thumb_offset2, piece.Width(), image, *m_picture);
    else
        DrawTiledVertically(canvas, piece.TopLeft(), m_thumb_offset1, m_thumb_offset2, piece.Height(), image, *m_picture);
    if (!ImageEmpty(mark)) {
        // Centred on the thumb, one to one.
        int left = SatSub(SatAdd(piece.left, piece.Width() / 2), mark.Width() / 2);
        int top = SatSub(SatAdd(piece.top, piece.Height() / 2), mark.Height() / 2);
        CopyPicturePart(canvas, Rect::FromSize(left, top, mark.Width(), mark.Height()), *m_picture, mark);
    }
}
