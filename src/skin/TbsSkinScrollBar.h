#pragma once

#include "framework/TTimer.h"
#include "skin/TbsSkinCustomControl.h"

#include <optional>

enum class TScrollBarKind { sbHorizontal, sbVertical };

// A scroll bar drawn entirely by the program: two step buttons, a track and a thumb, from a
// scroll-bar record of the skin or flat in system colours. A value control (Min, Max, Position,
// PageSize) with its own press, drag, hover and auto-repeat handling.
class TbsSkinScrollBar : public TbsSkinCustomControl {
public:
    enum PartIndex { ThumbPart = 0, UpPart = 1, DownPart = 2, NoPart = -1 };
    enum class TRepeatAction { None = 0, StepDown = 1, StepUp = 2, PageDown = 3, PageUp = 4 };

    struct TPart {
        Rect R;
        bool MouseIn { false };
        bool Down { false };
    };
    // Thumb centre limits along the axis and the thumb's offset from the lowest.
    struct TThumbRange {
        int Lo { 0 };
        int Hi { 0 };
        int Offset { 0 };
    };

    explicit TbsSkinScrollBar(TComponent* owner);
    ~TbsSkinScrollBar() override;

    TScrollBarKind Kind() const { return m_kind; }
    void SetKind(TScrollBarKind kind);
    int Min() const { return m_min; }
    void SetMin(int value);
    int Max() const { return m_max; }
    void SetMax(int value);
    int Position() const { return m_position; }
    // Clamped to Min .. Max (Max - PageSize + 1 with a page); fires OnChange when it changes.
    void SetPosition(int value);
    int PageSize() const { return m_page_size; }
    // Refused silently when the range cannot hold the page at the current position.
    void SetPageSize(int value);
    int SmallChange() const { return m_small_change; }
    void SetSmallChange(int value);
    int LargeChange() const { return m_large_change; }
    void SetLargeChange(int value);
    bool Both() const { return m_both; }
    void SetBoth(bool both);
    const std::string& BothSkinDataName() const { return m_both_skin_data_name; }
    void SetBothSkinDataName(std::string name) { m_both_skin_data_name = std::move(name); }
    int BothMarkerWidth() const { return m_both_marker_width; }
    void SetBothMarkerWidth(int width);
    bool CanFocused() const { return m_can_focused; }
    void SetCanFocused(bool can_focused);
    // Stores the range and the clamped position at once; fires no OnChange.
    void SetRange(int min, int max, int page_size, int position);

    TNotifyEvent OnChange;
    TNotifyEvent OnLastChange;
    TNotifyEvent OnUpButtonClick;
    TNotifyEvent OnDownButtonClick;
    // The wheel over a bar that does not take it itself (see MouseWheel): true when handled.
    std::function<bool(TObject* sender, int steps, TShiftState shift, Point window_point)> OnMouseWheel;

    // The geometry every paint and press uses (control coordinates).
    void ComputeGeometry();
    const TPart& Part(int index) const { return m_parts[index]; }
    Rect TrackRect() const { return m_track_rect; }
    TThumbRange ThumbRange() const { return m_thumb_range; }
    int PositionFromOffset(int offset) const;
    TRepeatAction RepeatAction() const { return m_repeat_action; }
    // The repeat timer: whether it runs and its interval in ms; a tick as the timer delivers it.
    bool RepeatTimerActive() const { return m_timer->Enabled(); }
    int RepeatTimerInterval() const { return m_timer->Interval(); }
    void RepeatTimerTick();
    bool Dragging() const { return m_dragging; }
    int HoverPart() const { return m_hover_part; }

    void LookUpSkinRecord() override;
    void AdjustSize(int& width, int& height) override;
    bool CanFocus() const override;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void DblClick() override;
    bool MouseWheel(int steps, TShiftState shift, Point window_point) override;
    void KeyDown(int& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;

protected:
    void PaintUnskinnedImage(TBitmap& bitmap) override;
    void PaintSkinnedImage(TBitmap& bitmap) override;

private:
    bool Horizontal() const { return m_kind == TScrollBarKind::sbHorizontal; }
    bool SkinnedBar() const { return m_skin_index != -1 && m_has_bar_record; }
    int PartAt(Point p) const;
    void PressPart(int part);
    void TrackHover();
    void StartTimer(int interval);
    void StopTimer();
    void StepUp();
    void StepDown();
    bool ThumbPressedLook() const;
    void PaintPart(TBitmap& bitmap, int part);

    TScrollBarKind m_kind { TScrollBarKind::sbHorizontal };
    int m_min { 0 };
    int m_max { 100 };
    int m_position { 0 };
    int m_page_size { 0 };
    int m_small_change { 1 };
    int m_large_change { 1 };
    bool m_both { false };
    std::string m_both_skin_data_name { "bothhscrollbar" };
    std::optional<std::string> m_saved_skin_data_name;
    int m_both_marker_width { 0 };
    bool m_can_focused { false };

    TPart m_parts[3];
    Rect m_track_rect;
    TThumbRange m_thumb_range;
    int m_hover_part { NoPart };
    int m_captured_part { NoPart };
    bool m_dragging { false };
    int m_drag_origin { 0 };
    int m_drag_offset { 0 };
    int m_drag_position { 0 };
    Point m_last_mouse;
    bool m_mouse_down { false };
    TRepeatAction m_repeat_action { TRepeatAction::None };
    bool m_first_tick { false };
    TTimer* m_timer { nullptr };

    // Copied from the scroll-bar record at each look-up, fallbacks resolved.
    bool m_has_bar_record { false };
    Rect m_track_area, m_up_button_rect, m_active_up_button_rect, m_down_up_button_rect;
    Rect m_down_button_rect, m_active_down_button_rect, m_down_down_button_rect;
    Rect m_thumb_image, m_active_thumb_image, m_down_thumb_image;
    int m_thumb_offset1 { 0 };
    int m_thumb_offset2 { 0 };
    Rect m_glyph, m_active_glyph, m_down_glyph;
};
