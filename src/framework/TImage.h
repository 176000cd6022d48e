#pragma once

#include "framework/TGraphicControl.h"
#include "framework/TPicture.h"

// A windowless picture control. The picture is drawn at the top-left, centred, or stretched to the
// control; Transparent draws it leaving out its transparent colour; AutoSize takes its size.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);

    TPicture& Picture() { return m_picture; }
    bool Center() const { return m_center; }
    void SetCenter(bool center);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    bool AutoSize() const { return m_auto_size; }
    void SetAutoSize(bool auto_size);

    // Where the picture is drawn, in the control's coordinates.
    Rect DestRect() const;
    void Paint(TCanvas& canvas) override;
    // An opaque bitmap drawn over the whole of `rect` hides what lies below.
    bool Covers(Rect rect) const override;

private:
    void PictureChanged();

    TPicture m_picture;
    bool m_center { false };
    bool m_stretch { false };
    bool m_transparent { false };
    bool m_auto_size { false };
};
